// Calendar dates: the day some days after another, and its text. A picture past
// midnight, or an export that runs into the next day, is dated through here.
#pragma once
#include <string>

namespace domain {

struct Date {
    int year = 0, month = 0, day = 0;  // all 0: not known
    bool IsKnown() const { return year > 0 && month > 0 && day > 0; }
};

// The date nDays after date (before it, when negative), across months and
// years. An unknown date, or one the system's calendar cannot hold, gives an
// unknown one.
Date DaysAfter(const Date& date, int nDays);
// "2024-05-17", or with another separator between the fields ("20240517" with "").
std::string FormatDate(const Date& date, const char* separator = "-");

}  // namespace domain
