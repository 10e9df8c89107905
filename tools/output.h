// A recording written the way every command that makes one writes it: each camera's pictures
// from an ffmpeg of its own, interleaved, then the start time and the event blocks. A run that
// fails leaves no file behind.
#pragma once

#include "recording/dvrx.h"
#include "recording/writer.h"
#include "tools/ffmpeg.h"
#include "tools/format.h"
#include "tools/progress.h"
#include "tools/shape.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace dvrtool {

struct CameraFeed {
    int number;         // 1..16
    FfmpegArgs ffmpeg;  // writing the camera's JPEG pictures at the output's rate
    Size size;          // of its pictures; 0 x 0 for the format's
};

struct EventBlocks {
    rec::SourceBlock source{};
    rec::MotionBlock motion{};
    rec::GpiBlock gpi{};
};

class RecordingOutput {
public:
    // command names the command in messages, as in "dvrtool make: ...".
    RecordingOutput(const std::string& command, std::FILE* err);
    ~RecordingOutput();  // removes the file unless finish() succeeded
    RecordingOutput(const RecordingOutput&) = delete;
    RecordingOutput& operator=(const RecordingOutput&) = delete;

    // Shows how far writePictures has come, out of about expected pictures in all (0 when not
    // known).
    void showProgress(Progress* progress, uint64_t expected)
    {
        m_progress = progress;
        m_expected = expected;
    }
    // Creates path and writes every camera's pictures into it. False after saying why on err, as
    // for finish().
    bool writePictures(const std::string& path, const std::vector<CameraFeed>& cameras, const PictureFormat& format);
    // Of the camera with the most pictures.
    int64_t durationMs() const { return m_durationMs; }
    // The start time and the blocks, each made to cover the whole length, then the file closed.
    bool finish(const rec::StartTime& start, EventBlocks events);
    uint64_t bytesWritten() const { return m_writer.bytesWritten(); }

private:
    std::string m_command;
    std::FILE* m_err;
    rec::Writer m_writer;
    std::string m_path;  // once created
    bool m_finished = false;
    int64_t m_durationMs = 0;
    Progress* m_progress = nullptr;
    uint64_t m_expected = 0;

    bool interleave(const std::vector<CameraFeed>& cameras, const PictureFormat& format);
    std::FILE* messages();  // m_err, the progress line cleared
};

}  // namespace dvrtool
