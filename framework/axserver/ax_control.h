// The base of an in-process, windowed, apartment-threaded ActiveX control.
//
// The base is the COM object: reference count, QueryInterface, OLE embedding and
// in-place activation, the control window, the persisted-property stream, one
// connection point for the event dispinterface, and IDispatch. A derived control
// supplies its identities (AxControlInfo), its members (InvokeMember), what its
// stream bytes mean (LoadProperties, SaveProperties) and what its window does
// (OnWindowMessage).
//
// Threads: every interface method, FireEvent included, runs on the thread that
// created the object. Worker threads hand work over with a CAxThreadQueue.
//
// Windows: the control creates its window when it is activated in place and
// destroys it when it is deactivated or closed. The container's dialog may
// destroy it first, with the dialog; the base then forgets the handle, and
// nothing is destroyed twice.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>
#include <initializer_list>
#include <vector>
#include "framework/axserver/connection_point.h"
#include "framework/axserver/dispatch_args.h"
#include "framework/com_object.h"

// A name GetIDsOfNames answers (compared without regard to case).
struct AxMemberName {
    const wchar_t* pszName;
    DISPID dispid;
};

struct AxControlInfo {
    CLSID clsid;
    IID iidDispatch;  // answered with the same object as IID_IDispatch
    IID iidEvents;    // the default source dispinterface, and the connection point's
    const AxMemberName* pNames = nullptr;
    size_t nNames = 0;
};

// What GetMiscStatus reports: the container sets the site before loading, and
// activates the control as soon as it is visible, in place, without a menu.
const DWORD kAxMiscStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE |
                            OLEMISC_RECOMPOSEONRESIZE | OLEMISC_INSIDEOUT |
                            OLEMISC_CANTLINKINSIDE;

// IUnknown is the template's: IOleObject stands for the identity, and
// QueryOther answers the names the listed interfaces also go by.
class CAxControl : public fw::CComObject<IOleObject,
                                         IDispatch,
                                         IOleInPlaceObject,
                                         IOleInPlaceActiveObject,
                                         IOleControl,
                                         IPersistStreamInit,
                                         IConnectionPointContainer,
                                         IProvideClassInfo2> {
public:
    HWND Window() const { return m_hWnd; }
    // Where the control's window is, in its parent's client coordinates: the
    // activation rectangle, then every SetObjectRects and every move of the window.
    const RECT& PositionRect() const { return m_rcPos; }
    bool IsInPlaceActive() const { return m_pInPlaceSite != nullptr; }
    bool IsUIActive() const { return m_bUIActive; }
    bool AreEventsFrozen() const { return m_nFreezeCount > 0; }
    IOleClientSite* ClientSite() const { return m_pClientSite.Get(); }
    size_t SinkCount() const { return m_connectionPoint.SinkCount(); }

    // Calls every sink with DISPATCH_METHOD; args in the event's signature order.
    // S_FALSE while the container has frozen events (they are dropped);
    // RPC_E_WRONG_THREAD from any thread but the creating one.
    HRESULT FireEvent(DISPID dispid, std::initializer_list<VARIANT> args);

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                               DISPID* rgDispId) override;
    STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                        DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                        UINT* puArgErr) override;

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* pClientSite) override;
    STDMETHODIMP GetClientSite(IOleClientSite** ppClientSite) override;
    STDMETHODIMP SetHostNames(LPCOLESTR szContainerApp, LPCOLESTR szContainerObj) override;
    STDMETHODIMP Close(DWORD dwSaveOption) override;
    STDMETHODIMP SetMoniker(DWORD dwWhichMoniker, IMoniker* pmk) override;
    STDMETHODIMP GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) override;
    STDMETHODIMP InitFromData(IDataObject* pDataObject, BOOL fCreation, DWORD dwReserved) override;
    STDMETHODIMP GetClipboardData(DWORD dwReserved, IDataObject** ppDataObject) override;
    STDMETHODIMP DoVerb(LONG iVerb, LPMSG lpmsg, IOleClientSite* pActiveSite, LONG lindex,
                        HWND hwndParent, LPCRECT lprcPosRect) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** ppEnumOleVerb) override;
    STDMETHODIMP Update() override;
    STDMETHODIMP IsUpToDate() override;
    STDMETHODIMP GetUserClassID(CLSID* pClsid) override;
    STDMETHODIMP GetUserType(DWORD dwFormOfType, LPOLESTR* pszUserType) override;
    STDMETHODIMP SetExtent(DWORD dwDrawAspect, SIZEL* psizel) override;
    STDMETHODIMP GetExtent(DWORD dwDrawAspect, SIZEL* psizel) override;
    STDMETHODIMP Advise(IAdviseSink* pAdvSink, DWORD* pdwConnection) override;
    STDMETHODIMP Unadvise(DWORD dwConnection) override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** ppenumAdvise) override;
    STDMETHODIMP GetMiscStatus(DWORD dwAspect, DWORD* pdwStatus) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE* pLogpal) override;

    // IOleWindow, through IOleInPlaceObject and IOleInPlaceActiveObject
    STDMETHODIMP GetWindow(HWND* phwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL fEnterMode) override;
    // IOleInPlaceObject
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) override;
    STDMETHODIMP ReactivateAndUndo() override;
    // IOleInPlaceActiveObject
    STDMETHODIMP TranslateAccelerator(LPMSG lpmsg) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL fActivate) override;
    STDMETHODIMP OnDocWindowActivate(BOOL fActivate) override;
    STDMETHODIMP ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow,
                              BOOL fFrameWindow) override;
    STDMETHODIMP EnableModeless(BOOL fEnable) override;

    // IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO* pCI) override;
    STDMETHODIMP OnMnemonic(MSG* pMsg) override;
    STDMETHODIMP OnAmbientPropertyChange(DISPID dispID) override;
    STDMETHODIMP FreezeEvents(BOOL bFreeze) override;

    // IPersist, IPersistStreamInit (also answered for IPersistStream, whose
    // methods are its first ones)
    STDMETHODIMP GetClassID(CLSID* pClassID) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(LPSTREAM pStm) override;
    STDMETHODIMP Save(LPSTREAM pStm, BOOL fClearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* pCbSize) override;
    STDMETHODIMP InitNew() override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** ppEnum) override;
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override;

    // IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** ppTI) override;
    STDMETHODIMP GetGUID(DWORD dwGuidKind, GUID* pGUID) override;

protected:
    explicit CAxControl(const AxControlInfo& info);
    ~CAxControl() override;

    void* QueryOther(REFIID riid) override;

    // A member call. Unknown ids answer DISP_E_MEMBERNOTFOUND.
    virtual HRESULT InvokeMember(const AxInvocation& call) = 0;
    // The whole persisted stream, as read. A malformed one answers an error.
    virtual HRESULT LoadProperties(const std::vector<BYTE>& bytes) = 0;
    virtual HRESULT SaveProperties(std::vector<BYTE>* pBytes) = 0;
    virtual HRESULT InitNewProperties() { return S_OK; }
    // A message of the control's window; true when handled, with *pResult set.
    // WM_CREATE and WM_DESTROY come here too, for a control that starts or stops
    // work with its window.
    virtual bool OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
    {
        return false;
    }

    void SetDirty() { m_bDirty = true; }

private:
    HRESULT ActivateInPlace(IOleClientSite* pActiveSite, HWND hwndParent, LPCRECT prcPosRect,
                            bool bUIActivate);
    HRESULT ConnectInPlaceSite(IOleClientSite* pSite);
    HRESULT CreateControlWindow(HWND hwndParent, LPCRECT prcPosRect);
    void DestroyControlWindow();
    void ActivateUI();
    void SetActiveObjectOnFrame(IOleInPlaceActiveObject* pActive);
    void RememberWindowPosition();
    LRESULT HandleWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static void UnregisterWindowClass();
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    AxControlInfo m_info;
    DWORD m_dwThreadId;
    CAxConnectionPoint m_connectionPoint;

    Microsoft::WRL::ComPtr<IOleClientSite> m_pClientSite;
    Microsoft::WRL::ComPtr<IOleInPlaceSite> m_pInPlaceSite;    // while in place
    Microsoft::WRL::ComPtr<IOleAdviseHolder> m_pAdviseHolder;  // made on the first Advise
    HWND m_hWnd = nullptr;                                     // ours; cleared when destroyed, by whoever destroyed it
    RECT m_rcPos = {0, 0, 0, 0};
    SIZEL m_extent = {0, 0};
    bool m_bUIActive = false;
    bool m_bDirty = false;
    LONG m_nFreezeCount = 0;
};
