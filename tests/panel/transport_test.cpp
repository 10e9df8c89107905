// Open, Play, Stop, Pause, Step, Source, Exit, the speed list, the decoder's
// state events and the auto-play timer, as the user and the decoder drive them.
#include "tests/panel/playback_fixture.h"

namespace {

const char kFileA[] = "C:\\rec\\a.d01";
const char kFileB[] = "D:\\other\\b.nwv";

class Transport : public PlaybackTest {
protected:
    // The transport controls of the sets, in the order Pause, Stop, Play, Speed,
    // Event type, Source, Position, Step.
    std::vector<bool> ControlStates() const {
        std::vector<bool> states;
        for (int id : {IDC_PAUSE, IDC_STOP, IDC_PLAY, IDC_SPEED, IDC_EVENT_TYPE, IDC_SOURCE, IDC_POSITION_BAR, IDC_STEP})
            states.push_back(Enabled(id));
        return states;
    }
    const std::vector<bool> kPlaying = {true, true, true, true, true, true, true, true};
    const std::vector<bool> kStopped = {false, false, true, true, false, false, false, false};
    const std::vector<bool> kOpening = {false, true, false, true, false, false, false, false};
};

TEST_F(Transport, OpenDialogIsAskedForAsTheFileTypesNeed) {
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

TEST_F(Transport, OpenedFileRunsTheOpenSequenceAndTheFirstPictureEnablesTheControls) {
    Open(kFileA);
    EXPECT_EQ(Then({"Stop"}, OpenCalls(kFileA)), DecoderCalls());
    EXPECT_EQ(kFileA, Title());
    EXPECT_STREQ(kFileA, panel.m_szPath);
    EXPECT_EQ(PLAY_PLAYING, panel.m_nPlayState);
    EXPECT_EQ(kOpening, ControlStates());
    EXPECT_TRUE(Enabled(IDC_OPEN));
    Position(0);
    EXPECT_EQ(kOpening, ControlStates()) << "position 0 is not yet a picture";
    Position(40);
    EXPECT_EQ(kPlaying, ControlStates());
    EXPECT_EQ(CTRL_PLAYING, panel.m_nControlSet);
}

TEST_F(Transport, CancelledOpenLeavesPlaybackAlone) {
    PlayFile(kFileA);
    decoder->ClearCalls();
    Open("");
    EXPECT_TRUE(DecoderCalls().empty());
    EXPECT_EQ(kPlaying, ControlStates());
    EXPECT_EQ(kFileA, Title());
    Click(IDC_PLAY);
    EXPECT_EQ((Calls{"PlayAgain"}), DecoderCalls()) << "still playing";
}

TEST_F(Transport, OpenWhilePlayingStopsFirstAndForgetsTheStartOffset) {
    PlayFile(kFileA, 5000);
    Scroll(SB_PAGERIGHT);  // a seek leaves a start offset of 65000
    ASSERT_EQ(65000, panel.m_nStartOffset);
    decoder->ClearCalls();
    Open(kFileB);
    EXPECT_EQ(Then({"Stop"}, OpenCalls(kFileB, 0)), DecoderCalls());
    EXPECT_EQ(kFileB, Title());
}

TEST_F(Transport, PlayBeforeAnyFileSendsNothingAndThenCountsAsPlaying) {
    DecoderState(DVR_STATE_END_OF_FILE);  // the one way to get Play enabled in state 1
    ASSERT_TRUE(Enabled(IDC_PLAY));
    const std::vector<bool> before = ControlStates();
    Click(IDC_PLAY);
    EXPECT_TRUE(DecoderCalls().empty());
    EXPECT_EQ(before, ControlStates());
    EXPECT_EQ(PLAY_PLAYING, panel.m_nPlayState);
    Click(IDC_PLAY);
    EXPECT_EQ((Calls{"PlayAgain"}), DecoderCalls());
}

TEST_F(Transport, EndOfFileOffersPlayWhichPlaysAgainRatherThanReopening) {
    PlayFile(kFileA);
    DecoderState(DVR_STATE_END_OF_FILE, 77);
    EXPECT_EQ(kStopped, ControlStates());
    EXPECT_EQ(PLAY_PLAYING, panel.m_nPlayState);
    decoder->ClearCalls();
    Click(IDC_PLAY);
    EXPECT_EQ((Calls{"PlayAgain"}), DecoderCalls());
}

TEST_F(Transport, FailedOpenShowsNoTitleAndNoMessageAndPlayThenPlaysAgain) {
    PlayFile(kFileA);
    decoder->RaiseOn(DVR_FILE_NAME, L"The file does not exist.");
    decoder->ClearCalls();
    Open(kFileB);
    EXPECT_EQ((Calls{"Stop", std::string("SetFileName(") + kFileB + ")"}), DecoderCalls()) << "no index fetch";
    EXPECT_EQ("", Title());
    EXPECT_EQ(kStopped, ControlStates());
    EXPECT_EQ(PLAY_PLAYING, panel.m_nPlayState);
    EXPECT_TRUE(boxes.boxes.empty());
    decoder->ClearFailures();
    decoder->ClearCalls();
    Click(IDC_PLAY);
    EXPECT_EQ((Calls{"PlayAgain"}), DecoderCalls());
}

TEST_F(Transport, PauseThenStepsStayPausedAndPlayGoesOn) {
    PlayFile(kFileA);
    decoder->ClearCalls();
    Click(IDC_PAUSE);
    EXPECT_EQ((std::vector<bool>{false, true, true, true, true, true, true, true}), ControlStates());
    for (int i = 0; i < 3; ++i) Click(IDC_STEP);
    EXPECT_EQ(PLAY_PAUSED, panel.m_nPlayState);
    EXPECT_EQ(CTRL_PAUSED, panel.m_nControlSet);
    Click(IDC_PLAY);
    EXPECT_EQ((Calls{"Pause", "Step", "Step", "Step", "Play"}), DecoderCalls());
    EXPECT_EQ(kPlaying, ControlStates());
    EXPECT_EQ(PLAY_PLAYING, panel.m_nPlayState);
}

TEST_F(Transport, StopRewindsTheBarAndTheNextPlayReopensFromTheStart) {
    PlayFile(kFileA, 3723456);
    ASSERT_EQ(123, BarPosition());
    Scroll(SB_PAGELEFT);
    Position(2000);
    decoder->ClearCalls();
    Click(IDC_STOP);
    EXPECT_EQ((Calls{"Stop"}), DecoderCalls());
    EXPECT_EQ(0, BarPosition());
    EXPECT_EQ(kStopped, ControlStates());
    EXPECT_EQ(0, panel.m_nStartOffset);
    Click(IDC_PLAY);
    EXPECT_EQ(Then({"Stop"}, OpenCalls(kFileA, 0)), DecoderCalls());
}

TEST_F(Transport, SpeedIsSentInEveryStateButNotWithAnOpen) {
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

TEST_F(Transport, PauseAskedByTheDecoderPausesAgainEvenWhenPaused) {
    PlayFile(kFileA);
    decoder->ClearCalls();
    DecoderState(DVR_STATE_PAUSE_CLICK);
    EXPECT_EQ(PLAY_PAUSED, panel.m_nPlayState);
    EXPECT_FALSE(Enabled(IDC_PAUSE));
    DecoderState(DVR_STATE_PAUSE_CLICK);
    DecoderState(5);  // other types mean nothing to the panel
    EXPECT_EQ((Calls{"Pause", "Pause"}), DecoderCalls());
    EXPECT_EQ(CTRL_PAUSED, panel.m_nControlSet);
}

TEST_F(Transport, SourceAsksTheVideoWindowAndChangesNoState) {
    PlayFile(kFileA);
    decoder->SetViewSplit(1);  // one camera on view: no dialog, the group is the camera
    decoder->SetViewGroup(3);
    decoder->ClearCalls();
    Click(IDC_SOURCE);
    EXPECT_EQ((Calls{"GetViewSplit", "GetViewGroup", "SelectSource(3)"}), DecoderCalls());
    EXPECT_EQ(PLAY_PLAYING, panel.m_nPlayState);
    EXPECT_EQ(kPlaying, ControlStates());
}

TEST_F(Transport, EscapeEnterAndTheCloseBoxLeaveThePanelOpen) {
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

TEST_F(Transport, ExitHidesThePanelAndClosesTheVideoWindow) {
    PlayFile(kFileA);
    ASSERT_TRUE(IsWindowVisible(video.m_hWnd));
    SendMessageA(panel.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_EXIT, BN_CLICKED), reinterpret_cast<LPARAM>(Item(IDC_EXIT)));
    EXPECT_FALSE(IsWindowVisible(panel.m_hWnd)) << "at once";
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, video.m_hWnd, WM_CLOSE, WM_CLOSE, PM_NOREMOVE)) << "posted, not sent";
    Pump();
    EXPECT_FALSE(IsWindowVisible(video.m_hWnd)) << "the video window's run ended";
}

TEST_F(Transport, GpiValuesBecomeAllOrNothing) {
    GpiBlock(4, {0, 5, -1, 100, 7});
    Open(kFileA);
    const int32_t* v = panel.m_index.Gpi.lValue;
    EXPECT_EQ((std::vector<int32_t>{0, 100, 100, 100}), std::vector<int32_t>(v, v + 4));
    EXPECT_EQ(7, v[4]) << "beyond the count nothing is touched";
}

TEST_F(Transport, GpiCountBeyondTheBlockStopsAtItsEnd) {
    GpiBlock(0xFFFF, std::vector<int32_t>(GPI_EVENT_SLOTS, -3));
    HBITMAP split[4];
    memcpy(split, panel.m_hbmSplit, sizeof split);
    Open(kFileA);
    const int32_t* v = panel.m_index.Gpi.lValue;
    EXPECT_EQ(std::vector<int32_t>(GPI_EVENT_SLOTS, 100), std::vector<int32_t>(v, v + GPI_EVENT_SLOTS));
    EXPECT_EQ(0, memcmp(split, panel.m_hbmSplit, sizeof split)) << "what follows the index is intact";
}

TEST_F(Transport, NextFileShowsNoneOfThePreviousFilesEvents) {
    GpiBlock(3, {1, 0, 1});
    decoder->SetStartTime(L"2000-01-01\t10:20:00.000");
    Open(kFileA);
    ASSERT_EQ(37200000, panel.m_index.lStartTimeMs);
    ASSERT_EQ(3, panel.m_index.Gpi.wCount);

    // A file whose GPI block the decoder does not deliver, with no start time.
    decoder->SetEventBlock(DVR_GPI_EVENTS, std::nullopt);
    decoder->SetStartTime(nullptr);
    Open(kFileB);
    EXPECT_EQ(0, panel.m_index.Gpi.wCount);
    EXPECT_EQ(0, panel.m_index.Gpi.lValue[0]);
    EXPECT_EQ(0, panel.m_index.lStartTimeMs);

    // A fetch that fails writes nothing: the index is empty all the same.
    GpiBlock(3, {1, 0, 1});
    decoder->SetStartTime(L"2000-01-01\t10:20:00.000");
    Open(kFileA);
    ASSERT_EQ(37200000, panel.m_index.lStartTimeMs);
    decoder->FailOn(DVR_START_TIME, E_FAIL);
    Open(kFileB);
    EXPECT_EQ(0, panel.m_index.lStartTimeMs);
    EXPECT_EQ(0, panel.m_index.Gpi.wCount);
    EXPECT_EQ(kFileB, Title()) << "the title follows the open, whatever the fetch";
    Position(5000);
    EXPECT_STREQ("00:00:05.00", panel.m_szTime);
    EXPECT_TRUE(boxes.boxes.empty());
}

class TransportStartedWithAPath : public Transport {
protected:
    void SetUp() override {
        startPath = "\"C:\\rec\\cmd line.d01\"";
        Transport::SetUp();
    }
};

TEST_F(TransportStartedWithAPath, TimerOpensTheFileOnceAndGivesOpenBack) {
    ASSERT_FALSE(Enabled(IDC_OPEN));
    SendMessageA(panel.m_hWnd, WM_TIMER, panel.m_nTimerId, 0);
    EXPECT_EQ(0u, panel.m_nTimerId);
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
