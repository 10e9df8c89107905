#include "framework/msgbox.h"
#include "framework/app.h"

namespace fw {

static MessageBoxHook& Hook()
{
    static MessageBoxHook hook;
    return hook;
}

int ShowMessageBox(HWND hwndOwner, const char* text, const char* caption, UINT type)
{
    if (Hook()) return Hook()(MessageBoxRequest{hwndOwner, text ? text : "", caption ? caption : "", type});
    return MessageBoxA(hwndOwner, text, caption, type);
}

int AppMessageBox(const char* text, UINT type)
{
    CWinApp* app = AfxGetApp();
    const char* caption = app ? app->m_pszAppName : "";
    return ShowMessageBox(GetActiveWindow(), text, caption, type);
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook)
{
    MessageBoxHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

}  // namespace fw
