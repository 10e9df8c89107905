#include "widgets/tool_info.h"
#include <shlwapi.h>

namespace widgets {

DWORD CommonControlsMajorVersion()
{
    // Loaded by name, the module the activation context maps: version 6 under a
    // manifest asking for it (already loaded; this only counts a reference).
    HMODULE module = LoadLibraryA("comctl32.dll");
    if (!module) return 0;
    const auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "DllGetVersion")));
    DLLVERSIONINFO info = {};
    info.cbSize = sizeof info;
    const bool known = getVersion && SUCCEEDED(getVersion(&info));
    FreeLibrary(module);
    return known ? info.dwMajorVersion : 0;
}

UINT ToolInfoSize(DWORD majorVersion)
{
    // Before version 6 the record ends at lParam; version 6 adds lpReserved.
    return majorVersion >= 6 ? sizeof(TOOLINFOA) : TTTOOLINFOA_V2_SIZE;
}

TOOLINFOA NewToolInfo()
{
    TOOLINFOA tool = {};
    tool.cbSize = ToolInfoSize(CommonControlsMajorVersion());
    return tool;
}

}  // namespace widgets
