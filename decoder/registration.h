// Self-registration of dvrctl.dll under CLSID_DvrControl.
#pragma once
#include <windows.h>

// Registers the control at the path of hModule, the module the control lives in.
HRESULT RegisterDvrControl(HMODULE hModule);
HRESULT UnregisterDvrControl();
