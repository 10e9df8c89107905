#include "widgets/subclass_wnd.h"

CSubclassWnd::~CSubclassWnd() {
    if (m_hWnd && m_pfnPrevWndProc) Detach();
}

BOOL CSubclassWnd::Attach(HWND hwnd) {
    m_hWnd = hwnd;
    m_lPrevUserData = SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_pfnPrevWndProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassWndProc)));
    if (!m_pfnPrevWndProc) {
        // The window is not ours to subclass (another process's, or gone): leave
        // it as it was rather than with a pointer nobody answers for.
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, m_lPrevUserData);
        m_hWnd = nullptr;
        return FALSE;
    }
    return TRUE;
}

void CSubclassWnd::Detach() {
    if (!m_hWnd || !m_pfnPrevWndProc) return;
    SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnPrevWndProc));
    SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, m_lPrevUserData);
    m_pfnPrevWndProc = nullptr;
    m_hWnd = nullptr;
}

LRESULT CSubclassWnd::CallPrevWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
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

LRESULT CALLBACK SubclassWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CSubclassWnd*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    // Null while the previous procedure runs (the control's own user data is 0):
    // a message sent back to the window then is neither handled nor passed on.
    if (!self) return 0;
    LRESULT handled = 0;
    switch (message) {
    case WM_PAINT:      handled = self->OnPaint(); break;
    case WM_ERASEBKGND: handled = self->OnEraseBkgnd(wParam); break;
    case WM_NOTIFY:     handled = self->OnNotify(wParam, lParam); break;
    case WM_CHAR:       handled = self->OnChar(wParam, lParam); break;
    case WM_KEYUP:      handled = self->OnKeyUp(wParam, lParam); break;
    }
    if (handled) return handled;
    return self->CallPrevWndProc(hwnd, message, wParam, lParam);
}
