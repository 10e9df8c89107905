// The event index of one recording: the time of day at which it starts and the
// three event blocks (Source, Motion, GPI) exactly as the decoder delivers
// them. The record is a byte image shared with the decoder, so its layout is
// fixed here to the byte and checked at compile time.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr unsigned SOURCE_EVENT_SLOTS = 1000;
constexpr unsigned MOTION_EVENT_SLOTS = 1000;
constexpr unsigned MOTION_EVENT_CAMERAS = 16;
constexpr unsigned GPI_EVENT_SLOTS = 2000;

#pragma pack(push, 1)

struct SOURCE_EVENTS {
    uint32_t dwReserved;
    uint16_t wCount;  // slots in use; use EventCount(), which never exceeds the arrays
    uint16_t wReserved;
    uint32_t dwCameraMask[SOURCE_EVENT_SLOTS];  // bit k: camera k+1 had a source event
    uint32_t dwReserved2[SOURCE_EVENT_SLOTS];
    int32_t lStatus[SOURCE_EVENT_SLOTS];  // a slot counts only when negative
};

struct MOTION_EVENTS {
    uint32_t dwReserved;
    uint16_t wCount;
    uint16_t wReserved;
    uint8_t bLevel[MOTION_EVENT_CAMERAS][MOTION_EVENT_SLOTS];  // [camera][slot]; 0 no motion
};

struct GPI_EVENTS {
    uint32_t dwReserved;
    uint16_t wCount;
    uint16_t wReserved;
    int32_t lValue[GPI_EVENT_SLOTS];
};

struct EVENT_INDEX {
    int32_t lStartTimeMs;  // ms since midnight of the first picture; 0 when unknown
    SOURCE_EVENTS Source;
    MOTION_EVENTS Motion;
    GPI_EVENTS Gpi;
};

#pragma pack(pop)

static_assert(sizeof(SOURCE_EVENTS) == 12008, "Source block size");
static_assert(sizeof(MOTION_EVENTS) == 16008, "Motion block size");
static_assert(sizeof(GPI_EVENTS) == 8008, "GPI block size");
static_assert(sizeof(EVENT_INDEX) == 36028, "event index size");
static_assert(offsetof(EVENT_INDEX, lStartTimeMs) == 0, "start time");
static_assert(offsetof(EVENT_INDEX, Source) == 4, "Source block");
static_assert(offsetof(EVENT_INDEX, Motion) == 12012, "Motion block");
static_assert(offsetof(EVENT_INDEX, Gpi) == 28020, "GPI block");
static_assert(offsetof(EVENT_INDEX, Source.wCount) == 8, "Source count");
static_assert(offsetof(EVENT_INDEX, Source.dwCameraMask) == 12, "Source masks");
static_assert(offsetof(EVENT_INDEX, Source.dwReserved2) == 4012, "Source reserved words");
static_assert(offsetof(EVENT_INDEX, Source.lStatus) == 8012, "Source status words");
static_assert(offsetof(EVENT_INDEX, Motion.wCount) == 12016, "Motion count");
static_assert(offsetof(EVENT_INDEX, Motion.bLevel) == 12020, "Motion levels");
static_assert(offsetof(EVENT_INDEX, Gpi.wCount) == 28024, "GPI count");
static_assert(offsetof(EVENT_INDEX, Gpi.lValue) == 28028, "GPI values");

// The slots in use, never more than the block holds: the count comes from the
// decoder, and every reader indexes the arrays with it.
inline unsigned EventCount(const SOURCE_EVENTS& block)
{
    return block.wCount < SOURCE_EVENT_SLOTS ? block.wCount : SOURCE_EVENT_SLOTS;
}
inline unsigned EventCount(const MOTION_EVENTS& block)
{
    return block.wCount < MOTION_EVENT_SLOTS ? block.wCount : MOTION_EVENT_SLOTS;
}
inline unsigned EventCount(const GPI_EVENTS& block)
{
    return block.wCount < GPI_EVENT_SLOTS ? block.wCount : GPI_EVENT_SLOTS;
}
