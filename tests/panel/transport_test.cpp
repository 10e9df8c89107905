// Open, Play, Stop, Pause, Step, Source, Exit, the speed list, the decoder's
// state events and the auto-play timer, as the user and the decoder drive them.
#include "tests/panel/playback_fixture.h"

namespace {

const char kFileA[] = "C:\\rec\\a.d01";
const char kFileB[] = "D:\\other\\b.nwv";

using panel_view::kOpening;
using panel_view::kPlaying;
using panel_view::kStopped;
// Pause off, the rest as playing left it.
const std::vector<bool> kPaused = {false, true, true, true, true, true, true, true};

class Transport : public PlaybackTest {
protected:
    // What Play asks of the decoder tells the state: PlayAgain while playing,
    // Play while paused, the open sequence while stopped, nothing while idle.
    Calls PlayCalls()
    {
        decoder->ClearCalls();
        Click(IDC_PLAY);
        return DecoderCalls();
    }
};

TEST_F(Transport, OpenDialogIsAskedForAsTheFileTypesNeed)
{
    ASSERT_EQ(1u, openFile.requests.size()) << "the one at start";
    const auto& request = openFile.requests[0];
    EXPECT_EQ(panel.m_hWnd, request.hwndOwner);
    EXPECT_EQ(0x81804u, request.flags);
    EXPECT_EQ((std::vector<std::string>{"DVR File (*.nwv;*.d00;*.d01)", "*.nwv; *.d00; *.d01"}), request.filter);
    EXPECT_EQ("d01", request.defaultExtension);
    EXPECT_EQ(260u, request.maxFile);
    EXPECT_FALSE(request.hadInitialName);
    EXPECT_FALSE(request.hadTitle);
}

TEST_F(Transport, OpenedFileRunsTheOpenSequenceAndTheFirstPictureEnablesTheControls)
{
    Open(kFileA);
    EXPECT_EQ(Then({"Stop"}, OpenCalls(kFileA)), DecoderCalls());
    EXPECT_EQ(kFileA, Title());
    EXPECT_EQ(kOpening, ControlStates());
    EXPECT_TRUE(Enabled(IDC_OPEN));
    Position(0);
    EXPECT_EQ(kOpening, ControlStates()) << "position 0 is not yet a picture";
    Position(40);
    EXPECT_EQ(kPlaying, ControlStates());
    EXPECT_EQ((Calls{"PlayAgain"}), PlayCalls()) << "playing";
}

TEST_F(Transport, CancelledOpenLeavesPlaybackAlone)
{
    PlayFile(kFileA);
    decoder->ClearCalls();
    Open("");
    EXPECT_TRUE(DecoderCalls().empty());
    EXPECT_EQ(kPlaying, ControlStates());
    EXPECT_EQ(kFileA, Title());
    Click(IDC_PLAY);
    EXPECT_EQ((Calls{"PlayAgain"}), DecoderCalls()) << "still playing";
}

TEST_F(Transport, OpenWhilePlayingStopsFirstAndForgetsTheStartOffset)
{
    PlayFile(kFileA, 5000);
    decoder->ClearCalls();
    Scroll(SB_PAGERIGHT);
    ASSERT_EQ(Then({"Stop"}, OpenCalls(kFileA, 65000)), DecoderCalls()) << "a seek left a start offset";
    decoder->ClearCalls();
    Open(kFileB);
    EXPECT_EQ(Then({"Stop"}, OpenCalls(kFileB, 0)), DecoderCalls());
    EXPECT_EQ(kFileB, Title());
}

TEST_F(Transport, PlayBeforeAnyFileSendsNothingAndThenCountsAsPlaying)
{
    DecoderState(DVR_STATE_END_OF_FILE);  // the one way to get Play enabled in state 1
    ASSERT_TRUE(Enabled(IDC_PLAY));
    const std::vector<bool> before = ControlStates();
    EXPECT_TRUE(PlayCalls().empty());
    EXPECT_EQ(before, ControlStates());
    EXPECT_EQ((Calls{"PlayAgain"}), PlayCalls()) << "counts as playing";
}

TEST_F(Transport, EndOfFileOffersPlayWhichPlaysAgainRatherThanReopening)
{
    PlayFile(kFileA);
    DecoderState(DVR_STATE_END_OF_FILE, 77);
    EXPECT_EQ(kStopped, ControlStates());
    EXPECT_EQ((Calls{"PlayAgain"}), PlayCalls());
}

TEST_F(Transport, FailedOpenShowsNoTitleAndNoMessageAndPlayThenPlaysAgain)
{
    PlayFile(kFileA);
    decoder->RaiseOn(DVR_FILE_NAME, L"The file does not exist.");
    decoder->ClearCalls();
    Open(kFileB);
    EXPECT_EQ((Calls{"Stop", std::string("SetFileName(") + kFileB + ")"}), DecoderCalls()) << "no index fetch";
    EXPECT_EQ("", Title());
    EXPECT_EQ(kStopped, ControlStates());
    EXPECT_TRUE(boxes.boxes.empty());
    decoder->ClearFailures();
    EXPECT_EQ((Calls{"PlayAgain"}), PlayCalls());
}

TEST_F(Transport, PauseThenStepsStayPausedAndPlayGoesOn)
{
    PlayFile(kFileA);
    decoder->ClearCalls();
    Click(IDC_PAUSE);
    EXPECT_EQ(kPaused, ControlStates());
    for (int i = 0; i < 3; ++i) Click(IDC_STEP);
    EXPECT_EQ(kPaused, ControlStates());
    Click(IDC_PLAY);
    EXPECT_EQ((Calls{"Pause", "Step", "Step", "Step", "Play"}), DecoderCalls()) << "still paused after the steps";
    EXPECT_EQ(kPlaying, ControlStates());
    EXPECT_EQ((Calls{"PlayAgain"}), PlayCalls());
}

TEST_F(Transport, StopRewindsTheBarAndTheNextPlayReopensFromTheStart)
{
    PlayFile(kFileA, 723456);
    ASSERT_EQ(723, BarPosition());
    Scroll(SB_PAGELEFT);
    Position(2000);
    decoder->ClearCalls();
    Click(IDC_STOP);
    EXPECT_EQ((Calls{"Stop"}), DecoderCalls());
    EXPECT_EQ(0, BarPosition());
    EXPECT_EQ(kStopped, ControlStates());
    Click(IDC_PLAY);
    EXPECT_EQ(Then({"Stop"}, OpenCalls(kFileA, 0)), DecoderCalls());
}

TEST_F(Transport, SpeedIsSentInEveryStateButNotWithAnOpen)
{
    const long values[] = {0, 2, 1, -2, -4, -8};
    Calls expected;
    for (int i = 0; i < 6; ++i) {
        Choose(IDC_SPEED, i);
        expected.push_back("SetSpeed(" + std::to_string(values[i]) + ")");
    }
    Choose(IDC_SPEED, -1);  // no selection: nothing to send
    EXPECT_EQ(expected, DecoderCalls());
    decoder->ClearCalls();
    Open(kFileA);
    EXPECT_EQ(Then({"Stop"}, OpenCalls(kFileA)), DecoderCalls());
}

TEST_F(Transport, PauseAskedByTheDecoderPausesAgainEvenWhenPaused)
{
    PlayFile(kFileA);
    decoder->ClearCalls();
    DecoderState(DVR_STATE_PAUSE_CLICK);
    EXPECT_EQ(kPaused, ControlStates());
    DecoderState(DVR_STATE_PAUSE_CLICK);
    DecoderState(99);  // other types mean nothing to the panel
    EXPECT_EQ((Calls{"Pause", "Pause"}), DecoderCalls());
    EXPECT_EQ(kPaused, ControlStates());
    EXPECT_EQ((Calls{"Play"}), PlayCalls()) << "paused";
}

TEST_F(Transport, SourceAsksTheVideoWindowAndChangesNoState)
{
    PlayFile(kFileA);
    decoder->SetViewSplit(1);  // one camera on view: no dialog, the group is the camera
    decoder->SetViewGroup(3);
    decoder->ClearCalls();
    Click(IDC_SOURCE);
    EXPECT_EQ((Calls{"GetViewSplit", "GetViewGroup", "SelectSource(3)"}), DecoderCalls());
    EXPECT_EQ(kPlaying, ControlStates());
    EXPECT_EQ((Calls{"PlayAgain"}), PlayCalls());
}

TEST_F(Transport, EscapeEnterAndTheCloseBoxLeaveThePanelOpen)
{
    PlayFile(kFileA);
    decoder->ClearCalls();
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        PostMessageA(panel.m_hWnd, WM_KEYDOWN, key, 0);
        PostMessageA(panel.m_hWnd, WM_KEYUP, key, 0xC0000000);
        Pump();
    }
    SendMessageA(panel.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    SendMessageA(panel.m_hWnd, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_TRUE(IsWindowVisible(panel.m_hWnd));
    EXPECT_TRUE(IsWindowVisible(video.m_hWnd));
    EXPECT_TRUE(DecoderCalls().empty());
    EXPECT_EQ(kPlaying, ControlStates());
}

TEST_F(Transport, ExitHidesThePanelAndClosesTheVideoWindow)
{
    PlayFile(kFileA);
    ASSERT_TRUE(IsWindowVisible(video.m_hWnd));
    SendMessageA(panel.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_EXIT, BN_CLICKED), reinterpret_cast<LPARAM>(Item(IDC_EXIT)));
    EXPECT_FALSE(IsWindowVisible(panel.m_hWnd)) << "at once";
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, video.m_hWnd, WM_CLOSE, WM_CLOSE, PM_NOREMOVE)) << "posted, not sent";
    Pump();
    EXPECT_FALSE(IsWindowVisible(video.m_hWnd)) << "the video window's run ended";
}

TEST_F(Transport, GpiValuesBecomeAllOrNothing)
{
    GpiBlock(4, {0, 5, -1, 100, 7});
    Choose(IDC_EVENT_TYPE, 2);
    Open(kFileA);
    EXPECT_EQ((std::vector<int32_t>{0, 100, 100, 100}), Bars());
}

TEST_F(Transport, GpiCountBeyondTheBlockStopsAtItsEnd)
{
    GpiBlock(0xFFFF, std::vector<int32_t>(GPI_EVENT_SLOTS, -3));
    Choose(IDC_EVENT_TYPE, 2);
    Open(kFileA);
    EXPECT_EQ(std::vector<int32_t>(GPI_EVENT_SLOTS, 100), Bars());
}

TEST_F(Transport, NextFileShowsNoneOfThePreviousFilesEvents)
{
    Choose(IDC_EVENT_TYPE, 2);
    GpiBlock(3, {1, 0, 1});
    decoder->SetStartTime(L"2000-01-01\t10:20:00.000");
    Open(kFileA);
    Position(0);
    ASSERT_EQ("10:20:00.00", TimeText());
    ASSERT_EQ((std::vector<int32_t>{100, 0, 100}), Bars());

    // A file whose GPI block the decoder does not deliver, with no start time.
    decoder->SetEventBlock(DVR_GPI_EVENTS, std::nullopt);
    decoder->SetStartTime(nullptr);
    Open(kFileB);
    Position(0);
    EXPECT_TRUE(Bars().empty());
    EXPECT_EQ("00:00:00.00", TimeText());

    // A fetch that fails writes nothing: the index is empty all the same.
    GpiBlock(3, {1, 0, 1});
    decoder->SetStartTime(L"2000-01-01\t10:20:00.000");
    Open(kFileA);
    Position(0);
    ASSERT_EQ("10:20:00.00", TimeText());
    decoder->FailOn(DVR_START_TIME, E_FAIL);
    Open(kFileB);
    EXPECT_TRUE(Bars().empty());
    EXPECT_EQ(kFileB, Title()) << "the title follows the open, whatever the fetch";
    Position(5000);
    EXPECT_EQ("00:00:05.00", TimeText());
    EXPECT_TRUE(boxes.boxes.empty());
}

class TransportStartedWithAPath : public Transport {
protected:
    void SetUp() override
    {
        startPath = "\"C:\\rec\\cmd line.d01\"";
        Transport::SetUp();
    }
};

TEST_F(TransportStartedWithAPath, TimerOpensTheFileOnceAndGivesOpenBack)
{
    ASSERT_FALSE(Enabled(IDC_OPEN));
    SendMessageA(panel.m_hWnd, WM_TIMER, 100, 0);  // the panel's one timer
    EXPECT_TRUE(Enabled(IDC_OPEN));
    EXPECT_TRUE(DecoderCalls().empty()) << "the click is posted";
    Pump();
    EXPECT_EQ(OpenCalls("C:\\rec\\cmd line.d01", 0), DecoderCalls());
    EXPECT_EQ("C:\\rec\\cmd line.d01", Title());
    decoder->ClearCalls();
    testing_support::PumpFor(2300);
    EXPECT_TRUE(DecoderCalls().empty()) << "the timer was killed";
}

}  // namespace
