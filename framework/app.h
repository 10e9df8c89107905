// The application object: one global instance, started by the framework's WinMain.
#pragma once
#include <windows.h>
#include "framework/cmdtarget.h"

namespace fw {

class CWnd;

class CWinApp : public CCmdTarget {
public:
    // With no name, the application is named after its executable file.
    explicit CWinApp(const char* pszAppName = nullptr);
    ~CWinApp() override;

    HINSTANCE m_hInstance = nullptr;
    const char* m_pszAppName = "";  // the executable's file name without extension
    char* m_lpCmdLine = nullptr;    // the command-line tail, unparsed
    CWnd* m_pMainWnd = nullptr;     // owner of dialogs that are given no parent

    // Start-up hook; FALSE ends the application without a message loop.
    virtual BOOL InitInstance() { return TRUE; }
    virtual int Run();
    virtual int ExitInstance() { return 0; }

    // The default handler of the standard Help command. The program ships no
    // help file, so there is nothing for it to open.
    void OnHelp() {}

    // Sets up the application from the process (instance, name, command line).
    void InitFromProcess(HINSTANCE hInstance, const char* commandLine);

private:
    char m_szAppName[MAX_PATH] = "";
    char* m_pszCmdLineCopy = nullptr;
    bool m_bExplicitName = false;
};

CWinApp* AfxGetApp();

// The command-line tail: what follows the program's own name and the blanks behind it.
const char* CommandLineTail(const char* commandLine);

// The standard Help command.
#define ID_HELP 0xE146

// Hosting of ActiveX controls in dialogs; without it, a template control fails.
void AfxEnableControlContainer();
bool IsControlContainerEnabled();
// The three-dimensional look of standard controls (the common controls).
BOOL Enable3dControlsStatic();

}  // namespace fw

using fw::AfxEnableControlContainer;
using fw::AfxGetApp;
using fw::CWinApp;
