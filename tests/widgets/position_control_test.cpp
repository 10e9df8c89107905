// The position control in a panel-like dialog: the slider (the fake registered
// under the slider's class id) driven by its named methods, or the scroll bar
// in its place; where each stands, the position, and the tooltip.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstring>
#include <string>
#include <vector>
#include "framework/app.h"
#include "framework/dialog.h"
#include "tests/fakes/fake_slider.h"
#include "tests/support/test_support.h"
#include "tests/widgets/test_dialogs.h"
#include "widgets/position_control.h"

using fakes::FakeSlider;

namespace {

using Calls = std::vector<std::string>;

class PositionControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AfxEnableControlContainer();
        ASSERT_TRUE(dlg.Create(IDD_TEST_POSITION, nullptr));
        bar = dlg.GetDlgItem(IDC_TEST_SCROLLBAR);
        ASSERT_TRUE(bar);
    }
    void TearDown() override
    {
        if (dlg.IsWindow()) {
            control.Destroy();
            dlg.DestroyWindow();
        }
        FakeSlider::RefuseInterface(false);
    }
    // Where a window stands in the dialog's client area.
    RECT Placed(HWND hwnd) const
    {
        RECT rc;
        GetWindowRect(hwnd, &rc);
        MapWindowPoints(nullptr, dlg.m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }
    // What the slider's tooltip asks for and gets.
    static std::string Tip(HWND trackbar)
    {
        NMTTDISPINFOA info = {};
        info.hdr.code = TTN_NEEDTEXTA;
        std::strcpy(info.szText, "unset");
        SendMessageA(trackbar, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        return info.szText;
    }

    testing_support::ComScope com;
    CDialog dlg{IDD_TEST_POSITION};
    HWND bar = nullptr;
    CPositionControl control;
};

class WithTheSlider : public PositionControlTest {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, registration.Status());
        PositionControlTest::SetUp();
        if (HasFatalFailure()) return;
        control.Create(&dlg, IDC_TEST_SLIDER, bar);
        slider = FakeSlider::Last();
        ASSERT_TRUE(slider);
    }
    fakes::FakeSliderRegistration registration;
    FakeSlider* slider = nullptr;
};

// What the slider was told, in order; how often its window handle is read is
// the control's own business.
Calls SettingsGiven(const FakeSlider& slider)
{
    Calls settings;
    for (const std::string& call : slider.Calls())
        if (call != "GetHwnd") settings.push_back(call);
    return settings;
}

TEST_F(WithTheSlider, IsSetUpThroughItsNamedMethodsAndTheScrollBarHides)
{
    EXPECT_TRUE(control.IsSlider());
    // The range and the page step show on the trackbar below; the other
    // settings, which the fake does not act on, only in what it was told.
    EXPECT_EQ((Calls{"SetRangeMin(0)", "SetRangeMax(3600)", "SetSetting12(1)", "SetPageStep(60)", "SetSetting26(3)",
                     "SetSetting18(0)", "SetSetting53(1)"}),
              SettingsGiven(*slider));
    HWND trackbar = slider->TrackbarWindow();
    EXPECT_EQ(0, SendMessageA(trackbar, TBM_GETRANGEMIN, 0, 0));
    EXPECT_EQ(3600, SendMessageA(trackbar, TBM_GETRANGEMAX, 0, 0));
    EXPECT_EQ(60, SendMessageA(trackbar, TBM_GETPAGESIZE, 0, 0));
    EXPECT_EQ(dlg.GetDlgItem(IDC_TEST_SLIDER), control.Window()) << "moved and enabled as its host window";
    EXPECT_TRUE(IsWindowVisible(control.Window()));
    EXPECT_FALSE(IsWindowVisible(bar));
}

TEST_F(WithTheSlider, PositionIsTheTrackbarsAndItsTooltipReadsMinutesAndSeconds)
{
    control.SetPosition(1205);
    EXPECT_EQ(1205, SendMessageA(slider->TrackbarWindow(), TBM_GETPOS, 0, 0));
    EXPECT_EQ("20:05", Tip(slider->TrackbarWindow()));
    SendMessageA(slider->TrackbarWindow(), TBM_SETPOS, TRUE, 59);
    EXPECT_EQ(59, control.GetPosition());
    EXPECT_EQ(0, SendMessageA(bar, SBM_GETPOS, 0, 0)) << "the scroll bar is not driven";
}

// The panel's fixed layout: 7 pixels in, 40 down, 17 high, 21 short of the right edge.
TEST_F(WithTheSlider, StandsBelowTheGraphAcrossThePanel)
{
    control.Place(500);
    const RECT rc = Placed(control.Window());
    EXPECT_EQ(7, rc.left);
    EXPECT_EQ(40, rc.top);
    EXPECT_EQ(500 - 21, rc.right - rc.left);
    EXPECT_EQ(17, rc.bottom - rc.top);
}

TEST_F(WithTheSlider, DestroyTakesTheHookOffAndGivesTheInterfaceBack)
{
    HWND trackbar = slider->TrackbarWindow();
    control.SetPosition(1205);
    control.Destroy();
    EXPECT_EQ(nullptr, CSliderTipHook::s_pActiveTipHook);
    EXPECT_EQ("unset", Tip(trackbar)) << "the trackbar answers its tooltip itself again";
    dlg.DestroyWindow();
    EXPECT_EQ(0, FakeSlider::LiveCount());
}

TEST_F(PositionControlTest, WithoutTheSliderTheScrollBarServesOnTheSameScale)
{
    control.Create(&dlg, IDC_TEST_SLIDER, bar);
    EXPECT_FALSE(control.IsSlider());
    EXPECT_EQ(bar, control.Window());
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_EQ(nullptr, dlg.GetDlgItem(IDC_TEST_SLIDER));
    SCROLLINFO si = {sizeof si, SIF_ALL};
    ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &si));
    EXPECT_EQ(0, si.nMin);
    EXPECT_EQ(3600, si.nMax);
    EXPECT_EQ(60u, si.nPage);

    control.SetPosition(1205);
    EXPECT_EQ(1205, SendMessageA(bar, SBM_GETPOS, 0, 0));
    SendMessageA(bar, SBM_SETPOS, 59, TRUE);
    EXPECT_EQ(59, control.GetPosition());
}

// The scroll bar keeps a wider margin: 2 pixels further in, 6 narrower than the slider.
TEST_F(PositionControlTest, ScrollBarStandsWhereTheSliderWouldWithAWiderMargin)
{
    control.Create(&dlg, IDC_TEST_SLIDER, bar);
    control.Place(500);
    const RECT rc = Placed(bar);
    EXPECT_EQ(9, rc.left);
    EXPECT_EQ(40, rc.top);
    EXPECT_EQ(500 - 27, rc.right - rc.left);
    EXPECT_EQ(17, rc.bottom - rc.top);
}

TEST_F(PositionControlTest, SliderWithoutItsInterfaceGivesWayToTheScrollBar)
{
    fakes::FakeSliderRegistration registration;
    ASSERT_EQ(S_OK, registration.Status());
    FakeSlider::RefuseInterface(true);
    control.Create(&dlg, IDC_TEST_SLIDER, bar);
    EXPECT_FALSE(control.IsSlider());
    EXPECT_EQ(bar, control.Window());
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_EQ(nullptr, dlg.GetDlgItem(IDC_TEST_SLIDER)) << "the control went again";
    EXPECT_EQ(0, FakeSlider::LiveCount());
    EXPECT_EQ(nullptr, CSliderTipHook::s_pActiveTipHook);
}

}  // namespace
