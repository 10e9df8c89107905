// The stretch of a recording that export and clip take: --from and --to read, checked against
// the chosen cameras, with messages that say where the recording runs.
#pragma once

#include "recording/recording.h"
#include "tools/options.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace dvrtool {

// [from, to) of the recording, as offsets from its start.
struct Stretch {
    int32_t startMsOfDay = 0;
    int64_t fromMs = 0, toMs = 0;
    std::string dates[2];  // "2024-05-17 ", the start's day and the next, or empty when the recording has none
};

// A moment as a time of day on the recording's clock, which wraps at midnight as the player's does.
std::string clockText(int64_t msOfDay);

// --from and --to inside the longest of the chosen cameras; the whole of it by default. A --to
// past the end is taken as the end. A time of day before the start wraps to the next day, far
// past any recording's hour: that is how it is told from one past the end. An exit code; the
// messages name the command ("export").
int resolveStretch(const char* command, const Options& options, int32_t startMsOfDay,
                   const std::vector<const rec::Stream*>& streams, Stretch& stretch, std::FILE* err);

}  // namespace dvrtool
