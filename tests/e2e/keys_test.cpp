// The keyboard in the real player: keys seen on the position bar and the
// transport buttons, the time-entry edits keeping their own keys, and the note
// when no event is left to hop to.
#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

using E2eKeys = PlayerTest;

// Keys are posted to a control of the panel, as if it had the focus.
void Key(const Player& player, int id, UINT vk) { PostMessageA(player.Item(id), WM_KEYDOWN, vk, 1); }
void Char(const Player& player, int id, char ch) { PostMessageA(player.Item(id), WM_CHAR, WPARAM(ch), 1); }

// The long recording starts on a whole hour: the position is seconds into the file.
TEST_F(E2eKeys, KeysMoveThroughTheFileButNotInsideTheTimeEdits)
{
    StartPlaying(kLongRecording);
    WaitForPosition();
    Char(player, 212, 'k');  // the speed list has the focus: still the player's key
    ASSERT_TRUE(WaitUntil([&] { return !player.Enabled(1004); }, 5000)) << "K did not pause";
    const int start = player.ScrollPosition();

    Key(player, 1005, VK_UP);
    ASSERT_TRUE(WaitUntil([&] { return player.ScrollPosition() >= start + 60; }, 15000)) << "Up: +60 s";
    EXPECT_LE(player.ScrollPosition(), start + 63);
    Char(player, 1003, 'K');
    ASSERT_TRUE(WaitUntil([&] { return !player.Enabled(1004); }, 5000));
    Sleep(500);
    const int paused = player.ScrollPosition();
    Char(player, 1003, ',');
    ASSERT_TRUE(WaitUntil([&] { return player.ScrollPosition() == paused - 1; }, 5000)) << "comma: one picture back";
    Char(player, 1003, 'j');
    ASSERT_TRUE(WaitUntil([&] { return player.ScrollPosition() <= paused - 3; }, 10000)) << "J: backward";
    EXPECT_TRUE(player.Enabled(1004)) << "playing backward";

    Key(player, 1003, VK_HOME);
    ASSERT_TRUE(WaitUntil([&] { return player.ScrollPosition() <= 3; }, 15000)) << "Home";

    player.ClickTimeText();
    ASSERT_TRUE(WaitUntil([&] { return player.Visible(230); }, 5000));
    Key(player, 230, VK_UP);
    Char(player, 230, 'k');
    Sleep(1500);
    EXPECT_TRUE(player.Visible(230)) << "the edit kept its keys";
    EXPECT_TRUE(player.Enabled(1004)) << "k in the edit did not pause";
    EXPECT_LT(player.ScrollPosition(), 30) << "Up in the edit did not seek";
}

TEST_F(E2eKeys, EventHopsLandOnAnEventOrSayThereIsNone)
{
    StartPlaying(kLongRecording);
    player.Choose(213, 1);  // Motion
    WaitForPosition();
    Key(player, 1003, VK_PRIOR);
    HWND note = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        note = player.ShownWindowOfClass("tooltips_class32");
        return note && WindowText(note) == "No earlier Motion event";
    },
                          5000))
        << "no note; windows:\n"
        << player.Describe();

    const int before = player.ScrollPosition();
    Key(player, 1003, VK_NEXT);
    ASSERT_TRUE(WaitUntil([&] { return player.ScrollPosition() > before + 3; }, 15000)) << "Page Down: the next event";
}

}  // namespace
}  // namespace e2e
