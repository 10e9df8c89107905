#include "domain/camera_set.h"
#include <cstdlib>

namespace domain {

namespace {

bool ParseCamera(const std::string& text, int& camera)
{
    if (text.empty() || text[0] < '0' || text[0] > '9') return false;
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (*end || !CameraBit(static_cast<int>(number)) || number > kMaxCameras) return false;
    camera = static_cast<int>(number);
    return true;
}

// "N" or "N-M" with N <= M.
bool ParseItem(const std::string& item, int& first, int& last)
{
    const size_t dash = item.find('-');
    if (dash == std::string::npos) {
        if (!ParseCamera(item, first)) return false;
        last = first;
        return true;
    }
    return ParseCamera(item.substr(0, dash), first) && ParseCamera(item.substr(dash + 1), last) && first <= last;
}

}  // namespace

std::vector<int> CamerasOf(CameraMask mask)
{
    std::vector<int> cameras;
    for (int camera = 1; camera <= kMaxCameras; ++camera)
        if (mask & CameraBit(camera)) cameras.push_back(camera);
    return cameras;
}

int CameraCount(CameraMask mask) { return static_cast<int>(CamerasOf(mask).size()); }

bool ParseCameraSet(const std::string& text, CameraMask& mask)
{
    CameraMask parsed = 0;
    size_t begin = 0;
    for (;;) {
        const size_t comma = text.find(',', begin);
        int first = 0, last = 0;
        if (!ParseItem(text.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin), first, last))
            return false;
        for (int camera = first; camera <= last; ++camera) {
            if (parsed & CameraBit(camera)) return false;
            parsed |= CameraBit(camera);
        }
        if (comma == std::string::npos) break;
        begin = comma + 1;
    }
    mask = parsed;
    return true;
}

std::string FormatCameraSet(CameraMask mask, const char* separator)
{
    std::string text;
    for (int camera = 1; camera <= kMaxCameras; ++camera) {
        if (!(mask & CameraBit(camera))) continue;
        int last = camera;
        while (mask & CameraBit(last + 1)) ++last;
        if (!text.empty()) text += separator;
        if (last - camera >= 2) {
            text += std::to_string(camera) + "-" + std::to_string(last);
        } else {
            text += std::to_string(camera);
            if (last > camera) text += separator + std::to_string(last);
        }
        camera = last;
    }
    return text;
}

}  // namespace domain
