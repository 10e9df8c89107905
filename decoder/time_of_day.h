// A time of day as the control writes it: in the tiles' labels and in the file names it
// offers for snapshots. Past midnight it wraps round.
#pragma once
#include <cstdint>
#include <string>
#include "domain/time_of_day.h"

// "HH:MM:SS.s": tenths, as the labels show them.
inline std::string TimeOfDayText(int64_t msOfDay) { return domain::FormatTimeOfDay(msOfDay, domain::Precision::Tenths); }
// "HHMMSS", for file names.
inline std::string TimeOfDayDigits(int64_t msOfDay) { return domain::FormatTimeOfDayDigits(msOfDay); }
