// What is on view: the split layouts and camera groups (tiles and event graph
// together), the three event types, the source dialog and the display sizes.
#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

// Bar colours as the screen shows them (0x00RRGGBB).
constexpr uint32_t kSourceBars = 0x80FFFF;  // light cyan
constexpr uint32_t kMotionBars = 0xFFFF00;  // yellow
constexpr uint32_t kGpiBars = 0xFF0000;     // red
constexpr uint32_t kSelectedBorder = 0xFFC800;

using E2eView = PlayerTest;

TEST_F(E2eView, SplitLayoutsAndGroupsShowTheirCamerasAndTheirMotion)
{
    StartPlaying(kLongRecording);
    player.Choose(213, 1);  // Motion

    struct Case {
        int button, layout, group;
    };
    const Case cases[] = {{1015, 1, 0}, {1015, 1, 5}, {1016, 4, 0}, {1016, 4, 2}, {1017, 8, 1}, {1017, 8, 0}, {1018, 16, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE("layout " + std::to_string(c.layout) + ", group " + std::to_string(c.group));
        if (player.Checked(c.button) != BST_CHECKED) {
            player.Press(c.button);
            ASSERT_TRUE(WaitUntil([&] { return player.Checked(c.button) == BST_CHECKED; }, 5000));
            ASSERT_TRUE(WaitUntil([&] { return player.Count(1012) == 16 / c.layout; }, 5000))
                << player.Count(1012) << " groups listed";
        }
        for (int other : {1015, 1016, 1017, 1018}) {
            if (other != c.button) {
                EXPECT_EQ(BST_UNCHECKED, player.Checked(other)) << other;
            }
        }
        player.Choose(1012, c.group);

        const std::set<int> cameras = CameraRange(c.layout * c.group + 1, c.layout * (c.group + 1));
        std::set<int> seen;
        EXPECT_TRUE(WaitUntil([&] { return (seen = CamerasOnView(player.Picture())) == cameras; }, 5000))
            << "on view " << Describe(seen) << ", expected " << Describe(cameras);

        const std::set<int> slots = MotionSlots(cameras, kLongSeconds);
        ::testing::AssertionResult bars = ::testing::AssertionFailure();
        WaitUntil([&] {
            const Image graph = player.Graph();
            return bool(bars = BarsMatchSlots(BarColumns(graph, kMotionBars), slots, graph.width));
        },
                  5000);
        EXPECT_TRUE(bars);
        if (c.layout == 4 && c.group == 0) SaveScreen("layout-4-motion.png");
    }
}

TEST_F(E2eView, EventTypesDrawTheirBarsInTheirColours)
{
    StartPlaying(kLongRecording);
    const std::set<int> all = CameraRange(1, 16);
    struct Case {
        const char* name;
        int item;
        uint32_t colour;
        std::set<int> slots;
    };
    const Case cases[] = {{"Motion", 1, kMotionBars, MotionSlots(all, kLongSeconds)},
                          {"GPI", 2, kGpiBars, GpiSlots(kLongSeconds)},
                          {"Source", 0, kSourceBars, SourceSlots(all, kLongSeconds)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        player.Choose(213, c.item);
        ::testing::AssertionResult bars = ::testing::AssertionFailure();
        WaitUntil([&] {
            const Image graph = player.Graph();
            return bool(bars = BarsMatchSlots(BarColumns(graph, c.colour), c.slots, graph.width));
        },
                  5000);
        EXPECT_TRUE(bars);
        const Image graph = player.Graph();
        for (uint32_t other : {kSourceBars, kMotionBars, kGpiBars}) {
            if (other != c.colour) {
                EXPECT_EQ(0u, graph.CountColour(other)) << std::hex << other;
            }
        }
    }
}

TEST_F(E2eView, SourceDialogMarksTheChosenCamera)
{
    StartPlaying(kPlayRecording);
    player.Click(1002);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = player.FindDialog("Select Video Source")) != nullptr; }, 10000))
        << player.Describe();
    HWND list = GetDlgItem(dialog, 1014);
    EXPECT_EQ(16, SendMessageA(list, LB_GETCOUNT, 0, 0));
    SendMessageA(list, LB_SETCURSEL, 5, 0);  // Camera 6
    Sleep(300);
    SaveScreen("source-dialog.png", dialog);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));

    // Camera 6 is row 1, column 1 of the 4 x 4 view; its tile gets a border.
    auto topEdge = [](const Image& p, int col, int row) {
        const RECT rc = {p.width * col / 4 + 4, p.height * row / 4, p.width * (col + 1) / 4 - 4, p.height * row / 4 + 2};
        return p.Crop(rc);
    };
    Image picture;
    EXPECT_TRUE(WaitUntil([&] {
        picture = player.Picture();
        const Image edge = topEdge(picture, 1, 1);
        return !edge.Empty() && edge.CountColour(kSelectedBorder) * 10 >= edge.pixels.size() * 9;
    },
                          5000))
        << "no border on camera 6";
    EXPECT_EQ(0u, topEdge(picture, 0, 0).CountColour(kSelectedBorder)) << "camera 1 is marked too";
    EXPECT_TRUE(player.Enabled(1004)) << "playback stopped";
}

TEST_F(E2eView, DisplaySizes)
{
    StartPlaying(kPlayRecording);
    auto clientIs = [&](int w, int h) {
        RECT rc = {};
        GetClientRect(player.Video(), &rc);
        return rc.right == w && rc.bottom == h;
    };
    EXPECT_TRUE(clientIs(640, 480));

    player.Choose(214, 0);
    EXPECT_TRUE(WaitUntil([&] { return clientIs(320, 240); }, 5000));
    EXPECT_FALSE(IsZoomed(player.Video()));

    // Maximised shows in the window's style before its size follows; this
    // process may look in between.
    player.Choose(214, 2);
    RECT rc = {};
    EXPECT_TRUE(WaitUntil([&] {
        GetClientRect(player.Video(), &rc);
        return IsZoomed(player.Video()) && rc.right > 640 && rc.bottom > 480;
    },
                          5000))
        << "full screen: " << rc.right << "x" << rc.bottom;
    RECT panel = {};
    GetWindowRect(player.Panel(), &panel);
    EXPECT_LE(panel.bottom, GetSystemMetrics(SM_CYSCREEN)) << "the panel is off the screen";
    Sleep(500);
    EXPECT_GT(player.Picture().DistinctColours(), 16u);

    player.Choose(214, 1);
    EXPECT_TRUE(WaitUntil([&] { return clientIs(640, 480); }, 5000));
    EXPECT_FALSE(IsZoomed(player.Video()));
    // The window comes back to its normal size before the panel follows it, and
    // this process may look in between.
    RECT video = {};
    EXPECT_TRUE(WaitUntil([&] {
        GetWindowRect(player.Video(), &video);
        GetWindowRect(player.Panel(), &panel);
        return video.bottom == panel.top;
    },
                          5000))
        << "the panel is not under the video window: " << video.bottom << " " << panel.top;
}

}  // namespace
}  // namespace e2e
