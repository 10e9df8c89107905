#include "framework/olecontainer.h"
#include "owners/gdi.h"
#include "framework/olecontrol.h"
#include "framework/wnd.h"

namespace fw {

using Microsoft::WRL::ComPtr;

// Receives the events of one control and hands them to the owner's event table.
class COleEventSink final : public CComObject<IDispatch> {
public:
    COleEventSink(CWnd* pOwner, UINT nID, REFIID iidEvents)
        : m_pOwner(pOwner), m_nID(nID), m_iid(iidEvents) {}

    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override
    {
        if (pctinfo) *pctinfo = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                        EXCEPINFO*, UINT*) override
    {
        // An event may come after the owner has let the control go.
        if (!m_pOwner) return S_OK;
        HRESULT hr = m_pOwner->OnControlEvent(m_nID, dispid, params);
        // Events the owner has no entry for are not the control's fault.
        return hr == DISP_E_MEMBERNOTFOUND ? S_OK : hr;
    }

    void Disconnect() { m_pOwner = nullptr; }

protected:
    // The control's event interface, which IDispatch answers.
    void* QueryOther(REFIID riid) override { return riid == m_iid ? static_cast<IDispatch*>(this) : nullptr; }

private:
    CWnd* m_pOwner;
    UINT m_nID;
    IID m_iid;
};

COleControlSite::COleControlSite(CWnd* pOwner, UINT nID) : m_pOwner(pOwner), m_nID(nID) {}

COleControlSite::~COleControlSite()
{
    if (m_pBoundWnd) m_pBoundWnd->BindControlSite(nullptr);
    Close();
}

void* COleControlSite::QueryOther(REFIID riid)
{
    if (riid == IID_IOleWindow) return static_cast<IOleWindow*>(static_cast<IOleInPlaceSite*>(this));
    if (riid == IID_IOleInPlaceUIWindow) return static_cast<IOleInPlaceUIWindow*>(this);
    return nullptr;
}

// The site lives as long as its container; the counts are kept for the control's sake.
STDMETHODIMP_(ULONG) COleControlSite::AddRef() { return ++m_cRef; }
STDMETHODIMP_(ULONG) COleControlSite::Release() { return m_cRef ? --m_cRef : 0; }

STDMETHODIMP COleControlSite::GetMoniker(DWORD, DWORD, IMoniker** ppmk)
{
    if (ppmk) *ppmk = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::GetContainer(IOleContainer** ppContainer)
{
    if (ppContainer) *ppContainer = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP COleControlSite::GetWindow(HWND* phwnd)
{
    if (!phwnd) return E_POINTER;
    *phwnd = m_pOwner->m_hWnd;
    return S_OK;
}

STDMETHODIMP COleControlSite::GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                               LPRECT lprcPosRect, LPRECT lprcClipRect,
                                               LPOLEINPLACEFRAMEINFO lpFrameInfo)
{
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

STDMETHODIMP COleControlSite::OnInPlaceDeactivate()
{
    m_pInPlaceObject.Reset();
    return S_OK;
}

STDMETHODIMP COleControlSite::OnPosRectChange(LPCRECT lprcPosRect)
{
    if (!lprcPosRect) return E_POINTER;
    MoveControl(*lprcPosRect);
    return S_OK;
}

void COleControlSite::MoveControl(const RECT& rc)
{
    m_rcPos = rc;
    if (m_pInPlaceObject) {
        m_pInPlaceObject->SetObjectRects(&m_rcPos, &m_rcPos);
    } else if (m_hWndCtrl) {
        ::MoveWindow(m_hWndCtrl, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
    }
}

static SIZEL PixelsToHimetric(HWND hwnd, LONG cx, LONG cy)
{
    CClientDC dc(hwnd);
    int dpiX = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 96;
    int dpiY = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    return SIZEL{MulDiv(cx, 2540, dpiX ? dpiX : 96), MulDiv(cy, 2540, dpiY ? dpiY : 96)};
}

static HRESULT LoadState(IUnknown* object, const BYTE* pState, size_t cbState)
{
    ComPtr<IPersistStreamInit> persist;
    HRESULT hr = object->QueryInterface(IID_PPV_ARGS(&persist));
    if (FAILED(hr)) return cbState ? hr : S_OK;  // nothing to load into a control without one
    if (!cbState) return persist->InitNew();
    ComPtr<IStream> stream;
    hr = CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    ULONG written = 0;
    if (SUCCEEDED(hr)) hr = stream->Write(pState, static_cast<ULONG>(cbState), &written);
    LARGE_INTEGER zero = {};
    if (SUCCEEDED(hr)) hr = stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    if (SUCCEEDED(hr)) hr = persist->Load(stream.Get());
    return hr;
}

HRESULT COleControlSite::CreateControl(REFCLSID clsid, const RECT& rc, DWORD dwStyle,
                                       const BYTE* pState, size_t cbState)
{
    m_rcPos = rc;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&m_pObject));
    if (FAILED(hr)) return hr;
    hr = m_pObject.As(&m_pOleObject);
    if (FAILED(hr)) return hr;

    DWORD misc = 0;
    m_pOleObject->GetMiscStatus(DVASPECT_CONTENT, &misc);
    const bool siteFirst = (misc & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (siteFirst) m_pOleObject->SetClientSite(this);
    hr = LoadState(m_pObject.Get(), pState, cbState);
    if (FAILED(hr)) return hr;
    if (!siteFirst) m_pOleObject->SetClientSite(this);

    SIZEL extent = PixelsToHimetric(m_pOwner->m_hWnd, rc.right - rc.left, rc.bottom - rc.top);
    m_pOleObject->SetExtent(DVASPECT_CONTENT, &extent);

    LONG verb = (dwStyle & WS_VISIBLE) ? OLEIVERB_SHOW : OLEIVERB_INPLACEACTIVATE;
    hr = m_pOleObject->DoVerb(verb, nullptr, this, 0, m_pOwner->m_hWnd, &m_rcPos);
    if (FAILED(hr)) return hr;

    m_pObject.As(&m_pInPlaceObject);
    if (m_pInPlaceObject) m_pInPlaceObject->GetWindow(&m_hWndCtrl);
    if (!m_hWndCtrl) return E_FAIL;  // the framework hosts windowed controls only
    SetWindowLongPtrA(m_hWndCtrl, GWLP_ID, static_cast<LONG_PTR>(m_nID));
    if (!(dwStyle & WS_VISIBLE)) ::ShowWindow(m_hWndCtrl, SW_HIDE);

    m_pObject.As(&m_pDispatch);
    ConnectEvents();
    return S_OK;
}

// The default source interface: asked of IProvideClassInfo2, else the first connection point.
void COleControlSite::ConnectEvents()
{
    ComPtr<IConnectionPointContainer> cpc;
    if (FAILED(m_pObject.As(&cpc))) return;
    GUID iid = GUID_NULL;
    ComPtr<IProvideClassInfo2> pci;
    if (SUCCEEDED(m_pObject.As(&pci)) && FAILED(pci->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &iid)))
        iid = GUID_NULL;
    if (iid != GUID_NULL) {
        cpc->FindConnectionPoint(iid, &m_pEventPoint);
    } else {
        ComPtr<IEnumConnectionPoints> points;
        ULONG fetched = 0;
        if (SUCCEEDED(cpc->EnumConnectionPoints(&points)) && points &&
            points->Next(1, &m_pEventPoint, &fetched) != S_OK)
            m_pEventPoint.Reset();
        if (m_pEventPoint && FAILED(m_pEventPoint->GetConnectionInterface(&iid))) m_pEventPoint.Reset();
    }
    if (!m_pEventPoint) return;

    m_pSink.Attach(new COleEventSink(m_pOwner, m_nID, iid));
    if (FAILED(m_pEventPoint->Advise(m_pSink->GetIdentity(), &m_dwEventCookie))) {
        m_dwEventCookie = 0;
        m_pEventPoint.Reset();
    }
}

void COleControlSite::Close()
{
    if (m_pSink) m_pSink->Disconnect();
    if (m_pEventPoint && m_dwEventCookie) m_pEventPoint->Unadvise(m_dwEventCookie);
    m_pEventPoint.Reset();
    m_pSink.Reset();
    m_pDispatch.Reset();
    if (m_pInPlaceObject) m_pInPlaceObject->InPlaceDeactivate();
    m_pInPlaceObject.Reset();
    if (m_pOleObject) {
        m_pOleObject->Close(OLECLOSE_NOSAVE);
        m_pOleObject->SetClientSite(nullptr);
        m_pOleObject.Reset();
    }
    m_pObject.Reset();
    m_hWndCtrl = nullptr;
}

COleControlContainer::~COleControlContainer()
{
    // Last made, first gone.
    while (!m_sites.empty()) m_sites.pop_back();
}

COleControlSite* COleControlContainer::CreateControl(REFCLSID clsid, UINT nID, const RECT& rc, DWORD dwStyle,
                                                     const BYTE* pState, size_t cbState, HRESULT* phr)
{
    auto site = std::make_unique<COleControlSite>(m_pWnd, nID);
    HRESULT hr = site->CreateControl(clsid, rc, dwStyle, pState, cbState);
    if (phr) *phr = hr;
    if (FAILED(hr)) return nullptr;
    m_sites.push_back(std::move(site));
    return m_sites.back().get();
}

void COleControlContainer::DestroySite(COleControlSite* site)
{
    for (auto it = m_sites.begin(); it != m_sites.end(); ++it) {
        if (it->get() == site) {
            m_sites.erase(it);
            return;
        }
    }
}

COleControlSite* COleControlContainer::FindSite(UINT nID) const
{
    for (const auto& site : m_sites)
        if (site->GetID() == nID) return site.get();
    return nullptr;
}

}  // namespace fw
