// Playback as the picture and the time text show it: the time moving, pause,
// step and play, the speeds, and the three ways of seeking.
#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

using E2ePlayback = PlayerTest;

// The time text is painted in blue (no control holds it).
constexpr uint32_t kTimeBlue = 0x0000FF;

TEST_F(E2ePlayback, TimeOfDayAndPictureAdvance)
{
    StartPlaying(kPlayRecording);
    WaitForPosition();
    const Image text = player.TimeText(), picture = player.Picture();
    Sleep(1500);
    const Image laterText = player.TimeText(), laterPicture = player.Picture();
    EXPECT_GT(text.CountColour(kTimeBlue), 20u) << "no time text painted";
    EXPECT_GT(laterText.DifferingPixels(text), 0u) << "the time of day did not move";
    EXPECT_GT(laterPicture.DifferingPixels(picture), 100u) << "the picture did not move";
    EXPECT_GE(player.ScrollPosition(), 1);
}

TEST_F(E2ePlayback, PauseHoldsStepMovesOncePlayGoesOn)
{
    StartPlaying(kPlayRecording);
    WaitForPosition();
    player.Click(1004);
    ASSERT_TRUE(WaitUntil([&] { return !player.Enabled(1004); }, 5000));
    EXPECT_TRUE(player.Enabled(1003));
    EXPECT_TRUE(player.Enabled(1005));
    Sleep(800);
    const Image paused = player.Picture(), pausedText = player.TimeText();
    Sleep(1500);
    EXPECT_EQ(0u, player.Picture().DifferingPixels(paused)) << "the picture moved while paused";
    EXPECT_EQ(0u, player.TimeText().DifferingPixels(pausedText)) << "the time moved while paused";

    player.Click(1005);
    ASSERT_TRUE(WaitUntil([&] { return player.Picture().DifferingPixels(paused) > 20; }, 5000))
        << "a step did not change the picture";
    Sleep(700);
    const Image stepped = player.Picture();
    Sleep(1500);
    EXPECT_EQ(0u, player.Picture().DifferingPixels(stepped)) << "the picture went on after one step";
    EXPECT_FALSE(player.Enabled(1004));

    player.Click(1003);
    ASSERT_TRUE(WaitUntil([&] { return player.Enabled(1004); }, 5000));
    EXPECT_GE(CountPictureChanges(player, 2500), 2) << "playing again did not move the picture";
}

TEST_F(E2ePlayback, EverySpeedPlaysAndFullOutrunsOneEighth)
{
    StartPlaying(kPlayRecording);
    WaitForPosition();
    const int order[5] = {1, 2, 3, 4, 5};
    const char* const names[6] = {"Full", "2x", "1x", "1/2 x", "1/4 x", "1/8 x"};
    int changes[6] = {};
    for (int item : order) {
        player.Choose(212, item);
        EXPECT_EQ(item, player.CurSel(212));
        Sleep(300);
        // 1/8 x of 4 pictures a second is one picture every two seconds.
        changes[item] = CountPictureChanges(player, 4500);
        EXPECT_GE(changes[item], 1) << "playback stopped at " << names[item];
        EXPECT_TRUE(player.Enabled(1004)) << names[item];
    }
    EXPECT_GT(changes[1], changes[5]) << "2x " << changes[1] << " changes, 1/8 x " << changes[5];

    // Full last, and by the position rather than by pictures seen: it plays the
    // rest of the recording (two minutes of it) in about a second, and may be
    // at the end before a picture could be counted. 1/8 x would take eight
    // minutes to go on by one.
    const int before = player.ScrollPosition();
    const Image picture = player.Picture();
    player.Choose(212, 0);
    EXPECT_EQ(0, player.CurSel(212));
    EXPECT_TRUE(WaitUntil([&] { return player.ScrollPosition() >= before + 60; }, 5000))
        << "Full went from " << before << " s to " << player.ScrollPosition() << " s";
    EXPECT_GT(player.Picture().DifferingPixels(picture), 20u) << "the picture did not move at Full";
}

using E2eSeeking = PlayerTest;

TEST_F(E2eSeeking, PageStepGoesOneMinuteOn)
{
    StartPlaying(kPlayRecording);
    WaitForPosition();
    const int before = player.ScrollPosition();
    const Image text = player.TimeText(), picture = player.Picture();
    player.Scroll(SB_PAGERIGHT);
    // Positions are seconds into the hour, and the recording starts on the hour.
    ASSERT_TRUE(WaitUntil([&] { return player.ScrollPosition() >= before + 60; }, 15000))
        << "position stayed at " << player.ScrollPosition();
    EXPECT_LT(player.ScrollPosition(), before + 75);
    EXPECT_TRUE(WaitUntil([&] { return player.Enabled(1004); }, 5000));
    EXPECT_GT(player.TimeText().DifferingPixels(text), 0u);
    EXPECT_GT(player.Picture().DifferingPixels(picture), 100u);
}

TEST_F(E2eSeeking, ThumbShowsItsTimeWhileDraggedAndSeeksWhenReleased)
{
    StartPlaying(kPlayRecording);
    WaitForPosition();
    const Image text = player.TimeText(), picture = player.Picture();
    player.Scroll(SB_THUMBTRACK, 100);
    Sleep(600);
    const Image dragged = player.TimeText();
    const int position = player.ScrollPosition();
    Sleep(1500);
    // While the thumb is held, playback does not overwrite the thumb's time.
    EXPECT_GT(dragged.DifferingPixels(text), 0u);
    EXPECT_EQ(0u, player.TimeText().DifferingPixels(dragged));
    EXPECT_EQ(position, player.ScrollPosition());

    player.Scroll(SB_THUMBPOSITION, 100);
    ASSERT_TRUE(WaitUntil([&] { return player.ScrollPosition() >= 100; }, 15000))
        << "position stayed at " << player.ScrollPosition();
    EXPECT_LT(player.ScrollPosition(), 115);
    EXPECT_GT(player.Picture().DifferingPixels(picture), 100u);
    const Image seekText = player.TimeText();
    Sleep(1200);
    EXPECT_GT(player.TimeText().DifferingPixels(seekText), 0u) << "the time stopped after the seek";
}

TEST_F(E2eSeeking, TypedMinutesAndSecondsSeekThere)
{
    StartPlaying(kPlayRecording);
    WaitForPosition();
    EXPECT_FALSE(player.Visible(230));
    const Image text = player.TimeText(), picture = player.Picture();
    player.ClickTimeText();
    ASSERT_TRUE(WaitUntil([&] { return player.Visible(230) && player.Visible(231); }, 5000))
        << "a click on the time did not open the entry";
    EXPECT_EQ("00", WindowText(player.Item(230)));
    EXPECT_EQ(2u, WindowText(player.Item(231)).size());

    player.TypeTime("2", "5");
    ASSERT_TRUE(WaitUntil([&] { return !player.Visible(230); }, 5000)) << "Enter did not end the entry";
    ASSERT_TRUE(WaitUntil([&] { return player.ScrollPosition() >= 125; }, 15000))
        << "position stayed at " << player.ScrollPosition();
    EXPECT_LT(player.ScrollPosition(), 140);
    EXPECT_GT(player.TimeText().DifferingPixels(text), 0u);
    EXPECT_GT(player.Picture().DifferingPixels(picture), 100u);
}

// The entry edits are laid over two digits of the time text and are barely
// wider than that; a second typed digit must still go in.
TEST_F(E2eSeeking, TwoDigitsFitEachField)
{
    StartPlaying(kPlayRecording);
    WaitForPosition();
    player.ClickTimeText();
    ASSERT_TRUE(WaitUntil([&] { return player.Visible(230); }, 5000));
    for (char c : {'1', '2'}) SendMessageA(player.Item(230), WM_CHAR, static_cast<WPARAM>(c), 1);
    EXPECT_EQ("12", WindowText(player.Item(230)));
}

}  // namespace
}  // namespace e2e
