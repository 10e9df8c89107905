// Automation calls as a well-behaved wrapper makes them, and the wrong shapes a
// faulty one might send.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <string>

struct CallResult {
    HRESULT hr;
    VARIANT result;  // VT_EMPTY unless the call returned one
    EXCEPINFO excep;
    UINT uArgErr;
};

// Invokes with the given flags, arguments in signature order and, for a put,
// the DISPID_PROPERTYPUT name.
CallResult Call(IDispatch* p, DISPID id, WORD wFlags, std::initializer_list<VARIANT> args = {},
                bool bPutName = false);

// Call, with the result and exception freed: only the status.
HRESULT CallStatus(IDispatch* p, DISPID id, WORD wFlags, std::initializer_list<VARIANT> args = {},
                   bool bPutName = false);

HRESULT PutLong(IDispatch* p, DISPID id, LONG value);
HRESULT PutString(IDispatch* p, DISPID id, const wchar_t* value);
HRESULT GetLong(IDispatch* p, DISPID id, LONG* pValue);
HRESULT CallMethod(IDispatch* p, DISPID id);
HRESULT CallMethodLong(IDispatch* p, DISPID id, LONG arg);
// *pOut receives the out string (possibly null); the caller frees it.
HRESULT CallOutString(IDispatch* p, DISPID id, BSTR* pOut);

VARIANT LongArg(LONG value);
VARIANT ShortArg(SHORT value);
// The string itself, not a copy: the caller frees it.
VARIANT BstrArg(BSTR bstr);

void FreeCallResult(CallResult& r);
