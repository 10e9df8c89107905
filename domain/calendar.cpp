#include "domain/calendar.h"

#include <cstdio>
#include <ctime>

namespace domain {

Date DaysAfter(const Date& date, int nDays)
{
    if (!date.IsKnown())
        return {};
    // The C library carries the days over; noon, so that no change of clocks moves the date.
    std::tm when = {};
    when.tm_year = date.year - 1900;
    when.tm_mon = date.month - 1;
    when.tm_mday = date.day + nDays;
    when.tm_hour = 12;
    when.tm_isdst = -1;
    if (std::mktime(&when) == std::time_t(-1))
        return {};
    return {when.tm_year + 1900, when.tm_mon + 1, when.tm_mday};
}

std::string FormatDate(const Date& date, const char* separator)
{
    char text[48];
    std::snprintf(text, sizeof text, "%04d%s%02d%s%02d", date.year, separator, date.month, separator, date.day);
    return text;
}

}  // namespace domain
