// Dates carried over month, year and leap-day ends, and their texts.
#include "domain/calendar.h"

#include <gtest/gtest.h>

using namespace domain;

TEST(Calendar, DaysCarryOverMonthsYearsAndLeapDaysAndTheTextsKeepTheirForm)
{
    EXPECT_EQ("2024-03-01", FormatDate(DaysAfter({2024, 2, 28}, 2)));  // 2024 has a 29 February
    EXPECT_EQ("2023-03-01", FormatDate(DaysAfter({2023, 2, 28}, 1)));
    EXPECT_EQ("2025-01-01", FormatDate(DaysAfter({2024, 12, 31}, 1)));
    EXPECT_EQ("2024-12-31", FormatDate(DaysAfter({2025, 1, 1}, -1)));
    EXPECT_EQ("20240517", FormatDate(DaysAfter({2024, 5, 17}, 0), ""));
    EXPECT_FALSE(DaysAfter({0, 0, 0}, 1).IsKnown()) << "a recording with no date has none the next day";
}
