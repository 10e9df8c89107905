// Starting the player the two ways a user does, and ending it.
#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

using E2eStartup = PlayerTest;

TEST_F(E2eStartup, QuotedPathPlaysAfterTheTimerWithThePathAsTitle)
{
    path = RecordingPath(kPlayRecording);
    ASSERT_TRUE(player.Start(WindowsPath(VORPLEX_EXE), "\"" + path + "\""));
    ASSERT_TRUE(player.WaitForWindows()) << player.Describe();
    // The auto-play timer runs: Open waits for it and nothing plays yet.
    EXPECT_FALSE(player.Enabled(1007));
    EXPECT_FALSE(player.Enabled(1004));

    ASSERT_TRUE(WaitUntil([&] { return player.Enabled(1004); }, 20000)) << player.Describe();
    EXPECT_TRUE(WaitUntil([&] { return player.Enabled(1007); }, 5000));
    EXPECT_TRUE(player.Enabled(1006));
    EXPECT_EQ(path, WindowText(player.Video()));

    Sleep(1000);
    const Image first = player.Picture();
    EXPECT_GT(first.DistinctColours(), 16u) << "the video area is flat";
    EXPECT_EQ(CameraRange(1, 16), CamerasOnView(first)) << Describe(CamerasOnView(first));
    Sleep(1500);
    EXPECT_GT(player.Picture().DifferingPixels(first), 100u) << "the tiles did not change while playing";
    SaveScreen("playing-16.png");
}

TEST_F(E2eStartup, WithoutPathTheOpenDialogChoosesTheFile)
{
    ASSERT_TRUE(player.Start(WindowsPath(VORPLEX_EXE), ""));
    ASSERT_TRUE(player.WaitForWindows()) << player.Describe();
    path = RecordingPath(kPlayRecording);
    ASSERT_TRUE(player.AnswerOpenDialog(path)) << "no open dialog; windows:\n"
                                               << player.Describe();

    ASSERT_TRUE(WaitUntil([&] { return player.Enabled(1004); }, 20000)) << player.Describe();
    EXPECT_EQ(path, WindowText(player.Video()));
    EXPECT_TRUE(player.Enabled(1007));
    Sleep(1000);
    const Image first = player.Picture();
    EXPECT_GT(first.DistinctColours(), 16u);
    Sleep(1500);
    EXPECT_GT(player.Picture().DifferingPixels(first), 100u);
}

TEST_F(E2eStartup, ExitEndsTheProgramWithoutError)
{
    StartPlaying(kPlayRecording);
    player.Click(1020);
    DWORD code = 1;
    ASSERT_TRUE(player.WaitForExit(15000, &code)) << player.Describe();
    EXPECT_EQ(0u, code);
    EXPECT_FALSE(IsWindow(player.Panel()));
}

}  // namespace
}  // namespace e2e
