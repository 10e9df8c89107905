#include "tools/options.h"

#include "recording/avidate.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace dvrtool {

bool parseOptions(const std::vector<std::string>& words, const std::vector<std::string>& known, Options& options,
                  std::string& error)
{
    for (size_t i = 0; i < words.size(); i++) {
        const std::string& word = words[i];
        if (!known.empty() && word.size() > 1 && word[0] == '-') {
            if (std::find(known.begin(), known.end(), word) == known.end()) {
                error = "unknown option " + word;
                return false;
            }
            if (i + 1 >= words.size()) {
                error = "option " + word + " needs a value";
                return false;
            }
            options.values[word] = words[++i];
        } else {
            options.positional.push_back(word);
        }
    }
    return true;
}

bool parseFps(const std::string& text, uint32_t& rate, uint32_t& scale)
{
    char* end = nullptr;
    size_t slash = text.find('/');
    if (slash != std::string::npos) {
        unsigned long frames = std::strtoul(text.c_str(), &end, 10);
        if (end != text.c_str() + slash) return false;
        const char* denominator = text.c_str() + slash + 1;
        unsigned long seconds = std::strtoul(denominator, &end, 10);
        if (end == denominator || *end || frames == 0 || seconds == 0 || frames > 1000000 || seconds > 1000000 ||
            frames > seconds * 1000)
            return false;
        rate = uint32_t(frames);
        scale = uint32_t(seconds);
        return true;
    }
    double fps = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end || !(fps > 0) || fps > 1000) return false;
    // Three decimals are plenty for frame rates.
    uint32_t frames = uint32_t(std::llround(fps * 1000)), seconds = 1000;
    if (frames == 0) return false;
    for (uint32_t factor : {2u, 2u, 2u, 5u, 5u, 5u})
        if (frames % factor == 0 && seconds % factor == 0) frames /= factor, seconds /= factor;
    rate = frames;
    scale = seconds;
    return true;
}

bool parseSize(const std::string& text, uint32_t& width, uint32_t& height)
{
    unsigned across = 0, down = 0;
    char times = 0, extra = 0;
    if (std::sscanf(text.c_str(), "%5u%c%5u%c", &across, &times, &down, &extra) != 3 || times != 'x') return false;
    if (across < 16 || down < 16 || across > 4096 || down > 4096 || (across & 1) || (down & 1)) return false;
    width = across;
    height = down;
    return true;
}

bool parseStartTime(const std::string& text, rec::StartTime& start) { return rec::parseAviDate(text, start); }

bool parseSeconds(const std::string& text, double& seconds)
{
    char* end = nullptr;
    seconds = std::strtod(text.c_str(), &end);
    return end != text.c_str() && *end == 0 && std::isfinite(seconds) && seconds > 0 && seconds <= 3600;
}

bool parseWhole(const std::string& text, int lowest, int highest, int& value)
{
    char* end = nullptr;
    long number = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end || number < lowest || number > highest) return false;
    value = int(number);
    return true;
}

namespace {

// "H:M:S", "M:S" or "S" (at most three fields, the last with decimals) as milliseconds; each
// field but the first below 60.
bool parseClock(const std::string& text, int fieldsAtLeast, int64_t& ms)
{
    std::vector<std::string> fields;
    size_t begin = 0;
    for (;;) {
        size_t colon = text.find(':', begin);
        fields.push_back(text.substr(begin, colon == std::string::npos ? std::string::npos : colon - begin));
        if (colon == std::string::npos) break;
        begin = colon + 1;
    }
    if (int(fields.size()) < fieldsAtLeast || fields.size() > 3) return false;
    double total = 0;
    for (size_t i = 0; i < fields.size(); i++) {
        const std::string& field = fields[i];
        bool last = i + 1 == fields.size();
        if (field.empty() || field.size() > 12 || !(field[0] >= '0' && field[0] <= '9')) return false;
        char* end = nullptr;
        double value = last ? std::strtod(field.c_str(), &end) : double(std::strtoul(field.c_str(), &end, 10));
        if (*end || !std::isfinite(value)) return false;
        if (i > 0 && value >= 60) return false;
        total = total * 60 + value;
    }
    if (total > 1e9) return false;
    ms = std::llround(total * 1000);
    return true;
}

}  // namespace

bool parseTimePoint(const std::string& text, int32_t startMsOfDay, int64_t& offsetMs)
{
    if (!text.empty() && text[0] == '+') return parseClock(text.substr(1), 1, offsetMs);
    int64_t ofDay = 0;
    // "HH:MM" is hours and minutes, not minutes and seconds as after a '+'.
    bool minutes = std::count(text.begin(), text.end(), ':') == 1;
    if (!parseClock(minutes ? text + ":00" : text, 3, ofDay) || ofDay >= 24 * 3600 * 1000) return false;
    offsetMs = ofDay - startMsOfDay;
    if (offsetMs < 0) offsetMs += 24 * 3600 * 1000;
    return true;
}

bool parseCameraList(const std::string& text, std::vector<int>& cameras)
{
    uint32_t mask = 0;
    size_t begin = 0;
    for (;;) {
        size_t comma = text.find(',', begin);
        std::string item = text.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin);
        size_t dash = item.find('-');
        int first = 0, last = 0;
        if (dash == std::string::npos) {
            if (!parseWhole(item, 1, 16, first)) return false;
            last = first;
        } else if (!parseWhole(item.substr(0, dash), 1, 16, first) || !parseWhole(item.substr(dash + 1), 1, 16, last) ||
                   last < first) {
            return false;
        }
        for (int camera = first; camera <= last; camera++) {
            if (mask & (1u << (camera - 1))) return false;
            mask |= 1u << (camera - 1);
        }
        if (comma == std::string::npos) break;
        begin = comma + 1;
    }
    cameras.clear();
    for (int camera = 1; camera <= 16; camera++)
        if (mask & (1u << (camera - 1))) cameras.push_back(camera);
    return true;
}

bool readPictureOptions(const Options& options, PictureFormat& format, rec::StartTime& start, std::FILE* err)
{
    if (options.has("--fps") && !parseFps(options.value("--fps"), format.rate, format.scale)) {
        std::fprintf(err, "dvrtool: bad --fps\n");
        return false;
    }
    if (options.has("--size") && !parseSize(options.value("--size"), format.width, format.height)) {
        std::fprintf(err, "dvrtool: bad --size (WxH, even, 16..4096)\n");
        return false;
    }
    if (options.has("--quality") && !parseWhole(options.value("--quality"), 2, 31, format.quality)) {
        std::fprintf(err, "dvrtool: --quality must be 2..31\n");
        return false;
    }
    if (options.has("--start") && !parseStartTime(options.value("--start"), start)) {
        std::fprintf(err, "dvrtool: bad --start (YYYY-MM-DD HH:MM:SS.mmm)\n");
        return false;
    }
    return true;
}

}  // namespace dvrtool
