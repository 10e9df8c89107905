// The time-entry edit on real edit controls: what typing leaves in the field,
// and the Enter notification, in a plain window and in a dialog.
#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <string>
#include <vector>
#include "framework/dialog.h"
#include "tests/support/test_support.h"
#include "tests/widgets/message_recorder.h"
#include "tests/widgets/test_dialogs.h"
#include "widgets/digit_edit.h"

using testing_support::PumpMessages;
using testing_support::WindowText;
using widgets_test::MessageRecorder;

namespace {

struct Notification {
    WPARAM wParam;
    NMHDR hdr;
};

// Keeps every WM_NOTIFY a window receives.
class NotifySink {
public:
    void Take(WPARAM wParam, LPARAM lParam) { seen.push_back({wParam, *reinterpret_cast<NMHDR*>(lParam)}); }
    std::vector<Notification> seen;
};

NotifySink* g_plainSink = nullptr;

LRESULT CALLBACK PlainParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && g_plainSink) {
        g_plainSink->Take(wParam, lParam);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void PostChars(HWND hwnd, const std::string& chars)
{
    for (unsigned char c : chars) PostMessageA(hwnd, WM_CHAR, c, 1);
    PumpMessages();
}

// A press and release of Return as the keyboard delivers them; the press is
// turned into the carriage-return character by TranslateMessage, unless the
// dialog manager takes it first.
void PressReturn(HWND hwnd)
{
    PostMessageA(hwnd, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageA(hwnd, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001));
    PumpMessages();
}

// An edit of the panel's kind (id 230, 2 characters) in an ordinary window.
class DigitEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static ATOM atom = [] {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = PlainParentProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "VorplexTestEditParent";
            return RegisterClassA(&wc);
        }();
        parent = CreateWindowExA(0, MAKEINTATOM(atom), "", WS_OVERLAPPED, 0, 0, 200, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        hwnd = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_WANTRETURN, 5, 5, 40, 20,
                               parent, reinterpret_cast<HMENU>(230), GetModuleHandleA(nullptr), nullptr);
        SendMessageA(hwnd, EM_LIMITTEXT, 2, 0);
        rec = std::make_unique<MessageRecorder>(hwnd);  // under the object: sees what it lets through
        ASSERT_TRUE(edit.Attach(hwnd));
        g_plainSink = &sink;
    }
    void TearDown() override
    {
        g_plainSink = nullptr;
        edit.Detach();
        rec.reset();
        DestroyWindow(parent);
    }
    std::string Text() { return WindowText(hwnd); }
    void Reset() { SetWindowTextA(hwnd, ""); }

    HWND parent = nullptr, hwnd = nullptr;
    std::unique_ptr<MessageRecorder> rec;
    CDigitEdit edit;
    NotifySink sink;
};

TEST_F(DigitEditTest, DigitsGoInUpToTheLimit)
{
    PostChars(hwnd, "123");
    EXPECT_EQ("12", Text());
}

TEST_F(DigitEditTest, OtherCharactersAreSwallowed)
{
    // Letters, signs, space, Tab, Escape, Ctrl+A, characters above 127.
    for (char c : std::string("aZ- ,+:\t\x1b\x01\xe9")) {
        SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(c)));
        PostChars(hwnd, std::string(1, c));
        EXPECT_EQ("", Text());
    }
    EXPECT_EQ(0, rec->Count(WM_CHAR)) << "the edit never sees them";
    PostChars(hwnd, "9");
    EXPECT_EQ("9", Text()) << "the edit still takes digits";
    EXPECT_TRUE(sink.seen.empty());
}

TEST_F(DigitEditTest, DotPercentAndApostropheAreAccepted)
{
    for (const char* c : {".", "%", "'"}) {
        Reset();
        PostChars(hwnd, c);
        EXPECT_EQ(c, Text());
    }
    Reset();
    PostChars(hwnd, "4.");
    EXPECT_EQ("4.", Text());
}

TEST_F(DigitEditTest, EditingKeysKeepTheirEffect)
{
    PostChars(hwnd, "12\b");
    EXPECT_EQ("1", Text());
    PostChars(hwnd, "5");
    SendMessageA(hwnd, EM_SETSEL, 0, 0);
    PostMessageA(hwnd, WM_KEYDOWN, VK_DELETE, 0x01530001);
    PostMessageA(hwnd, WM_KEYUP, VK_DELETE, static_cast<LPARAM>(0xC1530001));
    PumpMessages();
    EXPECT_EQ("5", Text());
}

TEST_F(DigitEditTest, ClipboardShortcutsAreSwallowedButPasteStillWorks)
{
    ASSERT_TRUE(OpenClipboard(parent));
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 2);
    memcpy(GlobalLock(mem), "7", 2);
    GlobalUnlock(mem);
    SetClipboardData(CF_TEXT, mem);
    CloseClipboard();

    PostChars(hwnd, "\x16");  // Ctrl+V
    EXPECT_EQ("", Text());
    SendMessageA(hwnd, WM_PASTE, 0, 0);  // from outside the edit's own procedure
    EXPECT_EQ("7", Text());

    SendMessageA(hwnd, EM_SETSEL, 0, -1);
    PostChars(hwnd, "\x18\x03");  // Ctrl+X, Ctrl+C
    EXPECT_EQ("7", Text());
    EXPECT_EQ(0, rec->Count(WM_CHAR)) << "the edit never sees the shortcuts";
}

TEST_F(DigitEditTest, ReturnOutsideADialogNotifiesFromCharacterAndRelease)
{
    PressReturn(hwnd);
    ASSERT_EQ(2u, sink.seen.size());
    for (const Notification& n : sink.seen) {
        EXPECT_EQ(230u, n.wParam);
        EXPECT_EQ(hwnd, n.hdr.hwndFrom);
        EXPECT_EQ(230u, n.hdr.idFrom);
        EXPECT_EQ(78u, n.hdr.code);
    }
    EXPECT_EQ(1, rec->Count(WM_CHAR)) << "the carriage return goes on to the edit";
    EXPECT_EQ(0, rec->Count(WM_KEYUP)) << "the release of Return is swallowed";

    // Other releases go on and notify nobody.
    PostMessageA(hwnd, WM_KEYUP, 'M', static_cast<LPARAM>(0xC0320001));
    PumpMessages();
    EXPECT_EQ(1, rec->Count(WM_KEYUP));
    EXPECT_EQ(2u, sink.seen.size());
}

TEST(DigitEditWithoutParent, SendsNothingAndLetsReturnThrough)
{
    HWND hwnd = CreateWindowExA(0, "EDIT", "", WS_OVERLAPPED, 0, 0, 60, 30, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_EQ(nullptr, GetParent(hwnd));
    {
        MessageRecorder rec(hwnd);
        CDigitEdit edit;
        ASSERT_TRUE(edit.Attach(hwnd));
        PressReturn(hwnd);
        ASSERT_EQ(1, rec.Count(WM_CHAR));
        EXPECT_EQ(WPARAM('\r'), rec.Of(WM_CHAR)[0].wParam);
        ASSERT_EQ(1, rec.Count(WM_KEYUP));
        EXPECT_EQ(WPARAM(VK_RETURN), rec.Of(WM_KEYUP)[0].wParam);
        EXPECT_EQ(0, rec.Count(WM_NOTIFY));
        EXPECT_EQ(0, edit.OnKeyUp(VK_RETURN, 0));
    }
    DestroyWindow(hwnd);
}

// The panel's situation: a framework dialog whose keyboard messages go through
// the dialog manager, which takes the press of Return for the default command.
class CTimeEntryDlg : public CDialog {
public:
    CTimeEntryDlg() : CDialog(IDD_TEST_TIME_ENTRY) {}
    NotifySink sink;
    int oks = 0;
    void OnOK() override { ++oks; }  // the panel ignores it

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        sink.Take(wParam, lParam);
        *pResult = 0;
        return TRUE;
    }
};

TEST(DigitEditInDialog, OneNotificationPerEnterWithTheEditsId)
{
    CTimeEntryDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST_TIME_ENTRY, nullptr));
    HWND minutes = dlg.GetDlgItem(IDC_TEST_MINUTES), seconds = dlg.GetDlgItem(IDC_TEST_SECONDS);
    SendMessageA(minutes, EM_LIMITTEXT, 2, 0);
    SendMessageA(seconds, EM_LIMITTEXT, 2, 0);
    CDigitEdit editMinutes, editSeconds;
    ASSERT_TRUE(editMinutes.Attach(minutes));
    ASSERT_TRUE(editSeconds.Attach(seconds));
    dlg.ShowWindow(SW_SHOW);
    PumpMessages();

    PressReturn(minutes);
    ASSERT_EQ(1u, dlg.sink.seen.size());
    EXPECT_EQ(1, dlg.oks) << "the dialog manager took the press";
    PressReturn(seconds);
    PressReturn(seconds);
    ASSERT_EQ(3u, dlg.sink.seen.size());

    const HWND from[] = {minutes, seconds, seconds};
    for (int i = 0; i < 3; ++i) {
        const Notification& n = dlg.sink.seen[i];
        const UINT id = i == 0 ? 230 : 231;
        EXPECT_EQ(id, n.wParam);
        EXPECT_EQ(id, n.hdr.idFrom);
        EXPECT_EQ(from[i], n.hdr.hwndFrom);
        EXPECT_EQ(78u, n.hdr.code);
    }

    // Ctrl+M: a carriage-return character whose release is that of M.
    PostMessageA(minutes, WM_CHAR, '\r', 0x00320001);
    PostMessageA(minutes, WM_KEYUP, 'M', static_cast<LPARAM>(0xC0320001));
    PumpMessages();
    ASSERT_EQ(4u, dlg.sink.seen.size());
    EXPECT_EQ(230u, dlg.sink.seen[3].wParam);

    editMinutes.Detach();
    editSeconds.Detach();
    dlg.DestroyWindow();
}

}  // namespace

namespace {

// A click makes the edit take the focus from inside its own procedure; the
// WM_SETFOCUS that sends itself then must still reach it, or no caret shows.
TEST_F(DigitEditTest, ClickIntoTheEditGivesItTheFocusAndTheCaret)
{
    ShowWindow(parent, SW_SHOW);
    SetFocus(parent);
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(hwnd, GetFocus());
    GUITHREADINFO info = {sizeof info};
    ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &info));
    EXPECT_EQ(hwnd, info.hwndCaret);
    EXPECT_EQ(1, rec->Count(WM_SETFOCUS));
}

}  // namespace
