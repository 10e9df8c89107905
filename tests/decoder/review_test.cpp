// Going back: the picture before, and playing backward to the first picture.
#include "tests/decoder/decoder_fixture.h"

namespace {

using States = std::vector<std::pair<LONG, LONG>>;
const States kPausedAtStart{{DVR_STATE_PAUSE_CLICK, 1}};

class Review : public DecoderTest {
protected:
    std::vector<LONG> Play(int n, int64_t nStepMs)
    {
        for (int i = 0; i < n; ++i)
            Tick(nStepMs);
        return TakePositions();
    }
    std::vector<LONG> StepBack()
    {
        EXPECT_EQ(S_OK, CallMethod(Decoder(), DVR_STEP_BACK));
        EXPECT_EQ(CDvrControl::State::Paused, Control().PlayState());
        return TakePositions();
    }
};

TEST_F(Review, StepBackGoesToThePictureBeforeAndStopsAtTheFirst)
{
    TestRecordingPlan plan;
    plan.nFrames = 4;  // 0, 200, 400, 600
    plan.cameras = {{1, RGB(200, 30, 30)}, {2, RGB(30, 200, 30)}};
    ASSERT_EQ(S_OK, OpenRecording(plan));
    Play(1, 0);
    Play(1, 1000);
    EXPECT_EQ(CDvrControl::State::Ended, Control().PlayState());
    EXPECT_EQ(std::vector<LONG>{400}, StepBack()) << "from the end";
    EXPECT_EQ(std::vector<LONG>{200}, StepBack());
    EXPECT_EQ(std::vector<LONG>{0}, StepBack());
    EXPECT_EQ(std::vector<LONG>{}, StepBack()) << "nothing before the first";
    ASSERT_TRUE(WaitForPicture());
    EXPECT_TRUE(TakeStates().size() == 1) << "only the end; no error at the start";
    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_STEP));
    EXPECT_EQ(std::vector<LONG>{200}, TakePositions()) << "forward again from there";
}

TEST_F(Review, StepBackGoesByTheCamerasOnViewOnly)
{
    TestRecordingPlan plan;
    plan.nFrames = 8;
    plan.cameras = {{1, RGB(200, 30, 30), {}, 4}, {5, RGB(30, 200, 30), {}, 10}};  // 250 and 100 ms apart
    ASSERT_EQ(S_OK, OpenRecording(plan, 750));
    Play(1, 0);
    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_VIEW_SPLIT, 4));
    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_VIEW_GROUP, 0));  // cameras 1 to 4: camera 5 is off view
    TakePositions();
    EXPECT_EQ(std::vector<LONG>{500}, StepBack()) << "camera 5's 700 and 600 are not on view";
    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_VIEW_GROUP, 1));  // cameras 5 to 8
    EXPECT_EQ(std::vector<LONG>{400}, StepBack());
}

TEST_F(Review, BackwardMovesDownAtEverySpeedAndPausesAtTheStart)
{
    TestRecordingPlan plan;
    plan.nFrames = 30;
    plan.nRate = 10;  // 100 ms apart
    ASSERT_EQ(S_OK, OpenRecording(plan, 2900));
    EXPECT_EQ(std::vector<LONG>{2900}, Play(1, 0));
    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_PLAY_BACKWARD));
    EXPECT_EQ((std::vector<LONG>{2800, 2700}), Play(2, 100));
    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_SPEED, 2));
    EXPECT_EQ((std::vector<LONG>{2500}), Play(1, 100));
    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_SPEED, -4));
    EXPECT_EQ((std::vector<LONG>{2400}), Play(1, 400));
    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_SPEED, -8));
    EXPECT_EQ((std::vector<LONG>{2300}), Play(1, 800));
    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_SPEED, 1));
    EXPECT_EQ((std::vector<LONG>{0}), Play(1, 5000));
    EXPECT_EQ(kPausedAtStart, TakeStates());
    EXPECT_EQ(CDvrControl::State::Paused, Control().PlayState());
    EXPECT_EQ((std::vector<LONG>{}), Play(1, 500));

    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_PLAY));
    EXPECT_EQ((std::vector<LONG>{100}), Play(1, 100)) << "Play goes forward again";
    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_PLAY_BACKWARD));
    Play(1, 0);
    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_PLAY_AGAIN));
    EXPECT_EQ((std::vector<LONG>{200}), Play(1, 100)) << "so does Play while playing backward";
}

TEST_F(Review, FullSpeedBackwardSkipsADamagedFrameAndReachesTheStart)
{
    TestRecordingPlan plan;
    plan.nFrames = 12;
    std::vector<uint8_t> good = SolidJpeg(RGB(200, 30, 30));
    std::vector<uint8_t> cut(good.begin(), good.begin() + good.size() / 3);
    plan.cameras = {{1, 0, {good, good, good, good, good, cut, good}}};
    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_SPEED, 0));
    ASSERT_EQ(S_OK, OpenRecording(plan, 2200));
    Play(1, 0);
    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_PLAY_BACKWARD));
    Play(1, 0);
    const ULONGLONG nDeadline = GetTickCount64() + 5000;
    while (Control().PlayState() == CDvrControl::State::Playing && GetTickCount64() < nDeadline)
        ASSERT_TRUE(WaitForPicture());
    std::vector<LONG> expected;
    for (LONG t = 2000; t >= 0; t -= 200)
        expected.push_back(t);
    EXPECT_EQ(expected, TakePositions());
    EXPECT_EQ(kPausedAtStart, TakeStates());
}

TEST_F(Review, DurationAndAnotherFilesStart)
{
    TestRecordingPlan plan;
    plan.nFrames = 7;
    ASSERT_EQ(S_OK, OpenRecording(plan));
    LONG nDuration = 0;
    ASSERT_EQ(S_OK, GetLong(Decoder(), DVR_DURATION, &nDuration));
    EXPECT_EQ(1400, nDuration);

    CTempFile other;
    plan.start.msOfDay = 23 * 3600000 + 59 * 60000;
    ASSERT_TRUE(WriteTestRecording(other.Path(), plan));
    ASSERT_EQ(S_OK, PutString(Decoder(), DVR_PROBE_FILE, other.WidePath().c_str()));
    BSTR bstr = nullptr;
    ASSERT_EQ(S_OK, CallOutString(Decoder(), DVR_PROBED_START, &bstr));
    ASSERT_NE(nullptr, bstr);
    EXPECT_STREQ(L"2024-03-09\t23:59:00.000", bstr);
    SysFreeString(bstr);
    ASSERT_EQ(S_OK, PutString(Decoder(), DVR_PROBE_FILE, L"C:\\no such file.d01"));
    ASSERT_EQ(S_OK, CallOutString(Decoder(), DVR_PROBED_START, &bstr));
    EXPECT_EQ(nullptr, bstr) << "not a recording: no start";
}

}  // namespace
