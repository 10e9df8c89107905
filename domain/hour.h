// The hour a recording covers, and the slots its event blocks divide it into.
#pragma once
#include <cstdint>
#include "domain/event_type.h"

namespace domain {

constexpr int32_t kSecondMs = 1000;
constexpr int32_t kMinuteMs = 60 * kSecondMs;
constexpr int32_t kHourSeconds = 3600;
constexpr int32_t kHourMs = kHourSeconds * kSecondMs;
constexpr int32_t kDayMs = 24 * kHourMs;

// The slots cover the hour from the file's start evenly: 1000 of 3.6 s for Source and
// Motion, 2000 of 1.8 s for GPI.
constexpr int32_t kEventSlots = 1000;
constexpr int32_t kGpiSlots = 2000;

constexpr int32_t SlotCount(EventType type) { return type == EventType::Gpi ? kGpiSlots : kEventSlots; }
constexpr int32_t SlotMs(EventType type) { return kHourMs / SlotCount(type); }
static_assert(SlotMs(EventType::Source) * kEventSlots == kHourMs && SlotMs(EventType::Gpi) * kGpiSlots == kHourMs,
              "the slots divide the hour exactly");

// The slot an offset from the file's start falls in: before the start is slot 0, past the
// hour is past the last slot (the caller decides what that means).
constexpr int64_t SlotOf(EventType type, int64_t offsetMs) { return offsetMs < 0 ? 0 : offsetMs / SlotMs(type); }
// Where a slot begins, from the file's start.
constexpr int64_t SlotOffsetMs(EventType type, int64_t slot) { return slot * SlotMs(type); }

// The whole seconds of a time past its last full hour, as a control spanning one hour shows it.
constexpr int32_t SecondsIntoHour(int64_t ms) { return static_cast<int32_t>(ms / kSecondMs % kHourSeconds); }

}  // namespace domain
