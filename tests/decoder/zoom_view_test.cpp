// Looking closer in the control: a double-click shows one camera alone and a
// second goes back, without a pause; the wheel zooms a tile, a drag pans it,
// and the zoom stays across steps, back and forth, and seeks but ends with a
// new file or layout.
#include "decoder/zoom_inset.h"
#include "tests/decoder/decoder_fixture.h"

namespace {

using States = std::vector<std::pair<LONG, LONG>>;

class LookingCloser : public DecoderTest {
protected:
    void SetUp() override
    {
        DecoderTest::SetUp();
        TestRecordingPlan plan;
        plan.cameras.clear();
        for (int camera = 1; camera <= 16; ++camera)
            plan.cameras.push_back({camera, RGB(10 * camera, 200 - 10 * camera, 120)});
        plan.nFrames = 10;
        ASSERT_TRUE(WriteTestRecording(m_file.Path(), plan));
        ASSERT_EQ(S_OK, OpenPath(m_file.WidePath()));
        Tick();
        ASSERT_TRUE(WaitForPicture());
        TakeStates();
    }
    // The middle of cell i of the 4 x 4 view (tiles of 80 x 60).
    static POINT Cell(int i) { return {80 * (i % 4) + 40, 60 * (i / 4) + 30}; }
    void DoubleClick(POINT pt)
    {
        const LPARAM at = MAKELPARAM(pt.x, pt.y);
        SendMessageA(Control().Window(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(Control().Window(), WM_LBUTTONUP, 0, at);
        SendMessageA(Control().Window(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageA(Control().Window(), WM_LBUTTONUP, 0, at);
    }
    void Wheel(POINT pt, int nDelta)
    {
        ClientToScreen(Control().Window(), &pt);
        SendMessageA(Control().Window(), WM_MOUSEWHEEL, MAKEWPARAM(0, nDelta), MAKELPARAM(pt.x, pt.y));
        ASSERT_TRUE(WaitForPicture());
    }
    LONG View(DISPID id)
    {
        LONG n = -2;
        EXPECT_EQ(S_OK, GetLong(Decoder(), id, &n));
        return n;
    }
    // The zoom of the tile that shows camera 1, and what its picture shows.
    ZoomView FirstZoom() const { return Control().Slots().at(0).zoom; }
    FrameRegion FirstCrop() const { return Control().Shown()->tiles.at(0).crop; }

    CTempFile m_file;
};

TEST_F(LookingCloser, ADoubleClickShowsOneCameraAloneAndTheNextGoesBack)
{
    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_VIEW_GROUP, 0));
    DoubleClick(Cell(5));
    EXPECT_EQ(1, View(DVR_VIEW_SPLIT));
    EXPECT_EQ(5, View(DVR_VIEW_GROUP)) << "the group that is camera 6";
    EXPECT_EQ((States{{DVR_STATE_VIEW_CHANGED, 1}}), TakeStates());
    ASSERT_TRUE(WaitForPicture());
    ASSERT_EQ(1u, Control().Shown()->tiles.size());
    EXPECT_EQ(6, Control().Shown()->tiles[0].camera);
    EXPECT_EQ(unsigned(kWidth), Control().Shown()->tiles[0].cx) << "the whole view";

    DoubleClick({10, 10});
    EXPECT_EQ(16, View(DVR_VIEW_SPLIT));
    EXPECT_EQ(0, View(DVR_VIEW_GROUP));
    EXPECT_EQ((States{{DVR_STATE_VIEW_CHANGED, 16}}), TakeStates());
    PumpFor(GetDoubleClickTime() + 200);
    EXPECT_TRUE(TakeStates().empty()) << "a double-click asks for no pause";

    // Once the container chose the layout itself, there is nothing to go back to.
    DoubleClick(Cell(2));
    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_VIEW_SPLIT, 4));
    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_VIEW_SPLIT, 1));
    TakeStates();
    DoubleClick({10, 10});
    EXPECT_EQ(1, View(DVR_VIEW_SPLIT));
    EXPECT_TRUE(TakeStates().empty());
}

TEST_F(LookingCloser, TheWheelZoomsATileAndADragPansIt)
{
    Wheel({10, 10}, 2 * WHEEL_DELTA);  // over camera 1, near its top left
    EXPECT_EQ(2, FirstZoom().nStep);
    EXPECT_EQ(0, Control().Slots().at(1).zoom.nStep) << "only the tile under the pointer";
    EXPECT_EQ(16u, FirstCrop().w) << "half of the 32 x 24 frame";
    EXPECT_EQ(12u, FirstCrop().h);
    // The inset, in the tile's bottom right corner.
    ZoomRect frame = {}, part = {};
    ASSERT_TRUE(InsetOf(FirstZoom(), {0, 0, 80, 60}, &frame, &part));
    EXPECT_EQ(0xFFFFFFu, Control().BackBuffer().PixelAt(frame.left, frame.bottom - 1));

    const double x = FirstZoom().centerX;
    SendMessageA(Control().Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 30));
    SendMessageA(Control().Window(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 30));
    SendMessageA(Control().Window(), WM_LBUTTONUP, 0, MAKELPARAM(20, 30));
    EXPECT_GT(FirstZoom().centerX, x) << "the picture follows the pointer to the left";
    PumpFor(GetDoubleClickTime() + 200);
    EXPECT_TRUE(TakeStates().empty()) << "a drag asks for no pause";

    Wheel({10, 10}, -WHEEL_DELTA);
    Wheel({10, 10}, -WHEEL_DELTA / 4);  // a part of a notch is still a step
    EXPECT_FALSE(FirstZoom().IsZoomed());
    EXPECT_EQ(0u, FirstCrop().w) << "the whole frame again";
}

TEST_F(LookingCloser, TheZoomStaysAcrossStepsAndSeeksAndEndsWithANewFileOrLayout)
{
    Wheel(Cell(0), 4 * WHEEL_DELTA);
    const ZoomView zoom = FirstZoom();
    ASSERT_EQ(4, zoom.nStep);
    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_STEP));
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ(zoom, Control().Shown()->tiles.at(0).zoom) << "stepped";
    EXPECT_EQ(8u, FirstCrop().w);
    ASSERT_EQ(S_OK, CallMethod(Decoder(), DVR_STEP_BACK));
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ(zoom, Control().Shown()->tiles.at(0).zoom) << "stepped back";

    ASSERT_EQ(S_OK, OpenPath(m_file.WidePath(), 600));  // a seek opens the file again
    Tick();
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ(zoom, FirstZoom()) << "sought";
    EXPECT_EQ(8u, FirstCrop().w);

    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_VIEW_SPLIT, 16)) << "the same layout again, as a new size writes it";
    EXPECT_EQ(zoom, FirstZoom());
    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_VIEW_SPLIT, 4));
    ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_VIEW_SPLIT, 16));
    EXPECT_FALSE(FirstZoom().IsZoomed()) << "a new layout";

    Wheel(Cell(0), WHEEL_DELTA);
    ASSERT_TRUE(FirstZoom().IsZoomed());
    ASSERT_EQ(S_OK, OpenRecording(TestRecordingPlan()));
    EXPECT_FALSE(FirstZoom().IsZoomed()) << "a new file";
}

}  // namespace
