#include "framework/app.h"
#include <commctrl.h>
#include <cstring>
#include <string>

namespace fw {

static CWinApp* g_pApp = nullptr;
static bool g_bControlContainer = false;

CWinApp::CWinApp(const char* pszAppName)
{
    g_pApp = this;
    if (pszAppName) {
        lstrcpynA(m_szAppName, pszAppName, sizeof m_szAppName);
        m_bExplicitName = true;
    }
    m_pszAppName = m_szAppName;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this) g_pApp = nullptr;
    delete[] m_pszCmdLineCopy;
}

CWinApp* AfxGetApp() { return g_pApp; }

const char* CommandLineTail(const char* p)
{
    if (!p) return "";
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t') ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

void CWinApp::InitFromProcess(HINSTANCE hInstance, const char* commandLine)
{
    m_hInstance = hInstance;
    if (!m_bExplicitName) {
        char path[MAX_PATH] = "";
        DWORD n = GetModuleFileNameA(hInstance, path, sizeof path);
        if (n > 0 && n < sizeof path) {
            const char* base = path;
            for (const char* c = path; *c; ++c)
                if (*c == '\\' || *c == '/') base = c + 1;
            std::string name(base);
            size_t dot = name.rfind('.');
            if (dot != std::string::npos) name.resize(dot);
            lstrcpynA(m_szAppName, name.c_str(), sizeof m_szAppName);
        }
    }
    const char* tail = CommandLineTail(commandLine);
    delete[] m_pszCmdLineCopy;
    size_t len = std::strlen(tail);
    m_pszCmdLineCopy = new char[len + 1];
    std::memcpy(m_pszCmdLineCopy, tail, len + 1);
    m_lpCmdLine = m_pszCmdLineCopy;
}

int CWinApp::Run()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return ExitInstance();
}

void AfxEnableControlContainer() { g_bControlContainer = true; }
bool IsControlContainerEnabled() { return g_bControlContainer; }

BOOL Enable3dControlsStatic()
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    return InitCommonControlsEx(&icc);
}

}  // namespace fw
