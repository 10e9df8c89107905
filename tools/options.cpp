#include "tools/options.h"

#include "domain/time_of_day.h"
#include "recording/avidate.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace dvrtool {

bool parseOptions(const std::vector<std::string>& words, const std::vector<std::string>& known, Options& options,
                  std::string& error, const std::vector<std::string>& flags)
{
    for (size_t i = 0; i < words.size(); i++) {
        const std::string& word = words[i];
        if (std::find(flags.begin(), flags.end(), word) != flags.end()) {
            options.values[word] = "";
        } else if (!known.empty() && word.size() > 1 && word[0] == '-') {
            if (std::find(known.begin(), known.end(), word) == known.end()) {
                error = "unknown option " + word;
                return false;
            }
            if (i + 1 >= words.size()) {
                error = "option " + word + " needs a value";
                return false;
            }
            options.values[word] = words[++i];
        } else {
            options.positional.push_back(word);
        }
    }
    return true;
}

bool parseFps(const std::string& text, uint32_t& rate, uint32_t& scale)
{
    char* end = nullptr;
    size_t slash = text.find('/');
    if (slash != std::string::npos) {
        unsigned long frames = std::strtoul(text.c_str(), &end, 10);
        if (end != text.c_str() + slash) return false;
        const char* denominator = text.c_str() + slash + 1;
        unsigned long seconds = std::strtoul(denominator, &end, 10);
        if (end == denominator || *end || frames == 0 || seconds == 0 || frames > 1000000 || seconds > 1000000 ||
            frames > seconds * 1000)
            return false;
        rate = uint32_t(frames);
        scale = uint32_t(seconds);
        return true;
    }
    double fps = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end || !(fps > 0) || fps > 1000) return false;
    // Three decimals are plenty for frame rates.
    uint32_t frames = uint32_t(std::llround(fps * 1000)), seconds = 1000;
    if (frames == 0) return false;
    for (uint32_t factor : {2u, 2u, 2u, 5u, 5u, 5u})
        if (frames % factor == 0 && seconds % factor == 0) frames /= factor, seconds /= factor;
    rate = frames;
    scale = seconds;
    return true;
}

bool parseSize(const std::string& text, uint32_t& width, uint32_t& height)
{
    unsigned across = 0, down = 0;
    char times = 0, extra = 0;
    if (std::sscanf(text.c_str(), "%5u%c%5u%c", &across, &times, &down, &extra) != 3 || times != 'x') return false;
    if (across < 16 || down < 16 || across > 4096 || down > 4096 || (across & 1) || (down & 1)) return false;
    width = across;
    height = down;
    return true;
}

bool parseStartTime(const std::string& text, rec::StartTime& start) { return rec::parseAviDate(text, start); }

bool parseSeconds(const std::string& text, double& seconds)
{
    char* end = nullptr;
    seconds = std::strtod(text.c_str(), &end);
    return end != text.c_str() && *end == 0 && std::isfinite(seconds) && seconds > 0 && seconds <= domain::kHourSeconds;
}

bool parseWhole(const std::string& text, int lowest, int highest, int& value)
{
    char* end = nullptr;
    long number = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end || number < lowest || number > highest) return false;
    value = int(number);
    return true;
}

bool parseTimePoint(const std::string& text, int32_t startMsOfDay, int64_t& offsetMs)
{
    if (!text.empty() && text[0] == '+') return domain::ParseClock(text.substr(1), 1, offsetMs);
    int64_t ofDay = 0;
    if (!domain::ParseTimeOfDay(text, ofDay)) return false;
    offsetMs = ofDay - startMsOfDay;
    if (offsetMs < 0) offsetMs += domain::kDayMs;
    return true;
}

bool readPictureOptions(const Options& options, PictureFormat& format, rec::StartTime& start, std::FILE* err)
{
    if (options.has("--fps") && !parseFps(options.value("--fps"), format.rate, format.scale)) {
        std::fprintf(err, "dvrtool: bad --fps\n");
        return false;
    }
    if (options.has("--size") && !parseSize(options.value("--size"), format.width, format.height)) {
        std::fprintf(err, "dvrtool: bad --size (WxH, even, 16..4096)\n");
        return false;
    }
    if (options.has("--quality") && !parseWhole(options.value("--quality"), 2, 31, format.quality)) {
        std::fprintf(err, "dvrtool: --quality must be 2..31\n");
        return false;
    }
    if (options.has("--start") && !parseStartTime(options.value("--start"), start)) {
        std::fprintf(err, "dvrtool: bad --start (YYYY-MM-DD HH:MM:SS.mmm)\n");
        return false;
    }
    return true;
}

}  // namespace dvrtool
