// CAxControl: identity, reference count, dispatch, class information and events.
#include "framework/axserver/ax_control.h"
#include "framework/axserver/ax_module.h"

CAxControl::CAxControl(const AxControlInfo& info)
    : m_info(info),
      m_dwThreadId(GetCurrentThreadId()),
      m_connectionPoint(static_cast<IConnectionPointContainer*>(this), info.iidEvents)
{
    AxLockModule();
}

CAxControl::~CAxControl()
{
    // Released without Close: the window still has to go, without calling back
    // into a derived part that no longer exists.
    if (m_hWnd) {
        SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }
    UnregisterWindowClass();
    m_connectionPoint.UnadviseAll();
    m_pInPlaceSite.Reset();
    m_pClientSite.Reset();
    m_pAdviseHolder.Reset();
    AxUnlockModule();
}

HRESULT CAxControl::FireEvent(DISPID dispid, std::initializer_list<VARIANT> args)
{
    if (GetCurrentThreadId() != m_dwThreadId)
        return RPC_E_WRONG_THREAD;
    if (AreEventsFrozen())
        return S_FALSE;
    m_connectionPoint.Fire(dispid, args.begin(), static_cast<UINT>(args.size()));
    return S_OK;
}

// --- IUnknown

void* CAxControl::QueryOther(REFIID riid)
{
    if (riid == m_info.iidDispatch)
        return static_cast<IDispatch*>(this);
    if (riid == IID_IOleWindow)
        return static_cast<IOleWindow*>(static_cast<IOleInPlaceObject*>(this));
    // IPersistStream's methods are IPersistStreamInit's first ones.
    if (riid == IID_IPersist || riid == IID_IPersistStream)
        return static_cast<IPersistStreamInit*>(this);
    if (riid == IID_IProvideClassInfo)
        return static_cast<IProvideClassInfo2*>(this);
    return nullptr;
}

// --- IDispatch

STDMETHODIMP CAxControl::GetTypeInfoCount(UINT* pctinfo)
{
    if (!pctinfo)
        return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

STDMETHODIMP CAxControl::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo)
{
    if (ppTInfo)
        *ppTInfo = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CAxControl::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID,
                                       DISPID* rgDispId)
{
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    if (!rgszNames || !rgDispId || cNames == 0)
        return E_INVALIDARG;
    // Our members take no named arguments: only the member name can be known.
    for (UINT i = 0; i < cNames; ++i)
        rgDispId[i] = DISPID_UNKNOWN;
    for (size_t i = 0; i < m_info.nNames; ++i) {
        if (rgszNames[0] && lstrcmpiW(rgszNames[0], m_info.pNames[i].pszName) == 0) {
            rgDispId[0] = m_info.pNames[i].dispid;
            break;
        }
    }
    bool bAllKnown = rgDispId[0] != DISPID_UNKNOWN && cNames == 1;
    return bAllKnown ? S_OK : DISP_E_UNKNOWNNAME;
}

STDMETHODIMP CAxControl::Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD wFlags,
                                DISPPARAMS* pDispParams, VARIANT* pVarResult,
                                EXCEPINFO* pExcepInfo, UINT* puArgErr)
{
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    if (!pDispParams)
        pDispParams = &none;
    if (pDispParams->cArgs && !pDispParams->rgvarg)
        return E_INVALIDARG;
    if (pVarResult)
        VariantInit(pVarResult);
    AxInvocation call = {dispIdMember, wFlags, pDispParams, pVarResult, pExcepInfo, puArgErr};
    return InvokeMember(call);
}

// --- IProvideClassInfo2

STDMETHODIMP CAxControl::GetClassInfo(ITypeInfo** ppTI)
{
    if (ppTI)
        *ppTI = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CAxControl::GetGUID(DWORD dwGuidKind, GUID* pGUID)
{
    if (!pGUID)
        return E_POINTER;
    if (dwGuidKind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *pGUID = GUID_NULL;
        return E_INVALIDARG;
    }
    *pGUID = m_info.iidEvents;
    return S_OK;
}

// --- IConnectionPointContainer

STDMETHODIMP CAxControl::EnumConnectionPoints(IEnumConnectionPoints** ppEnum)
{
    return AxEnumOneConnectionPoint(&m_connectionPoint, ppEnum);
}

STDMETHODIMP CAxControl::FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP)
{
    if (!ppCP)
        return E_POINTER;
    if (riid != m_info.iidEvents) {
        *ppCP = nullptr;
        return CONNECT_E_NOCONNECTION;
    }
    *ppCP = &m_connectionPoint;
    m_connectionPoint.AddRef();
    return S_OK;
}
