// The decoder's tests' recordings: solid-colour JPEGs from WIC's encoder,
// written by the shared builder (tests/support/recording_builder.h) into the
// temporary directory.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>
#include "tests/support/recording_builder.h"

// A JPEG of cx x cy in one colour (in grey: its green); empty if WIC could not encode it.
std::vector<uint8_t> SolidJpeg(COLORREF color, UINT cx = 32, UINT cy = 24, bool bGrey = false);

struct TestCamera {
    int camera;      // 1..16
    COLORREF color;  // every frame of it, unless frames are given
    // Its frames, one by one (the last one again once they run out); empty: color.
    std::vector<std::vector<uint8_t>> frames;
    uint32_t nRate = 0;  // frames per second; 0: the plan's
};

struct TestRecordingPlan {
    std::vector<TestCamera> cameras = {{1, RGB(200, 30, 30)}};
    int nFrames = 5;
    uint32_t nRate = 5;  // frames per second
    rec::StartTime start = {2024, 3, 9, 13 * 3600000 + 5 * 60000 + 7 * 1000 + 250};
    rec::SourceBlock source{};
    rec::MotionBlock motion{};
    rec::GpiBlock gpi{};
};

// A temporary file, with its path as the control's FileName takes it.
class CTempFile : public rectest::TempFile {
public:
    using TempFile::TempFile;
    std::wstring WidePath() const;
};

// Writes the recording; false (with a gtest failure) when anything went wrong.
bool WriteTestRecording(const std::string& path, const TestRecordingPlan& plan);
