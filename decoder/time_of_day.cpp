#include "decoder/time_of_day.h"
#include <cstdio>

namespace {

const int64_t kDayMs = 24LL * 60 * 60 * 1000;

int64_t WithinTheDay(int64_t msOfDay)
{
    const int64_t ms = msOfDay % kDayMs;
    return ms < 0 ? ms + kDayMs : ms;
}

}  // namespace

std::string TimeOfDayText(int64_t msOfDay)
{
    const int64_t ms = WithinTheDay(msOfDay);
    char sz[16];
    std::snprintf(sz, sizeof sz, "%02d:%02d:%02d.%d", int(ms / 3600000), int(ms / 60000 % 60), int(ms / 1000 % 60),
                  int(ms / 100 % 10));
    return sz;
}

std::string TimeOfDayDigits(int64_t msOfDay)
{
    const int64_t ms = WithinTheDay(msOfDay);
    char sz[8];
    std::snprintf(sz, sizeof sz, "%02d%02d%02d", int(ms / 3600000), int(ms / 60000 % 60), int(ms / 1000 % 60));
    return sz;
}
