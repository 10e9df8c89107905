// Replays the fuzzing seeds and every input that once crashed the reader.
#include "tests/recording/recording_checks.h"

#include <gtest/gtest.h>

#include <dirent.h>

using namespace rectest;

namespace {

std::vector<std::string> filesIn(const std::string& dir)
{
    std::vector<std::string> out;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') out.push_back(dir + "/" + e->d_name);
        closedir(d);
    }
    std::sort(out.begin(), out.end());
    return out;
}

void replay(const std::string& dir, size_t atLeast)
{
    auto files = filesIn(dir);
    EXPECT_GE(files.size(), atLeast) << dir;
    for (const std::string& f : files) {
        SCOPED_TRACE(f);
        Bytes b = readAll(f);
        rec::Recording r;
        rec::Status s = r.openMemory(b.data(), b.size());
        if (s) expectSane(r);
        else EXPECT_FALSE(s.reason.empty());
    }
}

}  // namespace

// Seeds are valid recordings and must open; crashers (none found so far) need only be handled.
TEST(Regression, SeedsOpenAndCrashersStayFixed)
{
    auto seeds = filesIn(REC_TEST_DIR "/corpus");
    ASSERT_FALSE(seeds.empty());
    for (const std::string& f : seeds) {
        Bytes b = readAll(f);
        rec::Recording r;
        EXPECT_TRUE(r.openMemory(b.data(), b.size())) << f;
    }
    replay(REC_TEST_DIR "/corpus", 1);
    replay(REC_TEST_DIR "/crashes", 0);
}
