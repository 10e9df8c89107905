#include "framework/filedialog.h"

namespace fw {

static OpenFileDialogHook& Hook()
{
    static OpenFileDialogHook hook;
    return hook;
}

BOOL ShowOpenFileDialog(OPENFILENAMEA* ofn)
{
    if (Hook()) return Hook()(ofn);
    return GetOpenFileNameA(ofn);
}

OpenFileDialogHook SetOpenFileDialogHook(OpenFileDialogHook hook)
{
    OpenFileDialogHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

}  // namespace fw
