// The least of a container a control can be activated in place in: a client
// site and an in-place site over a parent window, at a given position.
#pragma once
#include <windows.h>
#include <ole2.h>

class CTestSite : public IOleClientSite, public IOleInPlaceSite {
public:
    CTestSite(HWND hwndParent, const RECT& rcPos) : m_hwndParent(hwndParent), m_rcPos(rcPos) {}

    int nInPlaceActivate = 0;
    int nInPlaceDeactivate = 0;
    int nUIActivate = 0;
    int nUIDeactivate = 0;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_nRefs; }
    STDMETHODIMP_(ULONG) Release() override { return --m_nRefs; }  // owned by the test
    ULONG RefCount() const { return m_nRefs; }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return S_OK; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** ppmk) override;
    STDMETHODIMP GetContainer(IOleContainer** ppContainer) override;
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow
    STDMETHODIMP GetWindow(HWND* phwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override
    {
        ++nInPlaceActivate;
        return S_OK;
    }
    STDMETHODIMP OnUIActivate() override
    {
        ++nUIActivate;
        return S_OK;
    }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                  LPRECT lprcPosRect, LPRECT lprcClipRect,
                                  LPOLEINPLACEFRAMEINFO lpFrameInfo) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override
    {
        ++nUIDeactivate;
        return S_OK;
    }
    STDMETHODIMP OnInPlaceDeactivate() override
    {
        ++nInPlaceDeactivate;
        return S_OK;
    }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

private:
    HWND m_hwndParent;
    RECT m_rcPos;
    ULONG m_nRefs = 0;
};
