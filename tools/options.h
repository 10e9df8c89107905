// dvrtool's command lines: the words after a command's name, as options and arguments, and
// the values more than one command takes.
#pragma once

#include "recording/dvrx.h"
#include "tools/format.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace dvrtool {

struct Options {
    std::map<std::string, std::string> values;  // by the option's name, "-o" or "--fps"
    std::vector<std::string> positional;

    bool has(const std::string& name) const { return values.count(name) > 0; }
    const std::string& value(const std::string& name) const { return values.at(name); }
};

// Every option takes a value, but flags, which are there or not (their value is empty); false
// with a message on an unknown one or a missing value. With no options known every word is an
// argument, so that a FILE may begin with '-'.
bool parseOptions(const std::vector<std::string>& words, const std::vector<std::string>& known, Options& options,
                  std::string& error, const std::vector<std::string>& flags = {});

// "5", "12.5" or "30000/1001" as rate/scale; false if not a positive rate.
bool parseFps(const std::string& text, uint32_t& rate, uint32_t& scale);
// "WxH", each even and 16..4096.
bool parseSize(const std::string& text, uint32_t& width, uint32_t& height);
// "YYYY-MM-DD HH:MM:SS.mmm" (the milliseconds, seconds and time may be left out).
bool parseStartTime(const std::string& text, rec::StartTime& start);
// A recording's length: 0 < S <= 3600.
bool parseSeconds(const std::string& text, double& seconds);
// A whole number from lowest to highest, with nothing after it.
bool parseWhole(const std::string& text, int lowest, int highest, int& value);

// A moment in a recording as milliseconds from its start: "+SS", "+MM:SS" or "+HH:MM:SS" from
// the start (seconds may have decimals), or a time of day "HH:MM" or "HH:MM:SS[.s]" on the
// recording's clock, which starts at startMsOfDay. A time of day before the start is taken as
// the next day's, for recordings that run past midnight. False if the text is neither.
bool parseTimePoint(const std::string& text, int32_t startMsOfDay, int64_t& offsetMs);

// --fps, --size, --quality and --start, where given, over the command's defaults; false after
// saying on err which one is wrong.
bool readPictureOptions(const Options& options, PictureFormat& format, rec::StartTime& start, std::FILE* err);

}  // namespace dvrtool
