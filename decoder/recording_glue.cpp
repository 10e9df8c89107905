#include "decoder/recording_glue.h"
#include <windows.h>
#include "framework/text.h"

namespace {

// The reader's reasons start with the name of the error; the sentence says it already.
std::string WithoutPrefix(const std::string& reason, const char* pszPrefix)
{
    const std::string prefix = pszPrefix;
    return reason.compare(0, prefix.size(), prefix) == 0 ? reason.substr(prefix.size()) : reason;
}

std::wstring Describe(const rec::Status& status)
{
    switch (status.error) {
    case rec::Error::FileMissing:
        return L"The file does not exist.";
    case rec::Error::FileUnreadable:
        return L"The file cannot be read.";
    case rec::Error::NotRecording:
        return L"The file is not a recording.";
    case rec::Error::Damaged:
        return L"The recording is damaged: " + fw::Widen(WithoutPrefix(status.reason, "damaged: "));
    default:
        return L"The file cannot be opened.";
    }
}

}  // namespace

OpenedRecording OpenRecordingFile(const std::string& path)
{
    auto recording = std::make_shared<rec::Recording>();
    rec::Status status = recording->open(path);
    OpenedRecording opened;
    if (status)
        opened.recording = std::move(recording);
    else
        opened.error = Describe(status);
    return opened;
}

// Whether a stream's camera is one of a mask's (bit k for camera k+1).
static bool AmongCameras(const rec::Stream& stream, uint32_t cameras)
{
    return stream.camera >= 1 && stream.camera <= 16 && (cameras >> (stream.camera - 1) & 1u);
}

// The newest frame time at or before t among the cameras, or none when no camera has one.
static int64_t NewestFrameTime(const rec::Recording& recording, int64_t t, uint32_t cameras, int64_t none)
{
    int64_t newest = none;
    for (const rec::Stream& stream : recording.streams()) {
        if (!AmongCameras(stream, cameras))
            continue;
        const long index = stream.frameAt(t);
        if (index >= 0 && stream.frames[index].timeMs > newest)
            newest = stream.frames[index].timeMs;
    }
    return newest;
}

int64_t PictureTimeAt(const rec::Recording& recording, int64_t t) { return NewestFrameTime(recording, t, ~0u, 0); }

int64_t NextFrameTimeAfter(const rec::Recording& recording, int64_t t)
{
    int64_t next = -1;
    for (const rec::Stream& stream : recording.streams()) {
        size_t index = static_cast<size_t>(stream.frameAt(t) + 1);
        if (index < stream.frames.size()) {
            int64_t time = stream.frames[index].timeMs;
            if (next < 0 || time < next)
                next = time;
        }
    }
    return next;
}

int64_t FrameTimeBefore(const rec::Recording& recording, int64_t t, uint32_t cameras)
{
    return NewestFrameTime(recording, t - 1, cameras, -1);
}

int64_t FirstFrameTime(const rec::Recording& recording, uint32_t cameras)
{
    int64_t first = -1;
    for (const rec::Stream& stream : recording.streams()) {
        if (AmongCameras(stream, cameras) && !stream.frames.empty() && (first < 0 || stream.frames[0].timeMs < first))
            first = stream.frames[0].timeMs;
    }
    return first < 0 ? 0 : first;
}

const rec::Frame* FrameToShow(const rec::Stream& stream, int64_t t)
{
    // Bounded, so that a file of nothing but empty slots costs little per picture.
    const long kMaxHeld = 256;
    long last = stream.frameAt(t);
    for (long index = last; index >= 0 && last - index < kMaxHeld; --index) {
        if (stream.frames[index].size > 0)
            return &stream.frames[index];
    }
    return nullptr;
}
