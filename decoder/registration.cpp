#include "decoder/registration.h"
#include <ole2.h>  // DISPID, which dvrctl.h uses
#include "decoder/dvrctl.h"
#include "framework/axserver/ax_control.h"
#include "framework/axserver/server_registration.h"

namespace {

AxServerInfo ServerInfo()
{
    return {CLSID_DvrControl, "Vorplex.DvrControl.1", "DVR Control", kAxMiscStatus};
}

}  // namespace

HRESULT RegisterDvrControl(HMODULE hModule) { return AxRegisterServer(ServerInfo(), hModule); }

HRESULT UnregisterDvrControl() { return AxUnregisterServer(ServerInfo()); }
