// Times as the program writes and reads them: "HH:MM:SS", finer where it shows more, and
// "MM:SS" within the hour.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include "domain/hour.h"

namespace domain {

// The digits after "HH:MM:SS": none, tenths (a tile's label), hundredths (the panel's time),
// milliseconds (dvrtool).
enum class Precision {
    Seconds = 0,
    Tenths = 1,
    Hundredths = 2,
    Milliseconds = 3
};

// A clock reads up to 99:59:59.999.
constexpr int64_t kClockLimitMs = 100 * int64_t{kHourMs};

// ms brought into the day: past midnight it wraps round, before it counts back from the end.
int64_t WithinDay(int64_t ms);

// "HH:MM:SS" and, finer than seconds, "." and the fraction, cut rather than rounded. The hours
// are not reduced: 25 hours reads "25:00:00". A time with no such form (before 0, or at the
// clock's limit or past it) reads as dashes in the same shape: "--:--:--.--".
void FormatClock(int64_t ms, Precision precision, char* text, size_t size);
std::string FormatClock(int64_t ms, Precision precision);
// A time of day: wrapped into the day, then as FormatClock.
std::string FormatTimeOfDay(int64_t ms, Precision precision);
// A time of day as "HHMMSS", for file names.
std::string FormatTimeOfDayDigits(int64_t ms);
// "MM:SS" of a number of seconds within the hour: the minutes wrap at its end (3600 reads "00:00").
void FormatMinutesSeconds(int64_t seconds, char* text, size_t size);

// "H:M:S", "M:S" or "S" as milliseconds: at least fieldsAtLeast fields and at most three, each
// after the first below 60, the last with decimals if it likes. False for anything else.
bool ParseClock(const std::string& text, int fieldsAtLeast, int64_t& ms);
// A time of day, "HH:MM" or "HH:MM:SS[.s]", before midnight.
bool ParseTimeOfDay(const std::string& text, int64_t& msOfDay);

}  // namespace domain
