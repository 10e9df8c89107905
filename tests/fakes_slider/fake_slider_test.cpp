// The slider fake as the panel meets it: created at run time through the
// framework's hosting, driven by vtable position, its trackbar reached by
// messages, its stock mouse events received in a dialog's event table.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstring>
#include "framework/app.h"
#include "framework/dialog.h"
#include "framework/olecontrol.h"
#include "tests/fakes/fake_slider.h"
#include "tests/fakes_slider/slider_host.h"
#include "tests/support/test_support.h"

using fakes::FakeSlider;

namespace {

const UINT kSliderId = 1008;

class CSliderHostDlg : public CDialog {
public:
    CSliderHostDlg() : CDialog(IDD_SLIDER_HOST) {}
    COleControlWnd m_wndSlider;
    HWND m_hwndPosition = nullptr;  // where a handler reads the position, as the panel does
    std::vector<std::string> events;

    bool bDestroyOnDown = false;

    void OnMouseDown(short button, short shift, long x, long y)
    {
        Record("down", button, shift, x, y);
        if (bDestroyOnDown) DestroyWindow();
    }
    void OnMouseUp(short button, short shift, long x, long y) { Record("up", button, shift, x, y); }
    DECLARE_EVENTSINK_MAP()

private:
    void Record(const char* what, short button, short shift, long x, long y)
    {
        std::string s = std::string(what) + " " + std::to_string(button) + " " + std::to_string(shift) +
                        " " + std::to_string(x) + " " + std::to_string(y);
        if (m_hwndPosition) {
            s += " at " + std::to_string(SendMessageA(m_hwndPosition, TBM_GETPOS, 0, 0));
            if (GetCapture() == m_hwndPosition) s += " captured";
        }
        events.push_back(s);
    }
};

BEGIN_EVENTSINK_MAP(CSliderHostDlg, CDialog)
    ON_EVENT(kSliderId, DISPID_MOUSEDOWN, OnMouseDown)
    ON_EVENT(kSliderId, DISPID_MOUSEUP, OnMouseUp)
END_EVENTSINK_MAP()

// Calls the method at a vtable position, as the panel does.
template <class... A> HRESULT CallAt(void* pItf, int position, A... args)
{
    using Method = HRESULT(STDMETHODCALLTYPE*)(void*, A...);
    void** vtbl = *static_cast<void***>(pItf);
    return reinterpret_cast<Method>(vtbl[position])(pItf, args...);
}

class FakeSliderHosted : public ::testing::Test {
protected:
    void SetUp() override
    {
        AfxEnableControlContainer();
        ASSERT_EQ(S_OK, registration.Status());
        ASSERT_TRUE(dlg.Create(IDD_SLIDER_HOST, nullptr));
        ASSERT_TRUE(dlg.m_wndSlider.CreateControl(fakes::CLSID_Slider, nullptr, WS_VISIBLE,
                                                  RECT{10, 10, 100, 30}, &dlg, kSliderId));
        fake = FakeSlider::Last();
        ASSERT_TRUE(fake);
        ASSERT_EQ(S_OK, dlg.m_wndSlider.GetControlUnknown()->QueryInterface(
                            fakes::IID_SliderInterface, &slider));
    }
    void TearDown() override
    {
        if (slider) static_cast<IUnknown*>(slider)->Release();
        FakeSlider::RefuseInterface(false);
        if (dlg.IsWindow()) dlg.DestroyWindow();
    }
    HWND ReadWindow()
    {
        OLE_HANDLE h = 0;
        EXPECT_EQ(S_OK, CallAt(slider, fakes::kSliderWindowMethod, &h));
        return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(h)));
    }
    LRESULT Tb(UINT msg, WPARAM w = 0, LPARAM l = 0) { return SendMessageA(fake->TrackbarWindow(), msg, w, l); }

    testing_support::ComScope com;
    fakes::FakeSliderRegistration registration;
    CSliderHostDlg dlg;
    FakeSlider* fake = nullptr;
    void* slider = nullptr;
};

TEST_F(FakeSliderHosted, SettingsAreLoggedInOrderAndShapeTheTrackbar)
{
    const std::pair<int, LONG> settings[] = {{16, 0}, {14, 3600}, {12, 1}, {10, 60}, {26, 3}, {18, 0}, {53, 1}};
    for (const auto& [position, value] : settings)
        EXPECT_EQ(S_OK, CallAt(slider, position, value)) << position;
    EXPECT_EQ((std::vector<std::string>{"SetRangeMin(0)", "SetRangeMax(3600)", "SetSetting12(1)", "SetPageStep(60)",
                                        "SetSetting26(3)", "SetSetting18(0)", "SetSetting53(1)"}),
              fake->Calls());
    EXPECT_EQ(0, Tb(TBM_GETRANGEMIN));
    EXPECT_EQ(3600, Tb(TBM_GETRANGEMAX));
    EXPECT_EQ(60, Tb(TBM_GETPAGESIZE));
}

TEST_F(FakeSliderHosted, WindowHandleIsTheTrackbarFillingTheHostWindow)
{
    HWND host = dlg.GetDlgItem(kSliderId);
    ASSERT_TRUE(host);
    EXPECT_EQ(dlg.m_wndSlider.m_hWnd, host);
    HWND hwnd = ReadWindow();
    EXPECT_EQ(fake->TrackbarWindow(), hwnd);
    EXPECT_NE(host, hwnd) << "the position window is not the host";
    EXPECT_EQ(host, GetParent(hwnd));
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof(cls));
    EXPECT_STRCASEEQ(TRACKBAR_CLASSA, cls);
    RECT rcHost, rcTrack;
    GetClientRect(host, &rcHost);
    GetClientRect(hwnd, &rcTrack);
    EXPECT_EQ(90, rcHost.right);
    EXPECT_EQ(20, rcHost.bottom);
    EXPECT_EQ(rcHost.right, rcTrack.right);
    EXPECT_EQ(rcHost.bottom, rcTrack.bottom);
    EXPECT_EQ((std::vector<std::string>{"GetHwnd"}), fake->Calls());

    dlg.m_wndSlider.MoveWindow(0, 0, 200, 25);
    GetClientRect(hwnd, &rcTrack);
    EXPECT_EQ(200, rcTrack.right) << "the trackbar follows the host";
}

TEST_F(FakeSliderHosted, WindowHandleIsWrittenAsThirtyTwoBits)
{
    unsigned char out[8];
    std::memset(out, 0xAA, sizeof(out));
    EXPECT_EQ(S_OK, CallAt(slider, fakes::kSliderWindowMethod, reinterpret_cast<OLE_HANDLE*>(out)));
    UINT32 low;
    std::memcpy(&low, out, 4);
    EXPECT_EQ(static_cast<UINT32>(reinterpret_cast<UINT_PTR>(fake->TrackbarWindow())), low);
    for (int i = 4; i < 8; ++i)
        EXPECT_EQ(0xAA, out[i]) << "byte " << i << " is past an OLE_HANDLE";
    EXPECT_EQ(E_POINTER, CallAt(slider, fakes::kSliderWindowMethod, static_cast<OLE_HANDLE*>(nullptr)));
}

TEST_F(FakeSliderHosted, PositionMessagesGoToTheTrackbar)
{
    CallAt(slider, 16, LONG(0));
    CallAt(slider, 14, LONG(3600));
    HWND hwnd = ReadWindow();
    SendMessageA(hwnd, TBM_SETPOS, TRUE, 1234);
    EXPECT_EQ(1234, SendMessageA(hwnd, TBM_GETPOS, 0, 0));
    EXPECT_EQ(1234, fake->Position());
    SendMessageA(hwnd, TBM_SETPOS, TRUE, 5000);
    EXPECT_EQ(3600, fake->Position()) << "held to the range set by position 14";

    dlg.DestroyWindow();
    // The window went with the dialog; the object is still held through the interface.
    EXPECT_EQ(nullptr, fake->TrackbarWindow());
    EXPECT_EQ(3600, fake->Position());
}

TEST_F(FakeSliderHosted, OtherPositionsAreRefusedAndLogged)
{
    EXPECT_EQ(E_NOTIMPL, CallAt(slider, 7));
    EXPECT_EQ(E_NOTIMPL, CallAt(slider, 11, LONG(5)));
    EXPECT_EQ(E_NOTIMPL, CallAt(slider, 37, static_cast<OLE_HANDLE*>(nullptr)));
    EXPECT_EQ(E_NOTIMPL, CallAt(slider, 39));
    EXPECT_EQ(E_NOTIMPL, CallAt(slider, fakes::kSliderMethodCount - 1));
    // IDispatch (3-6) is the control's: a late-bound call is logged too.
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, CallAt(slider, 6, DISPID(5), &IID_NULL, LCID(0), WORD(DISPATCH_METHOD),
                                            &none, static_cast<VARIANT*>(nullptr),
                                            static_cast<EXCEPINFO*>(nullptr), static_cast<UINT*>(nullptr)));
    EXPECT_EQ((std::vector<std::string>{"7: not implemented", "11: not implemented", "37: not implemented",
                                        "39: not implemented", "63: not implemented", "dispid 5"}),
              fake->Calls());
    EXPECT_EQ(100, Tb(TBM_GETRANGEMAX)) << "a refused call changes nothing";
}

TEST_F(FakeSliderHosted, InterfaceSharesTheControlsIdentityAndLifetime)
{
    IUnknown* unk = nullptr;
    ASSERT_EQ(S_OK, CallAt(slider, 0, &IID_IUnknown, reinterpret_cast<void**>(&unk)));
    EXPECT_EQ(dlg.m_wndSlider.GetControlUnknown(), unk);
    unk->Release();
    void* again = nullptr;
    ASSERT_EQ(S_OK, unk->QueryInterface(fakes::IID_SliderInterface, &again));
    EXPECT_EQ(slider, again);
    static_cast<IUnknown*>(again)->Release();

    dlg.DestroyWindow();
    EXPECT_EQ(1, FakeSlider::LiveCount()) << "the interface holds the control";
    static_cast<IUnknown*>(slider)->Release();
    slider = nullptr;
    EXPECT_EQ(0, FakeSlider::LiveCount());
}

TEST_F(FakeSliderHosted, InterfaceCanBeRefused)
{
    FakeSlider::RefuseInterface(true);
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, dlg.m_wndSlider.GetControlUnknown()->QueryInterface(fakes::IID_SliderInterface, &p));
    EXPECT_EQ(nullptr, p);
    IDispatch* disp = nullptr;
    EXPECT_EQ(S_OK, dlg.m_wndSlider.GetControlUnknown()->QueryInterface(IID_IDispatch,
                                                                        reinterpret_cast<void**>(&disp)));
    if (disp) disp->Release();
}

TEST_F(FakeSliderHosted, StockMouseEventsReachTheEventTable)
{
    EXPECT_EQ(S_OK, fake->FireMouseDown(1, 3, 45, 7));
    EXPECT_EQ(S_OK, fake->FireMouseUp(2, 0, -4, 70000));
    EXPECT_EQ((std::vector<std::string>{"down 1 3 45 7", "up 2 0 -4 70000"}), dlg.events);
}

TEST_F(FakeSliderHosted, ClickFiresDownBeforeTheTrackbarAndUpAfterIt)
{
    CallAt(slider, 16, LONG(0));
    CallAt(slider, 14, LONG(3600));
    CallAt(slider, 10, LONG(60));
    dlg.m_hwndPosition = ReadWindow();
    // Right of the thumb, which stands at the left end: a page step to the right.
    // The trackbar holds the mouse from its button-down to its button-up.
    SendMessageA(dlg.m_hwndPosition, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(80, 10));
    SendMessageA(dlg.m_hwndPosition, WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(80, 10));
    EXPECT_EQ((std::vector<std::string>{"down 1 1 80 10 at 0", "up 1 1 80 10 at 60"}), dlg.events);
    EXPECT_EQ(60, fake->Position());
}

TEST_F(FakeSliderHosted, RightButtonIsReportedAsButtonTwo)
{
    HWND hwnd = ReadWindow();
    SendMessageA(hwnd, WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, MAKELPARAM(5, 6));
    SendMessageA(hwnd, WM_RBUTTONUP, MK_CONTROL, MAKELPARAM(5, 6));
    EXPECT_EQ((std::vector<std::string>{"down 2 2 5 6", "up 2 2 5 6"}), dlg.events);
}

TEST_F(FakeSliderHosted, HandlerMayDestroyThePanelInsideAClick)
{
    HWND hwnd = ReadWindow();
    static_cast<IUnknown*>(slider)->Release();  // only the panel's site holds the control now
    slider = nullptr;
    dlg.bDestroyOnDown = true;
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(80, 10));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(0, FakeSlider::LiveCount());
    EXPECT_EQ((std::vector<std::string>{"down 1 0 80 10"}), dlg.events);
}

}  // namespace
