#include "framework/olecontainer.h"
#include "framework/olecontrol.h"
#include "framework/wnd.h"

namespace fw {

// Receives the events of one control and hands them to the owner's event table.
class COleEventSink final : public IDispatch {
public:
    COleEventSink(CWnd* pOwner, UINT nID, REFIID iidEvents)
        : m_pOwner(pOwner), m_nID(nID), m_iid(iidEvents) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == m_iid) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_cRef); }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG n = InterlockedDecrement(&m_cRef);
        if (n == 0) delete this;
        return n;
    }
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override {
        if (pctinfo) *pctinfo = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                        EXCEPINFO*, UINT*) override {
        // An event may come after the owner has let the control go.
        if (!m_pOwner) return S_OK;
        HRESULT hr = m_pOwner->OnControlEvent(m_nID, dispid, params);
        // Events the owner has no entry for are not the control's fault.
        return hr == DISP_E_MEMBERNOTFOUND ? S_OK : hr;
    }

    void Disconnect() { m_pOwner = nullptr; }

private:
    ~COleEventSink() = default;
    CWnd* m_pOwner;
    UINT m_nID;
    IID m_iid;
    LONG m_cRef = 1;
};

template <class T> static void SafeRelease(T*& p) {
    if (p) {
        p->Release();
        p = nullptr;
    }
}

COleControlSite::COleControlSite(CWnd* pOwner, UINT nID) : m_pOwner(pOwner), m_nID(nID) {}

COleControlSite::~COleControlSite() {
    if (m_pBoundWnd) m_pBoundWnd->BindControlSite(nullptr);
    Close();
}

STDMETHODIMP COleControlSite::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IOleClientSite)
        *ppv = static_cast<IOleClientSite*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite)
        *ppv = static_cast<IOleInPlaceSite*>(this);
    else if (riid == IID_IOleInPlaceFrame || riid == IID_IOleInPlaceUIWindow)
        *ppv = static_cast<IOleInPlaceFrame*>(this);
    else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

// The site lives as long as its container; the counts are kept for the control's sake.
STDMETHODIMP_(ULONG) COleControlSite::AddRef() { return ++m_cRef; }
STDMETHODIMP_(ULONG) COleControlSite::Release() { return m_cRef ? --m_cRef : 0; }

STDMETHODIMP COleControlSite::GetMoniker(DWORD, DWORD, IMoniker** ppmk) {
    if (ppmk) *ppmk = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::GetContainer(IOleContainer** ppContainer) {
    if (ppContainer) *ppContainer = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP COleControlSite::GetWindow(HWND* phwnd) {
    if (!phwnd) return E_POINTER;
    *phwnd = m_pOwner->m_hWnd;
    return S_OK;
}

STDMETHODIMP COleControlSite::GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                               LPRECT lprcPosRect, LPRECT lprcClipRect,
                                               LPOLEINPLACEFRAMEINFO lpFrameInfo) {
    if (!ppFrame || !ppDoc || !lprcPosRect || !lprcClipRect) return E_POINTER;
    *ppFrame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *ppDoc = nullptr;
    *lprcPosRect = m_rcPos;
    *lprcClipRect = m_rcPos;
    if (lpFrameInfo) {
        lpFrameInfo->fMDIApp = FALSE;
        lpFrameInfo->hwndFrame = m_pOwner->m_hWnd;
        lpFrameInfo->haccel = nullptr;
        lpFrameInfo->cAccelEntries = 0;
    }
    return S_OK;
}

STDMETHODIMP COleControlSite::OnInPlaceDeactivate() {
    SafeRelease(m_pInPlaceObject);
    return S_OK;
}

STDMETHODIMP COleControlSite::OnPosRectChange(LPCRECT lprcPosRect) {
    if (!lprcPosRect) return E_POINTER;
    MoveControl(*lprcPosRect);
    return S_OK;
}

void COleControlSite::MoveControl(const RECT& rc) {
    m_rcPos = rc;
    if (m_pInPlaceObject) {
        m_pInPlaceObject->SetObjectRects(&m_rcPos, &m_rcPos);
    } else if (m_hWndCtrl) {
        ::MoveWindow(m_hWndCtrl, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
    }
}

static SIZEL PixelsToHimetric(HWND hwnd, LONG cx, LONG cy) {
    HDC dc = GetDC(hwnd);
    int dpiX = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 96;
    int dpiY = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(hwnd, dc);
    return SIZEL{MulDiv(cx, 2540, dpiX ? dpiX : 96), MulDiv(cy, 2540, dpiY ? dpiY : 96)};
}

static HRESULT LoadState(IUnknown* object, const BYTE* pState, size_t cbState) {
    IPersistStreamInit* persist = nullptr;
    HRESULT hr = object->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist));
    if (FAILED(hr)) return cbState ? hr : S_OK;  // nothing to load into a control without one
    if (!cbState) {
        hr = persist->InitNew();
    } else {
        IStream* stream = nullptr;
        hr = CreateStreamOnHGlobal(nullptr, TRUE, &stream);
        if (SUCCEEDED(hr)) {
            ULONG written = 0;
            hr = stream->Write(pState, static_cast<ULONG>(cbState), &written);
            LARGE_INTEGER zero = {};
            if (SUCCEEDED(hr)) hr = stream->Seek(zero, STREAM_SEEK_SET, nullptr);
            if (SUCCEEDED(hr)) hr = persist->Load(stream);
            stream->Release();
        }
    }
    persist->Release();
    return hr;
}

HRESULT COleControlSite::CreateControl(REFCLSID clsid, const RECT& rc, DWORD dwStyle,
                                       const BYTE* pState, size_t cbState) {
    m_rcPos = rc;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                  reinterpret_cast<void**>(&m_pObject));
    if (FAILED(hr)) return hr;
    hr = m_pObject->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&m_pOleObject));
    if (FAILED(hr)) return hr;

    DWORD misc = 0;
    m_pOleObject->GetMiscStatus(DVASPECT_CONTENT, &misc);
    const bool siteFirst = (misc & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (siteFirst) m_pOleObject->SetClientSite(this);
    hr = LoadState(m_pObject, pState, cbState);
    if (FAILED(hr)) return hr;
    if (!siteFirst) m_pOleObject->SetClientSite(this);

    SIZEL extent = PixelsToHimetric(m_pOwner->m_hWnd, rc.right - rc.left, rc.bottom - rc.top);
    m_pOleObject->SetExtent(DVASPECT_CONTENT, &extent);

    LONG verb = (dwStyle & WS_VISIBLE) ? OLEIVERB_SHOW : OLEIVERB_INPLACEACTIVATE;
    hr = m_pOleObject->DoVerb(verb, nullptr, this, 0, m_pOwner->m_hWnd, &m_rcPos);
    if (FAILED(hr)) return hr;

    m_pObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&m_pInPlaceObject));
    if (m_pInPlaceObject) m_pInPlaceObject->GetWindow(&m_hWndCtrl);
    if (!m_hWndCtrl) return E_FAIL;  // the framework hosts windowed controls only
    SetWindowLongPtrA(m_hWndCtrl, GWLP_ID, static_cast<LONG_PTR>(m_nID));
    if (!(dwStyle & WS_VISIBLE)) ::ShowWindow(m_hWndCtrl, SW_HIDE);

    m_pObject->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&m_pDispatch));
    ConnectEvents();
    return S_OK;
}

// The default source interface: asked of IProvideClassInfo2, else the first connection point.
void COleControlSite::ConnectEvents() {
    IConnectionPointContainer* cpc = nullptr;
    if (FAILED(m_pObject->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&cpc))))
        return;
    IProvideClassInfo2* pci = nullptr;
    GUID iid = GUID_NULL;
    if (SUCCEEDED(m_pObject->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&pci)))) {
        if (FAILED(pci->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &iid))) iid = GUID_NULL;
        pci->Release();
    }
    if (iid != GUID_NULL) {
        cpc->FindConnectionPoint(iid, &m_pEventPoint);
    } else {
        IEnumConnectionPoints* points = nullptr;
        if (SUCCEEDED(cpc->EnumConnectionPoints(&points)) && points) {
            ULONG fetched = 0;
            if (points->Next(1, &m_pEventPoint, &fetched) != S_OK) m_pEventPoint = nullptr;
            points->Release();
        }
        if (m_pEventPoint && FAILED(m_pEventPoint->GetConnectionInterface(&iid))) SafeRelease(m_pEventPoint);
    }
    cpc->Release();
    if (!m_pEventPoint) return;

    m_pSink = new COleEventSink(m_pOwner, m_nID, iid);
    if (FAILED(m_pEventPoint->Advise(m_pSink, &m_dwEventCookie))) {
        m_dwEventCookie = 0;
        SafeRelease(m_pEventPoint);
    }
}

void COleControlSite::Close() {
    if (m_pSink) m_pSink->Disconnect();
    if (m_pEventPoint) {
        if (m_dwEventCookie) m_pEventPoint->Unadvise(m_dwEventCookie);
        SafeRelease(m_pEventPoint);
    }
    SafeRelease(m_pSink);
    SafeRelease(m_pDispatch);
    if (m_pInPlaceObject) m_pInPlaceObject->InPlaceDeactivate();
    SafeRelease(m_pInPlaceObject);
    if (m_pOleObject) {
        m_pOleObject->Close(OLECLOSE_NOSAVE);
        m_pOleObject->SetClientSite(nullptr);
        SafeRelease(m_pOleObject);
    }
    SafeRelease(m_pObject);
    m_hWndCtrl = nullptr;
}

COleControlContainer::~COleControlContainer() {
    // Last made, first gone.
    while (!m_sites.empty()) m_sites.pop_back();
}

COleControlSite* COleControlContainer::CreateControl(REFCLSID clsid, UINT nID, const RECT& rc, DWORD dwStyle,
                                                     const BYTE* pState, size_t cbState, HRESULT* phr) {
    auto site = std::make_unique<COleControlSite>(m_pWnd, nID);
    HRESULT hr = site->CreateControl(clsid, rc, dwStyle, pState, cbState);
    if (phr) *phr = hr;
    if (FAILED(hr)) return nullptr;
    m_sites.push_back(std::move(site));
    return m_sites.back().get();
}

void COleControlContainer::DestroySite(COleControlSite* site) {
    for (auto it = m_sites.begin(); it != m_sites.end(); ++it) {
        if (it->get() == site) {
            m_sites.erase(it);
            return;
        }
    }
}

COleControlSite* COleControlContainer::FindSite(UINT nID) const {
    for (const auto& site : m_sites)
        if (site->GetID() == nID) return site.get();
    return nullptr;
}

}  // namespace fw
