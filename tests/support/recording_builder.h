// Small recordings for the tests of both trees, written by the recording
// writer, and the temporary files they go to. Portable: the pictures are the
// caller's bytes, stand-ins (fakeJpeg) for the reader's tests, real JPEGs for
// the decoder's (the Windows tests encode them, tests/support/test_recording.h).
#pragma once

#include "recording/recording.h"
#include "recording/writer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rectest {

using Bytes = std::vector<uint8_t>;

// A recording to write: one stream per camera, each with its pictures.
struct Sample {
    std::vector<rec::StreamFormat> streams;
    std::vector<std::vector<Bytes>> frames;  // per stream, in order
    // Unset: each stream has its own pictures, once. Set: every stream has
    // this many, its last picture again once its own run out.
    std::optional<size_t> frameCount;
    rec::StartTime start;
    rec::SourceBlock source{};
    rec::MotionBlock motion{};
    rec::GpiBlock gpi{};
};

// Writes it, frames interleaved by index (as a recorder writes its cameras).
rec::Status writeRecording(const Sample& s, const rec::WriterOptions& o, const std::string& path);
// The same, with a failure a test failure; returns the file's bytes.
Bytes writeSample(const Sample& s, const rec::WriterOptions& o, const std::string& path);

// A stand-in picture: SOI, bytes that depend on camera and index, EOI; odd and even sizes.
Bytes fakeJpeg(int camera, size_t index);
// Cameras with the given frame counts of fakeJpeg, picture sizes that differ
// by stream, events in a few slots, start 2024-03-05 10:20:30.456.
Sample makeSample(const std::vector<int>& cameras, const std::vector<size_t>& counts);

// A path in the test's temporary directory, named for this process and this
// run of it: the same name gives the same path within a process.
std::string tempPath(const std::string& name);

// A fresh temporary path, removed with the object (which cannot be done while
// the decoder still has the file open).
class TempFile {
public:
    explicit TempFile(const std::string& suffix = ".d01");
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// Whole files: empty when it cannot be read; false when it cannot be written.
Bytes readAll(const std::string& path);
bool writeAll(const std::string& path, const void* data, size_t size);
bool writeAll(const std::string& path, const Bytes& b);

}  // namespace rectest
