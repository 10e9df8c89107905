// The search behind the player: stretch by stretch, its borders must neither
// split a movement nor hide one that begins just after them; the hits are
// told as they grow; cancelling ends it with the threads joined.
#include <gtest/gtest.h>
#include <algorithm>
#include <future>
#include <mutex>
#include "decoder/motion_search_session.h"
#include "recording/recording.h"
#include "tests/support/motion_scene.h"

namespace {

struct Told {
    std::mutex lock;
    std::vector<std::vector<MotionHit>> hitLists;
    std::vector<double> progress;
    std::vector<MotionResult> finished;
    int threadStarts = 0;
    std::promise<void> done;
};

CMotionSearchSession::Listener ListenerOf(Told& told)
{
    CMotionSearchSession::Listener listener;
    listener.hits = [&told](const std::vector<MotionHit>& hits) {
        std::lock_guard<std::mutex> guard(told.lock);
        told.hitLists.push_back(hits);
    };
    listener.progress = [&told](double share) {
        std::lock_guard<std::mutex> guard(told.lock);
        told.progress.push_back(share);
    };
    listener.finished = [&told](const MotionResult& result) {
        std::lock_guard<std::mutex> guard(told.lock);
        told.finished.push_back(result);
        told.done.set_value();
    };
    return listener;
}

std::shared_ptr<rec::Recording> Open(const std::string& path)
{
    auto recording = std::make_shared<rec::Recording>();
    return recording->open(path) ? recording : nullptr;
}

TEST(MotionSearchSession, StretchBordersNeitherSplitNorHideAMovement)
{
    scene::Scene s;
    s.width = 200, s.height = 150, s.seconds = 250;
    const scene::Rect area{20, 20, 160, 110};
    const int64_t border = CMotionSearchSession::kStretchMs;
    // One well inside the first stretch, one across the first border, one just after the second.
    s.movers = {{60, 62, area, 32}, {118, 123, area, 32}, {240.5, 243, area, 32}};
    rectest::TempFile file;
    scene::Write({s}, file.Path());
    auto recording = Open(file.Path());
    ASSERT_TRUE(recording);

    Told told;
    MotionSearch search;
    search.region = {area.x, area.y, area.w, area.h};
    search.threadStart = [&told] {
        std::lock_guard<std::mutex> guard(told.lock);
        ++told.threadStarts;
    };
    {
        CMotionSearchSession session(recording, search, ListenerOf(told));
        told.done.get_future().wait();  // the destructor would cancel it
    }

    ASSERT_EQ(1u, told.finished.size());
    const MotionResult& result = told.finished[0];
    EXPECT_FALSE(result.cancelled);
    ASSERT_EQ(3u, result.hits.size());
    EXPECT_NEAR(60000, result.hits[0].startMs, 1000);
    EXPECT_NEAR(118000, result.hits[1].startMs, 1000);
    EXPECT_GT(result.hits[1].endMs, border + 2000) << "followed across the border, as one hit";
    EXPECT_NEAR(240500, result.hits[2].startMs, 1000);

    // Told stretch by stretch, each list the one before and more.
    ASSERT_GE(told.hitLists.size(), 2u);
    EXPECT_EQ(2u, told.hitLists.front().size()) << "the first stretch follows the second movement to its end";
    for (size_t i = 1; i < told.hitLists.size(); ++i)
        EXPECT_GE(told.hitLists[i].size(), told.hitLists[i - 1].size());
    EXPECT_EQ(3u, told.hitLists.back().size());
    ASSERT_FALSE(told.progress.empty());
    EXPECT_TRUE(std::is_sorted(told.progress.begin(), told.progress.end()));
    EXPECT_DOUBLE_EQ(1.0, told.progress.back());
    EXPECT_GE(told.threadStarts, 4) << "the session's own thread and those of its three stretches";
}

TEST(MotionSearchSession, CancelledItEndsAtOnceAndSaysSo)
{
    scene::Scene s;
    s.movers = {{10, 12, {40, 40, 200, 150}}};
    rectest::TempFile file;
    scene::Write({s}, file.Path());
    auto recording = Open(file.Path());
    ASSERT_TRUE(recording);
    Told told;
    MotionSearch search;
    search.region = {0, 0, s.width, s.height};
    std::promise<void> cancelled;
    std::shared_future<void> go = cancelled.get_future().share();
    search.threadStart = [go] { go.wait(); };  // held until cancelled
    {
        CMotionSearchSession session(recording, search, ListenerOf(told));
        session.Cancel();
        cancelled.set_value();
    }
    ASSERT_EQ(1u, told.finished.size());
    EXPECT_TRUE(told.finished[0].cancelled);
    EXPECT_TRUE(told.hitLists.empty());

    // A camera the recording lacks: finished, with nothing.
    told.finished.clear();
    told.done = {};
    search.threadStart = nullptr, search.camera = 5;
    {
        CMotionSearchSession session(recording, search, ListenerOf(told));
    }
    ASSERT_EQ(1u, told.finished.size());
    EXPECT_TRUE(told.finished[0].hits.empty());
}

}  // namespace
