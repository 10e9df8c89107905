// CPanelDlg: the keyboard. A message hook on the panel's thread sees each key
// before the dialogs' own handling (IsDialogMessage would take arrows, Space
// and letters for the focused control), so the keys work while the video
// window or the panel is active, whatever has the focus. The time-entry edits
// and a dropped-down list keep their keys; so do Escape, Enter, Tab and Alt+F4,
// which are in no row of the table. The same hook sends a wheel turned over the
// picture to the video window, for its zoom: the wheel goes to the focus, and a
// focused scroll bar of the panel would otherwise take it as a seek.
#include "panel/panel_dlg.h"
#include <commctrl.h>
#include <windowsx.h>
#include <string>
#include "host/review_messages.h"
#include "panel/key_table.h"
#include "res/resource.h"

namespace {

CPanelDlg* g_pKeyPanel = nullptr;  // the one panel of the thread, while its window exists
HHOOK g_hKeyHook = nullptr;
HWND g_hwndNote = nullptr;  // the note's tooltip, owned by the panel
const UINT kNoteMs = 2500;

bool IsClass(HWND hwnd, const char* pszClass)
{
    char name[32] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return !_stricmp(name, pszClass);
}

// A list that is dropped down: the combo box, or the edit inside one.
bool IsDroppedList(HWND hwnd)
{
    for (HWND each : {hwnd, GetParent(hwnd)})
        if (each && IsClass(each, "ComboBox") && SendMessageA(each, CB_GETDROPPEDSTATE, 0, 0)) return true;
    return false;
}

// Actions that run a dialog of their own wait for the hook to return: a modal
// loop is not started from inside it.
void CALLBACK ShowCardLater(HWND, UINT, UINT_PTR nId, DWORD)
{
    KillTimer(nullptr, nId);
    if (g_pKeyPanel) g_pKeyPanel->ShowKeyCard();
}

// A menu open on this thread (the picture's, or a window's system menu) reads
// the keys it is sent: arrows and Enter choose its items.
bool IsMenuOpen()
{
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    if (GetGUIThreadInfo(GetCurrentThreadId(), &gui) &&
        (gui.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE)))
        return true;
    HWND menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu) && GetWindowThreadProcessId(menu, nullptr) == GetCurrentThreadId();
}

void CALLBACK HideNote(HWND, UINT, UINT_PTR nId, DWORD)
{
    KillTimer(nullptr, nId);
    if (g_hwndNote) SendMessageA(g_hwndNote, TTM_TRACKACTIVATE, FALSE, 0);
}

LRESULT CALLBACK KeyHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    MSG* pMsg = reinterpret_cast<MSG*>(lParam);
    if (nCode == HC_ACTION && wParam == PM_REMOVE && g_pKeyPanel) {
        if (g_pKeyPanel->TakeKey(*pMsg))
            pMsg->message = WM_NULL;
        else
            g_pKeyPanel->AimWheel(*pMsg);
    }
    return CallNextHookEx(g_hKeyHook, nCode, wParam, lParam);
}

}  // namespace

void CPanelDlg::InstallKeys()
{
    g_pKeyPanel = this;
    if (!g_hKeyHook) g_hKeyHook = SetWindowsHookExA(WH_GETMESSAGE, KeyHook, nullptr, GetCurrentThreadId());
}

void CPanelDlg::RemoveKeys()
{
    if (g_pKeyPanel != this) return;
    g_pKeyPanel = nullptr;
    if (g_hKeyHook) UnhookWindowsHookEx(g_hKeyHook);
    g_hKeyHook = nullptr;
    if (g_hwndNote && ::IsWindow(g_hwndNote)) ::DestroyWindow(g_hwndNote);
    g_hwndNote = nullptr;
}

void CPanelDlg::AimWheel(MSG& msg) const
{
    if (msg.message != WM_MOUSEWHEEL || (msg.hwnd != m_hWnd && !IsChild(m_hWnd, msg.hwnd))) return;
    HWND video = VideoWindow();
    const POINT pt = {GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};  // on the screen
    HWND under = WindowFromPoint(pt);
    if (video && under && (under == video || IsChild(video, under))) msg.hwnd = video;
}

// True when the message is one of the player's keys, now acted on.
bool CPanelDlg::TakeKey(const MSG& msg)
{
    if (msg.message != WM_KEYDOWN && msg.message != WM_CHAR) return false;
    HWND video = VideoWindow();
    const bool bOurs = msg.hwnd == m_hWnd || IsChild(m_hWnd, msg.hwnd) ||
                       (video && (msg.hwnd == video || IsChild(video, msg.hwnd)));
    if (!bOurs || !IsWindowEnabled(m_hWnd)) return false;
    const int id = GetDlgCtrlID(msg.hwnd);
    if ((id == IDC_MINUTES || id == IDC_SECONDS) && IsChild(m_hWnd, msg.hwnd)) return false;
    if (IsDroppedList(msg.hwnd) || IsMenuOpen()) return false;
    const bool bCtrl = GetKeyState(VK_CONTROL) < 0;
    const KeyBinding* pKey = msg.message == WM_KEYDOWN ? FindKeyDown(static_cast<UINT>(msg.wParam), bCtrl)
                                                       : (bCtrl ? nullptr : FindKeyChar(static_cast<char>(msg.wParam)));
    if (!pKey) return false;
    RunKey(pKey->action);
    return true;
}

void CPanelDlg::RunKey(KeyAction action)
{
    switch (action) {
    case KeyAction::PlayPause:
        if (m_nPlayState == PLAY_PLAYING && m_nControlSet == CTRL_PLAYING) OnPause();
        else OnPlayForward();
        break;
    case KeyAction::StepForward:
        if (CanMove()) OnStep();
        break;
    case KeyAction::StepBack: OnStepBack(); break;
    case KeyAction::Back5s: SeekBy(-5000); break;
    case KeyAction::Forward5s: SeekBy(5000); break;
    case KeyAction::Back60s: SeekBy(-60000); break;
    case KeyAction::Forward60s: SeekBy(60000); break;
    case KeyAction::Home:
        if (CanMove()) SeekTo(0);
        break;
    case KeyAction::End: SeekToEnd(); break;
    default: RunPlayKey(action); break;
    }
}

void CPanelDlg::RunPlayKey(KeyAction action)
{
    const bool bPlaying = m_nPlayState == PLAY_PLAYING && m_nControlSet == CTRL_PLAYING;
    switch (action) {
    case KeyAction::Backward:
        if (bPlaying && m_bBackward) MoveSpeed(-1);
        else OnPlayBackward();
        break;
    case KeyAction::Pause:
        if (m_nPlayState == PLAY_PLAYING) OnPause();
        break;
    case KeyAction::Forward:
        if (bPlaying && !m_bBackward) MoveSpeed(-1);
        else OnPlayForward();
        break;
    case KeyAction::Slower: MoveSpeed(1); break;
    case KeyAction::Faster: MoveSpeed(-1); break;
    case KeyAction::NextEvent: HopEvent(1); break;
    case KeyAction::PreviousEvent: HopEvent(-1); break;
    case KeyAction::NextRecording: OpenAdjacentRecording(1); break;
    case KeyAction::PreviousRecording: OpenAdjacentRecording(-1); break;
    case KeyAction::TimeEntry: OnLButtonUp(0, POINT{m_rcTimeClick.left + 1, m_rcTimeClick.top + 1}); break;
    case KeyAction::Open:
        if (IsWindowEnabled(GetDlgItem(IDC_OPEN))) PostClick(IDC_OPEN);
        break;
    case KeyAction::KeyCard: ::SetTimer(nullptr, 0, 0, ShowCardLater); break;
    case KeyAction::MarkStart: SendReview(RCMD_MARK_START); break;
    case KeyAction::MarkEnd: SendReview(RCMD_MARK_END); break;
    case KeyAction::ExportClip:
        // Posted: its save dialog runs a loop of its own, which must not start inside the hook.
        if (HWND video = VideoWindow()) ::PostMessageA(video, WM_REVIEW_COMMAND, RCMD_EXPORT_CLIP, 0);
        break;
    default: break;
    }
}

// Play, as the button does it, with the direction forward again.
void CPanelDlg::OnPlayForward()
{
    if (m_nPlayState != PLAY_IDLE) OnPlay();
}

void CPanelDlg::ShowKeyCard()
{
    std::string card;
    for (size_t i = 0; i < kKeyCount; ++i)
        card += std::string(kKeyTable[i].pszKey) + "\t" + kKeyTable[i].pszWhat + "\n";
    MessageBoxA(m_hWnd, card.c_str(), "Keyboard", MB_OK | MB_ICONINFORMATION);
}

// A short note under the time text, gone after a few seconds. The tooltip's
// window text says it too, for whoever reads windows from outside.
void CPanelDlg::ShowNote(const char* pszText)
{
    if (!g_hwndNote) {
        g_hwndNote = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX, 0, 0, 0, 0,
                                     m_hWnd, nullptr, nullptr, nullptr);
        if (!g_hwndNote) return;
        TOOLINFOA tool = {};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
        tool.hwnd = m_hWnd;
        SendMessageA(g_hwndNote, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    TOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_hWnd;
    tool.lpszText = const_cast<char*>(pszText);
    SendMessageA(g_hwndNote, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    ::SetWindowTextA(g_hwndNote, pszText);
    POINT pt = {m_rcTime.left, m_rcTime.bottom + 2};
    ClientToScreen(m_hWnd, &pt);
    SendMessageA(g_hwndNote, TTM_TRACKPOSITION, 0, MAKELPARAM(pt.x, pt.y));
    SendMessageA(g_hwndNote, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    ::SetTimer(nullptr, 0, kNoteMs, HideNote);
}
