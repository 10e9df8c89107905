#include "widgets/subclass_wnd.h"

// The object is kept in a window property as well as in the user data: while the
// control's own procedure runs, the user data is the control's, and a message the
// control sends itself then (the edit's WM_SETFOCUS on a click, its WM_PASTE from
// the context menu) must still reach it.
static const char kObjectProp[] = "vorplex.subclass";

CSubclassWnd::~CSubclassWnd()
{
    if (m_hWnd && m_pfnPrevWndProc) Detach();
}

BOOL CSubclassWnd::Attach(HWND hwnd)
{
    m_hWnd = hwnd;
    SetPropA(hwnd, kObjectProp, this);
    m_lPrevUserData = SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_pfnPrevWndProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassWndProc)));
    if (!m_pfnPrevWndProc) {
        // The window is not ours to subclass (another process's, or gone): leave
        // it as it was rather than with a pointer nobody answers for.
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, m_lPrevUserData);
        RemovePropA(hwnd, kObjectProp);
        m_hWnd = nullptr;
        return FALSE;
    }
    return TRUE;
}

void CSubclassWnd::Detach()
{
    if (!m_hWnd || !m_pfnPrevWndProc) return;
    SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnPrevWndProc));
    SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, m_lPrevUserData);
    RemovePropA(m_hWnd, kObjectProp);
    m_pfnPrevWndProc = nullptr;
    m_hWnd = nullptr;
}

LRESULT CSubclassWnd::CallPrevWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_pfnPrevWndProc) return 0;
    // The control's own procedure may read its user data; let it find its own.
    SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, m_lPrevUserData);
    LRESULT result = CallWindowProcA(m_pfnPrevWndProc, hwnd, message, wParam, lParam);
    // Detached meanwhile (from inside that procedure): the slot is the window's again.
    if (m_pfnPrevWndProc) SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return result;
}

LRESULT CSubclassWnd::OnPaint() { return 0; }
LRESULT CSubclassWnd::OnEraseBkgnd(WPARAM) { return 0; }
LRESULT CSubclassWnd::OnNotify(WPARAM, LPARAM) { return 0; }
LRESULT CSubclassWnd::OnChar(WPARAM, LPARAM) { return 0; }
LRESULT CSubclassWnd::OnKeyUp(WPARAM, LPARAM) { return 0; }

LRESULT CALLBACK SubclassWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = static_cast<CSubclassWnd*>(GetPropA(hwnd, kObjectProp));
    if (!self) return 0;
    // Sent back to the window while its own procedure runs: the user data is the
    // control's now, and the message goes straight on to that procedure.
    if (GetWindowLongPtrA(hwnd, GWLP_USERDATA) != reinterpret_cast<LONG_PTR>(self))
        return self->m_pfnPrevWndProc ? CallWindowProcA(self->m_pfnPrevWndProc, hwnd, message, wParam, lParam) : 0;
    LRESULT handled = 0;
    switch (message) {
    case WM_PAINT: handled = self->OnPaint(); break;
    case WM_ERASEBKGND: handled = self->OnEraseBkgnd(wParam); break;
    case WM_NOTIFY: handled = self->OnNotify(wParam, lParam); break;
    case WM_CHAR: handled = self->OnChar(wParam, lParam); break;
    case WM_KEYUP: handled = self->OnKeyUp(wParam, lParam); break;
    }
    if (handled) return handled;
    return self->CallPrevWndProc(hwnd, message, wParam, lParam);
}
