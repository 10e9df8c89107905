// Dialogs from templates: modal runs with the framework's own loop, modeless
// windows, data exchange, and the ActiveX controls a template names.
#pragma once
#include "framework/wnd.h"

namespace fw {

struct PreparedTemplate;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Binds control nIDC of the dialog to a wrapper object: a hosted ActiveX control
// to its control window object, any other control to its window handle.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Runs the dialog modally; IDOK, IDCANCEL, another EndDialog value, or -1
    // when the dialog or one of its template controls could not be created.
    virtual INT_PTR DoModal();
    // Creates the dialog as a modeless window owned by pParentWnd.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    // Ends a modal run with nResult; hides a modeless dialog.
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX) {}
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // Passes keyboard messages meant for a framework dialog through its dialog
    // manager (Tab, Enter, Escape); returns whether the message was used.
    static bool PreTranslateDialogMessage(MSG* pMsg);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    HWND CreateFromTemplate(UINT nIDTemplate, HWND hwndOwner);
    bool CreateTemplateControls();

    const PreparedTemplate* m_pTemplate = nullptr;  // while the window is being made
    bool m_bModal = false;
    bool m_bEnded = false;
    INT_PTR m_nResult = -1;
};

HINSTANCE AfxGetResourceHandle();

}  // namespace fw

using fw::CDataExchange;
using fw::CDialog;
using fw::DDX_Control;
