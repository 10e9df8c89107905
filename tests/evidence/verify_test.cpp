#include "evidence/files.h"
#include "evidence/verify.h"
#include "tests/evidence/evidence_fixture.h"

using namespace evtest;

namespace {

// A clip of the whole of a 20-picture, two-camera source, and ways to tamper with it.
class Verify : public ::testing::Test {
protected:
    rectest::TempFile source, clip;

    void SetUp() override
    {
        rectest::writeSample(twoCameras(20), fourPerSecond(), source.Path());
        ASSERT_TRUE(clipOf(source.Path(), clip.Path(), {0, 5000, domain::kAllCameras}).ok);
    }
    void TearDown() override
    {
        for (const char* extra : {".sha256", ".manifest.json"}) std::remove((clip.Path() + extra).c_str());
    }

    template <class Change>
    void tamper(Change change)
    {
        rectest::Sample s = sampleOf(clip.Path());
        change(s);
        rectest::writeSample(s, fourPerSecond(), clip.Path());
    }

    // True when the report, with the source, names what is expected.
    ::testing::AssertionResult names(const std::string& expected)
    {
        evidence::VerifyReport report = evidence::verifyExport(clip.Path(), source.Path());
        std::string all;
        for (const std::string& p : report.problems) all += p + "\n";
        if (report.verdict != evidence::Verdict::NotVerified) return ::testing::AssertionFailure() << "verified";
        if (all.find(expected) == std::string::npos) return ::testing::AssertionFailure() << all;
        return ::testing::AssertionSuccess();
    }
};

}  // namespace

TEST_F(Verify, AWholeClipIsVerifiedWithAndWithoutItsSource)
{
    EXPECT_EQ(evidence::verifyExport(clip.Path(), "").verdict, evidence::Verdict::Verified);
    evidence::VerifyReport report = evidence::verifyExport(clip.Path(), source.Path());
    EXPECT_EQ(report.verdict, evidence::Verdict::Verified) << (report.problems.empty() ? "" : report.problems[0]);
}

TEST_F(Verify, OneByteChangedInOneFrame)
{
    tamper([](rectest::Sample& s) { s.frames[1][5][3] ^= 1; });
    EXPECT_TRUE(names("camera 2, 10:20:31.706: frame changed"));
    EXPECT_TRUE(names("changed (its SHA-256 differs"));
    EXPECT_EQ(evidence::verifyExport(clip.Path(), "").verdict, evidence::Verdict::NotVerified);
}

TEST_F(Verify, AFrameDroppedAddedOrTwoSwapped)
{
    tamper([](rectest::Sample& s) { s.frames[0].erase(s.frames[0].begin() + 3); });
    EXPECT_TRUE(names("camera 1, 10:20:31.206: frame dropped"));
    SetUp();
    tamper([](rectest::Sample& s) { s.frames[0].insert(s.frames[0].begin() + 4, rectest::fakeJpeg(9, 9)); });
    EXPECT_TRUE(names("camera 1, 10:20:31.456: frame added"));
    SetUp();
    tamper([](rectest::Sample& s) { std::swap(s.frames[1][7], s.frames[1][8]); });
    EXPECT_TRUE(names("camera 2, 10:20:32.206: frames reordered"));
}

TEST_F(Verify, AnEventChangedOrTheManifestEdited)
{
    tamper([](rectest::Sample& s) { rec::setMotionLevel(s.motion, 2, 1, 41); });
    EXPECT_TRUE(names("Motion event at 10:20:37.6, camera 1: changed"));
    SetUp();
    std::string json;
    ASSERT_TRUE(evidence::readTextFile(clip.Path() + ".manifest.json", json));
    json.replace(json.find("\"count\": 20"), 11, "\"count\": 19");
    ASSERT_TRUE(evidence::writeTextFile(clip.Path() + ".manifest.json", json));
    EXPECT_TRUE(names(".manifest.json: changed"));
    EXPECT_TRUE(names("camera 1: frames differ from the manifest"));
}

TEST_F(Verify, AnotherSourceOrMissingFilesAreNamed)
{
    rectest::TempFile other;
    rectest::writeSample(twoCameras(21), fourPerSecond(), other.Path());
    evidence::VerifyReport report = evidence::verifyExport(clip.Path(), other.Path());
    ASSERT_EQ(report.verdict, evidence::Verdict::NotVerified);
    EXPECT_NE(report.problems[0].find("not the recording the manifest names"), std::string::npos);
    EXPECT_EQ(evidence::verifyExport(clip.Path(), "/nonexistent.d01").verdict, evidence::Verdict::Unreadable);
    std::remove((clip.Path() + ".sha256").c_str());
    EXPECT_EQ(evidence::verifyExport(clip.Path(), "").verdict, evidence::Verdict::Unreadable);
}
