// The panel as it comes up: controls, lists, the position control, the time
// text, and the way a start with or without a file goes on.
#include "tests/panel/panel_fixture.h"
#include <commctrl.h>
#include "tests/fakes/fake_slider.h"

namespace {

TEST_F(PanelTest, ListsAndButtonsStartInTheirPlaces) {
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
    EXPECT_STREQ("00:00:00", panel.m_szTime);
    EXPECT_EQ(PLAY_IDLE, panel.m_nPlayState);
    EXPECT_EQ(CTRL_STOPPED, panel.m_nControlSet);
}

TEST_F(PanelTest, SpeedsCarryTheirValues) {
    const char* texts[] = {"Full", "2x", "1x", "1/2 x", "1/4 x", "1/8 x"};
    const long values[] = {0, 2, 1, -2, -4, -8};
    ASSERT_EQ(6, SendMessageA(Item(IDC_SPEED), CB_GETCOUNT, 0, 0));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(texts[i], ListText(IDC_SPEED, i));
        EXPECT_EQ(values[i], static_cast<long>(SendMessageA(Item(IDC_SPEED), CB_GETITEMDATA, i, 0)));
    }
}

TEST_F(PanelTest, TransportButtonsShowTheirImages) {
    for (int id : {IDC_OPEN, IDC_PLAY, IDC_STOP, IDC_PAUSE, IDC_SOURCE, IDC_STEP, IDC_SPLIT_1, IDC_SPLIT_16})
        EXPECT_TRUE(SendMessageA(Item(id), BM_GETIMAGE, IMAGE_BITMAP, 0)) << id;
    BITMAP bm;
    ASSERT_TRUE(GetObjectA(panel.m_hbmPlay, sizeof bm, &bm));
    EXPECT_EQ(16, bm.bmWidth);
    EXPECT_EQ(16, bm.bmHeight);
}

TEST_F(PanelTest, WithoutTheSliderControlTheScrollBarServes) {
    EXPECT_EQ(0, panel.m_bSliderCtrl);
    EXPECT_EQ(Item(IDC_POSITION_BAR), panel.m_hwndPosition);
    EXPECT_EQ(Item(IDC_POSITION_BAR), panel.m_hwndSliderArea);
    EXPECT_TRUE(IsWindowVisible(Item(IDC_POSITION_BAR)));
    SCROLLINFO si = {sizeof si, SIF_ALL};
    ASSERT_TRUE(GetScrollInfo(Item(IDC_POSITION_BAR), SB_CTL, &si));
    EXPECT_EQ(0, si.nMin);
    EXPECT_EQ(3600, si.nMax);
    EXPECT_EQ(60u, si.nPage);
    EXPECT_EQ(nullptr, panel.GetDlgItem(IDC_SLIDER));
}

TEST_F(PanelTest, InitialisationSendsTheLayoutAndReadsTheGroupBack) {
    // What the panel asked of the decoder while it came up, before the fixture looked.
    const Calls& calls = decoder->Calls();
    auto split = std::find(calls.begin(), calls.end(), "SetViewSplit(16)");
    ASSERT_NE(calls.end(), split);
    ASSERT_NE(calls.end(), split + 1);
    EXPECT_EQ("GetViewGroup", *(split + 1));
}

TEST_F(PanelTest, StartWithoutAPathAsksForAFileAtOnce) {
    EXPECT_TRUE(openFile.requests.empty()) << "the click is posted, not sent";
    testing_support::PumpMessages();
    ASSERT_EQ(1u, openFile.requests.size());
    EXPECT_EQ(panel.m_hWnd, openFile.requests[0].hwndOwner);
    // Cancelled: nothing changes.
    EXPECT_EQ(PLAY_IDLE, panel.m_nPlayState);
    EXPECT_TRUE(Enabled(IDC_OPEN));
    EXPECT_FALSE(Enabled(IDC_PLAY));
}

TEST_F(PanelTest, TimeTextIsPaintedInBlueBesideTheEventTypeList) {
    RECT list;
    GetWindowRect(Item(IDC_EVENT_TYPE), &list);
    MapWindowPoints(nullptr, panel.m_hWnd, reinterpret_cast<POINT*>(&list), 2);
    EXPECT_EQ(list.right + 8, panel.m_rcTime.left);
    EXPECT_EQ(list.top, panel.m_rcTime.top);
    EXPECT_EQ(list.right + 98, panel.m_rcTime.right);
    EXPECT_EQ(list.bottom, panel.m_rcTime.bottom);
    EXPECT_EQ(list.right + 28, panel.m_rcTimeClick.left);

    SetForegroundWindow(panel.m_hWnd);
    RedrawWindow(panel.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = GetDC(panel.m_hWnd);
    int blue = 0, face = 0;
    for (int y = panel.m_rcTime.top; y < panel.m_rcTime.bottom; ++y) {
        for (int x = panel.m_rcTime.left; x < panel.m_rcTime.right; ++x) {
            COLORREF c = GetPixel(dc, x, y);
            if (c == RGB(0, 0, 255)) ++blue;
            if (c == GetSysColor(COLOR_BTNFACE)) ++face;
        }
    }
    ReleaseDC(panel.m_hWnd, dc);
    EXPECT_GT(blue, 40) << "the digits of 00:00:00";
    EXPECT_GT(face, blue);
}

TEST(StripQuotes, OnePairAroundTheWholePathGoes) {
    struct Case { const char* in; const char* out; } cases[] = {
        {"\"C:\\a b\\x.d01\"", "C:\\a b\\x.d01"},
        {"\"\"", ""},
        {"\"", "\""},
        {"\"C:\\x.d01", "\"C:\\x.d01"},
        {"C:\\x.d01\"", "C:\\x.d01\""},
        {"\"\"x\"\"", "\"x\""},
        {"", ""},
        {"C:\\plain.d01", "C:\\plain.d01"},
    };
    for (const Case& c : cases) {
        char buffer[64];
        std::strcpy(buffer, c.in);
        CPanelDlg::StripQuotes(buffer);
        EXPECT_STREQ(c.out, buffer) << c.in;
    }
}

class PanelStartedWithAPath : public PanelTest {
protected:
    void SetUp() override {
        startPath = "\"C:\\My Recordings\\cam.d01\"";
        PanelTest::SetUp();
    }
};

TEST_F(PanelStartedWithAPath, QuotesGoAndTheAutoPlayTimerRuns) {
    EXPECT_STREQ("C:\\My Recordings\\cam.d01", panel.m_szPath);
    EXPECT_EQ(PLAY_STOPPED, panel.m_nPlayState);
    EXPECT_NE(0u, panel.m_nTimerId);
    EXPECT_FALSE(Enabled(IDC_OPEN));
    EXPECT_TRUE(Enabled(IDC_SPEED));
    testing_support::PumpMessages();
    EXPECT_TRUE(openFile.requests.empty());
}

}  // namespace

namespace {

// The same panel where the slider control exists.
class PanelWithSlider : public PanelTest {
protected:
    void SetUp() override {
        fakes::FakeSlider::RefuseInterface(refuse);
        PanelTest::SetUp();
        slider = fakes::FakeSlider::Last();
    }
    bool refuse = false;
    fakes::FakeSliderRegistration sliderRegistration;
    fakes::FakeSlider* slider = nullptr;
};

TEST_F(PanelWithSlider, SliderIsSetUpThroughItsInterfaceAndTheScrollBarHides) {
    ASSERT_TRUE(slider);
    EXPECT_EQ(1, panel.m_bSliderCtrl);
    EXPECT_TRUE(panel.m_pSlider);
    EXPECT_FALSE(IsWindowVisible(Item(IDC_POSITION_BAR)));
    EXPECT_EQ(slider->TrackbarWindow(), panel.m_hwndPosition);
    EXPECT_EQ(panel.GetDlgItem(IDC_SLIDER), panel.m_hwndSliderArea);
    EXPECT_EQ((Calls{"38", "16(0)", "14(3600)", "12(1)", "10(60)", "26(3)", "18(0)", "53(1)", "38"}),
              slider->Calls());
    EXPECT_EQ(3600, SendMessageA(panel.m_hwndPosition, TBM_GETRANGEMAX, 0, 0));
    EXPECT_EQ(60, SendMessageA(panel.m_hwndPosition, TBM_GETPAGESIZE, 0, 0));
}

TEST_F(PanelWithSlider, SliderSpansThePanelLessItsMargins) {
    RECT panelRect, videoRect, area;
    GetWindowRect(panel.m_hWnd, &panelRect);
    GetWindowRect(video.m_hWnd, &videoRect);
    POINT origin = {0, 0};
    ClientToScreen(video.m_hWnd, &origin);
    const int right = (panelRect.right - panelRect.left) + (origin.x - videoRect.left);
    GetWindowRect(panel.m_hwndSliderArea, &area);
    MapWindowPoints(nullptr, panel.m_hWnd, reinterpret_cast<POINT*>(&area), 2);
    EXPECT_EQ(7, area.left);
    EXPECT_EQ(40, area.top);
    EXPECT_EQ(right - 21, area.right - area.left);
    EXPECT_EQ(17, area.bottom - area.top);
}

TEST_F(PanelWithSlider, DestroyGivesTheInterfaceBack) {
    video.DestroyWindow();
    EXPECT_EQ(nullptr, panel.m_pSlider);
    EXPECT_EQ(0, fakes::FakeSlider::LiveCount());
}

class PanelWithSliderWithoutItsInterface : public PanelWithSlider {
protected:
    void SetUp() override {
        refuse = true;
        PanelWithSlider::SetUp();
    }
};

TEST_F(PanelWithSliderWithoutItsInterface, ScrollBarServesAndTheControlGoes) {
    EXPECT_EQ(0, panel.m_bSliderCtrl);
    EXPECT_EQ(nullptr, panel.m_pSlider);
    EXPECT_EQ(Item(IDC_POSITION_BAR), panel.m_hwndPosition);
    EXPECT_TRUE(IsWindowVisible(Item(IDC_POSITION_BAR)));
    EXPECT_EQ(nullptr, panel.GetDlgItem(IDC_SLIDER));
    EXPECT_EQ(0, fakes::FakeSlider::LiveCount());
}

}  // namespace
