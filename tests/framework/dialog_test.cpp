// Dialogs: modal and modeless runs, the dialog manager's keys, templates with
// ActiveX controls in them.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "framework/app.h"
#include "framework/dialog.h"
#include "framework/dlgtemplate.h"
#include "tests/fakes/decoder_stream.h"
#include "tests/framework/test_dialogs.h"
#include "tests/support/test_support.h"

using testing_support::PumpFor;
using testing_support::PumpMessages;

namespace {

class CCountingDlg : public CDialog {
public:
    explicit CCountingDlg(UINT id = IDD_TEST_PLAIN) : CDialog(id) {}
    int inits = 0, oks = 0, cancels = 0;
    bool endOnOk = false;
    BOOL OnInitDialog() override
    {
        ++inits;
        return CDialog::OnInitDialog();
    }
    void OnOK() override
    {
        ++oks;
        if (endOnOk) CDialog::OnOK();
    }
    void OnCancel() override { ++cancels; }
};

// Posts a key press to a window as the keyboard would, and lets the loop run.
void PressKey(HWND hwnd, WPARAM vk)
{
    PostMessageA(hwnd, WM_KEYDOWN, vk, 1);
    PostMessageA(hwnd, WM_KEYUP, vk, 0xC0000001);
    PumpFor(50);
}

class ModelessDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dlg.Create(IDD_TEST_PLAIN, nullptr));
        dlg.ShowWindow(SW_SHOW);
        SetForegroundWindow(dlg.m_hWnd);
        SetFocus(dlg.GetDlgItem(IDC_TEST_EDIT));
        PumpMessages();
    }
    void TearDown() override { dlg.DestroyWindow(); }
    CCountingDlg dlg;
};

TEST_F(ModelessDialog, InitRunsOnceInsideCreate) { EXPECT_EQ(1, dlg.inits); }

TEST_F(ModelessDialog, EnterReachesOnOkThroughTheDialogManager)
{
    PressKey(dlg.GetDlgItem(IDC_TEST_EDIT), VK_RETURN);
    EXPECT_EQ(1, dlg.oks);
    EXPECT_EQ(0, dlg.cancels);
}

TEST_F(ModelessDialog, EscapeAndTheCloseBoxReachOnCancel)
{
    PressKey(dlg.GetDlgItem(IDC_TEST_EDIT), VK_ESCAPE);
    EXPECT_EQ(1, dlg.cancels);
    SendMessageA(dlg.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpFor(50);
    EXPECT_EQ(2, dlg.cancels);
    EXPECT_EQ(0, dlg.oks);
    EXPECT_TRUE(IsWindowVisible(dlg.m_hWnd)) << "an empty OnCancel leaves the dialog open";
}

TEST_F(ModelessDialog, EndDialogHidesButKeepsTheWindow)
{
    dlg.EndDialog(IDCANCEL);
    EXPECT_TRUE(IsWindow(dlg.m_hWnd));
    EXPECT_FALSE(IsWindowVisible(dlg.m_hWnd));
}

// Ends a modal run from inside its own loop, as a user's click would.
VOID CALLBACK PressOk(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    HWND dlg = testing_support::FindThreadWindow("Plain");
    if (dlg) PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST(ModalDialog, RunEndsWithTheResultAndDestroysTheWindow)
{
    CCountingDlg dlg;
    dlg.endOnOk = true;
    SetTimer(nullptr, 0, 100, &PressOk);
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(1, dlg.inits);
    EXPECT_EQ(1, dlg.oks);
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_EQ(nullptr, testing_support::FindThreadWindow("Plain"));
}

// The visible window titled title among thread tid's, or nullptr.
HWND FindShownWindow(DWORD tid, const char* title)
{
    struct Search {
        const char* title;
        HWND found;
    } search = {title, nullptr};
    EnumThreadWindows(
        tid, [](HWND hwnd, LPARAM lParam) -> BOOL {
            Search* s = reinterpret_cast<Search*>(lParam);
            char text[64] = "";
            GetWindowTextA(hwnd, text, sizeof text);
            if (!IsWindowVisible(hwnd) || std::strcmp(text, s->title) != 0) return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Automation presses buttons with a sent BM_CLICK from its own thread; nothing
// is posted to the dialog's queue then, and the run must still end.
TEST(ModalDialog, ButtonClickedFromAnotherThreadEndsTheRun)
{
    CCountingDlg dlg;
    dlg.endOnOk = true;
    const DWORD uiThread = GetCurrentThreadId();
    std::atomic<bool> returned{false}, clicked{false}, rescued{false};
    std::thread automation([&] {
        HWND hwnd = nullptr;
        for (int i = 0; i < 500 && !hwnd; ++i, Sleep(10)) hwnd = FindShownWindow(uiThread, "Plain");
        if (hwnd) {
            // Hidden, so that the pressed button's repaint is not a message
            // that wakes the loop in its place.
            SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
            Sleep(200);  // let the run go idle in its loop
            clicked = SendMessageTimeoutA(GetDlgItem(hwnd, IDOK), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, nullptr) != 0;
        }
        for (int i = 0; i < 500 && !returned; ++i) Sleep(10);
        if (returned || !hwnd) return;
        // The guard, so that a failure cannot hang the suite: a posted OK.
        rescued = true;
        PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    const INT_PTR result = dlg.DoModal();
    returned = true;
    automation.join();
    EXPECT_TRUE(clicked);
    EXPECT_FALSE(rescued) << "the run waited for a posted message after OK was clicked";
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(1, dlg.oks);
}

TEST(ModalDialog, ControlThatCannotBeCreatedEndsTheRunWithMinusOne)
{
    AfxEnableControlContainer();
    testing_support::ComScope com;
    CCountingDlg dlg(IDD_TEST_MISSING);
    EXPECT_EQ(-1, dlg.DoModal());
    EXPECT_EQ(0, dlg.inits);
}

TEST(ModalDialog, MissingTemplateEndsWithMinusOne)
{
    CCountingDlg dlg(4242);
    EXPECT_EQ(-1, dlg.DoModal());
}

TEST(DialogTemplate, ControlItemsAreTakenOutWithTheirData)
{
    fw::PreparedTemplate t;
    ASSERT_TRUE(fw::LoadDialogTemplate(GetModuleHandleA(nullptr), IDD_TEST_HOSTED, &t));
    ASSERT_EQ(1u, t.controls.size());
    const fw::OleControlItem& item = t.controls[0];
    EXPECT_EQ(UINT(IDC_TEST_CONTROL), item.nID);
    EXPECT_EQ(1, item.nIndex);
    EXPECT_EQ((RECT{4, 2, 124, 102}).right, item.rcDialogUnits.right);
    EXPECT_EQ(2, item.rcDialogUnits.top);
    EXPECT_EQ(std::vector<BYTE>(fakes::kDecoderPersistedStream,
                                fakes::kDecoderPersistedStream + DVR_PERSISTED_STREAM_SIZE),
              item.state);
    CLSID expected;
    CLSIDFromString(const_cast<LPOLESTR>(L"{8FCBB820-D2AD-4929-8B7D-3C3BC408E4FD}"), &expected);
    EXPECT_TRUE(IsEqualCLSID(expected, item.clsid));

    // What is left is a template the dialog manager takes, with the other two controls.
    HWND hwnd = CreateDialogIndirectParamA(
        GetModuleHandleA(nullptr),
        reinterpret_cast<LPCDLGTEMPLATEA>(t.bytes.data()), nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    ASSERT_TRUE(hwnd);
    EXPECT_TRUE(GetDlgItem(hwnd, IDC_TEST_EDIT));
    EXPECT_TRUE(GetDlgItem(hwnd, IDCANCEL));
    EXPECT_FALSE(GetDlgItem(hwnd, IDC_TEST_CONTROL));
    DestroyWindow(hwnd);
}

TEST(DialogTemplate, TruncatedTemplatesAreRefused)
{
    HRSRC res = FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_TEST_HOSTED), reinterpret_cast<LPCSTR>(RT_DIALOG));
    ASSERT_TRUE(res);
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, res)));
    const size_t size = SizeofResource(nullptr, res);
    fw::PreparedTemplate t;
    ASSERT_TRUE(fw::PrepareDialogTemplate(data, size, &t));
    // Every cut inside the items' declared data is noticed; none reads past the end.
    int tested = 0, refused = 0;
    for (size_t n = 0; n + 4 < size; ++n, ++tested) {
        std::vector<BYTE> cut(data, data + n);
        if (!fw::PrepareDialogTemplate(cut.data(), cut.size(), &t)) ++refused;
    }
    EXPECT_EQ(tested, refused);
}

}  // namespace
