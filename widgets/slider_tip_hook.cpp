#include "widgets/slider_tip_hook.h"
#include "domain/time_of_day.h"

CSliderTipHook* CSliderTipHook::s_pActiveTipHook = nullptr;

CSliderTipHook::~CSliderTipHook()
{
    if (m_hWnd && m_pfnPrevWndProc) Detach();
}

BOOL CSliderTipHook::Attach(HWND hwnd)
{
    if (s_pActiveTipHook) return FALSE;
    m_hWnd = hwnd;
    s_pActiveTipHook = this;
    m_pfnPrevWndProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SliderTipWndProc)));
    if (!m_pfnPrevWndProc) {
        // Not hooked after all: leave the slot free for a later attempt.
        m_hWnd = nullptr;
        s_pActiveTipHook = nullptr;
        return FALSE;
    }
    return TRUE;
}

void CSliderTipHook::Detach()
{
    if (!m_hWnd || !m_pfnPrevWndProc) return;
    SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnPrevWndProc));
    m_pfnPrevWndProc = nullptr;
    m_hWnd = nullptr;
    s_pActiveTipHook = nullptr;
}

BOOL CSliderTipHook::OnToolTipNeedText(WPARAM, NMHDR* pNMHDR)
{
    if (pNMHDR->code != TTN_NEEDTEXTA) return FALSE;
    const int secs = static_cast<int>(SendMessageA(m_hWnd, TBM_GETPOS, 0, 0));
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
    // The time of day the thumb stands for; on a file that starts on the hour
    // that is the position itself, the minutes wrapping at the top (3600 reads 00:00).
    const int64_t seconds = (int64_t{m_nStartMs} + int64_t{secs} * domain::kSecondMs) / domain::kSecondMs;
    domain::FormatMinutesSeconds(seconds, info->szText, sizeof info->szText);
    info->lpszText = info->szText;
    return TRUE;
}

LRESULT CSliderTipHook::CallPrevWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_pfnPrevWndProc) return 0;
    return CallWindowProcA(m_pfnPrevWndProc, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK SliderTipWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CSliderTipHook* hook = CSliderTipHook::s_pActiveTipHook;
    if (!hook) return 0;
    // A notification without a header is not a tooltip's; let the slider have it.
    if (message == WM_NOTIFY && lParam && hook->OnToolTipNeedText(wParam, reinterpret_cast<NMHDR*>(lParam)))
        return 0;
    return hook->CallPrevWndProc(hwnd, message, wParam, lParam);
}
