// The entry points of dvrctl.dll, named in dvrctl.def.
#include <windows.h>
#include "decoder/dvr_control.h"
#include "decoder/registration.h"
#include "framework/axserver/ax_module.h"
#include "framework/axserver/class_factory.h"

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv)
{
    return AxGetClassObject<CDvrControl>(CLSID_DvrControl, rclsid, riid, ppv);
}

STDAPI DllCanUnloadNow() { return AxCanUnloadNow(); }

STDAPI DllRegisterServer() { return RegisterDvrControl(AxThisModule()); }

STDAPI DllUnregisterServer() { return UnregisterDvrControl(); }
