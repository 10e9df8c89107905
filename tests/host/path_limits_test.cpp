// The recording path from the command line: its quotes, and the room it must fit.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "host/path_limits.h"
#include "tests/support/test_support.h"

namespace {

TEST(StripQuotes, OnePairAroundTheWholePathGoes)
{
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"\"C:\\a b\\x.d01\"", "C:\\a b\\x.d01"},
        {"\"\"", ""},
        {"\"", "\""},
        {"\"C:\\x.d01", "\"C:\\x.d01"},
        {"C:\\x.d01\"", "C:\\x.d01\""},
        {"\"\"x\"\"", "\"x\""},
        {"", ""},
        {"C:\\plain.d01", "C:\\plain.d01"},
    };
    for (const Case& c : cases) {
        char buffer[64];
        std::strcpy(buffer, c.in);
        StripQuotes(buffer);
        EXPECT_STREQ(c.out, buffer) << c.in;
    }
}

TEST(PathLimits, PathFitsWithItsTerminatorOrIsRefusedWithAMessage)
{
    testing_support::MessageBoxRecorder boxes;
    EXPECT_TRUE(PathFitsOrRefuse(std::string(259, 'a').c_str(), 260));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_FALSE(PathFitsOrRefuse(std::string(260, 'a').c_str(), 260));
    ASSERT_EQ(1u, boxes.boxes.size());
    EXPECT_NE(std::string::npos, boxes.boxes[0].text.find("260 characters; at most 259"));

    char buffer[8] = "xxxxxxx";
    EXPECT_FALSE(CopyPathOrRefuse(buffer, sizeof buffer, "C:\\a.d01"));
    EXPECT_STREQ("", buffer) << "refused, not cut";
    EXPECT_TRUE(CopyPathOrRefuse(buffer, sizeof buffer, "C:\\a.d0"));
    EXPECT_STREQ("C:\\a.d0", buffer);
}

}  // namespace
