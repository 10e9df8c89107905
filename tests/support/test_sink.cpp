#include "tests/support/test_sink.h"
#include "decoder/dvrctl.h"

STDMETHODIMP CTestSink::QueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == DIID_DvrControlEvents) {
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CTestSink::Invoke(DISPID id, REFIID, LCID, WORD wFlags, DISPPARAMS* pParams,
                               VARIANT*, EXCEPINFO*, UINT*)
{
    if (wFlags != DISPATCH_METHOD)
        return DISP_E_MEMBERNOTFOUND;
    SinkEvent event = {id, {}, GetCurrentThreadId()};
    for (UINT i = pParams->cArgs; i-- > 0;) {
        const VARIANT& v = pParams->rgvarg[i];
        event.args.push_back(V_VT(&v) == VT_I4 ? V_I4(&v) : 0x7EADBEEF);
    }
    events.push_back(event);
    if (onEvent)
        onEvent();
    return S_OK;
}
