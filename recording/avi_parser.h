// The parser behind Recording::open, one concern a file:
//   riff_walk.cpp       the RIFF lists and the chunks at their top level;
//   stream_headers.cpp  'hdrl': the streams, their cameras and frame rates, dates;
//   dvrx_reader.cpp     the DVR's 'dvrx' list: start time and event blocks;
//   frame_index.cpp     where the frames are: OpenDML index, else 'idx1', else a scan.
// Internal to the recording library.
#pragma once

#include "recording/recording.h"
#include "recording/source.h"

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace rec {

// One chunk inside a buffer that was read whole.
struct Chunk {
    uint32_t id;
    uint32_t listType;    // for 'LIST' / 'RIFF', else 0
    const uint8_t* data;  // content (past the list type for lists)
    size_t size;          // content size, clipped to the buffer
    uint64_t fileOffset;  // of the chunk header
    bool clipped;
};

// A chunk at the top level of a RIFF, read in place: its header only.
struct TopChunk {
    uint64_t pos;  // of the chunk header
    uint64_t end;  // of its content, clipped to the RIFF
    uint32_t id;
    uint32_t type;  // the list type of a 'LIST', else 0
    bool clipped;
};

// What the headers say about one stream, before frames are attached.
struct StreamInfo {
    int aviStream = 0;
    bool video = false;
    bool mjpeg = false;
    bool damaged = false;
    uint32_t handler = 0, compression = 0;
    uint32_t rate = 0, scale = 0;
    uint32_t width = 0, height = 0;
    std::string name;
    bool hasName = false;
    std::vector<uint8_t> superIndex;  // 'indx' content
    uint64_t superIndexOffset = 0;
};

// Frames an index named that the file cannot hold.
struct DroppedFrames {
    size_t pastEof = 0;  // start past the end of the file
    size_t cutOff = 0;   // run past it
};

class AviParser {
public:
    explicit AviParser(Recording& r) : m_r(r), m_src(*r.m_src), m_size(r.m_fileSize) {}
    Status run();

private:
    Recording& m_r;
    const Source& m_src;
    uint64_t m_size;
    bool m_haveHdrl = false;
    bool m_avih = false;
    bool m_hdrlDamaged = false;
    uint32_t m_usPerFrame = 0;
    std::vector<StreamInfo> m_info;
    struct Range {
        uint64_t listFourcc, start, end;
    };  // 'movi' fourcc offset, content range
    std::vector<Range> m_movi;
    size_t m_riffs = 0;
    uint64_t m_idx1Off = 0;
    uint32_t m_idx1Size = 0;
    bool m_haveIdx1 = false;
    StartTime m_aviDate;
    bool m_haveAviDate = false;
    std::vector<int> m_slotOfAvi;  // AVI stream number -> index in m_r.m_streams, or -1
    std::set<uint64_t> m_ixSeen;
    uint64_t m_ixBytes = 0;

    // riff_walk.cpp
    void damage(DamageKind k, uint64_t off, const std::string& what);
    bool readAt(uint64_t off, std::vector<uint8_t>& buf, uint64_t n);
    Status walkFile();
    void walkRiff(uint64_t pos, uint64_t end, bool first);
    void takeTopChunk(const TopChunk& c, bool first, std::vector<uint8_t>& buf);
    void forEachChunk(const uint8_t* p, size_t n, uint64_t base, const char* where,
                      const std::function<void(const Chunk&)>& f);
    // stream_headers.cpp
    void parseHdrl(const uint8_t* p, size_t n, uint64_t base);
    void parseStrl(const uint8_t* p, size_t n, uint64_t base);
    void parseInfo(const uint8_t* p, size_t n, uint64_t base);
    void takeDate(const uint8_t* p, size_t n);
    Status acceptStreams();
    int cameraOf(const StreamInfo& s, uint32_t taken, bool& sawDamaged);
    void keepUsableRate(StreamInfo& s);
    // dvrx_reader.cpp
    void parseDvrx(const uint8_t* p, size_t n, uint64_t base);
    bool takeStartTime(const Chunk& c);
    void takeBlock(const Chunk& c, uint8_t* dst, size_t cap, size_t slots, const char* what);
    // frame_index.cpp
    void findFrames();
    bool framesFromOdml(size_t slot, const StreamInfo& info);
    bool readStdIndex(size_t slot, const StreamInfo& info, uint64_t off, DroppedFrames& dropped);
    bool framesFromIdx1(const std::vector<size_t>& slots);
    uint64_t idx1Base(const std::vector<uint8_t>& idx, uint64_t count);
    void framesFromScan(const std::vector<size_t>& slots);
    void scanMovi(const Range& r, const std::vector<bool>& want, DroppedFrames& dropped);
    uint64_t nextPictureChunk(uint64_t from, uint64_t end);
    int slotOfPicture(uint32_t id) const;
    void addFrame(size_t slot, uint64_t dataOff, uint32_t size, bool key, DroppedFrames& dropped);
};

}  // namespace rec
