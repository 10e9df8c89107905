#include "decoder/clip_marks.h"
#include "decoder/dvrctl.h"
#include "tests/decoder/decoder_fixture.h"

namespace {

const int64_t k143200 = (14 * 3600 + 32 * 60) * 1000;

// Light pixels in the view's bottom band, where the clip's caption goes.
int CaptionLight(const CBackBuffer& buffer)
{
    int n = 0;
    for (int y = buffer.Height() - 24; y < buffer.Height(); ++y)
        for (int x = 0; x < buffer.Width(); ++x)
            n += IsLight(buffer.PixelAt(x, y));
    return n;
}

class ClipCaption : public DecoderTest {};

}  // namespace

TEST(ClipMarks, CaptionAndOfferedNameInEitherOrder)
{
    CClipMarks marks;
    EXPECT_EQ(marks.Caption(k143200), "");
    marks.SetEnd(210000);
    EXPECT_EQ(marks.Caption(k143200), "Clip 14:35:30 -");
    marks.SetStart(0);
    EXPECT_EQ(marks.Caption(k143200), "Clip 14:32:00 - 14:35:30 (3:30)");
    EXPECT_EQ(marks.FileName("C:\\cases\\yard.d01", k143200), "C:\\cases\\yard-143200-143530.d01");
    marks.SetStart(210000 + 3600000);  // marked after the end: the stretch is the same way round
    EXPECT_EQ(marks.From(), 210000);
    EXPECT_EQ(marks.To(), 210000 + 3600001) << "the later mark's picture is in";
    EXPECT_EQ(marks.Caption(k143200), "Clip 14:35:30 - 15:35:30 (1:00:00)");
}

TEST_F(ClipCaption, MarksAreDrawnClearedAndBelongToTheirFile)
{
    TestRecordingPlan plan;
    plan.cameras = {{1, RGB(30, 30, 200)}};
    ASSERT_EQ(S_OK, OpenRecording(plan));
    Tick();
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ(0, CaptionLight(Control().BackBuffer()));
    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_MARK_START));
    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_MARK_END));
    EXPECT_GT(CaptionLight(Control().BackBuffer()), 20);
    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_CLEAR_MARKS));
    EXPECT_EQ(0, CaptionLight(Control().BackBuffer()));

    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_MARK_START));
    ASSERT_EQ(S_OK, OpenRecording(plan));  // another file
    Tick();
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ(0, CaptionLight(Control().BackBuffer())) << "the marks stayed with the other file";
}
