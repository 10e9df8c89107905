// Makes the position slider's tooltip read its position (seconds from the
// file's start) as the minutes and seconds of the time of day there. The hook finds itself through one process-wide
// pointer, so at most one can be attached at a time.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>

class CSliderTipHook {
public:
    CSliderTipHook() = default;
    ~CSliderTipHook();
    CSliderTipHook(const CSliderTipHook&) = delete;
    CSliderTipHook& operator=(const CSliderTipHook&) = delete;

    // Hooks the slider window; 0 when a hook is attached already (this or
    // another) or the procedure could not be replaced.
    BOOL Attach(HWND hwnd);
    // Puts the slider's own procedure back; no-op when not attached.
    void Detach();
    // The time of day at position 0, in ms since midnight.
    void SetStartTime(int32_t nStartMs) { m_nStartMs = nStartMs; }
    // Answers TTN_NEEDTEXTA with "mm:ss"; non-zero when it supplied the text.
    BOOL OnToolTipNeedText(WPARAM wParam, NMHDR* pNMHDR);
    LRESULT CallPrevWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC m_pfnPrevWndProc = nullptr;
    HWND m_hWnd = nullptr;
    int32_t m_nStartMs = 0;

    static CSliderTipHook* s_pActiveTipHook;
};

LRESULT CALLBACK SliderTipWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
