// An event sink written as a plain IDispatch, recording what it is fired.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <functional>
#include <vector>

struct SinkEvent {
    DISPID dispid;
    std::vector<LONG> args;  // in the event's signature order
    DWORD dwThreadId;
};

class CTestSink : public IDispatch {
public:
    std::vector<SinkEvent> events;
    std::function<void()> onEvent;  // runs inside each Invoke, after recording

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_nRefs; }
    STDMETHODIMP_(ULONG) Release() override { return --m_nRefs; }  // owned by the test
    STDMETHODIMP GetTypeInfoCount(UINT* p) override
    {
        *p = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD wFlags, DISPPARAMS* pParams, VARIANT*,
                        EXCEPINFO*, UINT*) override;

    ULONG RefCount() const { return m_nRefs; }

private:
    ULONG m_nRefs = 0;
};
