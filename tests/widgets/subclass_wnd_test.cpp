// The subclass base on real windows: what reaches the window's own procedure,
// what a handler consumes, the user-data slot around the previous procedure,
// and the window as it was after Detach.
#include <gtest/gtest.h>
#include <string>
#include "owners/handle.h"
#include "tests/widgets/message_recorder.h"
#include "widgets/subclass_wnd.h"

using widgets_test::MessageRecorder;
using widgets_test::PlainWindow;
using widgets_test::ProcOf;
using widgets_test::UserDataOf;

namespace {

// Records each handler call and answers with a scripted result (0 declines).
class CScriptedWnd : public CSubclassWnd {
public:
    enum Slot {
        kPaint,
        kErase,
        kNotify,
        kChar,
        kKeyUp,
        kSlots
    };
    struct Call {
        Slot slot;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Call> calls;
    LRESULT results[kSlots] = {};

    LRESULT OnPaint() override { return Record(kPaint, 0, 0); }
    LRESULT OnEraseBkgnd(WPARAM w) override { return Record(kErase, w, 0); }
    LRESULT OnNotify(WPARAM w, LPARAM l) override { return Record(kNotify, w, l); }
    LRESULT OnChar(WPARAM w, LPARAM l) override { return Record(kChar, w, l); }
    LRESULT OnKeyUp(WPARAM w, LPARAM l) override { return Record(kKeyUp, w, l); }

private:
    LRESULT Record(Slot s, WPARAM w, LPARAM l)
    {
        calls.push_back({s, w, l});
        return results[s];
    }
};

struct Sample {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    CScriptedWnd::Slot slot;  // kSlots: no handler for it
};

NMHDR g_header = {};
const Sample kSamples[] = {
    {WM_PAINT, 0, 0, CScriptedWnd::kPaint},
    {WM_ERASEBKGND, 0x1111, 0, CScriptedWnd::kErase},
    {WM_NOTIFY, 42, reinterpret_cast<LPARAM>(&g_header), CScriptedWnd::kNotify},
    {WM_CHAR, 'a', 0x001E0001, CScriptedWnd::kChar},
    {WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001), CScriptedWnd::kKeyUp},
    {WM_KEYDOWN, VK_RETURN, 0x001C0001, CScriptedWnd::kSlots},
    {WM_USER + 7, 0x2222, 0x3333, CScriptedWnd::kSlots},
};

class SubclassWndTest : public ::testing::Test {
protected:
    PlainWindow window;
    HWND hwnd = window.hwnd;
};

TEST_F(SubclassWndTest, DeclinedMessagesReachThePreviousProcedureUnchanged)
{
    MessageRecorder rec(hwnd);
    LRESULT answer = 100;
    for (const Sample& s : kSamples) rec.answers[s.message] = answer++;

    CScriptedWnd obj;
    ASSERT_TRUE(obj.Attach(hwnd));
    answer = 100;
    for (const Sample& s : kSamples) {
        SCOPED_TRACE(s.message);
        obj.calls.clear();
        rec.log.clear();
        EXPECT_EQ(answer++, SendMessageA(hwnd, s.message, s.wParam, s.lParam));
        ASSERT_EQ(1, rec.Count(s.message));
        EXPECT_EQ(s.wParam, rec.log[0].wParam);
        EXPECT_EQ(s.lParam, rec.log[0].lParam);
        if (s.slot == CScriptedWnd::kSlots) {
            EXPECT_TRUE(obj.calls.empty());
            continue;
        }
        // Offered to the matching handler first, with the arguments it takes.
        ASSERT_EQ(1u, obj.calls.size());
        EXPECT_EQ(s.slot, obj.calls[0].slot);
        EXPECT_EQ(s.slot == CScriptedWnd::kPaint ? 0 : s.wParam, obj.calls[0].wParam);
        const bool takesLParam = s.slot >= CScriptedWnd::kNotify;
        EXPECT_EQ(takesLParam ? s.lParam : 0, obj.calls[0].lParam);
    }
}

TEST_F(SubclassWndTest, BaseHandlersDeclineEverything)
{
    MessageRecorder rec(hwnd);
    for (const Sample& s : kSamples) rec.answers[s.message] = 9;
    CSubclassWnd obj;
    ASSERT_TRUE(obj.Attach(hwnd));
    for (const Sample& s : kSamples) EXPECT_EQ(9, SendMessageA(hwnd, s.message, s.wParam, s.lParam));
    EXPECT_EQ(static_cast<int>(std::size(kSamples)), static_cast<int>(rec.log.size()));
}

TEST_F(SubclassWndTest, HandlerResultConsumesTheMessage)
{
    MessageRecorder rec(hwnd);
    CScriptedWnd obj;
    for (int slot = 0; slot < CScriptedWnd::kSlots; ++slot) obj.results[slot] = 50 + slot;
    ASSERT_TRUE(obj.Attach(hwnd));
    for (const Sample& s : kSamples) {
        if (s.slot == CScriptedWnd::kSlots) continue;
        SCOPED_TRACE(s.message);
        EXPECT_EQ(50 + s.slot, SendMessageA(hwnd, s.message, s.wParam, s.lParam));
        EXPECT_EQ(0, rec.Count(s.message)) << "the previous procedure must not see it";
    }
}

TEST_F(SubclassWndTest, EachWindowFindsItsOwnObject)
{
    PlainWindow other;
    CScriptedWnd first, second;
    first.results[CScriptedWnd::kChar] = 1;
    second.results[CScriptedWnd::kChar] = 2;
    ASSERT_TRUE(first.Attach(hwnd));
    ASSERT_TRUE(second.Attach(other.hwnd));
    EXPECT_EQ(1, SendMessageA(hwnd, WM_CHAR, 'x', 0));
    EXPECT_EQ(2, SendMessageA(other.hwnd, WM_CHAR, 'y', 0));
    ASSERT_EQ(1u, first.calls.size());
    EXPECT_EQ(WPARAM('x'), first.calls[0].wParam);
    ASSERT_EQ(1u, second.calls.size());
    EXPECT_EQ(WPARAM('y'), second.calls[0].wParam);
}

TEST_F(SubclassWndTest, ReentrantMessageGoesStraightToTheControlsOwnProcedure)
{
    SetWindowTextA(hwnd, "abc");  // so that the default answer to WM_GETTEXTLENGTH is not 0
    MessageRecorder rec(hwnd);
    rec.answers[WM_USER + 3] = 33;
    rec.answers[WM_CHAR] = 44;
    LRESULT innerUser = -1, innerChar = -1, innerLength = -1;
    rec.during = [&](UINT message, WPARAM, LPARAM) {
        if (message != WM_USER + 2) return;
        innerUser = SendMessageA(hwnd, WM_USER + 3, 0, 0);
        innerChar = SendMessageA(hwnd, WM_CHAR, 'z', 0);
        innerLength = SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0);
    };
    CScriptedWnd obj;
    ASSERT_TRUE(obj.Attach(hwnd));
    ASSERT_EQ(3, SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));

    SendMessageA(hwnd, WM_USER + 2, 0, 0);
    EXPECT_EQ(33, innerUser);
    EXPECT_EQ(44, innerChar);
    EXPECT_EQ(3, innerLength) << "the control's own answer";
    EXPECT_EQ(1, rec.Count(WM_USER + 3));
    EXPECT_EQ(1, rec.Count(WM_CHAR));
    EXPECT_TRUE(obj.calls.empty()) << "no handler runs for it";

    // Outside the previous procedure the object is found again.
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&obj), UserDataOf(hwnd));
    EXPECT_EQ(44, SendMessageA(hwnd, WM_CHAR, 'z', 0));
    EXPECT_EQ(1u, obj.calls.size());
}

TEST_F(SubclassWndTest, PreviousProcedureSeesThePreviousUserData)
{
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0x1234);
    MessageRecorder rec(hwnd);
    CScriptedWnd obj;
    ASSERT_TRUE(obj.Attach(hwnd));
    EXPECT_EQ(0x1234, obj.m_lPrevUserData);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&obj), UserDataOf(hwnd));

    SendMessageA(hwnd, WM_USER + 7, 0, 0);
    ASSERT_EQ(1, rec.Count(WM_USER + 7));
    EXPECT_EQ(0x1234, rec.Of(WM_USER + 7)[0].userData);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&obj), UserDataOf(hwnd));
}

TEST_F(SubclassWndTest, DetachRestoresTheWindowOnceAndOnlyOnce)
{
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0x1234);
    const WNDPROC before = ProcOf(hwnd);
    CScriptedWnd obj;
    ASSERT_TRUE(obj.Attach(hwnd));
    EXPECT_EQ(&SubclassWndProc, ProcOf(hwnd));

    obj.Detach();
    EXPECT_EQ(before, ProcOf(hwnd));
    EXPECT_EQ(0x1234, UserDataOf(hwnd));
    EXPECT_EQ(nullptr, obj.m_hWnd);
    EXPECT_EQ(nullptr, obj.m_pfnPrevWndProc);
    SendMessageA(hwnd, WM_CHAR, 'q', 0);
    EXPECT_TRUE(obj.calls.empty()) << "detached objects see nothing";

    // A second Detach must not put back the old values over newer ones.
    MessageRecorder rec(hwnd);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0x55);
    obj.Detach();
    EXPECT_EQ(0x55, UserDataOf(hwnd));
    EXPECT_NE(before, ProcOf(hwnd));

    CScriptedWnd never;
    never.Detach();
    EXPECT_EQ(nullptr, never.m_hWnd);
    EXPECT_EQ(nullptr, never.m_pfnPrevWndProc);
    EXPECT_EQ(0x55, UserDataOf(hwnd));
}

TEST_F(SubclassWndTest, DestructorDetaches)
{
    const WNDPROC before = ProcOf(hwnd);
    {
        CScriptedWnd obj;
        ASSERT_TRUE(obj.Attach(hwnd));
    }
    EXPECT_EQ(before, ProcOf(hwnd));
    EXPECT_EQ(0, UserDataOf(hwnd));
}

TEST_F(SubclassWndTest, FailedAttachLeavesObjectDetached)
{
    HWND gone;
    {
        PlainWindow w;
        gone = w.hwnd;
    }
    CScriptedWnd obj;
    EXPECT_FALSE(obj.Attach(gone));
    EXPECT_EQ(nullptr, obj.m_hWnd);
    EXPECT_EQ(nullptr, obj.m_pfnPrevWndProc);
    // Still usable afterwards.
    EXPECT_TRUE(obj.Attach(hwnd));
}

// Runs notepad hidden and finds one of its windows: a window of another
// process, whose user data this process may write but whose procedure it may
// not replace.
class ForeignWindow {
public:
    ForeignWindow()
    {
        char cmd[] = "notepad.exe";
        STARTUPINFOA si = {sizeof si};
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_HIDE;
        if (!CreateProcessA(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi)) return;
        WaitForInputIdle(m_pi.hProcess, 10000);
        for (int i = 0; i < 200 && !hwnd; ++i) {
            EnumWindows(&Match, reinterpret_cast<LPARAM>(this));
            if (!hwnd) Sleep(25);
        }
    }
    ~ForeignWindow()
    {
        if (!m_pi.hProcess) return;
        TerminateProcess(m_pi.hProcess, 0);
        WaitForSingleObject(m_pi.hProcess, 5000);
        const CScopedHandle thread(m_pi.hThread), process(m_pi.hProcess);
    }
    HWND hwnd = nullptr;

private:
    static BOOL CALLBACK Match(HWND h, LPARAM p)
    {
        auto* self = reinterpret_cast<ForeignWindow*>(p);
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (pid != self->m_pi.dwProcessId) return TRUE;
        self->hwnd = h;
        return FALSE;
    }
    PROCESS_INFORMATION m_pi = {};
};

TEST_F(SubclassWndTest, FailedAttachPutsTheUserDataBack)
{
    ForeignWindow foreign;
    ASSERT_NE(nullptr, foreign.hwnd);
    SetWindowLongPtrA(foreign.hwnd, GWLP_USERDATA, 0x4321);
    ASSERT_EQ(0x4321, UserDataOf(foreign.hwnd)) << "the user data of the other window must be writable";
    const WNDPROC before = ProcOf(foreign.hwnd);

    CScriptedWnd obj;
    EXPECT_FALSE(obj.Attach(foreign.hwnd));
    EXPECT_EQ(0x4321, UserDataOf(foreign.hwnd));
    EXPECT_EQ(before, ProcOf(foreign.hwnd));
    EXPECT_EQ(nullptr, obj.m_hWnd);
    EXPECT_EQ(nullptr, obj.m_pfnPrevWndProc);
}

}  // namespace
