// The fixed records of an AVI's header list as the writer fills them, field by field in
// the file's order. Each struct mirrors its record's layout (every field naturally
// aligned, no padding), so offsetof gives a field's place in the file for the values
// patched at close; encode() writes the record little-endian, whatever the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace rec {

// A four-character code into a record's field.
inline void setTag(char (&field)[4], const char* t) { std::memcpy(field, t, 4); }

// 'avih'
struct MainHeader {
    uint32_t microSecPerFrame = 0;
    uint32_t maxBytesPerSec = 0;
    uint32_t paddingGranularity = 0;
    uint32_t flags = 0;
    uint32_t totalFrames = 0;  // of the first RIFF
    uint32_t initialFrames = 0;
    uint32_t streams = 0;
    uint32_t suggestedBufferSize = 0;  // the largest frame
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t reserved[4] = {};
};
constexpr uint32_t kAvifHasIndex = 0x10;        // an 'idx1' follows 'movi'
constexpr uint32_t kAvifIsInterleaved = 0x100;  // streams' chunks in time order

// 'strh'
struct StreamHeader {
    char fccType[4] = {};
    char fccHandler[4] = {};
    uint32_t flags = 0;
    uint16_t priority = 0;
    uint16_t language = 0;
    uint32_t initialFrames = 0;
    uint32_t scale = 0;  // frames per second = rate / scale
    uint32_t rate = 0;
    uint32_t start = 0;
    uint32_t length = 0;  // frames of the stream, all RIFFs
    uint32_t suggestedBufferSize = 0;
    uint32_t quality = 0xffffffffu;  // the codec's default
    uint32_t sampleSize = 0;         // 0: samples (frames) vary in size
    uint16_t frameLeft = 0, frameTop = 0, frameRight = 0, frameBottom = 0;
};

// 'strf' of a video stream: a BITMAPINFOHEADER.
struct BitmapInfoHeader {
    uint32_t size = 40;
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t planes = 1;
    uint16_t bitCount = 24;
    char compression[4] = {};
    uint32_t sizeImage = 0;
    uint32_t xPelsPerMeter = 0;
    uint32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;
};

// The head of an 'indx' super index (its entries of 16 bytes follow).
struct SuperIndexHeader {
    uint16_t longsPerEntry = 4;
    uint8_t indexSubType = 0;
    uint8_t indexType = 0;  // AVI_INDEX_OF_INDEXES
    uint32_t entriesInUse = 0;
    char chunkId[4] = {};  // the stream's picture chunks, '##dc'
    uint32_t reserved[3] = {};
};

static_assert(sizeof(MainHeader) == 56 && offsetof(MainHeader, totalFrames) == 16, "avih layout");
static_assert(sizeof(StreamHeader) == 56 && offsetof(StreamHeader, length) == 32, "strh layout");
static_assert(sizeof(BitmapInfoHeader) == 40, "strf layout");
static_assert(sizeof(SuperIndexHeader) == 24, "indx layout");

std::vector<uint8_t> encode(const MainHeader& h);
std::vector<uint8_t> encode(const StreamHeader& h);
std::vector<uint8_t> encode(const BitmapInfoHeader& h);
std::vector<uint8_t> encode(const SuperIndexHeader& h);

}  // namespace rec
