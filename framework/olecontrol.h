// A window object for a hosted ActiveX control: bound to a control of a dialog
// template (by DDX_Control) or created at run time by class id, and the driver
// of the control's automation members.
#pragma once
#include "framework/dispatch.h"
#include "framework/wnd.h"

namespace fw {

class COleControlSite;

class COleControlWnd : public CWnd {
public:
    COleControlWnd() = default;
    ~COleControlWnd() override;

    // Creates the control in the parent's client area (pixels), with no persisted state.
    BOOL CreateControl(REFCLSID clsid, const char* pszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, UINT nID);

    // Closes the control and destroys its window; the object is unbound after.
    void DestroyControl();

    void BindControlSite(COleControlSite* site) override;
    COleControlSite* GetControlSite() const { return m_pCtrlSite; }
    IUnknown* GetControlUnknown() const;
    // Moves the control through its site, so that it is told its new place.
    void MoveWindow(int x, int y, int cx, int cy, BOOL bRepaint = TRUE) override;

    void InvokeHelper(DISPID dispid, WORD wFlags, VARTYPE vtRet, void* pvRet, const char* pbParamInfo, ...);

private:
    COleControlSite* m_pCtrlSite = nullptr;
    CWnd* m_pParent = nullptr;  // whose container holds the site
    COleDispatchDriver m_driver;
};

}  // namespace fw

using fw::COleControlWnd;
