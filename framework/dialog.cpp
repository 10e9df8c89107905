#include "framework/dialog.h"
#include "framework/app.h"
#include "framework/dlgtemplate.h"
#include "framework/olecontainer.h"

namespace fw {

HINSTANCE AfxGetResourceHandle()
{
    CWinApp* app = AfxGetApp();
    return app && app->m_hInstance ? app->m_hInstance : GetModuleHandleA(nullptr);
}

// The window procedure of a framework dialog is the framework's own (the window
// is subclassed from its creation on), so the dialog procedure leaves every
// message to the dialog manager's defaults.
static INT_PTR CALLBACK FrameworkDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd) return;
    if (COleControlSite* site = pDX->m_pDlgWnd->FindControlSite(nIDC)) {
        rControl.BindControlSite(site);
        return;
    }
    rControl.Attach(pDX->m_pDlgWnd->GetDlgItem(nIDC));
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog()
{
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

HWND CDialog::CreateFromTemplate(UINT nIDTemplate, HWND hwndOwner)
{
    PreparedTemplate prepared;
    if (!LoadDialogTemplate(AfxGetResourceHandle(), nIDTemplate, &prepared)) return nullptr;
    m_pTemplate = &prepared;
    m_bEnded = false;
    m_nResult = -1;
    HWND hwnd;
    {
        CreationHook hook(this);
        hwnd = CreateDialogIndirectParamA(AfxGetResourceHandle(),
                                          reinterpret_cast<LPCDLGTEMPLATEA>(prepared.bytes.data()),
                                          hwndOwner, &FrameworkDialogProc, 0);
    }
    m_pTemplate = nullptr;
    return hwnd;
}

bool CDialog::CreateTemplateControls()
{
    if (!m_pTemplate) return true;
    for (const OleControlItem& item : m_pTemplate->controls) {
        if (!IsControlContainerEnabled()) return false;
        RECT rc = item.rcDialogUnits;
        MapDialogRect(m_hWnd, &rc);
        COleControlSite* site = GetControlContainer()->CreateControl(
            item.clsid, item.nID, rc, item.dwStyle, item.state.data(), item.state.size());
        if (!site) return false;
        if (!item.text.empty()) ::SetWindowTextA(site->GetHwnd(), item.text.c_str());
    }
    return true;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        // The template's controls come first; without them the dialog cannot run.
        if (!CreateTemplateControls()) {
            EndDialog(-1);
            return FALSE;
        }
        return OnInitDialog();
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::OnOK()
{
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int nResult)
{
    m_nResult = nResult;
    m_bEnded = true;
    // A modal run's window is hidden and destroyed by DoModal once its loop ends.
    if (!m_bModal && m_hWnd) ::EndDialog(m_hWnd, nResult);
    // The loop sees the flag only when GetMessage returns: when OK or Cancel came
    // by a sent message (BM_CLICK from another thread or process), nothing is
    // posted, so wake it, as the system's own EndDialog does.
    if (m_bModal && m_hWnd) ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

bool CDialog::PreTranslateDialogMessage(MSG* pMsg)
{
    if (!pMsg->hwnd || pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) {
        // Only keyboard messages need the dialog manager; the rest go straight on.
        if (pMsg->message != WM_SYSCHAR) return false;
    }
    HWND root = GetAncestor(pMsg->hwnd, GA_ROOT);
    if (!root || !dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(root))) return false;
    return IsDialogMessageA(root, pMsg) != FALSE;
}

INT_PTR CDialog::DoModal()
{
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    CWinApp* app = AfxGetApp();
    if (!owner && app && app->m_pMainWnd && app->m_pMainWnd != this) owner = app->m_pMainWnd->m_hWnd;

    m_bModal = true;
    HWND hwnd = CreateFromTemplate(m_nIDTemplate, owner);
    if (!hwnd) {
        m_bModal = false;
        return -1;
    }
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (!m_bEnded) {
        if (ownerWasEnabled) EnableWindow(owner, FALSE);
        ::ShowWindow(hwnd, SW_SHOWNORMAL);
        MSG msg;
        while (!m_bEnded) {
            BOOL got = GetMessageA(&msg, nullptr, 0, 0);
            if (got == -1) break;
            if (got == 0) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (PreTranslateDialogMessage(&msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (ownerWasEnabled) EnableWindow(owner, TRUE);
        if (owner && GetActiveWindow() == hwnd) SetActiveWindow(owner);
    }
    if (::IsWindow(hwnd)) {
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        ::DestroyWindow(hwnd);
    }
    m_bModal = false;
    return m_nResult;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    m_bModal = false;
    HWND hwnd = CreateFromTemplate(nIDTemplate, pParentWnd ? pParentWnd->m_hWnd : nullptr);
    if (hwnd && m_bEnded && m_nResult == -1) {
        ::DestroyWindow(hwnd);
        return FALSE;
    }
    return hwnd != nullptr;
}

}  // namespace fw
