// The container side of ActiveX hosting: one site per hosted control, owned by
// the container of the window the control lives in.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <wrl/client.h>
#include <memory>
#include <vector>
#include "framework/com_object.h"

namespace fw {

class CWnd;
class COleEventSink;

// One hosted control: its client and in-place site, and the sink of its events.
// The site belongs to its container; the control's references are counted but
// never delete it.
class COleControlSite : public CComInterfaces<IOleClientSite, IOleInPlaceSite, IOleInPlaceFrame> {
public:
    COleControlSite(CWnd* pOwner, UINT nID);
    ~COleControlSite() override;
    COleControlSite(const COleControlSite&) = delete;
    COleControlSite& operator=(const COleControlSite&) = delete;

    // Creates the control in place at rc (pixels of the owner's client area),
    // loads its persisted state (or initialises it anew when there is none),
    // activates it and connects its events.
    HRESULT CreateControl(REFCLSID clsid, const RECT& rc, DWORD dwStyle,
                          const BYTE* pState, size_t cbState);

    UINT GetID() const { return m_nID; }
    HWND GetHwnd() const { return m_hWndCtrl; }
    IDispatch* GetDispatch() const { return m_pDispatch.Get(); }
    IUnknown* GetUnknown() const { return m_pObject.Get(); }
    // Moves the control: the control is told its new place and moves its window.
    void MoveControl(const RECT& rc);

    // The wrapper object bound to this site (see COleControlWnd), told when the site goes.
    CWnd* m_pBoundWnd = nullptr;

    // IUnknown (QueryInterface is the template's)
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override;
    STDMETHODIMP GetContainer(IOleContainer** ppContainer) override;
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
    // IOleWindow
    STDMETHODIMP GetWindow(HWND* phwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                  LPRECT lprcPosRect, LPRECT lprcClipRect,
                                  LPOLEINPLACEFRAMEINFO lpFrameInfo) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override;
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT lprcPosRect) override;
    // IOleInPlaceUIWindow / IOleInPlaceFrame: the owner window stands for the frame.
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

protected:
    void* QueryOther(REFIID riid) override;

private:
    void ConnectEvents();
    void Close();

    CWnd* m_pOwner;
    UINT m_nID;
    ULONG m_cRef = 0;
    RECT m_rcPos = {0, 0, 0, 0};
    HWND m_hWndCtrl = nullptr;
    Microsoft::WRL::ComPtr<IUnknown> m_pObject;
    Microsoft::WRL::ComPtr<IOleObject> m_pOleObject;
    Microsoft::WRL::ComPtr<IOleInPlaceObject> m_pInPlaceObject;  // while in place
    Microsoft::WRL::ComPtr<IDispatch> m_pDispatch;
    Microsoft::WRL::ComPtr<IConnectionPoint> m_pEventPoint;
    DWORD m_dwEventCookie = 0;
    Microsoft::WRL::ComPtr<COleEventSink> m_pSink;
};

// The hosted controls of one window, in creation order.
class COleControlContainer {
public:
    explicit COleControlContainer(CWnd* pWnd) : m_pWnd(pWnd) {}
    ~COleControlContainer();
    COleControlContainer(const COleControlContainer&) = delete;
    COleControlContainer& operator=(const COleControlContainer&) = delete;

    // Creates a control and keeps its site; null when the control could not be made.
    COleControlSite* CreateControl(REFCLSID clsid, UINT nID, const RECT& rc, DWORD dwStyle,
                                   const BYTE* pState, size_t cbState, HRESULT* phr = nullptr);
    COleControlSite* FindSite(UINT nID) const;
    // Closes the control and forgets its site.
    void DestroySite(COleControlSite* site);

private:
    CWnd* m_pWnd;
    std::vector<std::unique_ptr<COleControlSite>> m_sites;
};

}  // namespace fw
