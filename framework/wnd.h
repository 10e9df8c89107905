// A window object over an HWND. Windows made through the framework (dialogs) are
// subclassed from their creation on, so that every message runs through the
// object's message table inside the framework's guard.
#pragma once
#include <windows.h>
#include "framework/cmdtarget.h"

namespace fw {

class COleControlContainer;
class COleControlSite;

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object whose table handles the window's messages, if any.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Takes over the messages of an existing window; UnsubclassWindow gives them back.
    BOOL SubclassWindow(HWND hwnd);
    HWND UnsubclassWindow();
    // Binds the object to a window without taking over its messages (list wrappers).
    void Attach(HWND hwnd) { m_hWnd = hwnd; }
    HWND Detach()
    {
        HWND h = m_hWnd;
        m_hWnd = nullptr;
        return h;
    }

    // The default processing of the message now being handled.
    LRESULT Default();

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // WM_NOTIFY: the table's entries; returns whether one handled it.
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Called for every event fired by a hosted control of this window.
    HRESULT OnControlEvent(UINT nCtrlID, DISPID dispid, DISPPARAMS* params);

    // Hosted ActiveX controls of this window (created on first use).
    COleControlContainer* GetControlContainer();
    COleControlSite* FindControlSite(UINT nID) const;
    // A control site was bound to this wrapper (see COleControlWnd); base: nothing.
    virtual void BindControlSite(COleControlSite* site) {}

    // Thin conveniences over the API.
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    LRESULT SendDlgItemMessage(int nID, UINT msg, WPARAM w = 0, LPARAM l = 0) const
    {
        return ::SendDlgItemMessageA(m_hWnd, nID, msg, w, l);
    }
    void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    virtual void MoveWindow(int x, int y, int cx, int cy, BOOL bRepaint = TRUE);
    BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    BOOL DestroyWindow();

protected:
    // Runs when the window has been destroyed (after WM_NCDESTROY).
    virtual void PostNcDestroy() {}
    // Creation of a window whose first window is to be subclassed by this object.
    friend class CreationHook;

private:
    friend LRESULT CALLBACK FrameworkWndProc(HWND, UINT, WPARAM, LPARAM);
    void DestroyControlContainer();

    WNDPROC m_pfnSuper = nullptr;
    const MSG* m_pCurrentMsg = nullptr;
    COleControlContainer* m_pCtrlCont = nullptr;
};

LRESULT CALLBACK FrameworkWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// While alive, the next window created on this thread is subclassed by wnd
// from its very first message on (so that even WM_SIZE during creation is seen).
class CreationHook {
public:
    explicit CreationHook(CWnd* wnd);
    ~CreationHook();
    CreationHook(const CreationHook&) = delete;
    CreationHook& operator=(const CreationHook&) = delete;

private:
    HHOOK m_hHook;
    CWnd* m_pPrevious;
};

}  // namespace fw

using fw::CWnd;
