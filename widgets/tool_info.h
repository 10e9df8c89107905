// The tooltip's tool record as the loaded common controls take it: version 6
// takes the whole TOOLINFO, older versions refuse any size past the one they
// know, and which of them a process gets depends on its manifest.
#pragma once
#include <windows.h>
#include <commctrl.h>

namespace widgets {

// The major version of the common controls this process uses (5, 6...); 0 when
// it cannot be told.
DWORD CommonControlsMajorVersion();

// The cbSize to give a TOOLINFOA for that version.
UINT ToolInfoSize(DWORD majorVersion);

// A tool record of the size the loaded common controls take, zero otherwise.
TOOLINFOA NewToolInfo();

}  // namespace widgets
