#include "recording/riff_tags.h"

#include "recording/dvrx.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace rec {

namespace {

bool isDigit(uint8_t c) { return c >= '0' && c <= '9'; }
bool isAlnum(uint8_t c) { return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

int streamOfChunk(uint32_t id)
{
    uint8_t a = uint8_t(id), b = uint8_t(id >> 8), c = uint8_t(id >> 16), d = uint8_t(id >> 24);
    if (!isDigit(a) || !isDigit(b) || !isAlnum(c) || !isAlnum(d)) return -1;
    return (a - '0') * 10 + (b - '0');
}

bool isPictureChunk(uint32_t id)
{
    uint8_t c = uint8_t(id >> 16), d = uint8_t(id >> 24);
    return streamOfChunk(id) >= 0 && (c == 'd' || c == 'D') && (d == 'c' || d == 'b');
}

bool isTag(uint32_t id)
{
    for (int i = 0; i < 4; i++) {
        uint8_t c = uint8_t(id >> (8 * i));
        if (!isAlnum(c) && c != ' ' && c != '_') return false;
    }
    return true;
}

bool isIndexChunk(uint32_t id)
{
    uint8_t a = uint8_t(id), b = uint8_t(id >> 8);
    return a == 'i' && b == 'x';
}

bool isMjpeg(uint32_t cc)
{
    char s[4];
    for (int i = 0; i < 4; i++) s[i] = char(std::toupper(uint8_t(cc >> (8 * i))));
    return std::memcmp(s, "MJPG", 4) == 0;
}

int cameraOfName(const std::string& name)
{
    static const char kWord[] = "camera";
    size_t i = 0;
    while (i < name.size() && name[i] == ' ') i++;
    for (size_t k = 0; k < 6; k++, i++)
        if (i >= name.size() || std::tolower(uint8_t(name[i])) != kWord[k]) return 0;
    while (i < name.size() && name[i] == ' ') i++;
    long n = 0;
    size_t digits = 0;
    while (i < name.size() && isDigit(uint8_t(name[i])) && digits < 6) n = n * 10 + (name[i++] - '0'), digits++;
    if (digits == 0) return 0;
    while (i < name.size() && (name[i] == ' ' || name[i] == '\0')) i++;
    if (i != name.size()) return 0;
    return (n >= 1 && n <= long(kMaxCameras)) ? int(n) : -1;
}

std::string tagText(uint32_t id)
{
    std::string s;
    for (int i = 0; i < 4; i++) {
        uint8_t c = uint8_t(id >> (8 * i));
        s += (c >= 32 && c < 127) ? char(c) : '?';
    }
    return s;
}

std::string hex(uint64_t v)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(v));
    return buf;
}

}  // namespace rec
