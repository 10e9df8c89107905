// The common open-file dialog goes through here, so that tests can see how it
// was asked for and give the user's answer.
#pragma once
#include <windows.h>
#include <commdlg.h>
#include <functional>

namespace fw {

using OpenFileDialogHook = std::function<BOOL(OPENFILENAMEA*)>;

// Shows the dialog (GetOpenFileNameA), or asks the hook when one is installed.
BOOL ShowOpenFileDialog(OPENFILENAMEA* ofn);
// Installs a hook (an empty one restores the real dialog); returns the previous one.
OpenFileDialogHook SetOpenFileDialogHook(OpenFileDialogHook hook);

}  // namespace fw
