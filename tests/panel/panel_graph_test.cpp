// The event graph for the cameras on view, the split layouts and the groups.
#include "tests/panel/panel_fixture.h"

namespace {

class EventGraph : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        decoder->ClearCalls();
    }
    // Clicks a split button as the mouse would: it checks itself, then tells the panel.
    void Split(int id) {
        SendMessageA(Item(id), BM_CLICK, 0, 0);
        testing_support::PumpMessages();
    }
    void ShowType(int type) { Choose(IDC_EVENT_TYPE, type); }
    std::vector<int32_t> Bars() {
        const CBarGraphWnd& g = panel.m_graph;
        return std::vector<int32_t>(g.m_pValues.get(), g.m_pValues.get() + g.m_nCount);
    }
    EVENT_INDEX& index = panel.m_index;
};

TEST_F(EventGraph, LayoutFourGroupTwoCountsCamerasNineToTwelve) {
    decoder->SetViewGroup(2);
    Split(IDC_SPLIT_4);
    EXPECT_EQ("Camera 9-12", Selected(IDC_CAMERA_GROUP));
    index.Source.wCount = 3;
    index.Source.lStatus[0] = -1;
    index.Source.dwCameraMask[0] = 0x0100;  // camera 9
    index.Source.lStatus[1] = -1;
    index.Source.dwCameraMask[1] = 0x0010;  // camera 5
    index.Source.lStatus[2] = static_cast<int32_t>(0x80000000);
    index.Source.dwCameraMask[2] = 0x0800;  // camera 12
    ShowType(0);
    EXPECT_EQ((std::vector<int32_t>{100, 0, 100}), Bars());
    EXPECT_EQ(COLORREF(0xFFFF80), panel.m_graph.m_crPen);
}

TEST_F(EventGraph, SourceSlotsTakePartOnlyWithANegativeStatus) {
    index.Source.wCount = 3;
    for (int j = 0; j < 3; ++j) index.Source.dwCameraMask[j] = 0x0001;
    index.Source.lStatus[0] = 0;
    index.Source.lStatus[1] = 5;
    index.Source.lStatus[2] = -7;
    ShowType(0);
    EXPECT_EQ((std::vector<int32_t>{0, 0, 100}), Bars());
}

TEST_F(EventGraph, LayoutOneGroupZeroIsCameraOneAlone) {
    decoder->SetViewGroup(0);
    Split(IDC_SPLIT_1);
    index.Motion.wCount = 3;
    index.Motion.bLevel[1][0] = 200;  // camera 2 only
    index.Motion.bLevel[0][1] = 1;    // camera 1, the faintest motion
    index.Motion.bLevel[0][2] = 255;
    ShowType(1);
    EXPECT_EQ((std::vector<int32_t>{0, 100, 100}), Bars());
    EXPECT_EQ(COLORREF(0x00FFFF), panel.m_graph.m_crPen);
}

TEST_F(EventGraph, GpiIgnoresLayoutAndGroup) {
    index.Gpi.wCount = 4;
    const int32_t values[4] = {0, 100, 100, 0};
    std::memcpy(index.Gpi.lValue, values, sizeof values);
    ShowType(2);
    EXPECT_EQ((std::vector<int32_t>(values, values + 4)), Bars());
    decoder->SetViewGroup(3);
    Split(IDC_SPLIT_1);
    EXPECT_EQ((std::vector<int32_t>(values, values + 4)), Bars());
    EXPECT_EQ(COLORREF(0x0000FF), panel.m_graph.m_crPen);
}

TEST_F(EventGraph, EmptyBlockClearsTheGraphInItsTypesColour) {
    index.Motion.wCount = 2;
    index.Motion.bLevel[0][0] = 9;
    ShowType(1);
    ASSERT_EQ(2, panel.m_graph.m_nCount);
    index.Motion.wCount = 0;
    ShowType(1);
    EXPECT_EQ(0, panel.m_graph.m_nCount);
    ShowType(2);
    EXPECT_EQ(0, panel.m_graph.m_nCount);
    EXPECT_EQ(COLORREF(0x0000FF), panel.m_graph.m_crPen);
}

TEST_F(EventGraph, LayoutListsAreRebuiltAndTheDecodersGroupSelected) {
    Split(IDC_SPLIT_1);
    ASSERT_EQ(16, SendMessageA(Item(IDC_CAMERA_GROUP), CB_GETCOUNT, 0, 0));
    EXPECT_EQ("Camera 1", ListText(IDC_CAMERA_GROUP, 0));
    EXPECT_EQ("Camera 16", ListText(IDC_CAMERA_GROUP, 15));
    decoder->SetViewGroup(1);
    decoder->ClearCalls();
    Split(IDC_SPLIT_8);
    EXPECT_EQ((Calls{"SetViewSplit(8)", "GetViewGroup"}), decoder->Calls());
    ASSERT_EQ(2, SendMessageA(Item(IDC_CAMERA_GROUP), CB_GETCOUNT, 0, 0));
    EXPECT_EQ("Camera 1-8", ListText(IDC_CAMERA_GROUP, 0));
    EXPECT_EQ("Camera 9-16", ListText(IDC_CAMERA_GROUP, 1));
    EXPECT_EQ("Camera 9-16", Selected(IDC_CAMERA_GROUP));
    Split(IDC_SPLIT_4);
    EXPECT_EQ("Camera 13-16", ListText(IDC_CAMERA_GROUP, 3));
}

TEST_F(EventGraph, NoGroupSelectedShowsNoCamerasExceptInLayoutSixteen) {
    index.Motion.wCount = 1;
    for (int k = 0; k < 16; ++k) index.Motion.bLevel[k][0] = 50;
    decoder->SetViewGroup(7);  // no such line in layout 4
    Split(IDC_SPLIT_4);
    EXPECT_EQ(-1, SendMessageA(Item(IDC_CAMERA_GROUP), CB_GETCURSEL, 0, 0));
    ShowType(1);
    EXPECT_EQ((std::vector<int32_t>{0}), Bars());
    decoder->SetViewGroup(-1);
    Split(IDC_SPLIT_16);
    EXPECT_EQ(-1, SendMessageA(Item(IDC_CAMERA_GROUP), CB_GETCURSEL, 0, 0));
    ShowType(1);
    EXPECT_EQ((std::vector<int32_t>{100}), Bars());
}

TEST_F(EventGraph, ClickingTheCheckedButtonRunsTheWholeSequenceAgain) {
    index.Source.wCount = 1;
    index.Source.lStatus[0] = -1;
    index.Source.dwCameraMask[0] = 0x8000;
    ShowType(0);
    panel.m_graph.m_crPen = 0;
    Split(IDC_SPLIT_16);
    EXPECT_EQ((Calls{"SetViewSplit(16)", "GetViewGroup"}), decoder->Calls());
    EXPECT_EQ(COLORREF(0xFFFF80), panel.m_graph.m_crPen) << "the graph was drawn again";
    EXPECT_EQ((std::vector<int32_t>{100}), Bars());
}

TEST_F(EventGraph, ChoosingAGroupTellsTheDecoderAndRedraws) {
    Split(IDC_SPLIT_4);
    index.Motion.wCount = 1;
    index.Motion.bLevel[5][0] = 1;  // camera 6, in group 1
    ShowType(1);
    EXPECT_EQ((std::vector<int32_t>{0}), Bars());
    decoder->ClearCalls();
    Choose(IDC_CAMERA_GROUP, 1);
    EXPECT_EQ((Calls{"SetViewGroup(1)"}), decoder->Calls());
    EXPECT_EQ((std::vector<int32_t>{100}), Bars());
}

TEST_F(EventGraph, CountsBeyondTheBlocksAreHeldToTheirCapacity) {
    index.Source.wCount = 60000;
    index.Source.lStatus[999] = -1;
    index.Source.dwCameraMask[999] = 1;
    ShowType(0);
    ASSERT_EQ(1000, panel.m_graph.m_nCount);
    EXPECT_EQ(100, Bars()[999]);
    index.Gpi.wCount = 0xFFFF;
    ShowType(2);
    EXPECT_EQ(2000, panel.m_graph.m_nCount);
}

TEST_F(EventGraph, BeforeAnyFileEveryTypeClearsTheGraph) {
    for (int type = 0; type < 3; ++type) {
        ShowType(type);
        EXPECT_EQ(0, panel.m_graph.m_nCount) << type;
    }
}

}  // namespace
