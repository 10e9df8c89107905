#include "tests/integration/real_player.h"
#include <process.h>
#include <commctrl.h>
#include "framework/axserver/class_factory.h"
#include "framework/text.h"
#include "host/messages.h"
#include "owners/handle.h"
#include "widgets/digit_edit.h"

using Microsoft::WRL::ComPtr;

// Forwards to the decoder's class object and keeps the identity of what it made.
class RealDecoderRegistration::Factory final : public IClassFactory {
public:
    explicit Factory(ComPtr<IClassFactory> inner) : m_inner(std::move(inner)) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_nRefs); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG n = InterlockedDecrement(&m_nRefs);
        if (n == 0) delete this;
        return n;
    }
    STDMETHODIMP CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv) override
    {
        HRESULT hr = m_inner->CreateInstance(pOuter, riid, ppv);
        if (SUCCEEDED(hr)) {
            ComPtr<IUnknown> identity;
            static_cast<IUnknown*>(*ppv)->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.GetAddressOf()));
            m_last = identity;
        }
        return hr;
    }
    STDMETHODIMP LockServer(BOOL fLock) override { return m_inner->LockServer(fLock); }

    // The object's identity is its IOleObject (CAxControl::GetUnknown).
    CDvrControl* Last() const
    {
        if (!m_last) return nullptr;
        auto* pObject = static_cast<IOleObject*>(m_last.Get());
        return static_cast<CDvrControl*>(static_cast<CAxControl*>(pObject));
    }
    void Forget() { m_last.Reset(); }

private:
    ~Factory() = default;
    LONG m_nRefs = 1;
    ComPtr<IClassFactory> m_inner;
    ComPtr<IUnknown> m_last;
};

RealDecoderRegistration::RealDecoderRegistration()
{
    // What dvrctl.dll's DllGetClassObject answers.
    ComPtr<IClassFactory> inner;
    m_hr = AxGetClassObject<CDvrControl>(CLSID_DvrControl, CLSID_DvrControl, IID_IClassFactory,
                                         reinterpret_cast<void**>(inner.GetAddressOf()));
    if (FAILED(m_hr)) return;
    m_pFactory = new Factory(inner);
    m_hr = CoRegisterClassObject(CLSID_DvrControl, m_pFactory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                 &m_dwCookie);
}

RealDecoderRegistration::~RealDecoderRegistration()
{
    if (SUCCEEDED(m_hr)) CoRevokeClassObject(m_dwCookie);
    if (m_pFactory) {
        m_pFactory->Forget();
        m_pFactory->Release();
    }
}

CDvrControl* RealDecoderRegistration::Last() const { return m_pFactory ? m_pFactory->Last() : nullptr; }

void RealDecoderRegistration::Forget()
{
    if (m_pFactory) m_pFactory->Forget();
}

void RealPlayerTest::SetUp()
{
    AfxEnableControlContainer();
    ASSERT_EQ(S_OK, registration.Status());
    app.m_pMainWnd = &video;
    ASSERT_TRUE(video.Create(IDD_VIDEO, nullptr));
    m_pControl = registration.Last();
    ASSERT_NE(nullptr, m_pControl) << "the video window did not make the decoder through COM";
    ASSERT_NE(nullptr, m_pControl->Window());
    ASSERT_TRUE(panel.IsWindow());
    Pump();  // the panel's first open-file dialog, cancelled
    ASSERT_EQ(1u, openFile.requests.size());
}

void RealPlayerTest::TearDown()
{
    if (video.IsWindow()) video.DestroyWindow();
    app.m_pMainWnd = nullptr;
    // The control goes, and with it its hold on the files a test made.
    m_pControl = nullptr;
    registration.Forget();
}

std::string RealPlayerTest::ControlMessage() const
{
    return fw::Narrow(m_pControl->Message());
}

void RealPlayerTest::Click(int id)
{
    PostMessageA(panel.m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
    Pump();
}

void RealPlayerTest::Open(const std::string& path)
{
    openFile.path = path;
    Click(IDC_OPEN);
    openFile.path.clear();
}

void RealPlayerTest::Scroll(UINT code, UINT thumb)
{
    PostMessageA(panel.m_hWnd, WM_HSCROLL, MAKEWPARAM(code, thumb), reinterpret_cast<LPARAM>(Item(IDC_POSITION_BAR)));
    Pump();
}

void RealPlayerTest::TypeTime(const char* minutes, const char* seconds)
{
    const POINT on = panel_view::OnTimeMinutes(panel.m_hWnd);
    PostMessageA(panel.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(on.x, on.y));
    Pump();
    SetWindowTextA(Item(IDC_MINUTES), minutes);
    SetWindowTextA(Item(IDC_SECONDS), seconds);
    NMHDR header = {Item(IDC_MINUTES), static_cast<UINT_PTR>(IDC_MINUTES), TEN_ENTER};
    SendMessageA(panel.m_hWnd, WM_NOTIFY, IDC_MINUTES, reinterpret_cast<LPARAM>(&header));
    Pump();
}

namespace {

struct NullProbe {
    HWND hwnd;
    LRESULT sent = 0;
    volatile LONG done = 0;
};

unsigned __stdcall SendNull(void* p)
{
    auto* probe = static_cast<NullProbe*>(p);
    DWORD_PTR result = 0;
    probe->sent = SendMessageTimeoutA(probe->hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &result);
    InterlockedExchange(&probe->done, 1);
    return 0;
}

}  // namespace

bool RealPlayerTest::Responsive()
{
    NullProbe probe;
    probe.hwnd = video.m_hWnd;
    const CScopedHandle thread(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, SendNull, &probe, 0, nullptr)));
    if (!thread) return false;
    // The answer comes only while this thread pumps (it owns the window).
    testing_support::PumpUntil([&] { return InterlockedCompareExchange(&probe.done, 0, 0) != 0; }, 15000);
    WaitForSingleObject(thread, 15000);
    return probe.sent != 0;
}

bool RealPlayerTest::WaitPlaying(DWORD ms)
{
    return testing_support::PumpUntil([&] { return Enabled(IDC_PAUSE); }, ms);
}

bool RealPlayerTest::WaitSettled(DWORD ms)
{
    return testing_support::PumpUntil([&] { return ControlStates() != panel_view::kOpening; }, ms);
}

int RealPlayerTest::PixelsNear(COLORREF color) const
{
    const CBackBuffer& buffer = m_pControl->BackBuffer();
    int n = 0;
    for (int y = 0; y < buffer.Height(); ++y)
        for (int x = 0; x < buffer.Width(); ++x) {
            const uint32_t p = buffer.PixelAt(x, y);
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            if (abs(r - GetRValue(color)) <= 40 && abs(g - GetGValue(color)) <= 40 && abs(b - GetBValue(color)) <= 40)
                ++n;
        }
    return n;
}

int RealPlayerTest::TextPixels() const { return PixelsNear(RGB(255, 255, 255)); }

std::string DescribeBoxes(const testing_support::MessageBoxRecorder& boxes)
{
    std::string text;
    for (const fw::MessageBoxRequest& box : boxes.boxes) text += "[" + box.caption + ": " + box.text + "] ";
    return text;
}
