#include "widgets/digit_edit.h"

bool CDigitEdit::NotifyEnter()
{
    HWND parent = GetParent(m_hWnd);
    if (!parent) return false;
    const UINT id = static_cast<UINT>(GetWindowLongA(m_hWnd, GWL_ID));
    NMHDR hdr;
    hdr.hwndFrom = m_hWnd;
    hdr.idFrom = id;
    hdr.code = TEN_ENTER;
    // Sent, not posted: the header lives on this stack.
    SendMessageA(parent, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&hdr));
    return true;
}

LRESULT CDigitEdit::OnChar(WPARAM wParam, LPARAM)
{
    switch (wParam) {
    case '\r':
        // Ctrl+M, or Return outside a dialog; the edit still gets the character.
        NotifyEnter();
        return 0;
    case '\b':
    case '%':
    case '\'':
    case '.':
        return 0;
    default:
        // Everything else, clipboard and selection shortcuts included, is swallowed.
        return (wParam >= '0' && wParam <= '9') ? 0 : 1;
    }
}

LRESULT CDigitEdit::OnKeyUp(WPARAM wParam, LPARAM)
{
    // In a dialog the press of Return never reaches the edit; its release does.
    if (wParam != VK_RETURN) return 0;
    return NotifyEnter() ? 1 : 0;
}
