// One automation call as a control's member handler sees it, and the strict checks
// that turn its DISPPARAMS into typed values.
//
// The checks take the contract literally: a long is VT_I4 and nothing else (no
// VT_I2, no by-reference long, no coercion through VariantChangeType), a string is
// VT_BSTR, an out string is VT_BSTR|VT_BYREF. A caller whose wrapper passes the
// wrong shape gets an error instead of a silently converted value.
//
// Failures, in the order they are checked:
//   wrong dispatch kind                      DISP_E_MEMBERNOTFOUND
//   put without the DISPID_PROPERTYPUT name  DISP_E_PARAMNOTFOUND
//   wrong number of arguments                DISP_E_BADPARAMCOUNT
//   wrong argument type                      DISP_E_TYPEMISMATCH (*puArgErr set)
// A get accepts any flags with DISPATCH_PROPERTYGET and a method any flags with
// DISPATCH_METHOD, since callers such as VB pass both bits together; a put needs
// DISPATCH_PROPERTYPUT.
#pragma once
#include <windows.h>
#include <oleauto.h>

struct AxInvocation {
    DISPID dispid;
    WORD wFlags;
    DISPPARAMS* pParams;    // never null: the base substitutes an empty set
    VARIANT* pResult;       // may be null when the caller wants no result
    EXCEPINFO* pExcepInfo;  // may be null
    UINT* puArgErr;         // may be null
};

// Property put of a long or a string. The string stays owned by the caller.
HRESULT AxPutLong(const AxInvocation& call, LONG* pValue);
HRESULT AxPutString(const AxInvocation& call, BSTR* pValue);

// Property get: no arguments. AxReturnLong stores the value when a result is wanted.
HRESULT AxGetProperty(const AxInvocation& call);
HRESULT AxReturnLong(const AxInvocation& call, LONG value);

// Method with exactly nArgs arguments; argument 0 is the leftmost, as written in
// the member's signature (DISPPARAMS holds them in reverse).
HRESULT AxMethod(const AxInvocation& call, UINT nArgs);
HRESULT AxMethodLong(const AxInvocation& call, UINT index, LONG* pValue);
// An out string: *ppOut points at the caller's BSTR, which the method replaces.
HRESULT AxMethodOutString(const AxInvocation& call, UINT index, BSTR** ppOut);

// The shapes a contract gives its members, and the checks of each in one call:
// a member table names each member's shape, and AxCheckShape turns a call
// into the values the member takes, or into the error of its wrong shape.
enum class AxShape {
    PutLong,          // put of a long
    PutString,        // put of a string
    GetLong,          // get of a long
    GetPutLong,       // a long property with both
    Method,           // no arguments
    MethodLong,       // one long argument
    MethodOutString,  // one out string
};

struct AxArguments {
    bool bPut = false;         // a put came (PutLong, PutString, GetPutLong)
    LONG nValue = 0;           // the long put or passed
    BSTR bstrValue = nullptr;  // the string put, still the caller's
    BSTR* pOut = nullptr;      // the caller's out string
};

HRESULT AxCheckShape(const AxInvocation& call, AxShape shape, AxArguments* pArgs);

// Raises an automation error: fills EXCEPINFO (scode, source, description) and
// returns DISP_E_EXCEPTION, which the caller turns into an exception with our text.
HRESULT AxRaise(const AxInvocation& call, const wchar_t* pszSource,
                const wchar_t* pszDescription, HRESULT scode = E_FAIL);

// A VT_I4 variant, for event arguments.
VARIANT AxLongVariant(LONG value);
