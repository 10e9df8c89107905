// Finding motion in a region, on the real player: the picture's menu, a
// rectangle dragged on camera 1's tile round the path of its box, the hits
// listed as the search finds them, and a hit chosen moving playback there.
#include "tests/e2e/e2e_fixture.h"
#include <commctrl.h>

namespace e2e {
namespace {

using E2eMotionSearch = PlayerTest;

const uint32_t kRegionGreen = 0x00FF40;  // the rectangle on the tile

// dvrtool synth moves camera 1's box from 7.5 s to 30 s and from 75 s to 90 s
// of the 150 s recording, in a band of the picture from 62 % to 79 % of its
// height; above it stands the camera's name, below it a running clock.
constexpr double kBandTop = 0.53, kBandBottom = 0.85;

void Drag(HWND window, POINT from, POINT to)
{
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM((from.x + to.x) / 2, (from.y + to.y) / 2));
    PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
}

void Key(HWND window, WPARAM key)
{
    PostMessageA(window, WM_KEYDOWN, key, 0);
    PostMessageA(window, WM_KEYUP, key, 0xC0000000);
}

TEST_F(E2eMotionSearch, ARegionDraggedListsItsHitsAndAHitChosenSeeksThere)
{
    StartPlaying(kPlayRecording);
    WaitForPosition();
    HWND decoder = player.DecoderWindow();
    RECT rc = {};
    GetClientRect(decoder, &rc);
    const RECT tile = {0, 0, rc.right / 4, rc.bottom / 4};  // camera 1 in the 4 x 4 view
    const LONG h = tile.bottom - tile.top;

    HWND menu = player.OpenPictureMenu({tile.right / 2, tile.bottom / 2});
    ASSERT_TRUE(menu) << player.Describe();
    Key(decoder, VK_UP);  // the menu's last item
    Key(decoder, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, 10000));
    Drag(decoder, {tile.left + 1, tile.top + LONG(h * kBandTop)}, {tile.right - 2, tile.top + LONG(h * kBandBottom)});

    HWND results = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (results = player.ShownWindowOfClass("VorplexMotionSearch")) != nullptr; },
                          10000))
        << player.Describe();
    EXPECT_EQ("Motion in camera 1", WindowText(results));
    HWND list = FindWindowExA(results, nullptr, WC_LISTVIEWA, nullptr);
    ASSERT_TRUE(list);
    HWND status = FindWindowExA(results, nullptr, "Static", nullptr);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(status).rfind("Searching", 0) != 0; }, 60000))
        << WindowText(status);
    EXPECT_EQ("2 hits", WindowText(status)) << "the box's two movements, and nothing of the clock below";
    ASSERT_EQ(2, SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_GT(player.Picture().CountColour(kRegionGreen), size_t(tile.right)) << "the rectangle stays drawn";
    SaveScreen("motion-search.png", results);

    // The second hit, then the first: playback goes there, back as well as on.
    const Image text = player.TimeText();
    Key(list, VK_END);
    Key(list, VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return player.ScrollPosition() >= 74 && player.ScrollPosition() <= 80; }, 15000))
        << "at " << player.ScrollPosition() << " s, not at the second hit (75 s)";
    EXPECT_TRUE(WaitUntil([&] { return player.TimeText().DifferingPixels(text) > 0; }, 5000));
    Key(list, VK_HOME);
    Key(list, VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return player.ScrollPosition() >= 6 && player.ScrollPosition() <= 12; }, 15000))
        << "at " << player.ScrollPosition() << " s, not at the first hit (7.5 s)";

    // Closed: the search ends and its rectangle goes.
    PostMessageA(results, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(results); }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return player.Picture().CountColour(kRegionGreen) == 0; }, 5000));

    // Enter rather than a drag: the whole picture, drawn round the whole tile.
    menu = player.OpenPictureMenu({tile.right / 2, tile.bottom / 2});
    ASSERT_TRUE(menu) << player.Describe();
    Key(decoder, VK_UP);
    Key(decoder, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, 10000));
    Key(decoder, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return (results = player.ShownWindowOfClass("VorplexMotionSearch")) != nullptr; },
                          10000));
    EXPECT_TRUE(WaitUntil([&] { return player.Picture().CountColour(kRegionGreen) > size_t(3 * (tile.right + h)); },
                          5000));

    // Exit with the search's window open: the player ends, its search with it.
    player.Click(1020);
    DWORD code = 0;
    EXPECT_TRUE(player.WaitForExit(15000, &code)) << player.Describe();
}

}  // namespace
}  // namespace e2e
