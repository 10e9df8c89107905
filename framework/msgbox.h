// Every message box of the program goes through here, so that tests can see
// what would be shown and give the user's answer.
#pragma once
#include <windows.h>
#include <functional>
#include <string>

namespace fw {

struct MessageBoxRequest {
    HWND hwndOwner;
    std::string text;
    std::string caption;
    UINT type;
};

using MessageBoxHook = std::function<int(const MessageBoxRequest&)>;

// Shows the box, or asks the hook when one is installed.
int ShowMessageBox(HWND hwndOwner, const char* text, const char* caption, UINT type);

// Captioned with the application's name, owned by the active window.
int AppMessageBox(const char* text, UINT type);

// Installs a hook (an empty one restores the real box); returns the previous one.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

}  // namespace fw
