#include "framework/dispatch.h"
#include <vector>
#include "framework/exceptions.h"
#include "owners/bstr.h"
#include "owners/variant.h"

namespace fw {

void COleDispatchDriver::AttachDispatch(IDispatch* pDispatch)
{
    if (pDispatch) pDispatch->AddRef();
    ReleaseDispatch();
    m_lpDispatch = pDispatch;
}

void COleDispatchDriver::ReleaseDispatch()
{
    if (m_lpDispatch) {
        m_lpDispatch->Release();
        m_lpDispatch = nullptr;
    }
}

void COleDispatchDriver::InvokeHelper(DISPID dispid, WORD wFlags, VARTYPE vtRet, void* pvRet,
                                      const char* pbParamInfo, ...)
{
    va_list args;
    va_start(args, pbParamInfo);
    try {
        InvokeHelperV(dispid, wFlags, vtRet, pvRet, pbParamInfo, args);
    } catch (...) {
        va_end(args);
        throw;
    }
    va_end(args);
}

namespace {

// The arguments of one call, freed whatever happens.
struct Arguments {
    std::vector<VARIANTARG> items;
    ~Arguments()
    {
        for (VARIANTARG& v : items) VariantClear(&v);
    }
};

void Throw(HRESULT hr, EXCEPINFO& info)
{
    if (hr == DISP_E_EXCEPTION) {
        if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
        // The strings are ours, whatever happens while the exception is made.
        const CScopedBstr source(info.bstrSource), description(info.bstrDescription), helpFile(info.bstrHelpFile);
        HRESULT sc = info.scode ? info.scode : hr;
        throw COleDispatchException(BstrToAnsi(description), info.wCode, sc);
    }
    throw COleException(hr);
}

}  // namespace

void COleDispatchDriver::InvokeHelperV(DISPID dispid, WORD wFlags, VARTYPE vtRet, void* pvRet,
                                       const char* pbParamInfo, va_list argList)
{
    if (!m_lpDispatch) {
        // Not bound: the call does nothing, and what it reads is nothing.
        if (pvRet && vtRet == VT_I4) *static_cast<long*>(pvRet) = 0;
        if (pvRet && vtRet == VT_I2) *static_cast<short*>(pvRet) = 0;
        if (pvRet && vtRet == VT_BSTR) *static_cast<BSTR*>(pvRet) = nullptr;
        return;
    }

    Arguments args;
    const size_t count = pbParamInfo ? strlen(pbParamInfo) : 0;
    args.items.resize(count);
    // Automation takes the arguments last first.
    for (size_t i = 0; i < count; ++i) {
        VARIANTARG& v = args.items[count - 1 - i];
        VariantInit(&v);
        switch (static_cast<unsigned char>(pbParamInfo[i])) {
        case 0x02:
            v.vt = VT_I2;
            v.iVal = static_cast<short>(va_arg(argList, int));
            break;
        case 0x03:
            v.vt = VT_I4;
            v.lVal = va_arg(argList, long);
            break;
        case 0x08:
            v.vt = VT_BSTR;
            v.bstrVal = AnsiToBstr(va_arg(argList, const char*));
            break;
        case 0x48:
            v.vt = VT_BSTR | VT_BYREF;
            v.pbstrVal = va_arg(argList, BSTR*);
            break;
        default: throw COleException(E_INVALIDARG);
        }
    }

    DISPPARAMS params = {count ? args.items.data() : nullptr, nullptr, static_cast<UINT>(count), 0};
    DISPID named = DISPID_PROPERTYPUT;
    if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }

    CScopedVariant result;
    EXCEPINFO info = {};
    UINT argErr = 0;
    HRESULT hr = m_lpDispatch->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, wFlags, &params,
                                      vtRet == VT_EMPTY ? nullptr : result.Get(), &info, &argErr);
    if (FAILED(hr))
        Throw(hr, info);
    if (vtRet == VT_EMPTY || !pvRet)
        return;
    hr = VariantChangeType(result.Get(), result.Get(), 0, vtRet);
    if (FAILED(hr))
        throw COleException(hr);
    switch (vtRet) {
    case VT_I4: *static_cast<long*>(pvRet) = result.Get()->lVal; break;
    case VT_I2: *static_cast<short*>(pvRet) = result.Get()->iVal; break;
    case VT_BSTR: *static_cast<BSTR*>(pvRet) = result.Detach().bstrVal; break;  // the caller frees it
    default: break;
    }
}

}  // namespace fw
