// Bad files opened through the panel on the real decoder: the player keeps
// answering, shows no message box, says nothing has opened (or plays on, for
// damage the decoder reads through), and the next good file plays.
#include <cstring>
#include "tests/integration/damaged_files.h"
#include "tests/integration/real_player.h"

namespace {

class BadFiles : public RealPlayerTest {
protected:
    void SetUp() override
    {
        RealPlayerTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(WriteTestRecording(good.Path(), GoodRecording()));
        goodBytes = rectest::readAll(good.Path());
        ASSERT_FALSE(goodBytes.empty());
    }

    int CameraPixels() const
    {
        int n = 0;
        for (COLORREF color : kCameraColors) n += PixelsNear(color);
        return n;
    }

    // After an open that failed: nothing lost, the reason on view.
    void ExpectRefusedState(const std::string& what)
    {
        EXPECT_EQ("", Title()) << what;
        EXPECT_TRUE(Enabled(IDC_PLAY)) << what;
        EXPECT_FALSE(Enabled(IDC_PAUSE)) << what;
        EXPECT_EQ(panel_view::kStopped, ControlStates()) << what;
        Pump();
        EXPECT_GT(TextPixels(), 0) << what << ": the control's window shows no reason";
        EXPECT_EQ(0, CameraPixels()) << what << ": a picture of the last file is still on view";
    }

    // Opens path through the panel and checks the outcome; true when it opened.
    bool OpenAndCheck(const std::string& path, Outcome outcome, const std::string& what)
    {
        Open(path);
        EXPECT_TRUE(Responsive()) << what << ": the video window stopped answering";
        const bool refused = !ControlMessage().empty();
        if (outcome == Outcome::Refused) {
            EXPECT_TRUE(refused) << what << ": opened";
        }
        if (outcome == Outcome::Plays) {
            EXPECT_FALSE(refused) << what << ": refused with " << ControlMessage();
        }
        if (refused) {
            ExpectRefusedState(what + " (" + ControlMessage() + ")");
        } else {
            EXPECT_EQ(path, Title()) << what;
            EXPECT_TRUE(WaitSettled()) << what << ": the open never came to a first picture or the end";
            if (outcome == Outcome::Plays) {
                EXPECT_TRUE(ControlStates() == panel_view::kPlaying || WaitPlaying(2000)) << what << ": no playback";
            }
        }
        EXPECT_TRUE(boxes.boxes.empty()) << what << ": " << DescribeBoxes(boxes);
        boxes.boxes.clear();
        return !refused;
    }

    // The good file then plays: its title, positions, its cameras' pictures.
    void ExpectGoodPlays(const std::string& after)
    {
        Open(good.Path());
        EXPECT_EQ(good.Path(), Title()) << "after " << after;
        EXPECT_EQ("", ControlMessage()) << "after " << after;
        EXPECT_TRUE(WaitPlaying()) << "after " << after << ": no position arrived";
        EXPECT_TRUE(testing_support::PumpUntil([&] { return PixelsNear(kCameraColors[0]) > 0; }))
            << "after " << after << ": camera 1's picture never showed";
        EXPECT_TRUE(boxes.boxes.empty()) << "after " << after << ": " << DescribeBoxes(boxes);
        boxes.boxes.clear();
    }

    void OpenEach(const std::vector<DamagedFile>& files)
    {
        ASSERT_FALSE(files.empty());
        for (const DamagedFile& file : files) {
            CTempFile bad;
            ASSERT_TRUE(rectest::writeAll(bad.Path(), file.bytes.data(), file.bytes.size())) << file.name;
            OpenAndCheck(bad.Path(), file.outcome, file.name);
            ExpectGoodPlays(file.name);
            if (HasFatalFailure()) return;
        }
    }

    CTempFile good;
    std::vector<uint8_t> goodBytes;
};

TEST_F(BadFiles, NotRecordingsAreRefusedQuietly)
{
    OpenEach(NotRecordings());
}

TEST_F(BadFiles, TruncatedFiles)
{
    OpenEach(Truncations(goodBytes));
}

TEST_F(BadFiles, DamagedRiffAndStreamHeaders)
{
    OpenEach(HeaderDamage(goodBytes));
}

TEST_F(BadFiles, DamagedIndexes)
{
    OpenEach(IndexDamage(goodBytes));
}

TEST_F(BadFiles, DamagedDvrxBlocks)
{
    OpenEach(DvrxDamage(goodBytes));
}

// The pictures cannot be decoded, but the file plays on to its end.
TEST_F(BadFiles, DamagedFramesPlayToTheEnd)
{
    const std::vector<DamagedFile> files = FrameDamage(good.Path(), goodBytes);
    ASSERT_EQ(3u, files.size());
    for (const DamagedFile& file : files) {
        CTempFile bad;
        ASSERT_TRUE(rectest::writeAll(bad.Path(), file.bytes.data(), file.bytes.size()));
        ASSERT_TRUE(OpenAndCheck(bad.Path(), Outcome::Plays, file.name));
        EXPECT_TRUE(testing_support::PumpUntil([&] { return ControlStates() == panel_view::kStopped; }, 10000))
            << file.name << ": the end of the file never came";
        // The time shown last, less the file's start: how far playback got.
        EXPECT_GE(panel_view::ShownMs(panel.TimeText()) - GoodRecording().start.msOfDay, 1900)
            << file.name << ": playback stopped early at " << panel.TimeText();
        EXPECT_TRUE(Responsive()) << file.name;
        ExpectGoodPlays(file.name);
    }
}

// Counts far past the blocks' slots: the graph of every event type is drawn
// from what fits, and playback goes on.
TEST_F(BadFiles, CountsBeyondCapacityInTheEventGraph)
{
    std::vector<uint8_t> bytes = goodBytes;
    for (const char* tag : {"dvsr", "dvmo", "dvgp"})
        for (size_t at : FindChunks(goodBytes, tag)) Put16(bytes, at + 8 + 4, 0xFFFF);
    CTempFile bad;
    ASSERT_TRUE(rectest::writeAll(bad.Path(), bytes.data(), bytes.size()));
    ASSERT_TRUE(OpenAndCheck(bad.Path(), Outcome::Plays, "counts 0xFFFF"));
    HWND types = Item(IDC_EVENT_TYPE);
    const int nTypes = static_cast<int>(SendMessageA(types, CB_GETCOUNT, 0, 0));
    ASSERT_GT(nTypes, 1);
    for (int i = 0; i < nTypes; ++i) {
        SendMessageA(types, CB_SETCURSEL, i, 0);
        PostMessageA(panel.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_EVENT_TYPE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(types));
        Pump();
        UpdateWindow(panel.m_hWnd);
        EXPECT_TRUE(Responsive()) << "event type " << i;
    }
    EXPECT_TRUE(boxes.boxes.empty()) << DescribeBoxes(boxes);
    ExpectGoodPlays("counts 0xFFFF");
}

TEST_F(BadFiles, PathsThatAreNoRecording)
{
    char szTemp[MAX_PATH];
    GetTempPathA(MAX_PATH, szTemp);
    const std::string dir = std::string(szTemp) + "vorplex_dir_" + std::to_string(GetCurrentProcessId()) + ".d01";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    const std::string missing = std::string(szTemp) + "vorplex_missing_" + std::to_string(GetTickCount()) + ".d01";
    std::string longMissing = LongTempPath(259);
    longMissing[longMissing.size() - 5] = 'm';  // not the name the long-path test writes
    ASSERT_EQ(259u, longMissing.size());
    const struct {
        std::string path;
        const char* reason;
    } paths[] = {
        {dir, nullptr},
        {dir + "\\", nullptr},
        {missing, "does not exist"},
        {longMissing, "does not exist"},
        {"Z:\\no\\such\\folder\\file.d01", "does not exist"},
    };
    for (const auto& p : paths) {
        OpenAndCheck(p.path, Outcome::Refused, p.path);
        if (p.reason) {
            EXPECT_NE(std::string::npos, ControlMessage().find(p.reason)) << p.path << ": " << ControlMessage();
        }
        ExpectGoodPlays(p.path);
    }
    RemoveDirectoryA(dir.c_str());
}

// The longest path the dialog hands over names a real recording: it plays.
TEST_F(BadFiles, RecordingAtALongPathPlays)
{
    const std::string path = LongTempPath(259);
    ASSERT_EQ(259u, path.size());
    ASSERT_TRUE(rectest::writeAll(path, goodBytes.data(), goodBytes.size()));
    OpenAndCheck(path, Outcome::Plays, "a 259-character path");
    EXPECT_TRUE(WaitPlaying());
    EXPECT_TRUE(testing_support::PumpUntil([&] { return PixelsNear(kCameraColors[2]) > 0; }));
    ExpectGoodPlays("a 259-character path");  // which lets go of the long one
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

}  // namespace
