// The search behind the player: the hits are told as they are found and end
// as the whole search's own; cancelling ends it with the threads joined.
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

// The scene written to file and opened; null when it does not open.
std::shared_ptr<rec::Recording> Recorded(const scene::Scene& s, const rectest::TempFile& file)
{
    scene::Write({s}, file.Path());
    auto recording = std::make_shared<rec::Recording>();
    return recording->open(file.Path()) ? recording : nullptr;
}

TEST(MotionSearchSession, HitsAreToldAsFoundAndEndAsTheWholeSearchsOwn)
{
    scene::Scene s;
    s.width = 200, s.height = 150, s.seconds = 250;
    const scene::Rect area{20, 20, 160, 110};
    // One in each half, and one across the middle, where two threads' stretches meet.
    s.movers = {{60, 62, area, 32}, {123, 128, area, 32}, {240.5, 243, area, 32}};
    rectest::TempFile file;
    auto recording = Recorded(s, file);
    ASSERT_TRUE(recording);

    Told told;
    MotionSearch search;
    search.region = {area.x, area.y, area.w, area.h};
    search.threads = 2;
    const MotionResult whole = SearchMotion(*recording, search);
    ASSERT_EQ(3u, whole.hits.size());
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
    ASSERT_EQ(whole.hits.size(), result.hits.size());
    for (size_t i = 0; i < whole.hits.size(); ++i) {
        EXPECT_EQ(whole.hits[i].startMs, result.hits[i].startMs) << i;
        EXPECT_EQ(whole.hits[i].endMs, result.hits[i].endMs) << i;
    }
    ASSERT_FALSE(told.hitLists.empty());
    for (const std::vector<MotionHit>& hits : told.hitLists)
        EXPECT_TRUE(std::is_sorted(hits.begin(), hits.end(),
                                   [](const MotionHit& a, const MotionHit& b) { return a.startMs < b.startMs; }));
    EXPECT_EQ(whole.hits.size(), told.hitLists.back().size()) << "the last told is the whole";
    ASSERT_FALSE(told.progress.empty());
    EXPECT_TRUE(std::is_sorted(told.progress.begin(), told.progress.end()));
    EXPECT_DOUBLE_EQ(1.0, told.progress.back());
    EXPECT_EQ(3, told.threadStarts) << "the session's own thread and the two that search";
}

TEST(MotionSearchSession, CancelledItEndsAtOnceAndSaysSo)
{
    scene::Scene s;
    s.movers = {{10, 12, {40, 40, 200, 150}}};
    rectest::TempFile file;
    auto recording = Recorded(s, file);
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
