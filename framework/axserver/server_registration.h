// Self-registration of an in-process control server, for DllRegisterServer and
// DllUnregisterServer (so that `regsvr32 dvrctl.dll` works). Written, under
// HKEY_CLASSES_ROOT:
//
//   CLSID\{clsid}                  = description
//   CLSID\{clsid}\InprocServer32   = module path; ThreadingModel = Apartment
//   CLSID\{clsid}\Control
//   CLSID\{clsid}\MiscStatus       = "0";  MiscStatus\1 = the OLEMISC flags, decimal
//   CLSID\{clsid}\ProgID           = progid
//   {progid}                       = description
//   {progid}\CLSID                 = {clsid}
#pragma once
#include <windows.h>

struct AxServerInfo {
    CLSID clsid;
    const char* pszProgId;
    const char* pszDescription;
    DWORD dwMiscStatus;
};

// Registers the server at the path of hModule (AxThisModule() for a DLL).
HRESULT AxRegisterServer(const AxServerInfo& info, HMODULE hModule);
// Removes both trees. Keys already gone are not an error: unregistering twice succeeds.
HRESULT AxUnregisterServer(const AxServerInfo& info);

// "{8FCBB820-D2AD-...}" in ANSI.
void AxClsidString(REFCLSID clsid, char (&sz)[40]);
