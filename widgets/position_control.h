// The panel's position control: the common-controls slider when it can be made,
// the panel's own scroll bar in its place otherwise. Either spans the 3600
// seconds of one hour from the file's start, with a page of one minute. The control owns that choice,
// the slider's interface, and the hook that makes the slider's tooltip read
// minutes and seconds; the panel sees one control with named operations.
#pragma once
#include <windows.h>
#include <olectl.h>
#include <wrl/client.h>
#include "framework/olecontrol.h"
#include "widgets/slider_tip_hook.h"

// The slider's own interface, as far as the panel uses it. It is not a dual
// interface: its methods are reached by their places in its table, counted from
// 0 over the three of IUnknown and the four of IDispatch. The comment on each
// method gives its place; the unnamed ones only hold the places between.
struct ISliderControl : public IDispatch {
    virtual void STDMETHODCALLTYPE Unused7() = 0;
    virtual void STDMETHODCALLTYPE Unused8() = 0;
    virtual void STDMETHODCALLTYPE Unused9() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetPageStep(long value) = 0;  // 10
    virtual void STDMETHODCALLTYPE Unused11() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSetting12(long value) = 0;  // 12
    virtual void STDMETHODCALLTYPE Unused13() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetRangeMax(long value) = 0;  // 14
    virtual void STDMETHODCALLTYPE Unused15() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetRangeMin(long value) = 0;  // 16
    virtual void STDMETHODCALLTYPE Unused17() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSetting18(long value) = 0;  // 18
    virtual void STDMETHODCALLTYPE Unused19() = 0;
    virtual void STDMETHODCALLTYPE Unused20() = 0;
    virtual void STDMETHODCALLTYPE Unused21() = 0;
    virtual void STDMETHODCALLTYPE Unused22() = 0;
    virtual void STDMETHODCALLTYPE Unused23() = 0;
    virtual void STDMETHODCALLTYPE Unused24() = 0;
    virtual void STDMETHODCALLTYPE Unused25() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSetting26(long value) = 0;  // 26
    virtual void STDMETHODCALLTYPE Unused27() = 0;
    virtual void STDMETHODCALLTYPE Unused28() = 0;
    virtual void STDMETHODCALLTYPE Unused29() = 0;
    virtual void STDMETHODCALLTYPE Unused30() = 0;
    virtual void STDMETHODCALLTYPE Unused31() = 0;
    virtual void STDMETHODCALLTYPE Unused32() = 0;
    virtual void STDMETHODCALLTYPE Unused33() = 0;
    virtual void STDMETHODCALLTYPE Unused34() = 0;
    virtual void STDMETHODCALLTYPE Unused35() = 0;
    virtual void STDMETHODCALLTYPE Unused36() = 0;
    virtual void STDMETHODCALLTYPE Unused37() = 0;
    // The window that answers the trackbar messages, as a 32-bit OLE_HANDLE
    // (window handles fit in 32 bits, also on 64-bit Windows).
    virtual HRESULT STDMETHODCALLTYPE GetHwnd(OLE_HANDLE* phWnd) = 0;  // 38
    virtual void STDMETHODCALLTYPE Unused39() = 0;
    virtual void STDMETHODCALLTYPE Unused40() = 0;
    virtual void STDMETHODCALLTYPE Unused41() = 0;
    virtual void STDMETHODCALLTYPE Unused42() = 0;
    virtual void STDMETHODCALLTYPE Unused43() = 0;
    virtual void STDMETHODCALLTYPE Unused44() = 0;
    virtual void STDMETHODCALLTYPE Unused45() = 0;
    virtual void STDMETHODCALLTYPE Unused46() = 0;
    virtual void STDMETHODCALLTYPE Unused47() = 0;
    virtual void STDMETHODCALLTYPE Unused48() = 0;
    virtual void STDMETHODCALLTYPE Unused49() = 0;
    virtual void STDMETHODCALLTYPE Unused50() = 0;
    virtual void STDMETHODCALLTYPE Unused51() = 0;
    virtual void STDMETHODCALLTYPE Unused52() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSetting53(long value) = 0;  // 53
};

// {F08DF954-8592-11D1-B16A-00C0F0283628}: the slider of the common controls library.
extern const CLSID CLSID_SliderControl;
// {F08DF952-8592-11D1-B16A-00C0F0283628}: its ISliderControl.
extern const IID IID_ISliderControl;

class CPositionControl {
public:
    CPositionControl() = default;
    CPositionControl(const CPositionControl&) = delete;
    CPositionControl& operator=(const CPositionControl&) = delete;

    // Makes the slider in pParent as control nSliderID and sets it up. Where
    // it cannot be made, or gives no interface to drive it by, the scroll bar
    // hwndScrollBar serves instead, on the same scale.
    void Create(CWnd* pParent, UINT nSliderID, HWND hwndScrollBar);
    // While the windows still exist: takes the hook off the slider and gives
    // its interface back. The slider's window goes with its parent's.
    void Destroy();

    BOOL IsSlider() const { return m_bSliderCtrl; }
    // The control as a window to move and enable: the slider's host window or
    // the scroll bar.
    HWND Window() const { return m_hwndArea; }

    // Lays the control across the panel below its graph. nPanelRight is the
    // right edge the panel measures its width by (see its LayoutControls).
    void Place(int nPanelRight);
    // Seconds from the file's start, 0 to 3600; the control redraws.
    void SetPosition(int nSeconds);
    // The file's start as a time of day (ms), for the slider's tooltip.
    void SetStartTime(int32_t nStartMs) { m_tipHook.SetStartTime(nStartMs); }
    int GetPosition() const;

private:
    BOOL CreateSlider(CWnd* pParent, UINT nSliderID);
    HWND SliderWindow() const;

    COleControlWnd m_wndSlider;  // host of the slider, when it is in use
    Microsoft::WRL::ComPtr<ISliderControl> m_pSlider;
    HWND m_hwndArea = nullptr;      // what Window() gives
    HWND m_hwndPosition = nullptr;  // where position messages go
    BOOL m_bSliderCtrl = FALSE;
    CSliderTipHook m_tipHook;  // on the slider's own window
};
