#include "host/path_limits.h"
#include <cstdio>
#include <cstring>
#include "framework/msgbox.h"

void StripQuotes(char* path)
{
    const size_t len = std::strlen(path);
    if (len < 2 || path[0] != '"' || path[len - 1] != '"') return;
    std::memmove(path, path + 1, len - 2);
    path[len - 2] = '\0';
}

bool PathFitsOrRefuse(const char* path, size_t bufferSize)
{
    const size_t len = path ? std::strlen(path) : 0;
    if (len < bufferSize) return true;
    char text[200];
    std::snprintf(text, sizeof text,
                  "The recording path is too long to open (%u characters; at most %u can be used).",
                  static_cast<unsigned>(len), static_cast<unsigned>(bufferSize ? bufferSize - 1 : 0));
    fw::AppMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

bool CopyPathOrRefuse(char* dst, size_t dstSize, const char* src)
{
    if (!dst || dstSize == 0) return false;
    if (!PathFitsOrRefuse(src, dstSize)) {
        dst[0] = '\0';
        return false;
    }
    std::memcpy(dst, src ? src : "", (src ? std::strlen(src) : 0) + 1);
    return true;
}
