// The event graph in the real player, driven from outside: the pointer over a
// Motion bar brings a tooltip with its time and cameras, and a click there
// goes to that moment.
#include <cstdio>
#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

constexpr uint32_t kMotionBars = 0xFFFF00;  // yellow
constexpr int kStartOfFile = 8 * 3600;      // the recordings start at 08:00:00

using E2eReview = PlayerTest;

TEST_F(E2eReview, TheGraphTellsWhatIsUnderThePointerAndTakesYouThere)
{
    StartPlaying(kLongRecording);
    player.Choose(213, 1);  // Motion
    std::vector<int> bars;
    ASSERT_TRUE(WaitUntil([&] { return !(bars = BarColumns(player.Graph(), kMotionBars)).empty(); }, 5000));

    // A bar well into the file, so that the seek is seen to go forward.
    HWND graph = player.Item(202);
    RECT rcGraph = {};
    GetClientRect(graph, &rcGraph);
    POINT at = {bars[bars.size() * 2 / 3], rcGraph.bottom / 2};
    ClientToScreen(graph, &at);
    SetCursorPos(at.x, at.y);
    POINT inPanel = at;
    ScreenToClient(player.Panel(), &inPanel);
    const LPARAM where = MAKELPARAM(inPanel.x, inPanel.y);
    // One move, then time for the tooltip's delay: each move restarts it.
    PostMessageA(player.Panel(), WM_MOUSEMOVE, 0, where);
    HWND tip = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (tip = player.ShownWindowOfClass("tooltips_class32")) != nullptr; }, 10000))
        << "no tooltip over the graph";
    std::string text;
    int h = 0, m = 0, s = 0;
    char rest[128] = "";
    ASSERT_TRUE(WaitUntil([&] {
        text = WindowText(tip);
        return sscanf(text.c_str(), "%d:%d:%d  %127[^\n]", &h, &m, &s, rest) == 4;
    },
                          5000))
        << text;
    EXPECT_EQ(0, std::string(rest).find("Motion: camera")) << text;
    SaveScreen("graph-tooltip.png", tip);

    // The slot's start, in seconds into the file; the position bar shows it.
    const int slotStart = (h * 60 + m) * 60 + s - kStartOfFile;
    ASSERT_GT(slotStart, player.ScrollPosition() + 60) << text;
    PostMessageA(player.Panel(), WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageA(player.Panel(), WM_LBUTTONUP, 0, where);
    EXPECT_TRUE(WaitUntil([&] {
        const int position = player.ScrollPosition();
        return position >= slotStart && position <= slotStart + 5;
    },
                          10000))
        << "at " << player.ScrollPosition() << " s, the slot starts at " << slotStart << " s";
}

}  // namespace
}  // namespace e2e
