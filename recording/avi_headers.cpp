#include "recording/avi_headers.h"

#include "recording/bytes.h"

namespace rec {

namespace {

// Appends little-endian fields.
class Fields {
public:
    Fields& u8(uint8_t v)
    {
        m_b.push_back(v);
        return *this;
    }
    Fields& u16(uint16_t v)
    {
        uint8_t x[2];
        wr16(x, v);
        m_b.insert(m_b.end(), x, x + 2);
        return *this;
    }
    Fields& u32(uint32_t v)
    {
        uint8_t x[4];
        wr32(x, v);
        m_b.insert(m_b.end(), x, x + 4);
        return *this;
    }
    Fields& tag(const char (&t)[4])
    {
        m_b.insert(m_b.end(), t, t + 4);
        return *this;
    }
    std::vector<uint8_t> take() { return std::move(m_b); }

private:
    std::vector<uint8_t> m_b;
};

}  // namespace

std::vector<uint8_t> encode(const MainHeader& h)
{
    Fields f;
    f.u32(h.microSecPerFrame).u32(h.maxBytesPerSec).u32(h.paddingGranularity).u32(h.flags);
    f.u32(h.totalFrames).u32(h.initialFrames).u32(h.streams).u32(h.suggestedBufferSize);
    f.u32(h.width).u32(h.height);
    for (uint32_t r : h.reserved) f.u32(r);
    return f.take();
}

std::vector<uint8_t> encode(const StreamHeader& h)
{
    Fields f;
    f.tag(h.fccType).tag(h.fccHandler).u32(h.flags).u16(h.priority).u16(h.language);
    f.u32(h.initialFrames).u32(h.scale).u32(h.rate).u32(h.start).u32(h.length);
    f.u32(h.suggestedBufferSize).u32(h.quality).u32(h.sampleSize);
    f.u16(h.frameLeft).u16(h.frameTop).u16(h.frameRight).u16(h.frameBottom);
    return f.take();
}

std::vector<uint8_t> encode(const BitmapInfoHeader& h)
{
    Fields f;
    f.u32(h.size).u32(h.width).u32(h.height).u16(h.planes).u16(h.bitCount).tag(h.compression);
    f.u32(h.sizeImage).u32(h.xPelsPerMeter).u32(h.yPelsPerMeter).u32(h.clrUsed).u32(h.clrImportant);
    return f.take();
}

std::vector<uint8_t> encode(const SuperIndexHeader& h)
{
    Fields f;
    f.u16(h.longsPerEntry).u8(h.indexSubType).u8(h.indexType).u32(h.entriesInUse).tag(h.chunkId);
    for (uint32_t r : h.reserved) f.u32(r);
    return f.take();
}

}  // namespace rec
