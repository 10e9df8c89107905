#include "recording/dvrx.h"

#include "recording/bytes.h"

namespace rec {

uint16_t blockCount(const uint8_t* block) { return rd16(block + kCountOffset); }
void setBlockCount(uint8_t* block, uint16_t count) { wr16(block + kCountOffset, count); }

// A slot written is a slot in use: the count covers it.
static void useSlot(uint8_t* block, size_t slot)
{
    if (blockCount(block) < slot + 1) setBlockCount(block, uint16_t(slot + 1));
}

void addSourceEvent(SourceBlock& b, size_t slot, int camera)
{
    if (slot >= kSourceSlots || camera < 1 || camera > int(kMaxCameras)) return;
    uint8_t* p = b.data();
    size_t at = kSourceMaskOffset + 4 * slot;
    wr32(p + at, rd32(p + at) | (1u << (camera - 1)));
    // Bit 31 set: the slot takes part.
    wr32(p + kSourceStatusOffset + 4 * slot, 0x80000000u);
    useSlot(p, slot);
}

void setMotionLevel(MotionBlock& b, size_t slot, int camera, uint8_t level)
{
    if (slot >= kMotionSlots || camera < 1 || camera > int(kMaxCameras)) return;
    b[kMotionLevelOffset + kMotionSlots * size_t(camera - 1) + slot] = level;
    useSlot(b.data(), slot);
}

void setGpiValue(GpiBlock& b, size_t slot, int32_t value)
{
    if (slot >= kGpiSlots) return;
    wr32(b.data() + kGpiValueOffset + 4 * slot, uint32_t(value));
    useSlot(b.data(), slot);
}

uint32_t sourceMask(const SourceBlock& b, size_t slot)
{
    return slot < kSourceSlots ? rd32(b.data() + kSourceMaskOffset + 4 * slot) : 0;
}

int32_t sourceStatus(const SourceBlock& b, size_t slot)
{
    return slot < kSourceSlots ? int32_t(rd32(b.data() + kSourceStatusOffset + 4 * slot)) : 0;
}

uint8_t motionLevel(const MotionBlock& b, size_t slot, int camera)
{
    if (slot >= kMotionSlots || camera < 1 || camera > int(kMaxCameras)) return 0;
    return b[kMotionLevelOffset + kMotionSlots * size_t(camera - 1) + slot];
}

int32_t gpiValue(const GpiBlock& b, size_t slot)
{
    return slot < kGpiSlots ? int32_t(rd32(b.data() + kGpiValueOffset + 4 * slot)) : 0;
}

}  // namespace rec
