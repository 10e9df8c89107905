// Where the windows go: the position control, the display sizes, the panel
// under the video window, and the rule for files with several cameras.
#include "tests/panel/panel_fixture.h"

namespace {

RECT WindowRect(HWND hwnd)
{
    RECT rc;
    GetWindowRect(hwnd, &rc);
    return rc;
}

class Placement : public PanelTest {
protected:
    // The outer size of a client area, from the video window's real frame.
    SIZE Outer(int cx, int cy)
    {
        RECT rc = {0, 0, cx, cy};
        AdjustWindowRect(&rc, static_cast<DWORD>(GetWindowLongPtrA(video.m_hWnd, GWL_STYLE)), FALSE);
        return SIZE{rc.right - rc.left, rc.bottom - rc.top};
    }
    void ExpectPanelUnderVideo()
    {
        const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
        RECT v = WindowRect(video.m_hWnd), p = WindowRect(panel.m_hWnd);
        const int pw = p.right - p.left, ph = p.bottom - p.top;
        EXPECT_EQ((W - pw) / 2, p.left);
        EXPECT_EQ(v.bottom + ph > H ? H - ph : v.bottom, p.top);
    }
};

TEST_F(Placement, StartGivesA640x480PictureCentredAtTheTop)
{
    const int W = GetSystemMetrics(SM_CXSCREEN);
    SIZE outer = Outer(640, 480);
    RECT v = WindowRect(video.m_hWnd);
    EXPECT_EQ((W - outer.cx) / 2, v.left);
    EXPECT_EQ(0, v.top);
    EXPECT_EQ(outer.cx, v.right - v.left);
    EXPECT_EQ(outer.cy, v.bottom - v.top);
    RECT client;
    GetClientRect(video.m_hWnd, &client);
    EXPECT_EQ(640, client.right);
    EXPECT_EQ(480, client.bottom);
    ExpectPanelUnderVideo();
    // The decoder fills the new client area.
    RECT ctrl;
    GetClientRect(decoder->Window(), &ctrl);
    EXPECT_EQ(640, ctrl.right);
    EXPECT_EQ(480, ctrl.bottom);
}

TEST_F(Placement, EachDisplaySizeAndBackFromFullScreen)
{
    Choose(IDC_DISPLAY_SIZE, 0);
    RECT client;
    GetClientRect(video.m_hWnd, &client);
    EXPECT_EQ(320, client.right);
    EXPECT_EQ(240, client.bottom);
    ExpectPanelUnderVideo();

    Choose(IDC_DISPLAY_SIZE, 2);
    EXPECT_TRUE(IsZoomed(video.m_hWnd));
    const int H = GetSystemMetrics(SM_CYSCREEN);
    RECT p = WindowRect(panel.m_hWnd);
    EXPECT_EQ(H - (p.bottom - p.top), p.top) << "pulled up over the picture";

    Choose(IDC_DISPLAY_SIZE, 0);
    EXPECT_FALSE(IsZoomed(video.m_hWnd));
    SIZE outer = Outer(320, 240);
    RECT v = WindowRect(video.m_hWnd);
    EXPECT_EQ(outer.cx, v.right - v.left);
    EXPECT_EQ(outer.cy, v.bottom - v.top);
}

TEST_F(Placement, ScrollBarSpansThePanelBelowTheGraph)
{
    ExpectAcrossThePanelBelowTheGraph(Item(IDC_POSITION_BAR));
}

TEST_F(Placement, SeveralCamerasRaiseOnlyTheSmallestSize)
{
    const char path[] = "x.d01";
    auto open = [&](LONG mask) {
        decoder->SetCameraMask(mask);
        SendMessageA(video.m_hWnd, WM_PANEL_COMMAND, PCMD_OPEN, reinterpret_cast<LPARAM>(path));
    };
    Choose(IDC_DISPLAY_SIZE, 0);
    open(0x0001);
    EXPECT_EQ("320x240", Selected(IDC_DISPLAY_SIZE));
    open(0x0003);
    EXPECT_EQ("640x480", Selected(IDC_DISPLAY_SIZE));
    RECT client;
    GetClientRect(video.m_hWnd, &client);
    EXPECT_EQ(640, client.right);
    ExpectPanelUnderVideo();
    open(0x0001);
    EXPECT_EQ("640x480", Selected(IDC_DISPLAY_SIZE)) << "one camera does not bring 320x240 back";
    Choose(IDC_DISPLAY_SIZE, 2);
    open(0xFFFF);
    EXPECT_EQ("Full screen", Selected(IDC_DISPLAY_SIZE));
}

}  // namespace
