// The pictures of a recording dvrtool writes: every camera at the same rate, size and quality.
#pragma once

#include <cstdint>

namespace dvrtool {

struct PictureFormat {
    uint32_t rate = 5;  // frames per second = rate / scale
    uint32_t scale = 1;
    uint32_t width = 320;
    uint32_t height = 240;
    int quality = 5;  // ffmpeg's MJPEG quality, 2 best .. 31

    double secondsOf(uint64_t frame) const { return double(frame) * scale / rate; }
};

}  // namespace dvrtool
