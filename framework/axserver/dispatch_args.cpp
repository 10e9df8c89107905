#include "framework/axserver/dispatch_args.h"

namespace {

bool IsPut(const AxInvocation& call) { return (call.wFlags & DISPATCH_PROPERTYPUT) != 0; }

HRESULT CheckPut(const AxInvocation& call)
{
    if (!IsPut(call))
        return DISP_E_MEMBERNOTFOUND;
    const DISPPARAMS& params = *call.pParams;
    if (params.cNamedArgs != 1 || !params.rgdispidNamedArgs ||
        params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
        return DISP_E_PARAMNOTFOUND;
    if (params.cArgs != 1)
        return DISP_E_BADPARAMCOUNT;
    return S_OK;
}

HRESULT TypeMismatch(const AxInvocation& call, UINT index)
{
    if (call.puArgErr)
        *call.puArgErr = index;
    return DISP_E_TYPEMISMATCH;
}

// The argument at signature position index, or null when there is none.
VARIANT* Argument(const AxInvocation& call, UINT index)
{
    const DISPPARAMS& params = *call.pParams;
    if (index >= params.cArgs)
        return nullptr;
    return &params.rgvarg[params.cArgs - 1 - index];
}

}  // namespace

HRESULT AxPutLong(const AxInvocation& call, LONG* pValue)
{
    HRESULT hr = CheckPut(call);
    if (FAILED(hr))
        return hr;
    const VARIANT& v = call.pParams->rgvarg[0];
    if (V_VT(&v) != VT_I4)
        return TypeMismatch(call, 0);
    *pValue = V_I4(&v);
    return S_OK;
}

HRESULT AxPutString(const AxInvocation& call, BSTR* pValue)
{
    HRESULT hr = CheckPut(call);
    if (FAILED(hr))
        return hr;
    const VARIANT& v = call.pParams->rgvarg[0];
    if (V_VT(&v) != VT_BSTR)
        return TypeMismatch(call, 0);
    *pValue = V_BSTR(&v);
    return S_OK;
}

HRESULT AxGetProperty(const AxInvocation& call)
{
    if (!(call.wFlags & DISPATCH_PROPERTYGET))
        return DISP_E_MEMBERNOTFOUND;
    if (call.pParams->cArgs != 0 || call.pParams->cNamedArgs != 0)
        return DISP_E_BADPARAMCOUNT;
    return S_OK;
}

HRESULT AxReturnLong(const AxInvocation& call, LONG value)
{
    if (call.pResult) {
        VariantClear(call.pResult);
        V_VT(call.pResult) = VT_I4;
        V_I4(call.pResult) = value;
    }
    return S_OK;
}

HRESULT AxMethod(const AxInvocation& call, UINT nArgs)
{
    if (!(call.wFlags & DISPATCH_METHOD))
        return DISP_E_MEMBERNOTFOUND;
    // Our members take no named arguments.
    if (call.pParams->cNamedArgs != 0)
        return DISP_E_PARAMNOTFOUND;
    if (call.pParams->cArgs != nArgs)
        return DISP_E_BADPARAMCOUNT;
    return S_OK;
}

HRESULT AxMethodLong(const AxInvocation& call, UINT index, LONG* pValue)
{
    VARIANT* pArg = Argument(call, index);
    if (!pArg)
        return DISP_E_BADPARAMCOUNT;
    if (V_VT(pArg) != VT_I4)
        return TypeMismatch(call, call.pParams->cArgs - 1 - index);
    *pValue = V_I4(pArg);
    return S_OK;
}

HRESULT AxMethodOutString(const AxInvocation& call, UINT index, BSTR** ppOut)
{
    VARIANT* pArg = Argument(call, index);
    if (!pArg)
        return DISP_E_BADPARAMCOUNT;
    if (V_VT(pArg) != (VT_BSTR | VT_BYREF) || !V_BSTRREF(pArg))
        return TypeMismatch(call, call.pParams->cArgs - 1 - index);
    *ppOut = V_BSTRREF(pArg);
    return S_OK;
}

HRESULT AxCheckShape(const AxInvocation& call, AxShape shape, AxArguments* pArgs)
{
    HRESULT hr = S_OK;
    switch (shape) {
    case AxShape::GetPutLong:
        if (!IsPut(call))
            return AxGetProperty(call);
        [[fallthrough]];  // a put
    case AxShape::PutLong:
        pArgs->bPut = true;
        return AxPutLong(call, &pArgs->nValue);
    case AxShape::PutString:
        pArgs->bPut = true;
        return AxPutString(call, &pArgs->bstrValue);
    case AxShape::GetLong:
        return AxGetProperty(call);
    case AxShape::Method:
        return AxMethod(call, 0);
    case AxShape::MethodLong:
        hr = AxMethod(call, 1);
        return FAILED(hr) ? hr : AxMethodLong(call, 0, &pArgs->nValue);
    case AxShape::MethodOutString:
        hr = AxMethod(call, 1);
        return FAILED(hr) ? hr : AxMethodOutString(call, 0, &pArgs->pOut);
    }
    return E_UNEXPECTED;
}

HRESULT AxRaise(const AxInvocation& call, const wchar_t* pszSource,
                const wchar_t* pszDescription, HRESULT scode)
{
    if (EXCEPINFO* pInfo = call.pExcepInfo) {
        ZeroMemory(pInfo, sizeof(*pInfo));
        pInfo->scode = scode;
        pInfo->bstrSource = SysAllocString(pszSource ? pszSource : L"");
        pInfo->bstrDescription = SysAllocString(pszDescription ? pszDescription : L"");
    }
    return DISP_E_EXCEPTION;
}

VARIANT AxLongVariant(LONG value)
{
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return v;
}
