#include "tests/support/test_calls.h"
#include <iterator>
#include <vector>
#include "owners/bstr.h"

CallResult Call(IDispatch* p, DISPID id, WORD wFlags, std::initializer_list<VARIANT> args,
                bool bPutName)
{
    // DISPPARAMS holds the arguments last first.
    std::vector<VARIANT> rgvarg(std::rbegin(args), std::rend(args));
    DISPID putName = DISPID_PROPERTYPUT;
    DISPPARAMS params = {rgvarg.data(), bPutName ? &putName : nullptr,
                         static_cast<UINT>(rgvarg.size()), bPutName ? 1u : 0u};
    CallResult r = {};
    VariantInit(&r.result);
    r.uArgErr = ~0u;
    r.hr = p->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, wFlags, &params, &r.result, &r.excep,
                     &r.uArgErr);
    return r;
}

void FreeCallResult(CallResult& r)
{
    VariantClear(&r.result);
    const CScopedBstr source(r.excep.bstrSource), description(r.excep.bstrDescription), helpFile(r.excep.bstrHelpFile);
    r.excep = {};
}

VARIANT LongArg(LONG value)
{
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return v;
}

VARIANT ShortArg(SHORT value)
{
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_I2;
    V_I2(&v) = value;
    return v;
}

VARIANT BstrArg(BSTR bstr)
{
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = bstr;
    return v;
}

HRESULT CallStatus(IDispatch* p, DISPID id, WORD wFlags, std::initializer_list<VARIANT> args, bool bPutName)
{
    CallResult r = Call(p, id, wFlags, args, bPutName);
    FreeCallResult(r);
    return r.hr;
}

HRESULT PutLong(IDispatch* p, DISPID id, LONG value)
{
    return CallStatus(p, id, DISPATCH_PROPERTYPUT, {LongArg(value)}, true);
}

HRESULT PutString(IDispatch* p, DISPID id, const wchar_t* value)
{
    VARIANT v = BstrArg(SysAllocString(value));
    const HRESULT hr = CallStatus(p, id, DISPATCH_PROPERTYPUT, {v}, true);
    VariantClear(&v);
    return hr;
}

HRESULT GetLong(IDispatch* p, DISPID id, LONG* pValue)
{
    CallResult r = Call(p, id, DISPATCH_PROPERTYGET);
    *pValue = V_VT(&r.result) == VT_I4 ? V_I4(&r.result) : 0x7EADBEEF;
    FreeCallResult(r);
    return r.hr;
}

HRESULT CallMethod(IDispatch* p, DISPID id) { return CallStatus(p, id, DISPATCH_METHOD); }

HRESULT CallMethodLong(IDispatch* p, DISPID id, LONG arg) { return CallStatus(p, id, DISPATCH_METHOD, {LongArg(arg)}); }

HRESULT CallOutString(IDispatch* p, DISPID id, BSTR* pOut)
{
    *pOut = nullptr;
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_BSTR | VT_BYREF;
    V_BSTRREF(&v) = pOut;
    return CallStatus(p, id, DISPATCH_METHOD, {v});
}
