// Playback against the manual clock: the PositionChange sequence at each speed,
// the transport, the end of the file and the click.
#include <cstdlib>
#include <thread>
#include "decoder/picture_run.h"
#include "tests/decoder/decoder_fixture.h"

namespace {

class Playback : public DecoderTest {
protected:
    // Ticks n times, each after nStepMs of the clock; the positions fired.
    std::vector<LONG> Play(int n, int64_t nStepMs)
    {
        for (int i = 0; i < n; ++i)
            Tick(nStepMs);
        return TakePositions();
    }

    // The middle of the window, as it is on screen (not the back buffer), 0x00RRGGBB.
    uint32_t OnScreen()
    {
        const COLORREF color = GetPixel(CClientDC(Control().Window()), kWidth / 2, kHeight / 2);
        EXPECT_NE(CLR_INVALID, color);
        return uint32_t(GetRValue(color)) << 16 | uint32_t(GetGValue(color)) << 8 | GetBValue(color);
    }
    uint32_t InBackBuffer() { return Control().BackBuffer().PixelAt(kWidth / 2, kHeight / 2); }
};

// Within a JPEG's drift of a flat colour.
bool Near(COLORREF expected, uint32_t actual)
{
    const int e[3] = {GetRValue(expected), GetGValue(expected), GetBValue(expected)};
    const int a[3] = {int(actual >> 16 & 0xFF), int(actual >> 8 & 0xFF), int(actual & 0xFF)};
    for (int i = 0; i < 3; ++i)
        if (std::abs(e[i] - a[i]) > 12)
            return false;
    return true;
}

const COLORREF kRed = RGB(220, 40, 40);
const COLORREF kBlue = RGB(40, 60, 220);

// One camera over the whole view, its frames red and blue by turns.
TestRecordingPlan RedAndBlue(int nFrames)
{
    TestRecordingPlan plan;
    plan.nFrames = nFrames;
    plan.cameras = {{1, kRed, {}}};
    for (int i = 0; i < nFrames; ++i)
        plan.cameras[0].frames.push_back(SolidJpeg(i % 2 ? kBlue : kRed));
    return plan;
}

COLORREF ColourAt(LONG nMs) { return nMs / 200 % 2 ? kBlue : kRed; }

}  // namespace

TEST_F(Playback, AtNormalSpeedEachFrameIsReported)
{
    TestRecordingPlan plan;
    plan.nFrames = 10;
    plan.nRate = 10;
    ASSERT_EQ(S_OK, OpenRecording(plan));
    EXPECT_EQ((std::vector<LONG>{0, 100, 200, 300}), Play(7, 50)) << "nothing new between frames";
}

TEST_F(Playback, SlowFramesStillGiveTenPositionsASecond)
{
    TestRecordingPlan plan;  // 5 frames a second: 200 ms apart
    ASSERT_EQ(S_OK, OpenRecording(plan));
    EXPECT_EQ(std::vector<LONG>{0}, Play(1, 0));
    EXPECT_EQ((std::vector<LONG>{100, 200, 300, 400}), Play(4, 100));
    EXPECT_EQ(std::vector<LONG>{}, Play(1, 50)) << "not yet 100 ms since the last";
}

TEST_F(Playback, SpeedsScaleTheClock)
{
    TestRecordingPlan plan;
    plan.nFrames = 20;
    plan.nRate = 10;
    ASSERT_EQ(S_OK, OpenRecording(plan));
    EXPECT_EQ(std::vector<LONG>{0}, Play(1, 0));

    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_SPEED, 2));
    EXPECT_EQ((std::vector<LONG>{200, 400}), Play(2, 100));
    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_SPEED, -2));
    EXPECT_EQ((std::vector<LONG>{500, 600}), Play(2, 200));
    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_SPEED, -8));
    EXPECT_EQ((std::vector<LONG>{}), Play(1, 700)) << "87 ms of recording time";
    EXPECT_EQ((std::vector<LONG>{700}), Play(1, 100));
}

TEST_F(Playback, FullSpeedMovesOnAsEachPictureComesBack)
{
    TestRecordingPlan plan;
    plan.nFrames = 4;
    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_SPEED, 0));
    ASSERT_EQ(S_OK, OpenRecording(plan));
    Tick();
    EXPECT_EQ(std::vector<LONG>{0}, TakePositions());
    Tick(1000);
    EXPECT_EQ(std::vector<LONG>{}, TakePositions()) << "neither the timer nor the clock moves it";
    // Each picture that comes back asks for the next, with no tick in between.
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ((std::vector<LONG>{200, 400, 600}), TakePositions());
    EXPECT_EQ((std::vector<std::pair<LONG, LONG>>{{DVR_STATE_END_OF_FILE, 0}}), TakeStates());
    EXPECT_EQ(CDvrControl::State::Ended, Control().PlayState());
}

TEST_F(Playback, FullSpeedStopsMovingWhenPaused)
{
    TestRecordingPlan plan;
    plan.nFrames = 50;
    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_SPEED, 0));
    ASSERT_EQ(S_OK, OpenRecording(plan));
    Tick();
    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_PAUSE));
    TakePositions();
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ(std::vector<LONG>{}, TakePositions()) << "the picture in hand does not ask for another";
    EXPECT_EQ(CDvrControl::State::Paused, Control().PlayState());
}

// At full speed the screen is drawn less often than pictures come (the clock
// stands still here, so only the first would be), but it never stays behind:
// when playing stops, whatever stops it, the window shows the last picture.
TEST_F(Playback, FullSpeedLeavesTheLastPictureOnScreen)
{
    ShowWindow(GetAncestor(Control().Window(), GA_ROOT), SW_SHOWNOACTIVATE);  // drawn only when visible
    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_VIEW_SPLIT, 1));
    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_SPEED, 0));
    ASSERT_EQ(S_OK, OpenRecording(RedAndBlue(40)));
    // The container pauses from its handler, in the middle of a run of
    // pictures decoded ahead and taken one after another.
    m_sink.onEvent = [this] {
        const SinkEvent& event = m_sink.events.back();
        if (event.dispid == DVR_EVENT_POSITION_CHANGE && event.args.at(0) == 3000)
            CallMethod(Decoder(), DVR_PAUSE);
    };
    Tick();
    const ULONGLONG nDeadline = GetTickCount64() + 5000;
    while (Control().PlayState() == CDvrControl::State::Playing && GetTickCount64() < nDeadline)
        ASSERT_TRUE(WaitForPicture());
    ASSERT_TRUE(WaitForPicture());
    m_sink.onEvent = nullptr;
    ASSERT_EQ(CDvrControl::State::Paused, Control().PlayState());
    const std::vector<LONG> positions = TakePositions();
    ASSERT_FALSE(positions.empty());
    EXPECT_EQ(3000, positions.back()) << "nothing after the pause";
    EXPECT_TRUE(Near(ColourAt(3000), InBackBuffer())) << std::hex << InBackBuffer();
    EXPECT_TRUE(Near(ColourAt(3000), OnScreen())) << std::hex << OnScreen();

    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_PLAY));
    Tick();
    while (Control().PlayState() == CDvrControl::State::Playing && GetTickCount64() < nDeadline)
        ASSERT_TRUE(WaitForPicture());
    ASSERT_EQ(CDvrControl::State::Ended, Control().PlayState());
    EXPECT_TRUE(Near(ColourAt(39 * 200), OnScreen())) << std::hex << OnScreen();
}

TEST_F(Playback, PauseStopsTheEventsAndPlayGoesOnFromThere)
{
    TestRecordingPlan plan;
    plan.nFrames = 10;
    ASSERT_EQ(S_OK, OpenRecording(plan));
    EXPECT_EQ(std::vector<LONG>{0}, Play(1, 0));
    EXPECT_EQ(std::vector<LONG>{100}, Play(1, 100));
    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_PAUSE));
    EXPECT_EQ(std::vector<LONG>{}, Play(5, 500));
    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_PLAY));
    EXPECT_EQ((std::vector<LONG>{200, 300}), Play(2, 100)) << "the paused time does not count";
}

TEST_F(Playback, StopEndsTheEvents)
{
    ASSERT_EQ(S_OK, OpenRecording(TestRecordingPlan()));
    Play(1, 0);
    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_STOP));
    EXPECT_EQ(CDvrControl::State::Stopped, Control().PlayState());
    EXPECT_EQ(std::vector<LONG>{}, Play(4, 300));
    EXPECT_TRUE(TakeStates().empty());
}

TEST_F(Playback, StepShowsTheNextPictureAndPauses)
{
    TestRecordingPlan plan;
    plan.nFrames = 3;
    ASSERT_EQ(S_OK, OpenRecording(plan));
    Play(1, 0);
    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_STEP));
    EXPECT_EQ(std::vector<LONG>{200}, TakePositions());
    EXPECT_EQ(CDvrControl::State::Paused, Control().PlayState());
    EXPECT_EQ(std::vector<LONG>{}, Play(3, 300));
    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_STEP));
    EXPECT_EQ(std::vector<LONG>{400}, TakePositions());
    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_STEP));
    EXPECT_EQ(std::vector<LONG>{}, TakePositions()) << "no picture after the last";
    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_PLAY));
    Play(1, 600);
    EXPECT_EQ((std::vector<std::pair<LONG, LONG>>{{DVR_STATE_END_OF_FILE, 0}}), TakeStates());
}

TEST_F(Playback, TheEndIsReportedOnceAndPlayAgainStartsOver)
{
    TestRecordingPlan plan;
    plan.nFrames = 3;  // 600 ms
    ASSERT_EQ(S_OK, OpenRecording(plan));
    EXPECT_EQ(std::vector<LONG>{0}, Play(1, 0));
    EXPECT_EQ((std::vector<LONG>{200, 400}), Play(2, 200));
    Play(1, 200);
    EXPECT_EQ((std::vector<std::pair<LONG, LONG>>{{DVR_STATE_END_OF_FILE, 0}}), TakeStates());
    EXPECT_EQ(CDvrControl::State::Ended, Control().PlayState());
    EXPECT_EQ(std::vector<LONG>{}, Play(3, 500));
    EXPECT_TRUE(TakeStates().empty()) << "only once";

    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_PLAY_AGAIN));
    EXPECT_EQ(CDvrControl::State::Playing, Control().PlayState());
    EXPECT_EQ(std::vector<LONG>{0}, Play(1, 0));
    EXPECT_EQ(std::vector<LONG>{200}, Play(1, 200));
}

TEST_F(Playback, PlayAgainWhilePlayingGoesOn)
{
    TestRecordingPlan plan;
    plan.nFrames = 10;
    ASSERT_EQ(S_OK, OpenRecording(plan));
    EXPECT_EQ(std::vector<LONG>{0}, Play(1, 0));
    EXPECT_EQ(std::vector<LONG>{200}, Play(1, 200));
    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_PLAY_AGAIN));
    EXPECT_EQ(std::vector<LONG>{400}, Play(1, 200));
}

TEST_F(Playback, AnOffsetPastTheEndEndsAtOnce)
{
    TestRecordingPlan plan;
    plan.nFrames = 3;
    ASSERT_EQ(S_OK, OpenRecording(plan, 5000));
    EXPECT_EQ(std::vector<LONG>{400}, Play(1, 0)) << "the last picture";
    EXPECT_EQ((std::vector<std::pair<LONG, LONG>>{{DVR_STATE_END_OF_FILE, 0}}), TakeStates());
}

TEST_F(Playback, AClickAsksForAPause)
{
    ASSERT_EQ(S_OK, OpenRecording(TestRecordingPlan()));
    SendMessageA(Control().Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_TRUE(TakeStates().empty()) << "not before the double-click time has passed";
    PumpFor(GetDoubleClickTime() + 200);
    EXPECT_EQ((std::vector<std::pair<LONG, LONG>>{{DVR_STATE_PAUSE_CLICK, 0}}), TakeStates());
    EXPECT_EQ(CDvrControl::State::Playing, Control().PlayState()) << "the container decides";
}

TEST_F(Playback, EventsComeOnTheCreatingThread)
{
    ASSERT_EQ(S_OK, OpenRecording(TestRecordingPlan()));
    Tick();
    ASSERT_TRUE(WaitForPicture());
    SendMessageA(Control().Window(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PumpFor(GetDoubleClickTime() + 200);
    ASSERT_EQ(2u, m_sink.events.size());
    for (const SinkEvent& event : m_sink.events)
        EXPECT_EQ(GetCurrentThreadId(), event.dwThreadId);
}

TEST_F(Playback, TheWindowsOwnTimerDrivesPlayback)
{
    ASSERT_EQ(S_OK, OpenRecording(TestRecordingPlan()));
    SetTimer(Control().Window(), CDvrControl::kPlaybackTimer, CDvrControl::kPlaybackTimerMs, nullptr);
    const ULONGLONG nDeadline = GetTickCount64() + 2000;
    while (m_sink.events.empty() && GetTickCount64() < nDeadline) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpMessages();
    }
    EXPECT_EQ(std::vector<LONG>{0}, TakePositions());
}

TEST_F(Playback, ASeekIsAStopAndAnOpenAtTheNewOffset)
{
    TestRecordingPlan plan;
    plan.nFrames = 20;
    ASSERT_EQ(S_OK, OpenRecording(plan));
    EXPECT_EQ(std::vector<LONG>{0}, Play(1, 0));
    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_STOP));
    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_START_OFFSET, 2500));
    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_OPEN_MODE, 1));
    EXPECT_EQ(std::vector<LONG>{2400}, Play(1, 0));
    EXPECT_EQ(std::vector<LONG>{2600}, Play(1, 200));
}

// A picture the worker gives back at once, inside a run, joins the run; one
// from any other thread, or outside a run, is left to be posted.
TEST(PictureRun, KeepsOnlyWhatItsOwnThreadOffersWhileOn)
{
    const DWORD dwOwner = GetCurrentThreadId();
    CPictureRun run;
    auto picture = std::make_shared<DecodedPicture>();
    EXPECT_FALSE(run.Keep(dwOwner, picture)) << "no run on";
    ASSERT_TRUE(run.Begin());
    EXPECT_FALSE(run.Begin()) << "already on";
    bool bKeptFromWorker = true;
    std::thread([&] { bKeptFromWorker = run.Keep(dwOwner, picture); }).join();
    EXPECT_FALSE(bKeptFromWorker);
    ASSERT_TRUE(picture) << "left for the queue";
    const DecodedPicture* pOffered = picture.get();
    EXPECT_TRUE(run.Keep(dwOwner, picture));
    EXPECT_EQ(pOffered, run.TakeKept().get());
    run.End();
    picture = std::make_shared<DecodedPicture>();
    EXPECT_FALSE(run.Keep(dwOwner, picture)) << "the run is over";
}
