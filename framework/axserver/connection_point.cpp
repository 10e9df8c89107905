#include "framework/axserver/connection_point.h"
#include <olectl.h>

namespace {

// A snapshot of the connections at the time EnumConnections was called.
class CConnectionEnum final : public fw::CComObject<IEnumConnections> {
public:
    explicit CConnectionEnum(std::vector<CONNECTDATA> items) : m_items(std::move(items))
    {
        for (CONNECTDATA& item : m_items)
            item.pUnk->AddRef();
    }

    STDMETHODIMP Next(ULONG cConnections, CONNECTDATA* rgcd, ULONG* pcFetched) override
    {
        if (!rgcd || (cConnections != 1 && !pcFetched))
            return E_POINTER;
        ULONG nFetched = 0;
        for (; nFetched < cConnections && m_nNext < m_items.size(); ++nFetched, ++m_nNext) {
            rgcd[nFetched] = m_items[m_nNext];
            rgcd[nFetched].pUnk->AddRef();
        }
        if (pcFetched)
            *pcFetched = nFetched;
        return nFetched == cConnections ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG cConnections) override
    {
        size_t nLeft = m_items.size() - m_nNext;
        if (cConnections > nLeft) {
            m_nNext = m_items.size();
            return S_FALSE;
        }
        m_nNext += cConnections;
        return S_OK;
    }
    STDMETHODIMP Reset() override
    {
        m_nNext = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumConnections** ppEnum) override
    {
        if (!ppEnum)
            return E_POINTER;
        auto* pClone = new CConnectionEnum(m_items);
        pClone->m_nNext = m_nNext;
        *ppEnum = pClone;
        return S_OK;
    }

private:
    ~CConnectionEnum() override
    {
        for (CONNECTDATA& item : m_items)
            item.pUnk->Release();
    }

    std::vector<CONNECTDATA> m_items;
    size_t m_nNext = 0;
};

// Enumerates one connection point.
class COnePointEnum final : public fw::CComObject<IEnumConnectionPoints> {
public:
    explicit COnePointEnum(IConnectionPoint* pPoint) : m_pPoint(pPoint) {}

    STDMETHODIMP Next(ULONG cConnections, IConnectionPoint** ppCP, ULONG* pcFetched) override
    {
        if (!ppCP || (cConnections != 1 && !pcFetched))
            return E_POINTER;
        ULONG nFetched = 0;
        if (cConnections > 0 && !m_bDone) {
            m_pPoint.CopyTo(&ppCP[0]);
            m_bDone = true;
            nFetched = 1;
        }
        if (pcFetched)
            *pcFetched = nFetched;
        return nFetched == cConnections ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG cConnections) override
    {
        if (cConnections == 0)
            return S_OK;
        bool bSkipped = !m_bDone && cConnections == 1;
        m_bDone = true;
        return bSkipped ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override
    {
        m_bDone = false;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumConnectionPoints** ppEnum) override
    {
        if (!ppEnum)
            return E_POINTER;
        auto* pClone = new COnePointEnum(m_pPoint.Get());
        pClone->m_bDone = m_bDone;
        *ppEnum = pClone;
        return S_OK;
    }

private:
    ~COnePointEnum() override = default;

    Microsoft::WRL::ComPtr<IConnectionPoint> m_pPoint;
    bool m_bDone = false;
};

}  // namespace

HRESULT AxEnumOneConnectionPoint(IConnectionPoint* pPoint, IEnumConnectionPoints** ppEnum)
{
    if (!ppEnum)
        return E_POINTER;
    *ppEnum = new COnePointEnum(pPoint);
    return S_OK;
}

CAxConnectionPoint::CAxConnectionPoint(IConnectionPointContainer* pOwner, REFIID iidEvents)
    : m_pOwner(pOwner), m_iidEvents(iidEvents)
{
}

CAxConnectionPoint::~CAxConnectionPoint() { UnadviseAll(); }

void CAxConnectionPoint::UnadviseAll()
{
    // Out of the list before they go: a sink released may call back.
    std::vector<Sink> sinks;
    sinks.swap(m_sinks);
}

void CAxConnectionPoint::Fire(DISPID dispid, const VARIANT* pArgs, UINT nArgs)
{
    // DISPPARAMS carries the arguments last first.
    std::vector<VARIANT> reversed(pArgs, pArgs + nArgs);
    for (UINT i = 0; i < nArgs / 2; ++i)
        std::swap(reversed[i], reversed[nArgs - 1 - i]);
    DISPPARAMS params = {reversed.data(), nullptr, nArgs, 0};

    // A sink may unadvise, or advise another, from inside its handler: call a
    // copy, which holds every sink until the last is called.
    const std::vector<Sink> sinks = m_sinks;
    for (const Sink& sink : sinks)
        sink.pDispatch->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                               nullptr, nullptr, nullptr);
}

STDMETHODIMP_(ULONG) CAxConnectionPoint::AddRef() { return m_pOwner->AddRef(); }
STDMETHODIMP_(ULONG) CAxConnectionPoint::Release() { return m_pOwner->Release(); }

STDMETHODIMP CAxConnectionPoint::GetConnectionInterface(IID* pIID)
{
    if (!pIID)
        return E_POINTER;
    *pIID = m_iidEvents;
    return S_OK;
}

STDMETHODIMP CAxConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** ppCPC)
{
    if (!ppCPC)
        return E_POINTER;
    *ppCPC = m_pOwner;
    m_pOwner->AddRef();
    return S_OK;
}

STDMETHODIMP CAxConnectionPoint::Advise(IUnknown* pUnkSink, DWORD* pdwCookie)
{
    if (!pUnkSink || !pdwCookie)
        return E_POINTER;
    *pdwCookie = 0;
    // A sink should answer the event interface; one written as a plain IDispatch
    // serves just as well, since events are only ever Invoked.
    Microsoft::WRL::ComPtr<IDispatch> pDispatch;
    if (FAILED(pUnkSink->QueryInterface(m_iidEvents, reinterpret_cast<void**>(pDispatch.GetAddressOf()))) &&
        FAILED(pUnkSink->QueryInterface(IID_PPV_ARGS(&pDispatch))))
        return CONNECT_E_CANNOTCONNECT;
    m_sinks.push_back({m_dwNextCookie, pDispatch});
    *pdwCookie = m_dwNextCookie++;
    return S_OK;
}

STDMETHODIMP CAxConnectionPoint::Unadvise(DWORD dwCookie)
{
    for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it) {
        if (it->dwCookie == dwCookie) {
            // Out of the list before it goes: a sink released may call back.
            Microsoft::WRL::ComPtr<IDispatch> pGone = it->pDispatch;
            m_sinks.erase(it);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

STDMETHODIMP CAxConnectionPoint::EnumConnections(IEnumConnections** ppEnum)
{
    if (!ppEnum)
        return E_POINTER;
    std::vector<CONNECTDATA> items;
    for (const Sink& sink : m_sinks)
        items.push_back({sink.pDispatch.Get(), sink.dwCookie});
    *ppEnum = new CConnectionEnum(std::move(items));
    return S_OK;
}
