// A time of day as the control writes it: in the tiles' labels and in the file
// names it offers for snapshots.
#pragma once
#include <cstdint>
#include <string>

// The time of day msOfDay (past midnight it wraps round) as "HH:MM:SS.s".
std::string TimeOfDayText(int64_t msOfDay);
// As "HHMMSS", for file names.
std::string TimeOfDayDigits(int64_t msOfDay);
