// The motion search on made footage, under the sanitizers: every movement
// planted inside the region is found, starting within a second of where it
// was planted; movement outside it, noise and a change of the whole picture's
// light give nothing. Then damaged and missing frames, and cancelling.
#include <gtest/gtest.h>
#include <turbojpeg.h>
#include <cstdlib>
#include "decoder/motion_model.h"
#include "decoder/motion_scan.h"
#include "recording/recording.h"
#include "tests/support/motion_scene.h"

namespace {

struct Footage {
    const char* name;
    scene::Scene scene;
    scene::Rect region;
    std::vector<double> inside;  // when the movers inside the region begin
};

void PrintTo(const Footage& f, std::ostream* os) { *os << f.name; }

// The movers: three inside the region (3, 2 and 1.5 s long), one outside it
// the whole middle of the recording, the light going up by 40 grey levels at
// once and down by 30 slowly.
Footage Make(const char* name, unsigned w, unsigned h, int subsampling, scene::Rect region, scene::Rect outside)
{
    scene::Scene s;
    s.width = w, s.height = h, s.subsampling = subsampling;
    const scene::Rect inner{region.x + 4, region.y + 4, region.w - 8, region.h - 8};
    s.movers = {{10, 13, inner}, {30, 32, inner}, {47, 48.5, inner}, {18, 40, outside}};
    s.ramps = {{35, 35.1, 40}, {50, 56, -30}};  // lights switched on at once, then a cloud
    return {name, s, region, {10, 30, 47}};
}

std::vector<Footage> AllFootage()
{
    return {Make("RightHalf420", 320, 240, TJSAMP_420, {160, 0, 160, 240}, {0, 40, 120, 160}),
            Make("BottomRightCornerOdd422", 321, 243, TJSAMP_422, {201, 143, 120, 100}, {0, 0, 150, 110}),
            Make("TopLeftCorner444", 320, 240, TJSAMP_444, {0, 0, 96, 80}, {140, 100, 180, 140}),
            Make("SmallRegionAtFullScale", 320, 240, TJSAMP_420, {250, 20, 40, 36}, {20, 100, 200, 140})};
}

class MotionSearchTest : public ::testing::TestWithParam<Footage> {};

TEST_P(MotionSearchTest, FindsWhatMovedInsideAndNothingElse)
{
    const Footage& f = GetParam();
    rectest::TempFile file;
    scene::Write({f.scene}, file.Path());
    rec::Recording recording;
    ASSERT_TRUE(recording.open(file.Path()));
    MotionSearch search;
    search.region = {f.region.x, f.region.y, f.region.w, f.region.h};
    const MotionResult result = SearchMotion(recording, search);
    ASSERT_EQ(f.inside.size(), result.hits.size()) << "hits: " << ::testing::PrintToString(result.hits.size());
    for (size_t i = 0; i < f.inside.size(); ++i) {
        EXPECT_NEAR(f.inside[i] * 1000, result.hits[i].startMs, 1000) << "hit " << i;
        EXPECT_GT(result.hits[i].peak, 0.0);
    }
    EXPECT_EQ(0u, result.damaged);
    EXPECT_LT(result.framesDecoded, 600u / 2) << "the coarse step looks at a few frames a second";
}

INSTANTIATE_TEST_SUITE_P(Regions, MotionSearchTest, ::testing::ValuesIn(AllFootage()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MotionSearchDamage, DamagedAndMissingFramesAreSkippedAndCounted)
{
    Footage f = AllFootage()[0];
    rectest::Sample sample;
    sample.start = {2024, 3, 5, 36000000};
    sample.streams.push_back({1, f.scene.width, f.scene.height});
    std::vector<rectest::Bytes> frames;
    for (size_t i = 0; i < 600; ++i) {
        rectest::Bytes jpeg = scene::Frame(f.scene, i);
        if (i % 50 == 7)
            jpeg.resize(jpeg.size() / 3);  // cut off: the library warns of the early end
        else if (i % 50 == 20)
            jpeg.clear();  // a slot with no picture
        else if (i % 50 == 33)
            std::fill(jpeg.begin(), jpeg.end(), 0x5A);
        frames.push_back(std::move(jpeg));
    }
    sample.frames.push_back(std::move(frames));
    rectest::TempFile file;
    rec::WriterOptions options;
    options.rate = 10;
    ASSERT_TRUE(rectest::writeRecording(sample, options, file.Path()));
    rec::Recording recording;
    ASSERT_TRUE(recording.open(file.Path()));
    MotionSearch search;
    search.region = {f.region.x, f.region.y, f.region.w, f.region.h};
    search.minLengthMs = 0;  // every frame looked at: each damaged one is met
    const MotionResult result = SearchMotion(recording, search);
    EXPECT_EQ(24u, result.damaged);
    EXPECT_EQ(12u, result.missing);
    ASSERT_EQ(3u, result.hits.size());
    for (size_t i = 0; i < 3; ++i)
        EXPECT_NEAR(f.inside[i] * 1000, result.hits[i].startMs, 1000);
}

TEST(MotionSearchLimits, StretchesCamerasAndCancelling)
{
    Footage f = AllFootage()[0];
    rectest::TempFile file;
    scene::Write({f.scene}, file.Path());
    rec::Recording recording;
    ASSERT_TRUE(recording.open(file.Path()));
    MotionSearch search;
    search.region = {f.region.x, f.region.y, f.region.w, f.region.h};
    search.fromMs = 20000, search.toMs = 40000;
    MotionResult result = SearchMotion(recording, search);
    ASSERT_EQ(1u, result.hits.size());  // only the one at 30 s
    EXPECT_NEAR(30000, result.hits[0].startMs, 1000);

    search.camera = 2;  // not in the recording
    EXPECT_TRUE(SearchMotion(recording, search).hits.empty());

    std::atomic<bool> cancel{true};
    search.camera = 1, search.fromMs = 0, search.toMs = INT64_MAX, search.cancel = &cancel;
    result = SearchMotion(recording, search);
    EXPECT_TRUE(result.cancelled);
    EXPECT_TRUE(result.hits.empty());
}

TEST(MotionSearchLimits, SomethingLeftStandingBecomesBackgroundAndItsGoingIsAHit)
{
    scene::Scene s;
    // Comes in at 10 s, stands from 12 s to 30 s, then is gone.
    s.movers = {{10, 12, {170, 20, 140, 200}}, {12, 30, {200, 100, 24, 24}}};
    rectest::TempFile file;
    scene::Write({s}, file.Path());
    rec::Recording recording;
    ASSERT_TRUE(recording.open(file.Path()));
    MotionSearch search;
    search.region = {160, 0, 160, 240};
    const MotionResult result = SearchMotion(recording, search);
    ASSERT_EQ(2u, result.hits.size());
    EXPECT_NEAR(10000, result.hits[0].startMs, 1000);
    EXPECT_LT(result.hits[0].endMs, 16000) << "no ghost while it stands";
    EXPECT_NEAR(30000, result.hits[1].startMs, 1000);
    EXPECT_LT(result.hits[1].endMs, 34000) << "nor where it stood";
}

// A white box over a flat region: when it moves, only where it was and where it
// is now moved, and not the whole region (least squares alone would fit the
// light's gain to the box and leave every sample out); when the light goes up
// or its gain changes, nothing did.
TEST(MotionModelFit, ABrightBoxMovingOverAFlatRegionIsNotTheWholeRegion)
{
    const size_t w = 40, h = 20, n = w * h;
    auto frame = [&](size_t boxX, double gain, int offset) {
        std::vector<uint8_t> samples(n);
        for (size_t i = 0; i < n; ++i) {
            const size_t x = i % w, y = i / w;
            const bool box = x >= boxX && x < boxX + 5 && y >= 8 && y < 13;
            samples[i] = uint8_t(std::clamp(int((box ? 180 : 60 + int(x % 3)) * gain) + offset, 0, 255));
        }
        return samples;
    };
    CMotionModel model(5);
    for (int i = 0; i < CMotionModel::kWarmFrames + 2; ++i) {
        const std::vector<uint8_t> still = frame(10, 1, 0);
        model.Learn(still.data(), n);
    }
    const std::vector<uint8_t> moved = frame(25, 1, 0);
    EXPECT_NEAR(50.0 / n, model.Compare(moved.data(), n), 2.0 / n) << "where the box was and where it is";
    const std::vector<uint8_t> brighter = frame(10, 1, 30), gained = frame(10, 1.3, 0);
    EXPECT_FALSE(model.IsMotion(model.Compare(brighter.data(), n)));
    EXPECT_FALSE(model.IsMotion(model.Compare(gained.data(), n)));
}

TEST(MotionSearchLimits, HitsCloseTogetherMergeAndShortOnesGo)
{
    const std::vector<MotionHit> merged =
        MergeHits({{4900, 5400, 0.2}, {1000, 2000, 0.1}, {2900, 4000, 0.3}, {9000, 9500, 0.5}}, 1000, 1000);
    ASSERT_EQ(1u, merged.size());  // 1000-2000 and 2900-4000 join; 4900-5400 joins them; 9000-9500 is too short
    EXPECT_EQ(1000, merged[0].startMs);
    EXPECT_EQ(5400, merged[0].endMs);
    EXPECT_DOUBLE_EQ(0.3, merged[0].peak);
}

}  // namespace
