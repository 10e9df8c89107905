// The view: tiles of the split and group, each with its camera's picture, its
// label, the selected camera's border, and absent cameras drawn dark.
#include <algorithm>
#include "decoder/compositor.h"
#include "decoder/layout.h"
#include "tests/decoder/decoder_fixture.h"

namespace {

const COLORREF kRed = RGB(220, 40, 40);
const COLORREF kGreen = RGB(40, 200, 60);
const COLORREF kBlue = RGB(40, 60, 220);

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

uint32_t Dib(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// JPEG turns a flat colour into a slightly different flat colour.
::testing::AssertionResult Near(uint32_t expected, uint32_t actual)
{
    for (int shift : {0, 8, 16}) {
        int e = (expected >> shift) & 0xFF, a = (actual >> shift) & 0xFF;
        if (e - a > 12 || a - e > 12)
            return ::testing::AssertionFailure()
                   << std::hex << "expected about 0x" << expected << ", got 0x" << actual;
    }
    return ::testing::AssertionSuccess();
}

class View : public DecoderTest {
protected:
    void OpenCameras(std::vector<TestCamera> cameras)
    {
        TestRecordingPlan plan;
        plan.cameras = std::move(cameras);
        ASSERT_EQ(S_OK, OpenRecording(plan));
        Tick();
        ASSERT_TRUE(WaitForPicture());
    }
    void SetView(LONG nSplit, LONG nGroup)
    {
        ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_VIEW_GROUP, nGroup));
        ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_VIEW_SPLIT, nSplit));
        ASSERT_TRUE(WaitForPicture());
    }
    // The centre of cell i of the grid.
    uint32_t CellCentre(LONG nSplit, int nCell)
    {
        std::vector<TileSlot> slots = LayOutView(nSplit, 0, kWidth, kHeight);
        const RECT& rc = slots.at(nCell).rc;
        return Control().BackBuffer().PixelAt((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }
};

}  // namespace

TEST(Layout, GridsAndTheCamerasOfAGroup)
{
    std::vector<TileSlot> one = LayOutView(1, 5, 320, 240);
    ASSERT_EQ(1u, one.size());
    EXPECT_EQ(6, one[0].camera);

    std::vector<TileSlot> four = LayOutView(4, 1, 320, 240);
    ASSERT_EQ(4u, four.size());
    EXPECT_EQ(5, four[0].camera);
    EXPECT_EQ(8, four[3].camera);
    EXPECT_TRUE(SameRect({160, 120, 320, 240}, four[3].rc));

    std::vector<TileSlot> eight = LayOutView(8, 1, 300, 240);
    ASSERT_EQ(9u, eight.size()) << "3 x 3";
    EXPECT_EQ(9, eight[0].camera);
    EXPECT_EQ(16, eight[7].camera);
    EXPECT_EQ(0, eight[8].camera) << "the last cell stays empty";
    EXPECT_TRUE(SameRect({100, 160, 200, 240}, eight[7].rc));

    std::vector<TileSlot> sixteen = LayOutView(16, 0, 321, 241);
    ASSERT_EQ(16u, sixteen.size());
    EXPECT_EQ(321, sixteen[15].rc.right) << "the cells cover the whole size";
    EXPECT_EQ(241, sixteen[15].rc.bottom);
    EXPECT_EQ(sixteen[0].rc.right, sixteen[1].rc.left);
}

TEST(Layout, GroupsOutOfRangeShowNoCamera)
{
    for (const TileSlot& slot : LayOutView(4, -1, 320, 240))
        EXPECT_EQ(0, slot.camera);
    for (const TileSlot& slot : LayOutView(8, 2, 320, 240))
        EXPECT_EQ(0, slot.camera) << "cameras 17 to 24 do not exist";
}

TEST_F(View, EachTileHasItsCamerasPicture)
{
    OpenCameras({{1, kRed}, {2, kGreen}, {4, kBlue}});
    SetView(4, 0);
    EXPECT_TRUE(Near(Dib(kRed), CellCentre(4, 0)));
    EXPECT_TRUE(Near(Dib(kGreen), CellCentre(4, 1)));
    EXPECT_EQ(Dib(kAbsentTileColor), CellCentre(4, 2)) << "camera 3 is not in the file";
    EXPECT_TRUE(Near(Dib(kBlue), CellCentre(4, 3)));
}

TEST_F(View, SplitAndGroupChangesRedraw)
{
    OpenCameras({{1, kRed}, {2, kGreen}, {6, kBlue}});
    SetView(1, 1);
    EXPECT_TRUE(Near(Dib(kGreen), CellCentre(1, 0))) << "group 1 of split 1 is camera 2";
    SetView(4, 1);
    EXPECT_EQ(Dib(kAbsentTileColor), CellCentre(4, 0)) << "camera 5";
    EXPECT_TRUE(Near(Dib(kBlue), CellCentre(4, 1))) << "camera 6";
    SetView(16, 0);
    EXPECT_TRUE(Near(Dib(kGreen), CellCentre(16, 1)));
    EXPECT_TRUE(Near(Dib(kBlue), CellCentre(16, 5)));
    EXPECT_EQ(Dib(kAbsentTileColor), CellCentre(16, 15));
}

TEST_F(View, EightIsAThreeByThreeGridWithTheLastCellEmpty)
{
    OpenCameras({{8, kGreen}, {9, kRed}});
    SetView(8, 0);
    EXPECT_TRUE(Near(Dib(kGreen), CellCentre(8, 7)));
    EXPECT_EQ(0u, CellCentre(8, 8));
    SetView(8, 1);
    EXPECT_TRUE(Near(Dib(kRed), CellCentre(8, 0)));
}

TEST_F(View, TilesAreLabelledWithTheirCameraNumber)
{
    OpenCameras({{1, kBlue}});
    SetView(4, 0);
    // Light text on a dark box in the corner of every tile, present camera or
    // not; neither the blue picture nor an absent camera's fill is light.
    for (const TileSlot& slot : LayOutView(4, 0, kWidth, kHeight)) {
        int nLight = 0, nDark = 0;
        for (int y = slot.rc.top; y < slot.rc.top + 24; ++y) {
            for (int x = slot.rc.left; x < slot.rc.left + 32; ++x) {
                const uint32_t pixel = Control().BackBuffer().PixelAt(x, y);
                nLight += IsLight(pixel);
                nDark += IsDark(pixel);
            }
        }
        EXPECT_GE(nLight, 6) << "camera " << slot.camera;
        EXPECT_GE(nDark, 20) << "camera " << slot.camera << "'s label box";
    }
    EXPECT_FALSE(IsLight(CellCentre(4, 0))) << "no text in the middle of a tile";
}

TEST_F(View, ALabelTellsTheTimeOfDayOfItsTilesPicture)
{
    // The recording starts at 13:05:07.250; camera 1's picture is of 0 ms.
    OpenCameras({{1, kBlue}});
    SetView(4, 0);
    // How far right the label's light text reaches in a tile's top band.
    auto textReach = [&](int nCell) {
        const RECT rc = LayOutView(4, 0, kWidth, kHeight).at(nCell).rc;
        int nRight = -1;
        for (int y = rc.top; y < rc.top + 22; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                if (IsLight(Control().BackBuffer().PixelAt(x, y)))
                    nRight = std::max(nRight, int(x - rc.left));
        return nRight;
    };
    EXPECT_GT(textReach(0), 50) << "camera 1: its number and 13:05:07.2";
    const int nAbsent = textReach(1);
    EXPECT_GT(nAbsent, 0) << "camera 2 is labelled";
    EXPECT_LT(nAbsent, 24) << "camera 2 has no picture: its number only";
}

TEST_F(View, TheSelectedSourceIsMarked)
{
    OpenCameras({{1, kRed}, {2, kGreen}});
    SetView(4, 0);
    std::vector<TileSlot> slots = LayOutView(4, 0, kWidth, kHeight);
    auto edgeOf = [&](int nCell) {
        const RECT& rc = slots[nCell].rc;
        return Control().BackBuffer().PixelAt((rc.left + rc.right) / 2, rc.bottom - 1);
    };
    ASSERT_EQ(S_OK, CallMethodLong(Decoder(), DVR_SELECT_SOURCE, 1));
    EXPECT_EQ(Dib(kSelectedBorderColor), edgeOf(1));
    EXPECT_NE(Dib(kSelectedBorderColor), edgeOf(0));
    ASSERT_EQ(S_OK, CallMethodLong(Decoder(), DVR_SELECT_SOURCE, -1));
    EXPECT_TRUE(Near(Dib(kGreen), edgeOf(1)));
}

TEST_F(View, TheWindowIsPaintedFromTheBackBuffer)
{
    OpenCameras({{1, kRed}});
    SetView(1, 0);
    ShowWindow(GetParent(Control().Window()), SW_SHOWNOACTIVATE);
    UpdateWindow(Control().Window());
    COLORREF painted = GetPixel(CClientDC(Control().Window()), kWidth / 2, kHeight / 2);
    if (painted == CLR_INVALID)
        GTEST_SKIP() << "the display gives no pixels back";
    EXPECT_TRUE(Near(Dib(kRed), Dib(painted)));
}

TEST_F(View, AResizedWindowIsLaidOutAnew)
{
    OpenCameras({{1, kRed}, {2, kGreen}});
    SetView(4, 0);
    MoveWindow(Control().Window(), 0, 0, 160, 100, FALSE);
    ASSERT_TRUE(WaitForPicture());
    ASSERT_EQ(160, Control().BackBuffer().Width());
    ASSERT_EQ(100, Control().BackBuffer().Height());
    EXPECT_TRUE(Near(Dib(kGreen), Control().BackBuffer().PixelAt(120, 25))) << "camera 2, top right";
    EXPECT_EQ(Dib(kAbsentTileColor), Control().BackBuffer().PixelAt(40, 75)) << "camera 3";
}
