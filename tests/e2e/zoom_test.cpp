// Looking closer on the real player: a double-click on tile 6 shows camera 6
// alone and the panel follows, a second goes back; the wheel zooms a tile, and
// its zoomed part is saved at the frame's own pixels; "Reset zoom" undoes it.
#include "tests/e2e/e2e_fixture.h"
#include "res/resource.h"

namespace e2e {
namespace {

using E2eLookingCloser = PlayerTest;

void DoubleClick(HWND hwnd, POINT pt)
{
    const LPARAM at = MAKELPARAM(pt.x, pt.y);
    PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
    PostMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
}

TEST_F(E2eLookingCloser, ADoubleClickShowsOneCameraAndTheNextGoesBack)
{
    StartPlaying(kPlayRecording);
    HWND decoder = player.DecoderWindow();
    RECT rc = {};
    GetClientRect(decoder, &rc);
    DoubleClick(decoder, {rc.right * 3 / 8, rc.bottom * 3 / 8});  // tile 6: second row and column
    EXPECT_TRUE(WaitUntil([&] { return player.Checked(IDC_SPLIT_1) == BST_CHECKED; }, 5000));
    EXPECT_EQ(BST_UNCHECKED, player.Checked(IDC_SPLIT_16));
    EXPECT_TRUE(WaitUntil([&] { return player.Count(IDC_CAMERA_GROUP) == 16; }, 5000));
    EXPECT_EQ(5, player.CurSel(IDC_CAMERA_GROUP)) << "Camera 6";
    std::set<int> seen;
    EXPECT_TRUE(WaitUntil([&] { return (seen = CamerasOnView(player.Picture())) == CameraRange(6, 6); }, 5000))
        << Describe(seen);

    DoubleClick(decoder, {rc.right / 2, rc.bottom / 2});
    EXPECT_TRUE(WaitUntil([&] { return player.Checked(IDC_SPLIT_16) == BST_CHECKED; }, 5000));
    EXPECT_EQ(BST_UNCHECKED, player.Checked(IDC_SPLIT_1));
    EXPECT_TRUE(WaitUntil([&] { return player.Count(IDC_CAMERA_GROUP) == 1; }, 5000));
    EXPECT_EQ(0, player.CurSel(IDC_CAMERA_GROUP));
    EXPECT_TRUE(WaitUntil([&] { return (seen = CamerasOnView(player.Picture())) == CameraRange(1, 16); }, 5000))
        << Describe(seen);
    Sleep(GetDoubleClickTime() + 200);
    EXPECT_TRUE(player.Enabled(IDC_PAUSE)) << "still playing: a double-click is no click to pause";
}

TEST_F(E2eLookingCloser, TheWheelZoomsATileWhoseZoomedPartIsSavedAtTheFramesOwnPixels)
{
    StartPlaying(kPlayRecording);
    player.Click(IDC_PAUSE);
    ASSERT_TRUE(WaitUntil([&] { return player.Enabled(IDC_PLAY) && !player.Enabled(IDC_PAUSE); }, 5000));
    HWND decoder = player.DecoderWindow();
    RECT rc = {};
    GetClientRect(decoder, &rc);
    const POINT six = {rc.right * 3 / 8, rc.bottom * 3 / 8};
    Sleep(300);
    const Image before = player.Picture();
    POINT screen = six;
    ClientToScreen(decoder, &screen);
    // 4x; to the panel's scroll bar, as the wheel goes to the focus: over the picture it is the
    // picture's, not a seek.
    const int shownAt = player.ScrollPosition();
    PostMessageA(player.Item(IDC_POSITION_BAR), WM_MOUSEWHEEL, MAKEWPARAM(0, 4 * WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    const RECT tile = {rc.right / 4, rc.bottom / 4, rc.right / 2, rc.bottom / 2};
    EXPECT_TRUE(WaitUntil([&] { return player.Picture().Crop(tile).DifferingPixels(before.Crop(tile), 8) > 1000; }, 5000))
        << "the tile is zoomed";
    const RECT other = {0, 0, rc.right / 4, rc.bottom / 4};
    EXPECT_EQ(0u, player.Picture().Crop(other).DifferingPixels(before.Crop(other), 8)) << "the others are not";
    EXPECT_EQ(shownAt, player.ScrollPosition()) << "no seek";

    const std::string partPath = ShotPath("zoomed-part-camera6.png");
    DeleteFileA(partPath.c_str());
    std::string offered;
    ASSERT_TRUE(player.ChooseFromPictureMenu(six, 3)) << player.Describe();
    ASSERT_TRUE(player.AnswerSaveDialog(partPath, &offered)) << player.Describe();
    EXPECT_NE(std::string::npos, offered.find("cam06")) << offered;
    ASSERT_TRUE(WaitUntil([&] { return GetFileAttributesA(partPath.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000));
    const Image part = Image::LoadPng(partPath);
    EXPECT_EQ(40, part.width) << "a quarter of the 160 x 120 frame, not enlarged to the tile";
    EXPECT_EQ(30, part.height);

    // "Reset zoom", after Save picture, Save camera 6, Save zoomed part and Copy picture.
    ASSERT_TRUE(player.ChooseFromPictureMenu(six, 5)) << player.Describe();
    EXPECT_TRUE(WaitUntil([&] { return player.Picture().Crop(tile).DifferingPixels(before.Crop(tile), 8) == 0; }, 5000))
        << "the whole frame again";
}

}  // namespace
}  // namespace e2e
