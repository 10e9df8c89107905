// Opening: a good file plays from the start offset; a bad one raises an error
// whose description says why, and the window shows the same text.
#include "tests/decoder/decoder_fixture.h"

namespace {

using Opening = DecoderTest;

struct Raised {
    HRESULT hr;
    std::wstring description;
};

Raised OpenRaising(IDispatch* pDecoder, const std::wstring& path)
{
    EXPECT_EQ(S_OK, PutString(pDecoder, DVR_FILE_NAME, path.c_str()));
    CallResult r = Call(pDecoder, DVR_OPEN_MODE, DISPATCH_PROPERTYPUT, {LongArg(1)}, true);
    Raised raised = {r.hr, r.excep.bstrDescription ? r.excep.bstrDescription : L""};
    FreeCallResult(r);
    return raised;
}

}  // namespace

TEST_F(Opening, AGoodFilePlaysFromTheStartOffset)
{
    TestRecordingPlan plan;
    plan.nFrames = 10;  // 2 s at 5 frames a second
    ASSERT_EQ(S_OK, OpenRecording(plan, 1300));
    EXPECT_EQ(CDvrControl::State::Playing, Control().PlayState());
    Tick();
    EXPECT_EQ(std::vector<LONG>{1200}, TakePositions()) << "the frame at or before the offset";
}

TEST_F(Opening, FailuresSayWhyAndDrawIt)
{
    CTempFile missing;
    Raised raised = OpenRaising(Decoder(), missing.WidePath());
    EXPECT_EQ(DISP_E_EXCEPTION, raised.hr);
    EXPECT_EQ(L"The file does not exist.", raised.description);
    EXPECT_EQ(raised.description, Control().Message());

    CTempFile text;
    const char szText[] = "just some text, long enough to have a header's worth of bytes";
    ASSERT_TRUE(rectest::writeAll(text.Path(), szText, sizeof(szText)));
    raised = OpenRaising(Decoder(), text.WidePath());
    EXPECT_EQ(DISP_E_EXCEPTION, raised.hr);
    EXPECT_EQ(L"The file is not a recording.", raised.description);

    // Cut inside the 'dvrx' chunk, before any picture data.
    CTempFile whole, cut;
    ASSERT_TRUE(WriteTestRecording(whole.Path(), TestRecordingPlan()));
    std::vector<uint8_t> bytes = rectest::readAll(whole.Path());
    ASSERT_GT(bytes.size(), 20000u);
    ASSERT_TRUE(rectest::writeAll(cut.Path(), bytes.data(), 20000));
    raised = OpenRaising(Decoder(), cut.WidePath());
    EXPECT_EQ(DISP_E_EXCEPTION, raised.hr);
    EXPECT_EQ(0u, raised.description.find(L"The recording is damaged: ")) << raised.description;
    EXPECT_GT(raised.description.size(), wcslen(L"The recording is damaged: "));
    EXPECT_EQ(raised.description, Control().Message());
    EXPECT_EQ(CDvrControl::State::Idle, Control().PlayState());
}

TEST_F(Opening, TheWindowShowsTheTextOfAFailure)
{
    CTempFile missing;
    OpenRaising(Decoder(), missing.WidePath());
    // Light text near the top of a black window, and no tiles under it: the
    // one-line message leaves the lower half black.
    const CBackBuffer& buffer = Control().BackBuffer();
    int nLight = 0, nLitBelow = 0;
    for (int y = 0; y < buffer.Height(); ++y) {
        for (int x = 0; x < buffer.Width(); ++x) {
            const uint32_t pixel = buffer.PixelAt(x, y);
            if (y < buffer.Height() / 4)
                nLight += IsLight(pixel);
            else
                nLitBelow += pixel != 0;
        }
    }
    EXPECT_GT(nLight, 20);
    EXPECT_EQ(0, nLitBelow) << "nothing is drawn under the message";
}

TEST_F(Opening, AFailedOpenForgetsTheLastFile)
{
    TestRecordingPlan plan;
    plan.cameras = {{2, RGB(0, 200, 0)}};
    ASSERT_EQ(S_OK, OpenRecording(plan));
    CTempFile missing;
    OpenRaising(Decoder(), missing.WidePath());
    LONG nMask = -1;
    ASSERT_EQ(S_OK, GetLong(Decoder(), DVR_CAMERA_MASK, &nMask));
    EXPECT_EQ(0, nMask);
    Tick(1000);
    EXPECT_TRUE(TakePositions().empty());
}

TEST_F(Opening, ASuccessfulOpenClearsTheLastFailure)
{
    CTempFile missing;
    OpenRaising(Decoder(), missing.WidePath());
    ASSERT_EQ(S_OK, OpenRecording(TestRecordingPlan()));
    EXPECT_TRUE(Control().Message().empty());
}
