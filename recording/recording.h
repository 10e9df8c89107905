// Reader of DVR recordings: AVI (RIFF) files with OpenDML extensions, one Motion-JPEG video
// stream per camera, and the DVR's 'dvrx' chunk (see dvrx.h).
//
// Which camera a stream is: its 'strn' name "Camera N" (N = 1..16). A stream without such a
// name is camera (AVI stream number + 1). Streams that are not MJPEG video are ignored; a
// stream whose camera is out of range or already taken is dropped and noted as damage.
//
// Frames come from the OpenDML index ('indx' / 'ix##'), else from 'idx1', else (no index or a
// bad one) from a scan of the 'movi' lists. Index entries pointing outside the file, and a
// frame cut off by the end of the file, are dropped and noted as damage; reading goes on. A frame
// whose bytes are damaged but inside the file is returned as it is.
//
// Nesting is bounded by construction: lists are entered only where they belong (RIFF, 'hdrl',
// 'strl'); 'rec ' groups inside 'movi' are read through as if flat.
//
// A Recording is not copyable. readFrame may be called from several threads at once (reads
// are serialized inside); everything else is read-only after open.
#pragma once

#include "recording/dvrx.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rec {

enum class Error {
    Ok,
    FileMissing,     // no such file
    FileUnreadable,  // exists but cannot be opened or read
    NotRecording,    // not RIFF/AVI, or no Motion-JPEG video stream
    Damaged,         // AVI, but its structure is too broken to play (see reason)
};

struct Status {
    Error error = Error::Ok;
    std::string reason;  // human-readable, empty when Ok
    explicit operator bool() const { return error == Error::Ok; }
};

const char* errorName(Error e);

// Non-fatal damage found while opening.
enum class DamageKind {
    TruncatedChunk,  // a chunk runs past its parent or the end of the file
    BadChunk,        // a chunk with an impossible size or id, skipped
    BadHeader,       // a stream or main header that is too short or inconsistent
    BadIndex,        // an index unusable as a whole; another source of frames was used
    IndexEntry,      // index entries pointing outside the file, dropped
    TruncatedFrame,  // a frame cut off by the end of the file, dropped
    IndexRebuilt,    // frames were found by scanning 'movi' (no usable index)
    BadStream,       // a stream dropped (camera out of range or duplicate)
    BadDvrx,         // the 'dvrx' chunk is damaged (sizes, start time)
    CountClamped,    // an event block's wCount above capacity, clamped
};

struct Damage {
    DamageKind kind;
    uint64_t offset;  // file offset where it was found
    std::string what;
};

struct Frame {
    uint64_t offset = 0;  // file offset of the frame's bytes (past the chunk header)
    uint32_t size = 0;    // may be 0: a frame slot with no picture (hold the previous one)
    int64_t timeMs = 0;   // presentation time from the file's start: index * scale / rate
    bool keyframe = true;
};

struct Stream {
    int camera = 0;     // 1..16
    int aviStream = 0;  // stream number in the AVI ('00dc' is 0)
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t rate = 0;  // frame rate is rate / scale frames per second; both > 0
    uint32_t scale = 0;
    std::vector<Frame> frames;

    size_t frameCount() const { return frames.size(); }
    // Time of one frame index: index * scale * 1000 / rate, rounded down.
    int64_t timeOf(uint64_t index) const;
    // frameCount frames of scale/rate seconds each.
    int64_t durationMs() const { return timeOf(frames.size()); }
    // Index of the last frame at or before t (ms); -1 if t is before the first frame or there
    // are none. Past the end it is the last frame.
    long frameAt(int64_t t) const;
};

class Source;  // where the bytes come from (a file or a memory buffer)

class Recording {
public:
    Recording();
    ~Recording();
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;
    Recording(Recording&&) noexcept;
    Recording& operator=(Recording&&) noexcept;

    // path in UTF-8 (on Windows, a path that is not UTF-8 is taken as ANSI).
    Status open(const std::string& path);
    // The bytes are copied; the buffer may go away after the call.
    Status openMemory(const void* data, size_t size);
    void close();
    bool isOpen() const;

    // Streams ordered by camera number.
    const std::vector<Stream>& streams() const { return m_streams; }
    const Stream* streamForCamera(int camera) const;  // nullptr if absent
    uint32_t cameraMask() const;                      // bit k = camera k+1 present
    int64_t durationMs() const;                       // longest stream
    uint64_t fileSize() const { return m_fileSize; }

    const StartTime& startTime() const { return m_start; }
    // Where the start time came from.
    enum class StartSource {
        Dvrx,
        AviDate,
        None
    };
    StartSource startSource() const { return m_startSource; }
    bool hasDvrx() const { return m_hasDvrx; }

    const SourceBlock& sourceBlock() const { return m_source; }
    const MotionBlock& motionBlock() const { return m_motion; }
    const GpiBlock& gpiBlock() const { return m_gpi; }

    const std::vector<Damage>& damage() const { return m_damage; }

    // Copies the frame's bytes into buf (at most capacity bytes, never past the end of the file).
    // Returns the number of bytes copied: frame.size when all went well; less on a read error
    // or a too small buffer.
    size_t readFrame(const Frame& frame, uint8_t* buf, size_t capacity) const;
    // Same into a vector sized to the frame; false on a read error.
    bool readFrame(const Frame& frame, std::vector<uint8_t>& out) const;

private:
    friend class AviParser;
    std::unique_ptr<Source> m_src;
    uint64_t m_fileSize = 0;
    std::vector<Stream> m_streams;
    StartTime m_start;
    StartSource m_startSource = StartSource::None;
    bool m_hasDvrx = false;
    SourceBlock m_source{};
    MotionBlock m_motion{};
    GpiBlock m_gpi{};
    std::vector<Damage> m_damage;

    Status parse();
};

// "YYYY-MM-DD\tHH:MM:SS.mmm", the start time as text for display and for the decoder's
// GetStartTime.
std::string formatStartTime(const StartTime& t);

}  // namespace rec
