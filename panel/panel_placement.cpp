// Where the panel's position control and time text stand, and the display size:
// the video window sized and centred at the top of the screen, the panel under it.
#include "panel/panel_dlg.h"
#include "res/resource.h"

enum DisplaySize {
    SIZE_320x240 = 0,
    SIZE_640x480 = 1,
    SIZE_FULL_SCREEN = 2
};

void CPanelDlg::LayoutControls()
{
    // The right edge of the panel as it stands at its owner's client origin, the
    // owner at the screen's corner: the panel's width plus the owner's left frame.
    RECT panel;
    GetWindowRect(m_hWnd, &panel);
    int right = panel.right - panel.left;
    if (HWND video = VideoWindow()) {
        RECT frame;
        GetWindowRect(video, &frame);
        POINT origin = {0, 0};
        ClientToScreen(video, &origin);
        right += origin.x - frame.left;
    }
    m_positionCtrl.Place(right);

    RECT list;
    GetWindowRect(GetDlgItem(IDC_EVENT_TYPE), &list);
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&list), 2);
    m_rcTime = {list.right + 8, list.top, list.right + 98, list.bottom};
    m_rcTimeClick = {list.right + 28, list.top, list.right + 98, list.bottom};

    ApplyDisplaySize();
}

void CPanelDlg::ApplyDisplaySize()
{
    HWND video = VideoWindow();
    if (!video) return;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);

    const int size = m_cbDisplaySize.GetCurSel();
    if (size == SIZE_FULL_SCREEN) {
        ::ShowWindow(video, SW_MAXIMIZE);
    } else {
        RECT rc = {0, 0, 320, 240};
        if (size == SIZE_640x480) rc = {0, 0, 640, 480};
        // A maximised window comes back to normal before it is sized.
        ::ShowWindow(video, SW_RESTORE);
        AdjustWindowRect(&rc, static_cast<DWORD>(GetWindowLongPtrA(video, GWL_STYLE)), GetMenu(video) != nullptr);
        const int width = rc.right - rc.left, height = rc.bottom - rc.top;
        SetWindowPos(video, nullptr, (screenWidth - width) / 2, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // The panel is centred on the screen on its own, under the video window or
    // pulled up to the screen's bottom.
    RECT videoRect, panelRect;
    GetWindowRect(video, &videoRect);
    GetWindowRect(m_hWnd, &panelRect);
    const int panelWidth = panelRect.right - panelRect.left;
    const int panelHeight = panelRect.bottom - panelRect.top;
    int y = videoRect.bottom;
    if (y + panelHeight > screenHeight) y = screenHeight - panelHeight;
    SetWindowPos(m_hWnd, nullptr, (screenWidth - panelWidth) / 2, y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPanelDlg::OnSelchangeDisplaySize() { ApplyDisplaySize(); }

void CPanelDlg::EnsureLargeDisplay()
{
    if (m_cbDisplaySize.GetCurSel() != SIZE_320x240) return;
    m_cbDisplaySize.SetCurSel(SIZE_640x480);
    ApplyDisplaySize();
}
