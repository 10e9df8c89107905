// Times as the program writes and reads them, and the hour's event slots.
#include "domain/time_of_day.h"

#include <gtest/gtest.h>

using namespace domain;

namespace {

constexpr int64_t At(int h, int m, int s, int ms = 0) { return ((h * 60 + m) * 60 + s) * int64_t{1000} + ms; }

}  // namespace

TEST(Clock, EachPrecisionCutsRatherThanRounds)
{
    const struct {
        int64_t ms;
        Precision precision;
        const char* text;
    } cases[] = {
        {At(14, 32, 7, 999), Precision::Seconds, "14:32:07"},
        {At(14, 32, 7, 999), Precision::Tenths, "14:32:07.9"},
        {At(14, 32, 7, 999), Precision::Hundredths, "14:32:07.99"},
        {At(14, 32, 7, 5), Precision::Milliseconds, "14:32:07.005"},
        {At(14, 32, 7, 50), Precision::Hundredths, "14:32:07.05"},
        {0, Precision::Hundredths, "00:00:00.00"},
        // Hours are not reduced: a clock past midnight runs on.
        {At(25, 0, 0), Precision::Seconds, "25:00:00"},
        {kClockLimitMs - 1, Precision::Hundredths, "99:59:59.99"},
        // No two-digit form: dashes in the same shape.
        {kClockLimitMs, Precision::Hundredths, "--:--:--.--"},
        {-1, Precision::Seconds, "--:--:--"},
        {-1, Precision::Milliseconds, "--:--:--.---"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatClock(c.ms, c.precision), c.text) << c.ms;

    // A short buffer gets a cut, terminated text.
    char shortText[6];
    FormatClock(At(1, 2, 3), Precision::Seconds, shortText, sizeof shortText);
    EXPECT_STREQ(shortText, "01:02");
}

TEST(Clock, TimesOfDayWrapAtMidnight)
{
    EXPECT_EQ(FormatTimeOfDay(At(24, 5, 0), Precision::Tenths), "00:05:00.0");
    EXPECT_EQ(FormatTimeOfDay(At(48, 0, 1, 250), Precision::Milliseconds), "00:00:01.250");
    EXPECT_EQ(FormatTimeOfDay(-50, Precision::Tenths), "23:59:59.9");
    EXPECT_EQ(FormatTimeOfDayDigits(At(24 + 14, 32, 7, 500)), "143207");

    char text[8];
    for (const auto& c : {std::make_pair(0, "00:00"), std::make_pair(754, "12:34"), std::make_pair(3599, "59:59"),
                          std::make_pair(3600, "00:00"), std::make_pair(-1, "59:59")}) {
        FormatMinutesSeconds(c.first, text, sizeof text);
        EXPECT_STREQ(text, c.second) << c.first;
    }
}

TEST(Clock, ParsedFromTheFieldsGiven)
{
    int64_t ms = -1;
    ASSERT_TRUE(ParseClock("12:30", 1, ms));
    EXPECT_EQ(ms, At(0, 12, 30));
    ASSERT_TRUE(ParseClock("1.25", 1, ms));
    EXPECT_EQ(ms, 1250);
    ASSERT_TRUE(ParseClock("1:00:00", 1, ms));
    EXPECT_EQ(ms, kHourMs);
    EXPECT_FALSE(ParseClock("12:30", 3, ms));
    for (const char* bad : {"", "1:60", "-5", "a", "1:2:3:4", "1e99", "1:", ":1", "1:2x"})
        EXPECT_FALSE(ParseClock(bad, 1, ms)) << bad;

    ASSERT_TRUE(ParseTimeOfDay("08:10", ms)) << "two fields are hours and minutes";
    EXPECT_EQ(ms, At(8, 10, 0));
    ASSERT_TRUE(ParseTimeOfDay("23:59:59.5", ms));
    EXPECT_EQ(ms, At(23, 59, 59, 500));
    for (const char* bad : {"12", "24:00", "25:00:00", "08:61", "8:00:00x"}) EXPECT_FALSE(ParseTimeOfDay(bad, ms)) << bad;
}

TEST(Hour, SlotsDivideItByType)
{
    EXPECT_EQ(SlotMs(EventType::Motion), 3600);
    EXPECT_EQ(SlotMs(EventType::Gpi), 1800);
    const struct {
        EventType type;
        int64_t ms, slot;
    } cases[] = {
        {EventType::Source, -5, 0},
        {EventType::Source, 3599, 0},
        {EventType::Source, 3600, 1},
        {EventType::Gpi, 3600, 2},
        {EventType::Gpi, kHourMs - 1, 1999},
        {EventType::Source, kHourMs, 1000},  // past the hour, past the last slot
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SlotOf(c.type, c.ms), c.slot) << c.ms;
        if (c.ms >= 0) EXPECT_LE(SlotOffsetMs(c.type, c.slot), c.ms);
    }
    EXPECT_EQ(SecondsIntoHour(At(14, 32, 7, 900)), 32 * 60 + 7);

    EventType type = EventType::Source;
    EXPECT_FALSE(EventTypeAt(-1, type));
    EXPECT_FALSE(EventTypeAt(3, type));
    ASSERT_TRUE(EventTypeAt(2, type));
    EXPECT_STREQ(EventTypeName(type), "GPI");
}
