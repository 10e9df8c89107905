// The module an ActiveX server lives in: its handle and its lock count, which
// DllCanUnloadNow reads. Every live object and every LockServer(TRUE) holds one.
#pragma once
#include <windows.h>

// The module (DLL or executable) this code was linked into.
HMODULE AxThisModule();

void AxLockModule();
void AxUnlockModule();
LONG AxModuleLockCount();

// For DllCanUnloadNow: S_OK when nothing holds the module, S_FALSE otherwise.
HRESULT AxCanUnloadNow();
