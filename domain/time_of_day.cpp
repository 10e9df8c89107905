#include "domain/time_of_day.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace domain {

namespace {

struct ClockFields {
    int hours, minutes, seconds, ms;
};

ClockFields FieldsOf(int64_t ms)
{
    return {static_cast<int>(ms / kHourMs), static_cast<int>(ms / kMinuteMs % 60),
            static_cast<int>(ms / kSecondMs % 60), static_cast<int>(ms % kSecondMs)};
}

std::vector<std::string> SplitAtColons(const std::string& text)
{
    std::vector<std::string> fields;
    size_t begin = 0;
    for (;;) {
        const size_t colon = text.find(':', begin);
        fields.push_back(text.substr(begin, colon == std::string::npos ? std::string::npos : colon - begin));
        if (colon == std::string::npos) return fields;
        begin = colon + 1;
    }
}

}  // namespace

int64_t WithinDay(int64_t ms)
{
    const int64_t within = ms % kDayMs;
    return within < 0 ? within + kDayMs : within;
}

void FormatClock(int64_t ms, Precision precision, char* text, size_t size)
{
    static const char* const kDashes[] = {"--:--:--", "--:--:--.-", "--:--:--.--", "--:--:--.---"};
    static const int kUnitMs[] = {1000, 100, 10, 1};
    const int digits = static_cast<int>(precision);
    if (ms < 0 || ms >= kClockLimitMs) {
        std::snprintf(text, size, "%s", kDashes[digits]);
        return;
    }
    const ClockFields f = FieldsOf(ms);
    if (precision == Precision::Seconds)
        std::snprintf(text, size, "%02d:%02d:%02d", f.hours, f.minutes, f.seconds);
    else
        std::snprintf(text, size, "%02d:%02d:%02d.%0*d", f.hours, f.minutes, f.seconds, digits, f.ms / kUnitMs[digits]);
}

std::string FormatClock(int64_t ms, Precision precision)
{
    char text[16];
    FormatClock(ms, precision, text, sizeof text);
    return text;
}

std::string FormatTimeOfDay(int64_t ms, Precision precision) { return FormatClock(WithinDay(ms), precision); }

std::string FormatTimeOfDayDigits(int64_t ms)
{
    const ClockFields f = FieldsOf(WithinDay(ms));
    char text[8];
    std::snprintf(text, sizeof text, "%02d%02d%02d", f.hours, f.minutes, f.seconds);
    return text;
}

void FormatMinutesSeconds(int64_t seconds, char* text, size_t size)
{
    const int64_t within = (seconds % kHourSeconds + kHourSeconds) % kHourSeconds;
    std::snprintf(text, size, "%02d:%02d", static_cast<int>(within / 60), static_cast<int>(within % 60));
}

bool ParseClock(const std::string& text, int fieldsAtLeast, int64_t& ms)
{
    const std::vector<std::string> fields = SplitAtColons(text);
    if (static_cast<int>(fields.size()) < fieldsAtLeast || fields.size() > 3) return false;
    double total = 0;
    for (size_t i = 0; i < fields.size(); i++) {
        const std::string& field = fields[i];
        const bool last = i + 1 == fields.size();
        if (field.empty() || field.size() > 12 || !(field[0] >= '0' && field[0] <= '9')) return false;
        char* end = nullptr;
        const double value = last ? std::strtod(field.c_str(), &end) : double(std::strtoul(field.c_str(), &end, 10));
        if (*end || !std::isfinite(value)) return false;
        if (i > 0 && value >= 60) return false;
        total = total * 60 + value;
    }
    // Beyond any recording, and where a double's milliseconds stop being exact.
    if (total > 1e9) return false;
    ms = std::llround(total * 1000);
    return true;
}

bool ParseTimeOfDay(const std::string& text, int64_t& msOfDay)
{
    // "HH:MM" is hours and minutes, where a clock of two fields would be minutes and seconds.
    const bool hoursAndMinutes = std::count(text.begin(), text.end(), ':') == 1;
    int64_t ms = 0;
    if (!ParseClock(hoursAndMinutes ? text + ":00" : text, 3, ms) || ms >= kDayMs) return false;
    msOfDay = ms;
    return true;
}

}  // namespace domain
