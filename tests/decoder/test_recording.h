// Small recordings made in the test: solid-colour JPEGs from WIC's encoder,
// written with the recording writer into the temporary directory.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>
#include "recording/writer.h"

// A JPEG of cx x cy in one colour (in grey: its green); empty if WIC could not encode it.
std::vector<uint8_t> SolidJpeg(COLORREF color, UINT cx = 32, UINT cy = 24, bool bGrey = false);

struct TestCamera {
    int camera;      // 1..16
    COLORREF color;  // every frame of it, unless frames are given
    // Its frames, one by one (the last one again once they run out); empty: color.
    std::vector<std::vector<uint8_t>> frames;
};

struct TestRecordingSpec {
    std::vector<TestCamera> cameras = {{1, RGB(200, 30, 30)}};
    int nFrames = 5;
    uint32_t nRate = 5;  // frames per second
    rec::StartTime start = {2024, 3, 9, 13 * 3600000 + 5 * 60000 + 7 * 1000 + 250};
    rec::SourceBlock source{};
    rec::MotionBlock motion{};
    rec::GpiBlock gpi{};
};

// A fresh path in the temporary directory; the file is removed with the object
// (which cannot be done while the decoder still has the file open).
class CTempFile {
public:
    explicit CTempFile(const char* pszSuffix = ".d01");
    ~CTempFile();
    CTempFile(const CTempFile&) = delete;
    CTempFile& operator=(const CTempFile&) = delete;
    const std::string& Path() const { return m_path; }
    std::wstring WidePath() const;

private:
    std::string m_path;
};

// Writes the recording; false (with a gtest failure) when anything went wrong.
bool WriteTestRecording(const std::string& path, const TestRecordingSpec& plan);
// Writes raw bytes, for files that are not recordings.
bool WriteBytes(const std::string& path, const void* pData, size_t nSize);
std::vector<uint8_t> ReadBytes(const std::string& path);
