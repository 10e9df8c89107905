// Message tables, the failure guard and the application's command line.
#include <gtest/gtest.h>
#include "framework/app.h"
#include "framework/exceptions.h"
#include "framework/wnd.h"
#include "tests/support/test_support.h"

using testing_support::MessageBoxRecorder;

namespace {

const UINT WM_PROBE = WM_USER + 10;
const UINT WM_THROW_DISPATCH = WM_USER + 11;
const UINT WM_THROW_STATUS = WM_USER + 12;
const UINT WM_OVERRIDDEN = WM_USER + 13;

class CProbeWnd : public CWnd {
public:
    std::vector<std::string> log;
    HRESULT status = E_FAIL;

    LRESULT OnProbe(WPARAM w, LPARAM l)
    {
        log.push_back("probe " + std::to_string(w) + " " + std::to_string(l));
        return 42;
    }
    LRESULT OnOverridden(WPARAM, LPARAM)
    {
        log.push_back("base");
        return 1;
    }
    LRESULT OnThrowDispatch(WPARAM, LPARAM) { throw COleDispatchException("The file is damaged.", 0, E_FAIL); }
    LRESULT OnThrowStatus(WPARAM, LPARAM) { throw COleException(status); }
    void OnFive() { log.push_back("clicked 5"); }
    void OnSize(UINT type, int cx, int cy)
    {
        log.push_back("size " + std::to_string(cx) + "x" + std::to_string(cy));
        Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeWnd, CWnd)
    ON_MESSAGE(WM_PROBE, OnProbe)
    ON_MESSAGE(WM_OVERRIDDEN, OnOverridden)
    ON_MESSAGE(WM_THROW_DISPATCH, OnThrowDispatch)
    ON_MESSAGE(WM_THROW_STATUS, OnThrowStatus)
    ON_BN_CLICKED(5, OnFive)
    ON_WM_SIZE()
END_MESSAGE_MAP()

class CDerivedProbeWnd : public CProbeWnd {
public:
    LRESULT OnDerived(WPARAM, LPARAM)
    {
        log.push_back("derived");
        return 2;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedProbeWnd, CProbeWnd)
    ON_MESSAGE(WM_OVERRIDDEN, OnDerived)
END_MESSAGE_MAP()

class MessageTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        hwnd = CreateWindowExA(0, "STATIC", "probe", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                               nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(hwnd);
        ASSERT_TRUE(wnd.SubclassWindow(hwnd));
    }
    void TearDown() override { DestroyWindow(hwnd); }
    HWND hwnd = nullptr;
    CDerivedProbeWnd wnd;
};

TEST_F(MessageTable, EntryRunsWithItsArgumentsAndResult)
{
    EXPECT_EQ(42, SendMessageA(hwnd, WM_PROBE, 7, 9));
    ASSERT_EQ(1u, wnd.log.size());
    EXPECT_EQ("probe 7 9", wnd.log[0]);
}

TEST_F(MessageTable, DerivedEntryWinsOverBaseAndBaseServesTheRest)
{
    EXPECT_EQ(2, SendMessageA(hwnd, WM_OVERRIDDEN, 0, 0));
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(5, BN_CLICKED), 0);
    EXPECT_EQ((std::vector<std::string>{"derived", "clicked 5"}), wnd.log);
}

TEST_F(MessageTable, CommandMatchesNotificationCodeAndId)
{
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(5, BN_DOUBLECLICKED), 0);
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(6, BN_CLICKED), 0);
    EXPECT_TRUE(wnd.log.empty());
}

TEST_F(MessageTable, MissGoesToTheWindowsOwnProcedure)
{
    SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("changed"));
    EXPECT_EQ("changed", testing_support::WindowText(hwnd));
}

TEST_F(MessageTable, HandlerCanRunDefaultProcessing)
{
    SetWindowPos(hwnd, nullptr, 0, 0, 300, 150, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_FALSE(wnd.log.empty());
    RECT rc;
    GetClientRect(hwnd, &rc);
    EXPECT_EQ("size " + std::to_string(rc.right) + "x" + std::to_string(rc.bottom), wnd.log.back());
}

TEST_F(MessageTable, UnsubclassGivesTheWindowBack)
{
    WNDPROC ours = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(&fw::FrameworkWndProc), ours);
    wnd.UnsubclassWindow();
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hwnd));
    EXPECT_EQ(0, SendMessageA(hwnd, WM_PROBE, 1, 2));
    EXPECT_TRUE(wnd.log.empty());
}

class FailureGuard : public MessageTable {
protected:
    void SetUp() override
    {
        MessageTable::SetUp();
        app.InitFromProcess(GetModuleHandleA(nullptr), "\"C:\\bin\\Probe App.exe\"");
    }
    CWinApp app{"Probe"};
    MessageBoxRecorder boxes;
};

TEST_F(FailureGuard, RaisedErrorShowsTheControlsDescription)
{
    EXPECT_EQ(0, SendMessageA(hwnd, WM_THROW_DISPATCH, 0, 0));
    ASSERT_EQ(1u, boxes.boxes.size());
    EXPECT_EQ("The file is damaged.", boxes.boxes[0].text);
    EXPECT_EQ("Probe", boxes.boxes[0].caption);
    EXPECT_EQ(UINT(MB_OK | MB_ICONSTOP), boxes.boxes[0].type);
}

TEST_F(FailureGuard, StatusFailureShowsItsOwnTextOrTheInternalError)
{
    wnd.status = E_OUTOFMEMORY;
    EXPECT_EQ(0, SendMessageA(hwnd, WM_THROW_STATUS, 0, 0));
    wnd.status = static_cast<HRESULT>(0x8004AB12);  // no system text
    EXPECT_EQ(0, SendMessageA(hwnd, WM_THROW_STATUS, 0, 0));
    ASSERT_EQ(2u, boxes.boxes.size());
    EXPECT_EQ(COleException(E_OUTOFMEMORY).GetErrorMessage(), boxes.boxes[0].text);
    EXPECT_NE("Internal application error.", boxes.boxes[0].text);
    EXPECT_EQ("Internal application error.", boxes.boxes[1].text);
    EXPECT_EQ(UINT(MB_OK | MB_ICONSTOP), boxes.boxes[1].type);
}

TEST(Application, NameComesFromTheExecutableAndTheTailIsKeptWhole)
{
    CWinApp app;
    app.InitFromProcess(GetModuleHandleA(nullptr), "\"C:\\Program Files\\x.exe\"   \"D:\\rec 1.d01\"  ");
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string expected = path;
    expected = expected.substr(expected.find_last_of("\\/") + 1);
    expected.resize(expected.rfind('.'));
    EXPECT_EQ(expected, app.m_pszAppName);
    EXPECT_STREQ("\"D:\\rec 1.d01\"  ", app.m_lpCmdLine);
}

TEST(Application, CommandLineTail)
{
    EXPECT_STREQ("", fw::CommandLineTail("prog.exe"));
    EXPECT_STREQ("a b", fw::CommandLineTail("prog.exe   a b"));
    EXPECT_STREQ("x", fw::CommandLineTail("\"C:\\a b\\prog.exe\"x"));
    EXPECT_STREQ("", fw::CommandLineTail("\"unterminated"));
    EXPECT_STREQ("", fw::CommandLineTail(nullptr));
}

}  // namespace
