// The one connection point of a control: its event dispinterface, any number of
// sinks, and firing an event to all of them.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>
#include <vector>
#include "framework/com_object.h"

class CAxConnectionPoint : public fw::CComInterfaces<IConnectionPoint> {
public:
    // pOwner is the control; the connection point lives inside it and shares its
    // reference count, so it never outlives the container it reports.
    CAxConnectionPoint(IConnectionPointContainer* pOwner, REFIID iidEvents);
    ~CAxConnectionPoint() override;

    // Calls every sink's Invoke with DISPATCH_METHOD; args in signature order.
    void Fire(DISPID dispid, const VARIANT* pArgs, UINT nArgs);
    size_t SinkCount() const { return m_sinks.size(); }
    // Drops every sink, for a control that is closing.
    void UnadviseAll();

    // IUnknown: the control's count (QueryInterface is the template's)
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IConnectionPoint
    STDMETHODIMP GetConnectionInterface(IID* pIID) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** ppCPC) override;
    STDMETHODIMP Advise(IUnknown* pUnkSink, DWORD* pdwCookie) override;
    STDMETHODIMP Unadvise(DWORD dwCookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** ppEnum) override;

private:
    struct Sink {
        DWORD dwCookie;
        Microsoft::WRL::ComPtr<IDispatch> pDispatch;
    };

    IConnectionPointContainer* m_pOwner;  // not owned: we are part of it
    IID m_iidEvents;
    std::vector<Sink> m_sinks;
    DWORD m_dwNextCookie = 1;
};

// An enumerator over the one connection point of a control, for
// IConnectionPointContainer::EnumConnectionPoints.
HRESULT AxEnumOneConnectionPoint(IConnectionPoint* pPoint, IEnumConnectionPoints** ppEnum);
