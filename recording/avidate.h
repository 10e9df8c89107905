// The date an ordinary AVI carries ('IDIT', INFO 'ICRD'), read as a start time.
#pragma once

#include "recording/dvrx.h"

#include <string>

namespace rec {

// Accepts "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS[.fff]" (also with 'T' or ':' date separators,
// as ffmpeg and cameras write it) and the C library's "Wed Jan 02 02:03:55 1990".
// False when the text is none of these or out of range.
bool parseAviDate(const std::string& text, StartTime& out);

}  // namespace rec
