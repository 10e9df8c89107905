// Owners of the handles that are not GDI's: kernel objects, memory from the
// global and local heaps, menus and registry keys.
#pragma once
#include <windows.h>
#include "owners/scoped.h"

namespace own {

// Some calls give null for no handle, others INVALID_HANDLE_VALUE: neither is closed.
struct KernelHandlePolicy {
    using Handle = HANDLE;
    static HANDLE Empty() { return nullptr; }
    static bool IsHeld(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Free(HANDLE h) { ::CloseHandle(h); }
};
struct GlobalPolicy : NullIsEmpty<HGLOBAL> {
    static void Free(HGLOBAL h) { ::GlobalFree(h); }
};
struct LocalPolicy : NullIsEmpty<HLOCAL> {
    static void Free(HLOCAL h) { ::LocalFree(h); }
};
struct MenuPolicy : NullIsEmpty<HMENU> {
    static void Free(HMENU h) { ::DestroyMenu(h); }
};
struct KeyPolicy : NullIsEmpty<HKEY> {
    static void Free(HKEY h) { ::RegCloseKey(h); }
};

using CScopedHandle = CScoped<KernelHandlePolicy>;
// GlobalAlloc's memory. Detach it when handing it to one that frees it (the clipboard).
using CScopedGlobal = CScoped<GlobalPolicy>;
// Memory a call allocated for its caller with LocalAlloc (FormatMessage, for one).
using CScopedLocal = CScoped<LocalPolicy>;
using CScopedMenu = CScoped<MenuPolicy>;
using CScopedKey = CScoped<KeyPolicy>;

}  // namespace own

using own::CScopedGlobal;
using own::CScopedHandle;
using own::CScopedKey;
using own::CScopedLocal;
using own::CScopedMenu;
