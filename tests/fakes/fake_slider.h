// A stand-in for the common-controls slider, which is not installed under Wine:
// a real windowed ActiveX control registered in the test process under the
// slider's class id, so that the panel's run-time creation reaches it.
//
// Its window holds a real trackbar filling it; the window-handle property gives
// the trackbar, so TBM_SETPOS / TBM_GETPOS sent there work as with the original.
//
// The panel drives the slider through an interface called by vtable position
// (IUnknown 0-2, IDispatch 3-6, then the control's own methods). The fake answers
// that interface with an explicit table, and logs each call by the name the
// player gives the method at that position:
//   10 SetPageStep, 12 SetSetting12, 14 SetRangeMax, 16 SetRangeMin,
//   18 SetSetting18, 26 SetSetting26, 53 SetSetting53
//                               take one long; logged as "SetRangeMin(0)". Only
//                               the range and the page step shape the trackbar.
//   38 GetHwnd                  reads the trackbar's handle into an OLE_HANDLE
//                               (32 bits, also on 64-bit); logged as "GetHwnd".
//   every other position        E_NOTIMPL, logged as "7: not implemented".
// A call through IDispatch::Invoke is logged as "dispid N" and not found.
//
// Events: the stock MouseDown (-605) and MouseUp (-607), (short button, short
// shift, long x, long y), fired when the trackbar is clicked and on demand.
//
// Everything runs on the test's thread; on x64 the caller cleans the stack, so a
// call of any arity at a refused position returns safely.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <olectl.h>
#include <optional>
#include <string>
#include <vector>
#include "framework/axserver/ax_control.h"

namespace fakes {

// {F08DF954-8592-11D1-B16A-00C0F0283628}: the class id the panel creates.
inline constexpr CLSID CLSID_Slider = {
    0xF08DF954, 0x8592, 0x11D1, {0xB1, 0x6A, 0x00, 0xC0, 0xF0, 0x28, 0x36, 0x28}};
// {F08DF952-8592-11D1-B16A-00C0F0283628}: the interface it is driven through.
inline constexpr IID IID_SliderInterface = {
    0xF08DF952, 0x8592, 0x11D1, {0xB1, 0x6A, 0x00, 0xC0, 0xF0, 0x28, 0x36, 0x28}};
// The fake's own event dispinterface; containers learn it from GetGUID.
inline constexpr IID DIID_SliderEvents = {
    0x5C1F0A3E, 0x7D42, 0x4B9E, {0x9A, 0x61, 0x3E, 0x20, 0xC8, 0x4F, 0x17, 0xB5}};

// Positions 0 .. kSliderMethodCount - 1 exist; a call beyond them is a crash.
constexpr int kSliderMethodCount = 64;
constexpr int kSliderWindowMethod = 38;

class FakeSlider final : public CAxControl {
public:
    FakeSlider();

    // The most recently created instance still alive, or null.
    static FakeSlider* Last();
    static int LiveCount();
    // While set, QueryInterface refuses IID_SliderInterface (the control is
    // there, its interface is not). A new FakeSliderRegistration clears it.
    static void RefuseInterface(bool bRefuse);

    const std::vector<std::string>& Calls() const { return m_calls; }
    void ClearCalls() { m_calls.clear(); }

    // The trackbar inside the control's window; null while there is no window.
    HWND TrackbarWindow() const { return m_hTrackbar; }
    // The trackbar's position (the last one it had once its window is gone).
    LONG Position() const;

    // The stock mouse events, synchronously to every sink.
    HRESULT FireMouseDown(short nButton, short nShift, long x, long y);
    HRESULT FireMouseUp(short nButton, short nShift, long x, long y);

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;

protected:
    HRESULT InvokeMember(const AxInvocation& call) override;
    HRESULT LoadProperties(const std::vector<BYTE>& bytes) override { return S_OK; }
    HRESULT SaveProperties(std::vector<BYTE>* pBytes) override;
    bool OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    friend struct SliderMethods;

    // What QueryInterface hands out for IID_SliderInterface: the table first,
    // as COM wants, then the way back to us.
    struct SliderObject {
        const void* pVtbl;
        FakeSlider* pOwner;
    };

    ~FakeSlider() override;

    HRESULT OnSetting(int nPosition, LONG nValue);
    HRESULT OnGetWindow(OLE_HANDLE* phWnd);
    HRESULT OnNotImplemented(int nPosition);
    bool CreateTrackbar(int cx, int cy);
    void ApplySettings();
    LRESULT OnTrackbarMouse(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK TrackbarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR uIdSubclass, DWORD_PTR dwRefData);

    SliderObject m_slider;
    std::vector<std::string> m_calls;
    HWND m_hTrackbar = nullptr;  // a child of our window, destroyed with it
    // Kept so that a window made again gets them; unset ones stay the trackbar's.
    std::optional<LONG> m_nMin, m_nMax, m_nPage;
    LONG m_nPos = 0;
};

// Registers FakeSlider's class object under CLSID_Slider for the life of this
// object. The thread must have COM initialised.
class FakeSliderRegistration {
public:
    FakeSliderRegistration();
    ~FakeSliderRegistration();
    FakeSliderRegistration(const FakeSliderRegistration&) = delete;
    FakeSliderRegistration& operator=(const FakeSliderRegistration&) = delete;

    HRESULT Status() const { return m_hr; }

private:
    HRESULT m_hr;
    DWORD m_dwCookie = 0;
};

}  // namespace fakes
