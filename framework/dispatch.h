// The dispatch driver: one call per automation member.
//
//   InvokeHelper(16, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_BSTR, path);
//   long mask; InvokeHelper(2, DISPATCH_PROPERTYGET, VT_I4, &mask, VTS_NONE);
//
// An error the object raises (DISP_E_EXCEPTION) throws COleDispatchException
// with the object's description; any other failure throws COleException.
// Without an object every call does nothing.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <cstdarg>
#include <string>
#include "framework/text.h"  // AnsiToBstr, BstrToAnsi

// Parameter kinds, one character each: a short, a long, an ANSI string
// (const char*, passed as a BSTR) and an out string (BSTR*).
#define VTS_NONE  ""
#define VTS_I2    "\x02"
#define VTS_I4    "\x03"
#define VTS_BSTR  "\x08"
#define VTS_PBSTR "\x48"

namespace fw {

class COleDispatchDriver {
public:
    COleDispatchDriver() = default;
    ~COleDispatchDriver() { ReleaseDispatch(); }
    COleDispatchDriver(const COleDispatchDriver&) = delete;
    COleDispatchDriver& operator=(const COleDispatchDriver&) = delete;

    void AttachDispatch(IDispatch* pDispatch);  // takes a reference of its own
    void ReleaseDispatch();
    IDispatch* m_lpDispatch = nullptr;

    // vtRet: VT_EMPTY (pvRet unused), VT_I4 (long*), VT_I2 (short*) or VT_BSTR (BSTR*).
    void InvokeHelper(DISPID dispid, WORD wFlags, VARTYPE vtRet, void* pvRet, const char* pbParamInfo, ...);
    void InvokeHelperV(DISPID dispid, WORD wFlags, VARTYPE vtRet, void* pvRet, const char* pbParamInfo,
                       va_list args);
};

}  // namespace fw

using fw::COleDispatchDriver;
