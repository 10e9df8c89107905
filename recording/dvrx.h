// What a DVR adds to an AVI recording: its start time and three event blocks.
//
// The chunk is a LIST of type 'dvrx' inside the first RIFF 'AVI ' (the writer puts it right
// after 'hdrl'). All numbers are little-endian; every subchunk is padded to an even size as
// RIFF requires. Subchunks, in any order (unknown ones are skipped):
//
//   'dvst'  8 bytes      start time of the first picture
//             0  uint16  year (e.g. 2024)
//             2  uint8   month 1..12
//             3  uint8   day 1..31
//             4  uint32  milliseconds since midnight, < 86400000
//   'dvsr'  12008 bytes  Source block, byte for byte (layout below)
//   'dvmo'  16008 bytes  Motion block
//   'dvgp'  8008 bytes   GPI block
//
// Every block starts with an 8-byte header:
//   0  uint8[4]  reserved (0)
//   4  uint16    wCount: slots in use
//   6  uint8[2]  reserved (0)
//
// SOURCE block (12008 bytes):
//   8      uint32 dwCameraMask[1000]  bit k set: camera k+1 had a source event in that slot
//   4008   uint8  reserved[4000]
//   8008   int32  lStatus[1000]       a slot takes part only when its status is negative
// MOTION block (16008 bytes):
//   8      uint8  bLevel[16][1000]    camera-major: camera k+1, slot j at 8 + 1000*k + j;
//                                     0 = no motion, 1..255 = amount
// GPI block (8008 bytes):
//   8      int32  lValue[2000]
//
// Slots divide the hour from the file's start evenly: 1000 slots of 3.6 s for Source and
// Motion, 2000 slots of 1.8 s for GPI.
//
// Reading: a missing 'dvrx' is normal (empty blocks, start time from the AVI's own date or
// midnight). Inside a present 'dvrx', a missing subchunk, a subchunk of the wrong size (the
// bytes present are used, the rest is zero), a wCount above capacity (clamped) or an invalid
// start time (ignored) are reported as damage.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "domain/hour.h"

namespace rec {

constexpr size_t kBlockHeaderSize = 8;

constexpr size_t kSourceSlots = domain::SlotCount(domain::EventType::Source);
constexpr size_t kMotionSlots = domain::SlotCount(domain::EventType::Motion);
constexpr size_t kGpiSlots = domain::SlotCount(domain::EventType::Gpi);
constexpr size_t kMaxCameras = 16;

constexpr size_t kSourceBlockSize = 12008;
constexpr size_t kMotionBlockSize = 16008;
constexpr size_t kGpiBlockSize = 8008;

// Byte offsets inside the blocks.
constexpr size_t kSourceMaskOffset = 8;
constexpr size_t kSourceStatusOffset = 8008;
constexpr size_t kMotionLevelOffset = 8;
constexpr size_t kGpiValueOffset = 8;
constexpr size_t kCountOffset = 4;

// Milliseconds covered by one slot.
constexpr int64_t kSourceSlotMs = domain::SlotMs(domain::EventType::Source);
constexpr int64_t kMotionSlotMs = domain::SlotMs(domain::EventType::Motion);
constexpr int64_t kGpiSlotMs = domain::SlotMs(domain::EventType::Gpi);

using SourceBlock = std::array<uint8_t, kSourceBlockSize>;
using MotionBlock = std::array<uint8_t, kMotionBlockSize>;
using GpiBlock = std::array<uint8_t, kGpiBlockSize>;

struct StartTime {
    int year = 0;         // 0 when unknown
    int month = 0;        // 1..12, 0 when unknown
    int day = 0;          // 1..31, 0 when unknown
    int32_t msOfDay = 0;  // milliseconds since midnight
    bool operator==(const StartTime& o) const
    {
        return year == o.year && month == o.month && day == o.day && msOfDay == o.msOfDay;
    }
};

// Field access over the raw blocks (bounds are the caller's; slot/camera are checked by assert
// only in the builders below, which clamp instead).
uint16_t blockCount(const uint8_t* block);
void setBlockCount(uint8_t* block, uint16_t count);

// Builders used by the writer's callers and the tests. Each marks the slot in use by raising
// wCount to slot+1 when needed; out-of-range slots and cameras are ignored.
void addSourceEvent(SourceBlock& b, size_t slot, int camera);  // camera 1..16
void setMotionLevel(MotionBlock& b, size_t slot, int camera, uint8_t level);
void setGpiValue(GpiBlock& b, size_t slot, int32_t value);

uint32_t sourceMask(const SourceBlock& b, size_t slot);
int32_t sourceStatus(const SourceBlock& b, size_t slot);
uint8_t motionLevel(const MotionBlock& b, size_t slot, int camera);
int32_t gpiValue(const GpiBlock& b, size_t slot);

// Slot of a time offset (ms from the file's start); a value past the hour maps past the end.
inline size_t sourceSlotOf(int64_t ms) { return ms < 0 ? 0 : size_t(ms / kSourceSlotMs); }
inline size_t motionSlotOf(int64_t ms) { return ms < 0 ? 0 : size_t(ms / kMotionSlotMs); }
inline size_t gpiSlotOf(int64_t ms) { return ms < 0 ? 0 : size_t(ms / kGpiSlotMs); }

}  // namespace rec
