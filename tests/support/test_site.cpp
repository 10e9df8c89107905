#include "tests/support/test_site.h"

STDMETHODIMP CTestSite::QueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IUnknown || riid == IID_IOleClientSite)
        *ppv = static_cast<IOleClientSite*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite)
        *ppv = static_cast<IOleInPlaceSite*>(this);
    else
        *ppv = nullptr;
    if (!*ppv)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP CTestSite::GetMoniker(DWORD, DWORD, IMoniker** ppmk)
{
    *ppmk = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CTestSite::GetContainer(IOleContainer** ppContainer)
{
    *ppContainer = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CTestSite::GetWindow(HWND* phwnd)
{
    *phwnd = m_hwndParent;
    return S_OK;
}

STDMETHODIMP CTestSite::GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                         LPRECT lprcPosRect, LPRECT lprcClipRect,
                                         LPOLEINPLACEFRAMEINFO lpFrameInfo)
{
    *ppFrame = nullptr;
    *ppDoc = nullptr;
    *lprcPosRect = m_rcPos;
    *lprcClipRect = m_rcPos;
    lpFrameInfo->fMDIApp = FALSE;
    lpFrameInfo->hwndFrame = m_hwndParent;
    lpFrameInfo->haccel = nullptr;
    lpFrameInfo->cAccelEntries = 0;
    return S_OK;
}
