#include "framework/axserver/ax_module.h"

namespace {
LONG g_nLocks = 0;
}

HMODULE AxThisModule()
{
    // The address of a function of ours names the DLL we are in, not the host exe.
    HMODULE hModule = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&AxThisModule), &hModule);
    return hModule;
}

void AxLockModule() { InterlockedIncrement(&g_nLocks); }
void AxUnlockModule() { InterlockedDecrement(&g_nLocks); }
LONG AxModuleLockCount() { return InterlockedCompareExchange(&g_nLocks, 0, 0); }

HRESULT AxCanUnloadNow() { return AxModuleLockCount() == 0 ? S_OK : S_FALSE; }
