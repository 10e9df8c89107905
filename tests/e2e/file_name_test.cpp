// A recording whose folder and name lie outside the ANSI code page the tests
// run under (1252): opened from the command line and from the open dialog, it
// plays, the title shows its name whole, and a snapshot is saved beside it.
#include "res/resource.h"
#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

// Cyrillic, CJK, and a character beyond the BMP (a surrogate pair in UTF-16).
const char kFolder[] = "Камера 東京 𝄞";
const char kName[] = "запись 録画 𝄞.d01";

bool Exists(const std::string& path) { return GetFileAttributesW(Utf16(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

class E2eFileNames : public PlayerTest {
protected:
    void SetUp() override
    {
        const std::string folder = RecordingPath(kFolder);
        CreateDirectoryW(Utf16(folder).c_str(), nullptr);
        ASSERT_TRUE(Exists(folder)) << "Wine keeps such names only under a UTF-8 locale (LC_ALL=C.UTF-8)";
        path = folder + "\\" + kName;
        ASSERT_TRUE(CopyFileW(Utf16(RecordingPath(kPlayRecording)).c_str(), Utf16(path).c_str(), FALSE))
            << RecordingPath(kPlayRecording) << " is missing; scripts/test.sh makes it";
    }

    void ExpectPlaysUnderItsName()
    {
        ASSERT_TRUE(WaitUntil([&] { return player.Enabled(IDC_PAUSE); }, 20000)) << "not playing; windows:\n"
                                                                                 << player.Describe();
        EXPECT_EQ(Utf16(path), WideWindowText(player.Video()));
        Sleep(1000);
        const Image first = player.Picture();
        EXPECT_EQ(CameraRange(1, 16), CamerasOnView(first)) << Describe(CamerasOnView(first));
        Sleep(1500);
        EXPECT_GT(player.Picture().DifferingPixels(first), 100u) << "the tiles did not change while playing";
    }
};

TEST_F(E2eFileNames, FromTheCommandLineItPlaysAndASnapshotIsSavedBesideIt)
{
    ASSERT_TRUE(player.Start(WindowsPath(VORPLEX_EXE), "\"" + path + "\""));
    ASSERT_TRUE(player.WaitForWindows()) << player.Describe();
    ExpectPlaysUnderItsName();

    const std::string shot = RecordingPath(kFolder) + "\\снимок 東 𝄞.png";
    DeleteFileW(Utf16(shot).c_str());
    ASSERT_TRUE(player.ChooseFromPictureMenu({10, 10}, 1)) << player.Describe();
    ASSERT_TRUE(player.AnswerSaveDialog(shot)) << player.Describe();
    EXPECT_TRUE(WaitUntil([&] { return Exists(shot); }, 10000)) << "no snapshot in the folder";
}

TEST_F(E2eFileNames, FromTheOpenDialogItPlays)
{
    ASSERT_TRUE(player.Start(WindowsPath(VORPLEX_EXE), ""));
    ASSERT_TRUE(player.WaitForWindows()) << player.Describe();
    ASSERT_TRUE(player.AnswerOpenDialog(path)) << "no open dialog; windows:\n"
                                               << player.Describe();
    ExpectPlaysUnderItsName();
}

}  // namespace
}  // namespace e2e
