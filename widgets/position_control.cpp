#include "widgets/position_control.h"
#include <commctrl.h>
#include "domain/hour.h"

const CLSID CLSID_SliderControl = {0xF08DF954, 0x8592, 0x11D1, {0xB1, 0x6A, 0x00, 0xC0, 0xF0, 0x28, 0x36, 0x28}};
const IID IID_ISliderControl = {0xF08DF952, 0x8592, 0x11D1, {0xB1, 0x6A, 0x00, 0xC0, 0xF0, 0x28, 0x36, 0x28}};

namespace {

constexpr int kPageSeconds = 60;

}  // namespace

void CPositionControl::Create(CWnd* pParent, UINT nSliderID, HWND hwndScrollBar)
{
    if (CreateSlider(pParent, nSliderID)) {
        m_bSliderCtrl = TRUE;
        ::ShowWindow(hwndScrollBar, SW_HIDE);
        m_hwndArea = m_wndSlider.m_hWnd;
        m_hwndPosition = SliderWindow();
        m_pSlider->SetRangeMin(0);
        m_pSlider->SetRangeMax(domain::kHourSeconds);
        m_pSlider->SetSetting12(1);
        m_pSlider->SetPageStep(kPageSeconds);
        // The control's own settings, as the player has always made them.
        m_pSlider->SetSetting26(3);
        m_pSlider->SetSetting18(0);
        m_pSlider->SetSetting53(1);
        m_tipHook.Attach(SliderWindow());
        return;
    }
    m_bSliderCtrl = FALSE;
    m_hwndArea = m_hwndPosition = hwndScrollBar;
    ::SendMessageA(hwndScrollBar, SBM_SETRANGE, 0, domain::kHourSeconds);
    SCROLLINFO page = {};
    page.cbSize = sizeof page;
    page.fMask = SIF_PAGE;
    page.nPage = kPageSeconds;
    ::SendMessageA(hwndScrollBar, SBM_SETSCROLLINFO, FALSE, reinterpret_cast<LPARAM>(&page));
}

// The slider, with the interface it is driven by. A slider without that
// interface is of no use: it goes again.
BOOL CPositionControl::CreateSlider(CWnd* pParent, UINT nSliderID)
{
    // Where it starts does not matter: Place puts it where it belongs.
    const RECT rc = {10, 10, 100, 30};
    if (!m_wndSlider.CreateControl(CLSID_SliderControl, nullptr, WS_VISIBLE, rc, pParent, nSliderID))
        return FALSE;
    if (SUCCEEDED(m_wndSlider.GetControlUnknown()->QueryInterface(IID_ISliderControl, &m_pSlider)))
        return TRUE;
    m_pSlider.Reset();
    m_wndSlider.DestroyControl();
    return FALSE;
}

HWND CPositionControl::SliderWindow() const
{
    OLE_HANDLE handle = 0;
    if (!m_pSlider || FAILED(m_pSlider->GetHwnd(&handle))) return nullptr;
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle));
}

void CPositionControl::Destroy()
{
    if (m_bSliderCtrl) m_tipHook.Detach();
    m_pSlider.Reset();
}

// Below the graph across the panel's width; the scroll bar keeps a wider
// margin, so it lies 2 pixels further in and is 6 narrower than the slider.
void CPositionControl::Place(int nPanelRight)
{
    const int x = m_bSliderCtrl ? 7 : 9;
    const int nShort = m_bSliderCtrl ? 21 : 27;
    ::MoveWindow(m_hwndArea, x, 40, nPanelRight - nShort, 17, TRUE);
}

void CPositionControl::SetPosition(int nSeconds)
{
    if (m_bSliderCtrl)
        ::SendMessageA(m_hwndPosition, TBM_SETPOS, TRUE, nSeconds);
    else
        ::SendMessageA(m_hwndPosition, SBM_SETPOS, static_cast<WPARAM>(nSeconds), TRUE);
}

int CPositionControl::GetPosition() const
{
    const UINT message = m_bSliderCtrl ? TBM_GETPOS : SBM_GETPOS;
    return static_cast<int>(::SendMessageA(m_hwndPosition, message, 0, 0));
}
