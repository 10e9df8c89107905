#include "tools/search.h"

#include "tools/commands.h"
#include "tools/options.h"

#include "domain/hour.h"
#include "domain/time_of_day.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace dvrtool {

namespace {

// Days from 1970-01-01 to a date of the civil calendar.
int64_t daysOf(int year, int month, int day)
{
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

int64_t startOnDayLine(const rec::StartTime& start)
{
    const bool dated = start.year > 0 && start.month > 0 && start.day > 0;
    return (dated ? daysOf(start.year, start.month, start.day) * domain::kDayMs : 0) + start.msOfDay;
}

// A number with nothing after it but, maybe, one '%'.
bool parseNumber(const std::string& text, double& value, bool& share)
{
    share = !text.empty() && text.back() == '%';
    const std::string digits = share ? text.substr(0, text.size() - 1) : text;
    if (digits.empty() || !(std::isdigit(static_cast<unsigned char>(digits[0])))) return false;
    char* end = nullptr;
    value = std::strtod(digits.c_str(), &end);
    if (*end || !(value >= 0) || value > (share ? 100 : 65535)) return false;
    return share || value == std::floor(value);  // pixels are whole
}

// The point a --from or --to names on the day line; false when it names none.
bool pointOf(const std::string& text, const SearchFile& first, int64_t& point)
{
    int64_t offset = 0;
    if (!parseTimePoint(text, first.recording->startTime().msOfDay, offset)) return false;
    point = first.startMs + offset;
    return true;
}

}  // namespace

bool parseRegion(const std::string& text, RegionText& region)
{
    size_t at = 0;
    for (int i = 0; i < 4; i++) {
        const size_t comma = i < 3 ? text.find(',', at) : text.size();
        if (comma == std::string::npos) return false;
        if (!parseNumber(text.substr(at, comma - at), region.value[i], region.share[i])) return false;
        at = comma + 1;
    }
    return at == text.size() + 1;
}

bool resolveRegion(const RegionText& text, uint32_t width, uint32_t height, FrameRegion& region)
{
    unsigned* const sides[4] = {&region.x, &region.y, &region.w, &region.h};
    for (int i = 0; i < 4; i++) {
        const double whole = i % 2 == 0 ? width : height;
        *sides[i] = unsigned(std::lround(text.share[i] ? text.value[i] * whole / 100 : text.value[i]));
    }
    return region.w > 0 && region.h > 0 && uint64_t(region.x) + region.w <= width &&
           uint64_t(region.y) + region.h <= height;
}

int openRecordings(const std::vector<std::string>& paths, std::vector<SearchFile>& files, std::FILE* err)
{
    for (const std::string& path : paths) {
        SearchFile file;
        file.path = path;
        file.recording = std::make_unique<rec::Recording>();
        const rec::Status status = file.recording->open(path);
        if (!status) {
            std::fprintf(err, "dvrtool search: %s: %s\n", path.c_str(), status.reason.c_str());
            return exitCodeOf(status.error);
        }
        file.startMs = startOnDayLine(file.recording->startTime());
        file.toMs = file.recording->durationMs();
        files.push_back(std::move(file));
    }
    std::stable_sort(files.begin(), files.end(),
                     [](const SearchFile& a, const SearchFile& b) { return a.startMs < b.startMs; });
    return kExitOk;
}

int chooseStretches(const std::string* from, const std::string* to, std::vector<SearchFile>& files, std::FILE* err)
{
    const SearchFile& first = files.front();
    int64_t begin = INT64_MIN, end = INT64_MAX;
    if ((from && !pointOf(*from, first, begin)) || (to && !pointOf(*to, first, end))) {
        std::fprintf(err, "dvrtool search: bad %s (a time of day 14:32:00, or +MM:SS from the start)\n",
                     from && !pointOf(*from, first, begin) ? "--from" : "--to");
        return kExitBadArguments;
    }
    std::vector<SearchFile> chosen;
    for (SearchFile& file : files) {
        file.fromMs = std::max<int64_t>(0, begin == INT64_MIN ? 0 : begin - file.startMs);
        file.toMs = std::min(file.recording->durationMs(), end == INT64_MAX ? INT64_MAX : end - file.startMs);
        if (file.fromMs < file.toMs) chosen.push_back(std::move(file));
    }
    if (chosen.empty()) {
        std::fprintf(err, "dvrtool search: %s to %s is outside the recording%s\n", from ? from->c_str() : "the start",
                     to ? to->c_str() : "the end", files.size() > 1 ? "s" : "");
        return kExitOutOfRange;
    }
    files = std::move(chosen);
    return kExitOk;
}

}  // namespace dvrtool
