// FakeSlider: the interface table, the trackbar inside the window, the stock
// mouse events and the registration.
#include "tests/fakes/fake_slider.h"
#include <commctrl.h>
#include <windowsx.h>
#include <algorithm>
#include <cstddef>
#include <utility>
#include "framework/axserver/class_factory.h"

namespace fakes {
namespace {

std::vector<FakeSlider*> g_live;  // in creation order
bool g_bRefuseInterface = false;

const UINT_PTR kSubclassId = 1;

AxControlInfo SliderInfo()
{
    AxControlInfo info;
    info.clsid = CLSID_Slider;
    info.iidDispatch = IID_IDispatch;  // the slider's own interface is not a dispinterface
    info.iidEvents = DIID_SliderEvents;
    return info;
}

// The positions that take one long, with the names their calls are logged by.
struct Setting {
    int nPosition;
    const char* name;
};
constexpr Setting kSettings[] = {
    {10, "SetPageStep"},
    {12, "SetSetting12"},
    {14, "SetRangeMax"},
    {16, "SetRangeMin"},
    {18, "SetSetting18"},
    {26, "SetSetting26"},
    {53, "SetSetting53"},
};

constexpr bool IsSetting(int n)
{
    for (const Setting& setting : kSettings)
        if (setting.nPosition == n)
            return true;
    return false;
}

const char* SettingName(int n)
{
    for (const Setting& setting : kSettings)
        if (setting.nPosition == n)
            return setting.name;
    return "?";
}

VARIANT ShortVariant(short value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I2;
    v.iVal = value;
    return v;
}

// The stock events' button bits: left 1, right 2, middle 4.
short ButtonOf(UINT msg)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP: return 1;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_RBUTTONUP: return 2;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_MBUTTONUP: return 4;
    default: return 0;
    }
}

bool IsButtonUp(UINT msg) { return msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP; }

// The stock events' shift bits: shift 1, control 2, alt 4.
short ShiftOf(WPARAM wParam)
{
    short n = 0;
    if (wParam & MK_SHIFT)
        n |= 1;
    if (wParam & MK_CONTROL)
        n |= 2;
    if (GetKeyState(VK_MENU) < 0)
        n |= 4;
    return n;
}

}  // namespace

// --- The interface table

using AnyMethod = void (*)();

// clang-format off
struct SliderVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(void* self, REFIID riid, void** ppv);
    ULONG(STDMETHODCALLTYPE* AddRef)(void* self);
    ULONG(STDMETHODCALLTYPE* Release)(void* self);
    HRESULT(STDMETHODCALLTYPE* GetTypeInfoCount)(void* self, UINT* pctinfo);
    HRESULT(STDMETHODCALLTYPE* GetTypeInfo)(void* self, UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo);
    HRESULT(STDMETHODCALLTYPE* GetIDsOfNames)(void* self, REFIID riid, LPOLESTR* rgszNames,
                                              UINT cNames, LCID lcid, DISPID* rgDispId);
    HRESULT(STDMETHODCALLTYPE* Invoke)(void* self, DISPID dispid, REFIID riid, LCID lcid,
                                       WORD wFlags, DISPPARAMS* pParams, VARIANT* pResult,
                                       EXCEPINFO* pExcepInfo, UINT* puArgErr);
    AnyMethod members[kSliderMethodCount - 7];  // position 7 onwards
};
// clang-format on
static_assert(offsetof(SliderVtbl, members) == 7 * sizeof(void*), "IUnknown and IDispatch fill 0-6");
static_assert(sizeof(SliderVtbl) == kSliderMethodCount * sizeof(void*), "one slot per position");

struct SliderMethods {
    static FakeSlider* Owner(void* self) { return static_cast<FakeSlider::SliderObject*>(self)->pOwner; }
    static IDispatch* Dispatch(void* self) { return static_cast<IDispatch*>(Owner(self)); }

    // IUnknown and IDispatch are the control's: one identity, one count.
    static HRESULT STDMETHODCALLTYPE QueryInterface(void* self, REFIID riid, void** ppv)
    {
        return Owner(self)->QueryInterface(riid, ppv);
    }
    static ULONG STDMETHODCALLTYPE AddRef(void* self) { return Owner(self)->AddRef(); }
    static ULONG STDMETHODCALLTYPE Release(void* self) { return Owner(self)->Release(); }
    static HRESULT STDMETHODCALLTYPE GetTypeInfoCount(void* self, UINT* pctinfo)
    {
        return Dispatch(self)->GetTypeInfoCount(pctinfo);
    }
    static HRESULT STDMETHODCALLTYPE GetTypeInfo(void* self, UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo)
    {
        return Dispatch(self)->GetTypeInfo(iTInfo, lcid, ppTInfo);
    }
    static HRESULT STDMETHODCALLTYPE GetIDsOfNames(void* self, REFIID riid, LPOLESTR* rgszNames,
                                                   UINT cNames, LCID lcid, DISPID* rgDispId)
    {
        return Dispatch(self)->GetIDsOfNames(riid, rgszNames, cNames, lcid, rgDispId);
    }
    static HRESULT STDMETHODCALLTYPE Invoke(void* self, DISPID dispid, REFIID riid, LCID lcid,
                                            WORD wFlags, DISPPARAMS* pParams, VARIANT* pResult,
                                            EXCEPINFO* pExcepInfo, UINT* puArgErr)
    {
        return Dispatch(self)->Invoke(dispid, riid, lcid, wFlags, pParams, pResult, pExcepInfo,
                                      puArgErr);
    }

    template <int N> static HRESULT STDMETHODCALLTYPE Setting(void* self, LONG nValue)
    {
        return Owner(self)->OnSetting(N, nValue);
    }
    static HRESULT STDMETHODCALLTYPE GetWindow(void* self, OLE_HANDLE* phWnd)
    {
        return Owner(self)->OnGetWindow(phWnd);
    }
    template <int N> static HRESULT STDMETHODCALLTYPE NotImplemented(void* self)
    {
        return Owner(self)->OnNotImplemented(N);
    }

    template <int N> static AnyMethod At()
    {
        if constexpr (N == kSliderWindowMethod)
            return reinterpret_cast<AnyMethod>(&GetWindow);
        else if constexpr (IsSetting(N))
            return reinterpret_cast<AnyMethod>(&Setting<N>);
        else
            return reinterpret_cast<AnyMethod>(&NotImplemented<N>);
    }
    template <size_t... I> static SliderVtbl Make(std::index_sequence<I...>)
    {
        return SliderVtbl{&QueryInterface, &AddRef, &Release, &GetTypeInfoCount, &GetTypeInfo, &GetIDsOfNames, &Invoke, {At<int(I) + 7>()...}};
    }
    static const SliderVtbl* Table()
    {
        static const SliderVtbl table = Make(std::make_index_sequence<kSliderMethodCount - 7>{});
        return &table;
    }
};

// --- Lifetime

FakeSlider::FakeSlider() : CAxControl(SliderInfo()), m_slider{SliderMethods::Table(), this}
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    g_live.push_back(this);
}

FakeSlider::~FakeSlider()
{
    // The base destroys a window still there; the trackbar must not call us then.
    if (m_hTrackbar)
        RemoveWindowSubclass(m_hTrackbar, &FakeSlider::TrackbarProc, kSubclassId);
    g_live.erase(std::find(g_live.begin(), g_live.end(), this));
}

FakeSlider* FakeSlider::Last() { return g_live.empty() ? nullptr : g_live.back(); }
int FakeSlider::LiveCount() { return static_cast<int>(g_live.size()); }
void FakeSlider::RefuseInterface(bool bRefuse) { g_bRefuseInterface = bRefuse; }

STDMETHODIMP FakeSlider::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv || riid != IID_SliderInterface)
        return CAxControl::QueryInterface(riid, ppv);
    if (g_bRefuseInterface) {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    *ppv = &m_slider;
    AddRef();
    return S_OK;
}

LONG FakeSlider::Position() const
{
    return m_hTrackbar ? static_cast<LONG>(SendMessageA(m_hTrackbar, TBM_GETPOS, 0, 0)) : m_nPos;
}

// --- The interface's members

HRESULT FakeSlider::OnSetting(int nPosition, LONG nValue)
{
    m_calls.push_back(std::string(SettingName(nPosition)) + "(" + std::to_string(nValue) + ")");
    if (nPosition == 16)
        m_nMin = nValue;
    else if (nPosition == 14)
        m_nMax = nValue;
    else if (nPosition == 10)
        m_nPage = nValue;
    ApplySettings();
    return S_OK;
}

HRESULT FakeSlider::OnGetWindow(OLE_HANDLE* phWnd)
{
    m_calls.push_back("GetHwnd");
    if (!phWnd)
        return E_POINTER;
    // 32 bits, as the property's type has; window handles fit in them.
    *phWnd = static_cast<OLE_HANDLE>(reinterpret_cast<UINT_PTR>(m_hTrackbar));
    return m_hTrackbar ? S_OK : E_FAIL;
}

HRESULT FakeSlider::OnNotImplemented(int nPosition)
{
    m_calls.push_back(std::to_string(nPosition) + ": not implemented");
    return E_NOTIMPL;
}

HRESULT FakeSlider::InvokeMember(const AxInvocation& call)
{
    // The slider is driven by position; a late-bound call is a mistake to see.
    m_calls.push_back("dispid " + std::to_string(call.dispid));
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT FakeSlider::SaveProperties(std::vector<BYTE>* pBytes)
{
    pBytes->clear();
    return S_OK;
}

// --- Events

HRESULT FakeSlider::FireMouseDown(short nButton, short nShift, long x, long y)
{
    return FireEvent(DISPID_MOUSEDOWN,
                     {ShortVariant(nButton), ShortVariant(nShift), AxLongVariant(x), AxLongVariant(y)});
}

HRESULT FakeSlider::FireMouseUp(short nButton, short nShift, long x, long y)
{
    return FireEvent(DISPID_MOUSEUP,
                     {ShortVariant(nButton), ShortVariant(nShift), AxLongVariant(x), AxLongVariant(y)});
}

// --- The window and its trackbar

bool FakeSlider::CreateTrackbar(int cx, int cy)
{
    m_hTrackbar = CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | TBS_HORZ | TBS_BOTTOM,
                                  0, 0, cx, cy, Window(), nullptr, AxThisModule(), nullptr);
    if (!m_hTrackbar)
        return false;
    SetWindowSubclass(m_hTrackbar, &FakeSlider::TrackbarProc, kSubclassId,
                      reinterpret_cast<DWORD_PTR>(this));
    ApplySettings();
    SendMessageA(m_hTrackbar, TBM_SETPOS, TRUE, m_nPos);
    return true;
}

void FakeSlider::ApplySettings()
{
    if (!m_hTrackbar)
        return;
    if (m_nMin)
        SendMessageA(m_hTrackbar, TBM_SETRANGEMIN, TRUE, *m_nMin);
    if (m_nMax)
        SendMessageA(m_hTrackbar, TBM_SETRANGEMAX, TRUE, *m_nMax);
    if (m_nPage)
        SendMessageA(m_hTrackbar, TBM_SETPAGESIZE, 0, *m_nPage);
}

bool FakeSlider::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (msg) {
    case WM_CREATE: {
        auto* pCreate = reinterpret_cast<CREATESTRUCTA*>(lParam);
        if (CreateTrackbar(pCreate->cx, pCreate->cy))
            return false;
        *pResult = -1;  // no slider without its trackbar
        return true;
    }
    case WM_SIZE:
        if (m_hTrackbar)
            MoveWindow(m_hTrackbar, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return false;
    case WM_SETFOCUS:
        if (m_hTrackbar)
            SetFocus(m_hTrackbar);
        return false;
    case WM_DESTROY:
        // Children still exist here; the trackbar goes right after us.
        if (m_hTrackbar) {
            m_nPos = static_cast<LONG>(SendMessageA(m_hTrackbar, TBM_GETPOS, 0, 0));
            RemoveWindowSubclass(m_hTrackbar, &FakeSlider::TrackbarProc, kSubclassId);
            m_hTrackbar = nullptr;
        }
        return false;
    default:
        return false;
    }
}

LRESULT FakeSlider::OnTrackbarMouse(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const short nButton = ButtonOf(msg);
    const short nShift = ShiftOf(wParam);
    const long x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    const bool bUp = IsButtonUp(msg);
    // A handler may let the control go, or destroy its window.
    AddRef();
    if (!bUp)
        FireMouseDown(nButton, nShift, x, y);
    LRESULT result = IsWindow(hwnd) ? DefSubclassProc(hwnd, msg, wParam, lParam) : 0;
    // After the trackbar has moved, so that a handler reads where the click left it.
    if (bUp && IsWindow(hwnd))
        FireMouseUp(nButton, nShift, x, y);
    Release();
    return result;
}

LRESULT CALLBACK FakeSlider::TrackbarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR dwRefData)
{
    if (!ButtonOf(msg))
        return DefSubclassProc(hwnd, msg, wParam, lParam);
    return reinterpret_cast<FakeSlider*>(dwRefData)->OnTrackbarMouse(hwnd, msg, wParam, lParam);
}

// --- Registration

FakeSliderRegistration::FakeSliderRegistration()
{
    FakeSlider::RefuseInterface(false);
    auto* pFactory = new CAxClassFactory<FakeSlider>();
    m_hr = CoRegisterClassObject(CLSID_Slider, pFactory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                 &m_dwCookie);
    pFactory->Release();  // COM holds it while registered
}

FakeSliderRegistration::~FakeSliderRegistration()
{
    if (SUCCEEDED(m_hr))
        CoRevokeClassObject(m_dwCookie);
}

}  // namespace fakes
