// The tooltip hook on real trackbars: the text it supplies, what it leaves to
// the trackbar, and the one-hook-per-process rule.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "tests/widgets/message_recorder.h"
#include "widgets/slider_tip_hook.h"

using widgets_test::MessageRecorder;
using widgets_test::ProcOf;

namespace {

class SliderTipTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
    }
    void SetUp() override
    {
        parent = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 300, 120, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        first = MakeSlider(10);
        second = MakeSlider(50);
        ASSERT_NE(nullptr, first);
        ASSERT_NE(nullptr, second);
        firstProc = ProcOf(first);
        secondProc = ProcOf(second);
    }
    void TearDown() override
    {
        DestroyWindow(parent);
        ASSERT_EQ(nullptr, CSliderTipHook::s_pActiveTipHook) << "a hook outlived its test";
    }
    HWND MakeSlider(int y)
    {
        HWND h = CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | TBS_HORZ, 10, y, 250, 30, parent,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(h, TBM_SETRANGE, FALSE, MAKELPARAM(0, 3600));
        return h;
    }

    HWND parent = nullptr, first = nullptr, second = nullptr;
    WNDPROC firstProc = nullptr, secondProc = nullptr;
};

// Asks a slider for its tooltip text the way its tooltip does.
struct TipRequest {
    explicit TipRequest(UINT code = TTN_NEEDTEXTA)
    {
        info.hdr.code = code;
        strcpy(info.szText, "unset");
    }
    LRESULT SendTo(HWND slider) { return SendMessageA(slider, WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&info)); }
    NMTTDISPINFOA info = {};
};

std::string TipAt(HWND slider, int pos)
{
    SendMessageA(slider, TBM_SETPOS, TRUE, pos);
    TipRequest req;
    EXPECT_EQ(0, req.SendTo(slider));
    EXPECT_EQ(req.info.szText, req.info.lpszText);
    return req.info.szText;
}

TEST_F(SliderTipTest, TextIsMinutesAndSecondsOfTheHour)
{
    MessageRecorder rec(first);
    CSliderTipHook hook;
    ASSERT_TRUE(hook.Attach(first));
    EXPECT_EQ("20:05", TipAt(first, 1205));
    EXPECT_EQ("00:59", TipAt(first, 59));
    EXPECT_EQ("00:00", TipAt(first, 0));
    EXPECT_EQ("59:59", TipAt(first, 3599));
    EXPECT_EQ("00:00", TipAt(first, 3600)) << "the minutes wrap at the top of the scale";
    EXPECT_EQ(0, rec.Count(WM_NOTIFY)) << "answered requests stay with the hook";

    // Off the hour the position counts from the start: 10:20:00.5 plus 1205 s is 10:40:05.5.
    hook.SetStartTime(37200500);
    EXPECT_EQ("40:05", TipAt(first, 1205));
    EXPECT_EQ("00:00", TipAt(first, 2400)) << "across the hour";
    EXPECT_EQ("20:00", TipAt(first, 0));
}

TEST_F(SliderTipTest, EverythingElseReachesTheSliderUnchanged)
{
    MessageRecorder rec(first);
    rec.answers[WM_NOTIFY] = 0x5A5A;
    CSliderTipHook hook;
    ASSERT_TRUE(hook.Attach(first));

    for (UINT code : {static_cast<UINT>(TTN_NEEDTEXTW), static_cast<UINT>(NM_CUSTOMDRAW), 12345u}) {
        SCOPED_TRACE(static_cast<int>(code));
        rec.log.clear();
        TipRequest req(code);
        EXPECT_EQ(0x5A5A, req.SendTo(first));
        ASSERT_EQ(1, rec.Count(WM_NOTIFY));
        EXPECT_EQ(7u, rec.log[0].wParam);
        EXPECT_EQ(reinterpret_cast<LPARAM>(&req.info), rec.log[0].lParam);
        EXPECT_STREQ("unset", req.info.szText);
        EXPECT_EQ(nullptr, req.info.lpszText);
    }

    EXPECT_EQ(0x5A5A, SendMessageA(first, WM_NOTIFY, 7, 0)) << "no header: not a request, not a crash";

    rec.log.clear();
    SendMessageA(first, TBM_SETPOS, TRUE, 1234);
    EXPECT_EQ(1234, SendMessageA(first, TBM_GETPOS, 0, 0));
    ASSERT_EQ(1, rec.Count(TBM_SETPOS));
    EXPECT_EQ(WPARAM(TRUE), rec.Of(TBM_SETPOS)[0].wParam);
    EXPECT_EQ(1234, rec.Of(TBM_SETPOS)[0].lParam);
    EXPECT_EQ(1, rec.Count(TBM_GETPOS));
}

TEST_F(SliderTipTest, OnlyOneHookAtATime)
{
    CSliderTipHook a, b;
    ASSERT_TRUE(a.Attach(first));
    EXPECT_EQ(&SliderTipWndProc, ProcOf(first));
    EXPECT_EQ(&a, CSliderTipHook::s_pActiveTipHook);

    EXPECT_FALSE(a.Attach(second));
    EXPECT_FALSE(b.Attach(first));
    EXPECT_FALSE(b.Attach(second));

    EXPECT_EQ(&SliderTipWndProc, ProcOf(first));
    EXPECT_EQ(secondProc, ProcOf(second));
    EXPECT_EQ(first, a.m_hWnd);
    EXPECT_EQ(firstProc, a.m_pfnPrevWndProc);
    EXPECT_EQ(nullptr, b.m_hWnd);
    EXPECT_EQ(nullptr, b.m_pfnPrevWndProc);
    EXPECT_EQ(&a, CSliderTipHook::s_pActiveTipHook);
    EXPECT_EQ("20:05", TipAt(first, 1205));
}

TEST_F(SliderTipTest, DetachRestoresAndFreesTheSlot)
{
    CSliderTipHook a, b;
    ASSERT_TRUE(a.Attach(first));
    a.Detach();
    EXPECT_EQ(firstProc, ProcOf(first));
    EXPECT_EQ(nullptr, CSliderTipHook::s_pActiveTipHook);
    EXPECT_EQ(nullptr, a.m_hWnd);

    ASSERT_TRUE(b.Attach(second));
    EXPECT_EQ("00:59", TipAt(second, 59));
    EXPECT_FALSE(a.Attach(first)) << "b holds the slot now";
    EXPECT_EQ(firstProc, ProcOf(first));
    b.Detach();
    EXPECT_EQ(secondProc, ProcOf(second));
}

TEST_F(SliderTipTest, DetachWhenNotAttachedChangesNothing)
{
    CSliderTipHook a, never;
    ASSERT_TRUE(a.Attach(first));
    never.Detach();
    EXPECT_EQ(&a, CSliderTipHook::s_pActiveTipHook);
    EXPECT_EQ(&SliderTipWndProc, ProcOf(first));

    a.Detach();
    // Someone else subclasses the slider now; a second Detach must leave it be.
    MessageRecorder rec(first);
    const WNDPROC now = ProcOf(first);
    a.Detach();
    EXPECT_EQ(now, ProcOf(first));
    EXPECT_EQ(nullptr, CSliderTipHook::s_pActiveTipHook);
}

TEST_F(SliderTipTest, FailedAttachLeavesTheSlotFree)
{
    HWND gone = MakeSlider(90);
    DestroyWindow(gone);
    CSliderTipHook a, b;
    EXPECT_FALSE(a.Attach(gone));
    EXPECT_EQ(nullptr, CSliderTipHook::s_pActiveTipHook);
    EXPECT_EQ(nullptr, a.m_hWnd);
    EXPECT_TRUE(b.Attach(first));
}

TEST_F(SliderTipTest, DestructorDetaches)
{
    {
        CSliderTipHook hook;
        ASSERT_TRUE(hook.Attach(first));
    }
    EXPECT_EQ(firstProc, ProcOf(first));
    EXPECT_EQ(nullptr, CSliderTipHook::s_pActiveTipHook);
}

}  // namespace
