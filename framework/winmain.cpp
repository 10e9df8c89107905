// The framework's entry: the application object's start-up hook decides
// whether a message loop runs at all.
#include "framework/app.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    fw::CWinApp* app = fw::AfxGetApp();
    if (!app) return 1;
    app->InitFromProcess(hInstance, GetCommandLineA());
    if (!app->InitInstance()) return app->ExitInstance();
    return app->Run();
}
