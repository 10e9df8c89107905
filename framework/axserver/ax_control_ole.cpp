// CAxControl: embedding in a container (IOleObject) and IOleControl.
#include "framework/axserver/ax_control.h"

// --- IOleObject

STDMETHODIMP CAxControl::SetClientSite(IOleClientSite* pClientSite)
{
    m_pClientSite = pClientSite;
    return S_OK;
}

STDMETHODIMP CAxControl::GetClientSite(IOleClientSite** ppClientSite)
{
    if (!ppClientSite)
        return E_POINTER;
    *ppClientSite = m_pClientSite.Get();
    if (*ppClientSite)
        (*ppClientSite)->AddRef();
    return S_OK;
}

STDMETHODIMP CAxControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

STDMETHODIMP CAxControl::Close(DWORD)
{
    // Nothing to save: the container owns the persisted stream.
    InPlaceDeactivate();
    if (m_pAdviseHolder)
        m_pAdviseHolder->SendOnClose();
    return S_OK;
}

STDMETHODIMP CAxControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

STDMETHODIMP CAxControl::GetMoniker(DWORD, DWORD, IMoniker** ppmk)
{
    if (ppmk)
        *ppmk = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CAxControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

STDMETHODIMP CAxControl::GetClipboardData(DWORD, IDataObject** ppDataObject)
{
    if (ppDataObject)
        *ppDataObject = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CAxControl::DoVerb(LONG iVerb, LPMSG, IOleClientSite* pActiveSite, LONG,
                                HWND hwndParent, LPCRECT lprcPosRect)
{
    switch (iVerb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
        return ActivateInPlace(pActiveSite, hwndParent, lprcPosRect, false);
    case OLEIVERB_UIACTIVATE:
        return ActivateInPlace(pActiveSite, hwndParent, lprcPosRect, true);
    case OLEIVERB_HIDE:
        if (m_hWnd)
            ShowWindow(m_hWnd, SW_HIDE);
        return S_OK;
    default:
        return iVerb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
}

STDMETHODIMP CAxControl::EnumVerbs(IEnumOLEVERB** ppEnumOleVerb)
{
    if (ppEnumOleVerb)
        *ppEnumOleVerb = nullptr;
    return OLEOBJ_E_NOVERBS;
}

STDMETHODIMP CAxControl::Update() { return S_OK; }
STDMETHODIMP CAxControl::IsUpToDate() { return S_OK; }

STDMETHODIMP CAxControl::GetUserClassID(CLSID* pClsid)
{
    if (!pClsid)
        return E_POINTER;
    *pClsid = m_info.clsid;
    return S_OK;
}

STDMETHODIMP CAxControl::GetUserType(DWORD, LPOLESTR* pszUserType)
{
    if (pszUserType)
        *pszUserType = nullptr;
    return OLE_S_USEREG;
}

STDMETHODIMP CAxControl::SetExtent(DWORD dwDrawAspect, SIZEL* psizel)
{
    if (dwDrawAspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!psizel)
        return E_POINTER;
    m_extent = *psizel;
    return S_OK;
}

STDMETHODIMP CAxControl::GetExtent(DWORD dwDrawAspect, SIZEL* psizel)
{
    if (dwDrawAspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!psizel)
        return E_POINTER;
    *psizel = m_extent;
    return S_OK;
}

STDMETHODIMP CAxControl::Advise(IAdviseSink* pAdvSink, DWORD* pdwConnection)
{
    if (!m_pAdviseHolder) {
        HRESULT hr = CreateOleAdviseHolder(&m_pAdviseHolder);
        if (FAILED(hr))
            return hr;
    }
    return m_pAdviseHolder->Advise(pAdvSink, pdwConnection);
}

STDMETHODIMP CAxControl::Unadvise(DWORD dwConnection)
{
    if (!m_pAdviseHolder)
        return OLE_E_NOCONNECTION;
    return m_pAdviseHolder->Unadvise(dwConnection);
}

STDMETHODIMP CAxControl::EnumAdvise(IEnumSTATDATA** ppenumAdvise)
{
    if (!ppenumAdvise)
        return E_POINTER;
    *ppenumAdvise = nullptr;
    if (!m_pAdviseHolder)
        return S_OK;
    return m_pAdviseHolder->EnumAdvise(ppenumAdvise);
}

STDMETHODIMP CAxControl::GetMiscStatus(DWORD, DWORD* pdwStatus)
{
    if (!pdwStatus)
        return E_POINTER;
    *pdwStatus = kAxMiscStatus;
    return S_OK;
}

STDMETHODIMP CAxControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// --- IOleControl

STDMETHODIMP CAxControl::GetControlInfo(CONTROLINFO* pCI)
{
    if (!pCI)
        return E_POINTER;
    // No mnemonics, no accelerators.
    pCI->hAccel = nullptr;
    pCI->cAccel = 0;
    pCI->dwFlags = 0;
    return S_OK;
}

STDMETHODIMP CAxControl::OnMnemonic(MSG*) { return E_NOTIMPL; }
STDMETHODIMP CAxControl::OnAmbientPropertyChange(DISPID) { return S_OK; }

STDMETHODIMP CAxControl::FreezeEvents(BOOL bFreeze)
{
    if (bFreeze)
        ++m_nFreezeCount;
    else if (m_nFreezeCount > 0)
        --m_nFreezeCount;
    return S_OK;
}
