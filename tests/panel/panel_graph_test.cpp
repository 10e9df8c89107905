// The event graph for the cameras on view, the split layouts and the groups.
#include "tests/panel/playback_fixture.h"

namespace {

class EventGraph : public PlaybackTest {
protected:
    void SetUp() override
    {
        PlaybackTest::SetUp();
        std::memset(&index, 0, sizeof index);
    }
    // Opens a file whose event blocks are those of index, as the decoder delivers them.
    void Load()
    {
        DeliverBlock(DVR_SOURCE_EVENTS, index.Source);
        DeliverBlock(DVR_MOTION_EVENTS, index.Motion);
        DeliverBlock(DVR_GPI_EVENTS, index.Gpi);
        Open("C:\\rec\\a.d01");
        decoder->ClearCalls();
    }
    // Clicks a split button as the mouse would: it checks itself, then tells the panel.
    void Split(int id)
    {
        SendMessageA(Item(id), BM_CLICK, 0, 0);
        testing_support::PumpMessages();
    }
    void ShowType(int type) { Choose(IDC_EVENT_TYPE, type); }
    EVENT_INDEX index;  // what the next Load delivers
};

TEST_F(EventGraph, LayoutFourGroupTwoCountsCamerasNineToTwelve)
{
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
    Load();
    ShowType(0);
    EXPECT_EQ((std::vector<int32_t>{100, 0, 100}), Bars());
    EXPECT_EQ(COLORREF(0xFFFF80), BarColour());
}

TEST_F(EventGraph, AViewTheDecoderChangedItselfIsReadBackAndTheGraphFollows)
{
    index.Source.wCount = 2;
    index.Source.lStatus[0] = index.Source.lStatus[1] = -1;
    index.Source.dwCameraMask[0] = 0x0020;  // camera 6
    index.Source.dwCameraMask[1] = 0x0001;  // camera 1
    Load();
    ShowType(0);
    decoder->SetViewSplit(1);  // as a double-click on tile 6 leaves it
    decoder->SetViewGroup(5);
    decoder->ClearCalls();
    DecoderState(DVR_STATE_VIEW_CHANGED, 1);
    EXPECT_EQ((Calls{"GetViewSplit", "GetViewGroup"}), DecoderCalls()) << "read, not written";
    EXPECT_EQ(BST_CHECKED, SendMessageA(Item(IDC_SPLIT_1), BM_GETCHECK, 0, 0));
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(Item(IDC_SPLIT_16), BM_GETCHECK, 0, 0));
    EXPECT_EQ(16, SendMessageA(Item(IDC_CAMERA_GROUP), CB_GETCOUNT, 0, 0));
    EXPECT_EQ("Camera 6", Selected(IDC_CAMERA_GROUP));
    EXPECT_EQ((std::vector<int32_t>{100, 0}), Bars());

    decoder->SetViewSplit(16);
    decoder->SetViewGroup(0);
    DecoderState(DVR_STATE_VIEW_CHANGED, 16);
    EXPECT_EQ(BST_CHECKED, SendMessageA(Item(IDC_SPLIT_16), BM_GETCHECK, 0, 0));
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(Item(IDC_SPLIT_1), BM_GETCHECK, 0, 0));
    EXPECT_EQ((std::vector<int32_t>{100, 100}), Bars());
}

TEST_F(EventGraph, SourceSlotsTakePartOnlyWithANegativeStatus)
{
    index.Source.wCount = 3;
    for (int j = 0; j < 3; ++j) index.Source.dwCameraMask[j] = 0x0001;
    index.Source.lStatus[0] = 0;
    index.Source.lStatus[1] = 5;
    index.Source.lStatus[2] = -7;
    Load();
    ShowType(0);
    EXPECT_EQ((std::vector<int32_t>{0, 0, 100}), Bars());
}

TEST_F(EventGraph, LayoutOneGroupZeroIsCameraOneAlone)
{
    decoder->SetViewGroup(0);
    Split(IDC_SPLIT_1);
    index.Motion.wCount = 3;
    index.Motion.bLevel[1][0] = 200;  // camera 2 only
    index.Motion.bLevel[0][1] = 1;    // camera 1, the faintest motion
    index.Motion.bLevel[0][2] = 255;
    Load();
    ShowType(1);
    EXPECT_EQ((std::vector<int32_t>{0, 100, 100}), Bars());
    EXPECT_EQ(COLORREF(0x00FFFF), BarColour());
}

TEST_F(EventGraph, GpiIgnoresLayoutAndGroup)
{
    index.Gpi.wCount = 4;
    const int32_t values[4] = {0, 100, 100, 0};
    std::memcpy(index.Gpi.lValue, values, sizeof values);
    Load();
    ShowType(2);
    EXPECT_EQ((std::vector<int32_t>(values, values + 4)), Bars());
    decoder->SetViewGroup(3);
    Split(IDC_SPLIT_1);
    EXPECT_EQ((std::vector<int32_t>(values, values + 4)), Bars());
    EXPECT_EQ(COLORREF(0x0000FF), BarColour());
}

TEST_F(EventGraph, EmptyBlockClearsTheGraphInItsTypesColour)
{
    index.Motion.wCount = 2;
    index.Motion.bLevel[0][0] = 9;
    Load();
    ShowType(1);
    ASSERT_EQ(2u, Bars().size());
    index.Motion.wCount = 0;
    Load();
    ShowType(1);
    EXPECT_TRUE(Bars().empty());
    ShowType(2);
    EXPECT_TRUE(Bars().empty());
    EXPECT_EQ(COLORREF(0x0000FF), BarColour());
}

TEST_F(EventGraph, LayoutListsAreRebuiltAndTheDecodersGroupSelected)
{
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

TEST_F(EventGraph, NoGroupSelectedShowsNoCamerasExceptInLayoutSixteen)
{
    index.Motion.wCount = 1;
    for (int k = 0; k < 16; ++k) index.Motion.bLevel[k][0] = 50;
    Load();
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

TEST_F(EventGraph, ClickingTheCheckedButtonRunsTheWholeSequenceAgain)
{
    index.Source.wCount = 1;
    index.Source.lStatus[0] = -1;
    index.Source.dwCameraMask[0] = 0x8000;
    Load();
    ShowType(0);
    panel_view::Graph(panel.m_hWnd)->m_crPen = 0;
    Split(IDC_SPLIT_16);
    EXPECT_EQ((Calls{"SetViewSplit(16)", "GetViewGroup"}), decoder->Calls());
    EXPECT_EQ(COLORREF(0xFFFF80), BarColour()) << "the graph was drawn again";
    EXPECT_EQ((std::vector<int32_t>{100}), Bars());
}

TEST_F(EventGraph, ChoosingAGroupTellsTheDecoderAndRedraws)
{
    Split(IDC_SPLIT_4);
    index.Motion.wCount = 1;
    index.Motion.bLevel[5][0] = 1;  // camera 6, in group 1
    Load();
    ShowType(1);
    EXPECT_EQ((std::vector<int32_t>{0}), Bars());
    decoder->ClearCalls();
    Choose(IDC_CAMERA_GROUP, 1);
    EXPECT_EQ((Calls{"SetViewGroup(1)"}), decoder->Calls());
    EXPECT_EQ((std::vector<int32_t>{100}), Bars());
}

TEST_F(EventGraph, CountsBeyondTheBlocksAreHeldToTheirCapacity)
{
    index.Source.wCount = 60000;
    index.Source.lStatus[999] = -1;
    index.Source.dwCameraMask[999] = 1;
    index.Gpi.wCount = 0xFFFF;
    Load();
    ShowType(0);
    ASSERT_EQ(1000u, Bars().size());
    EXPECT_EQ(100, Bars()[999]);
    ShowType(2);
    EXPECT_EQ(2000u, Bars().size());
}

TEST_F(EventGraph, BeforeAnyFileEveryTypeClearsTheGraph)
{
    for (int type = 0; type < 3; ++type) {
        ShowType(type);
        EXPECT_TRUE(Bars().empty()) << type;
    }
}

}  // namespace
