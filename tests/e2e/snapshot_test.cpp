// Snapshots from the picture's own menu, on the real player: the view saved as
// a PNG that holds what the screen shows, one camera saved at its recorded
// size under the name offered, and nothing written when the dialog is cancelled.
#include "tests/e2e/e2e_fixture.h"
#include "res/resource.h"

namespace e2e {
namespace {

using E2eSnapshots = PlayerTest;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// PNG files in the recordings' folder, where the save dialog starts.
std::set<std::string> PngsBesideTheRecordings()
{
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(RecordingPath("*.png").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return names;
    do names.insert(found.cFileName);
    while (FindNextFileA(h, &found));
    FindClose(h);
    return names;
}

TEST_F(E2eSnapshots, TheViewAndOneCameraAreSavedAsThePictureShowsThem)
{
    StartPlaying(kPlayRecording);
    player.Click(IDC_PAUSE);
    ASSERT_TRUE(WaitUntil([&] { return player.Enabled(IDC_PLAY) && !player.Enabled(IDC_PAUSE); }, 5000));
    Sleep(300);
    const Image view = player.Picture();
    ASSERT_FALSE(view.Empty());
    const std::set<std::string> before = PngsBesideTheRecordings();

    // The whole view, from the menu's first item.
    const std::string viewPath = ShotPath("snapshot-view.png");
    DeleteFileA(viewPath.c_str());
    std::string offered;
    ASSERT_TRUE(player.ChooseFromPictureMenu({10, 10}, 1)) << player.Describe();
    ASSERT_TRUE(player.AnswerSaveDialog(viewPath, &offered)) << player.Describe();
    EXPECT_EQ(0u, offered.find("play16-20240101-08")) << offered << ": the recording's name, the date and the time of day";
    EXPECT_EQ(std::string::npos, offered.find("cam")) << offered;
    ASSERT_TRUE(WaitUntil([&] { return Exists(viewPath); }, 10000));
    const Image saved = Image::LoadPng(viewPath);
    ASSERT_EQ(view.width, saved.width);
    ASSERT_EQ(view.height, saved.height);
    EXPECT_LT(saved.DifferingPixels(view, 8), view.pixels.size() / 200) << "the picture on view";

    // Camera 6, second row and column of the 4 x 4 view, at its recorded size.
    RECT rc = {};
    GetClientRect(player.DecoderWindow(), &rc);
    const std::string cameraPath = ShotPath("snapshot-camera6.png");
    DeleteFileA(cameraPath.c_str());
    HWND menu = player.OpenPictureMenu({rc.right * 3 / 8, rc.bottom * 3 / 8});
    ASSERT_TRUE(menu) << player.Describe();
    SaveScreen("snapshot-menu.png", menu);
    ASSERT_TRUE(player.ChooseFromOpenMenu(menu, 2)) << player.Describe();
    ASSERT_TRUE(player.AnswerSaveDialog(cameraPath, &offered)) << player.Describe();
    EXPECT_EQ(0u, offered.find("play16-cam06-20240101-08")) << offered;
    ASSERT_TRUE(WaitUntil([&] { return Exists(cameraPath); }, 10000));
    const Image camera = Image::LoadPng(cameraPath);
    EXPECT_EQ(160, camera.width) << "the recorded size, not the tile's";
    EXPECT_EQ(120, camera.height);
    EXPECT_EQ(CameraRange(6, 6), CamerasOnView(camera));

    // Cancelled: nothing is written.
    ASSERT_TRUE(player.ChooseFromPictureMenu({10, 10}, 1)) << player.Describe();
    ASSERT_TRUE(player.AnswerSaveDialog("")) << player.Describe();
    Sleep(500);
    EXPECT_EQ(before, PngsBesideTheRecordings());
}

}  // namespace
}  // namespace e2e
