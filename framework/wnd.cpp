#include "framework/wnd.h"
#include "framework/app.h"
#include "framework/guard.h"
#include "framework/msgbox.h"
#include "framework/olecontainer.h"

namespace fw {

static const char kWndProp[] = "fw.CWnd";

void ReportFailure(const std::string& text)
{
    AppMessageBox(text.c_str(), MB_OK | MB_ICONSTOP);
}

CWnd::~CWnd()
{
    DestroyControlContainer();
    if (m_pfnSuper && m_hWnd) UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    return hwnd ? static_cast<CWnd*>(GetPropA(hwnd, kWndProp)) : nullptr;
}

BOOL CWnd::SubclassWindow(HWND hwnd)
{
    if (!hwnd || m_pfnSuper || FromHandlePermanent(hwnd)) return FALSE;
    if (!SetPropA(hwnd, kWndProp, this)) return FALSE;
    m_hWnd = hwnd;
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameworkWndProc)));
    if (!m_pfnSuper) {
        RemovePropA(hwnd, kWndProp);
        m_hWnd = nullptr;
        return FALSE;
    }
    return TRUE;
}

HWND CWnd::UnsubclassWindow()
{
    HWND hwnd = m_hWnd;
    if (hwnd && m_pfnSuper) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        RemovePropA(hwnd, kWndProp);
    }
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    return hwnd;
}

LRESULT CWnd::Default()
{
    if (!m_pCurrentMsg) return 0;
    return DefWindowProc(m_pCurrentMsg->message, m_pCurrentMsg->wParam, m_pCurrentMsg->lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper) return CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return DispatchMessageEntry(WM_NOTIFY, wParam, lParam, pResult);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (message == WM_NOTIFY) {
        if (OnNotify(wParam, lParam, &result)) return result;
        return DefWindowProc(message, wParam, lParam);
    }
    if (DispatchMessageEntry(message, wParam, lParam, &result)) return result;
    // Commands no window handles go to the application's table.
    if (message == WM_COMMAND) {
        CWinApp* app = AfxGetApp();
        if (app && app->DispatchMessageEntry(message, wParam, lParam, &result)) return result;
    }
    return DefWindowProc(message, wParam, lParam);
}

void CWnd::MoveWindow(int x, int y, int cx, int cy, BOOL bRepaint)
{
    ::MoveWindow(m_hWnd, x, y, cx, cy, bRepaint);
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

HRESULT CWnd::OnControlEvent(UINT nCtrlID, DISPID dispid, DISPPARAMS* params)
{
    return RunGuarded<HRESULT>([&] { return DispatchEvent(nCtrlID, dispid, params); });
}

COleControlContainer* CWnd::GetControlContainer()
{
    if (!m_pCtrlCont) m_pCtrlCont = new COleControlContainer(this);
    return m_pCtrlCont;
}

COleControlSite* CWnd::FindControlSite(UINT nID) const
{
    return m_pCtrlCont ? m_pCtrlCont->FindSite(nID) : nullptr;
}

void CWnd::DestroyControlContainer()
{
    delete m_pCtrlCont;
    m_pCtrlCont = nullptr;
}

LRESULT CALLBACK FrameworkWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (!wnd) return ::DefWindowProcA(hwnd, message, wParam, lParam);

    MSG msg = {hwnd, message, wParam, lParam, 0, {0, 0}};
    const MSG* previous = wnd->m_pCurrentMsg;
    wnd->m_pCurrentMsg = &msg;
    LRESULT result = RunGuarded<LRESULT>([&] { return wnd->WindowProc(message, wParam, lParam); });
    wnd->m_pCurrentMsg = previous;

    // The hosted controls close while their windows still exist (children are
    // destroyed after their parent's WM_DESTROY).
    if (message == WM_DESTROY) wnd->DestroyControlContainer();
    if (message == WM_NCDESTROY) {
        wnd->UnsubclassWindow();
        wnd->PostNcDestroy();
    }
    return result;
}

// --- creation hook ---

static thread_local CWnd* t_pWndInit = nullptr;

static LRESULT CALLBACK CbtHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && t_pWndInit) {
        CWnd* wnd = t_pWndInit;
        t_pWndInit = nullptr;
        wnd->SubclassWindow(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

CreationHook::CreationHook(CWnd* wnd)
    : m_hHook(SetWindowsHookExA(WH_CBT, &CbtHookProc, nullptr, GetCurrentThreadId())),
      m_pPrevious(t_pWndInit)
{
    t_pWndInit = wnd;
}

CreationHook::~CreationHook()
{
    t_pWndInit = m_pPrevious;
    if (m_hHook) UnhookWindowsHookEx(m_hHook);
}

}  // namespace fw
