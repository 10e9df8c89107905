#include "tools/stretch.h"

#include "domain/hour.h"
#include "domain/time_of_day.h"
#include "tools/commands.h"

#include <algorithm>
#include <cstring>

namespace dvrtool {

std::string clockText(int64_t msOfDay) { return domain::FormatTimeOfDay(msOfDay, domain::Precision::Milliseconds); }

int resolveStretch(const char* command, const Options& options, int32_t startMsOfDay,
                   const std::vector<const rec::Stream*>& streams, Stretch& stretch, std::FILE* err)
{
    int64_t lengthMs = 0;
    for (const rec::Stream* stream : streams) lengthMs = std::max(lengthMs, stream->durationMs());
    stretch = {startMsOfDay, 0, lengthMs, {}};
    const std::string runs = "the recording runs from " + clockText(startMsOfDay) + " to " +
                             clockText(startMsOfDay + lengthMs);
    for (const char* option : {"--from", "--to"}) {
        if (!options.has(option)) continue;
        const std::string& text = options.value(option);
        int64_t& point = std::strcmp(option, "--from") == 0 ? stretch.fromMs : stretch.toMs;
        if (!parseTimePoint(text, startMsOfDay, point)) {
            std::fprintf(err, "dvrtool %s: bad %s (a time of day 14:32:00, or +MM:SS from the start)\n", command,
                         option);
            return kExitUsage;
        }
        const bool isFrom = &point == &stretch.fromMs;
        if (point > domain::kDayMs / 2 || (isFrom && point >= lengthMs)) {
            std::fprintf(err, "dvrtool %s: %s %s is %s: %s\n", command, option, text.c_str(),
                         point > domain::kDayMs / 2 ? "before the recording's start" : "outside the recording, past its end",
                         runs.c_str());
            return kExitOutOfRange;
        }
        if (point > lengthMs) {
            std::fprintf(err, "dvrtool %s: %s %s is past the end; taking up to the end at %s\n", command, option,
                         text.c_str(), clockText(startMsOfDay + lengthMs).c_str());
            point = lengthMs;
        }
    }
    if (stretch.toMs <= stretch.fromMs) {
        std::fprintf(err, "dvrtool %s: the range is inverted: --to %s is not after --from %s\n", command,
                     clockText(startMsOfDay + stretch.toMs).c_str(), clockText(startMsOfDay + stretch.fromMs).c_str());
        return kExitOutOfRange;
    }
    return kExitOk;
}

}  // namespace dvrtool
