#include "framework/olecontrol.h"
#include "framework/app.h"
#include "framework/olecontainer.h"

namespace fw {

COleControlWnd::~COleControlWnd()
{
    if (m_pCtrlSite) m_pCtrlSite->m_pBoundWnd = nullptr;
    m_hWnd = nullptr;  // the window belongs to the control
}

BOOL COleControlWnd::CreateControl(REFCLSID clsid, const char* pszWindowName, DWORD dwStyle, const RECT& rect,
                                   CWnd* pParentWnd, UINT nID)
{
    if (!pParentWnd || !pParentWnd->m_hWnd || m_pCtrlSite || !IsControlContainerEnabled()) return FALSE;
    COleControlSite* site = pParentWnd->GetControlContainer()->CreateControl(clsid, nID, rect, dwStyle,
                                                                             nullptr, 0);
    if (!site) return FALSE;
    BindControlSite(site);
    m_pParent = pParentWnd;
    if (pszWindowName && *pszWindowName) ::SetWindowTextA(m_hWnd, pszWindowName);
    return TRUE;
}

void COleControlWnd::DestroyControl()
{
    if (!m_pCtrlSite || !m_pParent) return;
    COleControlSite* site = m_pCtrlSite;
    BindControlSite(nullptr);
    m_pParent->GetControlContainer()->DestroySite(site);
    m_pParent = nullptr;
}

void COleControlWnd::BindControlSite(COleControlSite* site)
{
    if (m_pCtrlSite) m_pCtrlSite->m_pBoundWnd = nullptr;
    m_pCtrlSite = site;
    if (site) {
        site->m_pBoundWnd = this;
        m_hWnd = site->GetHwnd();
        m_driver.AttachDispatch(site->GetDispatch());
    } else {
        m_hWnd = nullptr;
        m_driver.ReleaseDispatch();
    }
}

IUnknown* COleControlWnd::GetControlUnknown() const
{
    return m_pCtrlSite ? m_pCtrlSite->GetUnknown() : nullptr;
}

void COleControlWnd::MoveWindow(int x, int y, int cx, int cy, BOOL bRepaint)
{
    if (!m_pCtrlSite) return;
    m_pCtrlSite->MoveControl(RECT{x, y, x + cx, y + cy});
    if (bRepaint && m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void COleControlWnd::InvokeHelper(DISPID dispid, WORD wFlags, VARTYPE vtRet, void* pvRet,
                                  const char* pbParamInfo, ...)
{
    va_list args;
    va_start(args, pbParamInfo);
    try {
        m_driver.InvokeHelperV(dispid, wFlags, vtRet, pvRet, pbParamInfo, args);
    } catch (...) {
        va_end(args);
        throw;
    }
    va_end(args);
}

}  // namespace fw
