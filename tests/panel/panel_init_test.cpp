// The panel as it comes up: controls, lists, the position control, the time
// text, and the way a start with or without a file goes on.
#include "tests/panel/panel_fixture.h"
#include <commctrl.h>
#include "owners/gdi.h"
#include "tests/fakes/fake_slider.h"

namespace {

TEST_F(PanelTest, ListsAndButtonsStartInTheirPlaces)
{
    EXPECT_EQ("1x", Selected(IDC_SPEED));
    EXPECT_EQ("Source", Selected(IDC_EVENT_TYPE));
    EXPECT_EQ("640x480", Selected(IDC_DISPLAY_SIZE));
    EXPECT_EQ("Camera 1-16", Selected(IDC_CAMERA_GROUP));
    EXPECT_EQ(1, SendMessageA(Item(IDC_CAMERA_GROUP), CB_GETCOUNT, 0, 0));
    EXPECT_EQ(BST_CHECKED, SendMessageA(Item(IDC_SPLIT_16), BM_GETCHECK, 0, 0));
    for (int id : {IDC_SPLIT_1, IDC_SPLIT_4, IDC_SPLIT_8})
        EXPECT_EQ(BST_UNCHECKED, SendMessageA(Item(id), BM_GETCHECK, 0, 0)) << id;
    for (int id : {IDC_PLAY, IDC_STEP, IDC_PAUSE, IDC_STOP, IDC_SOURCE, IDC_EVENT_TYPE})
        EXPECT_FALSE(Enabled(id)) << id;
    for (int id : {IDC_OPEN, IDC_SPEED, IDC_CAMERA_GROUP, IDC_DISPLAY_SIZE, IDC_EXIT, IDC_SPLIT_1, IDC_POSITION_BAR})
        EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_EQ("00:00:00", TimeText());
}

// Idle, with the open-file dialog cancelled: Play sends nothing, and a position
// event changes the text but not the controls (no open is under way).
TEST_F(PanelTest, IdleAfterStartUntilAFileIsOpened)
{
    testing_support::PumpMessages();
    const std::vector<bool> before = ControlStates();
    decoder->FirePositionChange(5000);
    testing_support::PumpMessages();
    EXPECT_EQ("00:00:05.00", TimeText());
    EXPECT_EQ(before, ControlStates());
    decoder->ClearCalls();
    PostMessageA(panel.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_PLAY, BN_CLICKED), reinterpret_cast<LPARAM>(Item(IDC_PLAY)));
    testing_support::PumpMessages();
    EXPECT_TRUE(decoder->Calls().empty());
}

TEST_F(PanelTest, SpeedsCarryTheirValues)
{
    const char* texts[] = {"Full", "2x", "1x", "1/2 x", "1/4 x", "1/8 x"};
    const long values[] = {0, 2, 1, -2, -4, -8};
    ASSERT_EQ(6, SendMessageA(Item(IDC_SPEED), CB_GETCOUNT, 0, 0));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(texts[i], ListText(IDC_SPEED, i));
        EXPECT_EQ(values[i], static_cast<long>(SendMessageA(Item(IDC_SPEED), CB_GETITEMDATA, i, 0)));
    }
}

TEST_F(PanelTest, TransportButtonsShowTheirImages)
{
    for (int id : {IDC_OPEN, IDC_PLAY, IDC_STOP, IDC_PAUSE, IDC_SOURCE, IDC_STEP, IDC_SPLIT_1, IDC_SPLIT_16})
        EXPECT_TRUE(SendMessageA(Item(id), BM_GETIMAGE, IMAGE_BITMAP, 0)) << id;
    BITMAP bm;
    HGDIOBJ play = reinterpret_cast<HGDIOBJ>(SendMessageA(Item(IDC_PLAY), BM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_TRUE(GetObjectA(play, sizeof bm, &bm));
    EXPECT_EQ(16, bm.bmWidth);
    EXPECT_EQ(16, bm.bmHeight);
}

TEST_F(PanelTest, WithoutTheSliderControlTheScrollBarServes)
{
    EXPECT_TRUE(IsWindowVisible(Item(IDC_POSITION_BAR)));
    SCROLLINFO si = {sizeof si, SIF_ALL};
    ASSERT_TRUE(GetScrollInfo(Item(IDC_POSITION_BAR), SB_CTL, &si));
    EXPECT_EQ(0, si.nMin);
    EXPECT_EQ(3600, si.nMax);
    EXPECT_EQ(60u, si.nPage);
    EXPECT_EQ(nullptr, panel.GetDlgItem(IDC_SLIDER));
}

TEST_F(PanelTest, InitialisationSendsTheLayoutAndReadsTheGroupBack)
{
    // What the panel asked of the decoder while it came up, before the fixture looked.
    const Calls& calls = decoder->Calls();
    auto split = std::find(calls.begin(), calls.end(), "SetViewSplit(16)");
    ASSERT_NE(calls.end(), split);
    ASSERT_NE(calls.end(), split + 1);
    EXPECT_EQ("GetViewGroup", *(split + 1));
}

TEST_F(PanelTest, StartWithoutAPathAsksForAFileAtOnce)
{
    EXPECT_TRUE(openFile.requests.empty()) << "the click is posted, not sent";
    testing_support::PumpMessages();
    ASSERT_EQ(1u, openFile.requests.size());
    EXPECT_EQ(panel.m_hWnd, openFile.requests[0].hwndOwner);
    // Cancelled: nothing changes.
    EXPECT_TRUE(Enabled(IDC_OPEN));
    EXPECT_FALSE(Enabled(IDC_PLAY));
}

TEST_F(PanelTest, TimeTextIsPaintedInBlueBesideTheEventTypeList)
{
    SetForegroundWindow(panel.m_hWnd);
    RedrawWindow(panel.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const RECT list = panel_view::InPanel(panel.m_hWnd, Item(IDC_EVENT_TYPE));
    const RECT text = panel_view::PaintedTime(panel.m_hWnd);
    ASSERT_LT(text.left, text.right) << "no blue text on view";
    EXPECT_GT(text.left, list.right) << "right of the list";
    EXPECT_LT(text.left, list.right + 20) << "close beside it";
    EXPECT_GE(text.top, list.top) << "on its row";
    EXPECT_LE(text.bottom, list.bottom + 4);
    EXPECT_GT(text.right - text.left, 40) << "the width of 00:00:00 in a 16-pixel font";
    EXPECT_GT(text.bottom - text.top, 10);

    // Blue on the button face: around the digits, and between them.
    const CClientDC dc(panel.m_hWnd);
    int blue = 0, face = 0;
    for (int y = text.top - 4; y < text.bottom + 4; ++y) {
        for (int x = text.left - 4; x < text.right + 4; ++x) {
            COLORREF c = GetPixel(dc, x, y);
            if (c == RGB(0, 0, 255)) ++blue;
            if (c == GetSysColor(COLOR_BTNFACE)) ++face;
        }
    }
    EXPECT_GT(blue, 40) << "the digits of 00:00:00";
    EXPECT_GT(face, blue);
}

class PanelStartedWithAPath : public PanelTest {
protected:
    void SetUp() override
    {
        startPath = "\"C:\\My Recordings\\cam.d01\"";
        PanelTest::SetUp();
    }
};

TEST_F(PanelStartedWithAPath, QuotesGoAndTheAutoPlayTimerOpensTheFile)
{
    EXPECT_FALSE(Enabled(IDC_OPEN));
    EXPECT_TRUE(Enabled(IDC_SPEED));
    testing_support::PumpMessages();
    EXPECT_TRUE(openFile.requests.empty());
    decoder->ClearCalls();
    ASSERT_TRUE(testing_support::PumpUntil([&] { return !decoder->Calls().empty(); }, 4000)) << "no timer";
    EXPECT_EQ("SetFileName(C:\\My Recordings\\cam.d01)", decoder->Calls().at(0));
    EXPECT_TRUE(Enabled(IDC_OPEN));
}

}  // namespace

namespace {

// The same panel where the slider control exists.
class PanelWithSlider : public PanelTest {
protected:
    void SetUp() override
    {
        fakes::FakeSlider::RefuseInterface(refuse);
        PanelTest::SetUp();
        slider = fakes::FakeSlider::Last();
    }
    bool refuse = false;
    fakes::FakeSliderRegistration sliderRegistration;
    fakes::FakeSlider* slider = nullptr;
};

TEST_F(PanelWithSlider, SliderIsSetUpThroughItsInterfaceAndTheScrollBarHides)
{
    ASSERT_TRUE(slider);
    EXPECT_TRUE(IsWindowVisible(Item(IDC_SLIDER)));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_POSITION_BAR)));
    EXPECT_EQ(0, SendMessageA(slider->TrackbarWindow(), TBM_GETRANGEMIN, 0, 0));
    EXPECT_EQ(3600, SendMessageA(slider->TrackbarWindow(), TBM_GETRANGEMAX, 0, 0));
    EXPECT_EQ(60, SendMessageA(slider->TrackbarWindow(), TBM_GETPAGESIZE, 0, 0));
}

TEST_F(PanelWithSlider, SliderSpansThePanelBelowTheGraph)
{
    ExpectAcrossThePanelBelowTheGraph(Item(IDC_SLIDER));
}

TEST_F(PanelWithSlider, DestroyGivesTheInterfaceBack)
{
    video.DestroyWindow();
    EXPECT_EQ(0, fakes::FakeSlider::LiveCount());
}

class PanelWithSliderWithoutItsInterface : public PanelWithSlider {
protected:
    void SetUp() override
    {
        refuse = true;
        PanelWithSlider::SetUp();
    }
};

TEST_F(PanelWithSliderWithoutItsInterface, ScrollBarServesAndTheControlGoes)
{
    EXPECT_TRUE(IsWindowVisible(Item(IDC_POSITION_BAR)));
    EXPECT_EQ(nullptr, panel.GetDlgItem(IDC_SLIDER));
    EXPECT_EQ(0, fakes::FakeSlider::LiveCount());
    decoder->FirePositionChange(754000);
    testing_support::PumpMessages();
    EXPECT_EQ(754, SendMessageA(Item(IDC_POSITION_BAR), SBM_GETPOS, 0, 0)) << "position events move the scroll bar";
}

}  // namespace
