#include "panel/panel_dlg.h"
#include "host/video_dlg.h"
#include "res/resource.h"

CPanelDlg::CPanelDlg(CWnd* pParent) : CDialog(IDD_PANEL, pParent), m_pVideoWnd(nullptr), m_nDisplaySize(1) {
    m_szPath[0] = '\0';
}

BOOL CPanelDlg::Create(CVideoDlg* pVideoWnd) {
    m_pVideoWnd = pVideoWnd;
    return CDialog::Create(IDD_PANEL, pVideoWnd);
}

void CPanelDlg::EnsureLargeDisplay() {
    if (m_nDisplaySize != 0) return;
    m_nDisplaySize = 1;
    ApplyDisplaySize();
}

void CPanelDlg::ApplyDisplaySize() {
    if (!m_pVideoWnd || !m_pVideoWnd->IsWindow()) return;
    HWND video = m_pVideoWnd->m_hWnd;
    if (m_nDisplaySize == 2) {
        ::ShowWindow(video, SW_MAXIMIZE);
        return;
    }
    RECT rc = {0, 0, m_nDisplaySize == 1 ? 640 : 320, m_nDisplaySize == 1 ? 480 : 240};
    ::ShowWindow(video, SW_RESTORE);
    AdjustWindowRect(&rc, static_cast<DWORD>(GetWindowLongPtrA(video, GWL_STYLE)), GetMenu(video) != nullptr);
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    SetWindowPos(video, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2, 0, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}
