// Event blocks for dvrtool: from text files and from picture differences.
//
// Source event file: one event per line, "SECONDS CAMERA" (seconds from the file's start,
// decimals allowed; camera 1..16). GPI file: "SECONDS VALUE" (a 32-bit integer). Blank lines
// and lines starting with '#' are ignored. Events past the hour are ignored.
#pragma once

#include "recording/dvrx.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dvrtool {

// False with a message naming the line on a malformed line.
bool parseSourceEvents(const std::string& text, rec::SourceBlock& out, std::string& error);
bool parseGpiEvents(const std::string& text, rec::GpiBlock& out, std::string& error);

// Motion levels of one camera from small gray pictures: the mean absolute difference from the
// previous picture, the largest in each 3.6 s slot, mapped to 1..255; below kNoise it is 0.
class MotionMeter {
public:
    static constexpr double kNoise = 0.75;
    static constexpr double kGain = 16.0;

    void add(const uint8_t* gray, size_t size, double seconds);
    // Writes the levels into the block for this camera.
    void store(rec::MotionBlock& block, int camera) const;
    static uint8_t levelOf(double meanAbsDiff);

private:
    std::vector<uint8_t> m_prev;
    std::vector<double> m_slotMax = std::vector<double>(rec::kMotionSlots, 0.0);
    size_t m_lastSlot = 0;
    bool m_any = false;
};

}  // namespace dvrtool
