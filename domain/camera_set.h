// Sets of cameras 1..16: as a mask (bit k for camera k+1), a list, or text like "1,3,9-12".
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace domain {

constexpr int kMaxCameras = 16;
using CameraMask = uint32_t;
constexpr CameraMask kAllCameras = 0xFFFF;

// 0 for a number that is no camera.
constexpr CameraMask CameraBit(int camera)
{
    return camera >= 1 && camera <= kMaxCameras ? CameraMask{1} << (camera - 1) : 0;
}

// The cameras of a mask, ascending.
std::vector<int> CamerasOf(CameraMask mask);
int CameraCount(CameraMask mask);

// "3", "1,4,7" or "1-4,9": cameras 1..16, each named once. False, mask untouched, otherwise.
bool ParseCameraSet(const std::string& text, CameraMask& mask);
// Ascending, a run of three or more as a range: "1-4,7,9,10" with the separator ","; empty for
// no camera.
std::string FormatCameraSet(CameraMask mask, const char* separator = ",");

}  // namespace domain
