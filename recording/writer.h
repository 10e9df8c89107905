// Writer of DVR recordings: AVI with one MJPEG stream per camera, the 'dvrx' chunk, a legacy
// 'idx1' index for the first RIFF and OpenDML indexes ('indx' super index per stream, one
// 'ix##' standard index per stream per RIFF). Past riffLimit bytes it starts a new RIFF 'AVIX'.
//
// Frames are written in the order they are added (callers interleave cameras by time). The
// start time and the blocks may be set until close(), which writes them into the space kept in
// the first RIFF.
#pragma once

#include "recording/dvrx.h"
#include "recording/recording.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace rec {

struct StreamFormat {
    int camera = 1;  // 1..16, written as strn "Camera N"
    uint32_t width = 0;
    uint32_t height = 0;
    // This stream's frame rate, rate / scale; 0 takes the options' (a copy keeps each camera's).
    uint32_t rate = 0;
    uint32_t scale = 0;
};

struct WriterOptions {
    uint32_t rate = 5;  // frames per second = rate / scale, the same for every stream
    uint32_t scale = 1;
    uint64_t riffLimit = 1ull << 30;  // bytes per RIFF before switching to a new 'AVIX'
    bool writeIdx1 = true;
    bool writeOdml = true;
    bool writeDvrx = true;
    // Entries kept in each stream's 'indx' super index: how many RIFFs a stream can span.
    uint32_t superIndexEntries = 256;
};

class Writer {
public:
    Writer() = default;
    ~Writer();  // closes if still open
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    Status open(const std::string& path, const std::vector<StreamFormat>& streams,
                const WriterOptions& options = WriterOptions());
    // stream is the index into the streams given to open().
    Status addFrame(size_t stream, const uint8_t* jpeg, size_t size);

    void setStartTime(const StartTime& t) { m_start = t; }
    void setSourceBlock(const SourceBlock& b) { m_source = b; }
    void setMotionBlock(const MotionBlock& b) { m_motion = b; }
    void setGpiBlock(const GpiBlock& b) { m_gpi = b; }

    Status close();
    uint64_t bytesWritten() const { return m_pos; }
    size_t riffCount() const { return m_riffs; }

private:
    struct Entry {
        uint64_t offset;
        uint32_t size;
    };  // offset of the chunk header
    struct IxRef {
        uint64_t offset;
        uint32_t size;
        uint32_t frames;
    };

    static constexpr size_t kBufferSize = 1 << 20;
    std::unique_ptr<char[]> m_buffer;  // m_f's; outlives it (declared first)
    std::FILE* m_f = nullptr;
    bool m_failed = false;
    std::string m_error;
    std::vector<StreamFormat> m_streams;
    WriterOptions m_opt;
    uint64_t m_pos = 0;
    size_t m_riffs = 0;
    uint64_t m_riffStart = 0;                       // offset of the current 'RIFF'
    uint64_t m_moviStart = 0;                       // offset of the current movi 'LIST'
    std::vector<std::vector<Entry>> m_riffEntries;  // per stream, current RIFF
    std::vector<Entry> m_idx1;                      // first RIFF only, all streams, in order
    std::vector<uint32_t> m_idx1Stream;
    std::vector<std::vector<IxRef>> m_ix;  // per stream: written 'ix##' chunks
    std::vector<uint64_t> m_indxPos;       // per stream: offset of its 'indx' chunk
    std::vector<uint64_t> m_strhPos;       // per stream: offset of its strh content
    std::vector<uint32_t> m_frames;        // per stream: frames written
    uint32_t m_maxFrame = 0;
    uint32_t m_firstRiffFrames = 0;  // frames of stream 0 in the first RIFF
    uint64_t m_avihPos = 0, m_dmlhPos = 0, m_dvrxPos = 0;
    StartTime m_start;
    SourceBlock m_source{};
    MotionBlock m_motion{};
    GpiBlock m_gpi{};

    bool put(const void* p, size_t n);
    bool put32(uint32_t v);
    bool put16(uint16_t v);
    bool putTag(const char* t);
    // A chunk with its content, padded to an even size; returns the content's offset.
    uint64_t putChunk(const char* tag, const std::vector<uint8_t>& content);
    // A LIST of the given type whose size endList patches; returns its offset.
    uint64_t beginList(const char* type);
    void endList(uint64_t at);
    bool patch(uint64_t pos, const void* p, size_t n);
    bool patch32(uint64_t pos, uint32_t v);
    void writeHeader();
    void writeStreamList(size_t i);
    void writeDvrx();
    void beginRiff();
    void endRiff();
    bool writeStdIndexes();
    void writeIdx1();
    Status fail(const std::string& why);
};

}  // namespace rec
