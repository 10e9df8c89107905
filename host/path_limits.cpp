#include "host/path_limits.h"
#include <cstdio>
#include <cstring>
#include "framework/msgbox.h"

bool CopyPathOrRefuse(char* dst, size_t dstSize, const char* src) {
    if (!dst || dstSize == 0) return false;
    const size_t len = src ? std::strlen(src) : 0;
    if (len < dstSize) {
        std::memcpy(dst, src ? src : "", len + 1);
        return true;
    }
    dst[0] = '\0';
    char text[200];
    std::snprintf(text, sizeof text,
                  "The recording path is too long to open (%u characters; at most %u can be used).",
                  static_cast<unsigned>(len), static_cast<unsigned>(dstSize - 1));
    fw::AppMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    return false;
}
