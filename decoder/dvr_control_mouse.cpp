// CDvrControl: the mouse on the picture. A click asks the container for a
// pause, but only once the double-click time has passed without a second
// click, so that a double-click does not pause too. A double-click on a tile
// shows that camera alone, and one on the single camera goes back to the view
// from before; the container hears of it through DVR_STATE_VIEW_CHANGED. The
// wheel zooms the tile under the pointer, and a drag pans a zoomed tile.
#include <windowsx.h>
#include <cstdlib>
#include "decoder/dvr_control.h"

bool CDvrControl::OnMouseMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (msg) {
    case WM_LBUTTONDOWN: OnButtonDown(pt); return true;
    case WM_LBUTTONDBLCLK: OnDoubleClick(pt); return true;
    case WM_MOUSEMOVE: OnPointerMove(pt); return true;
    case WM_LBUTTONUP: EndDrag(); return true;
    case WM_CAPTURECHANGED: m_drag = Drag(); return false;
    case WM_MOUSEWHEEL:  // in screen coordinates
        ScreenToClient(Window(), &pt);
        OnWheel(pt, GET_WHEEL_DELTA_WPARAM(wParam));
        return true;
    default: return false;
    }
}

void CDvrControl::OnButtonDown(POINT pt)
{
    SetTimer(Window(), kClickTimer, GetDoubleClickTime(), nullptr);
    const int nSlot = SlotAt(pt);
    if (nSlot >= 0 && m_slots[nSlot].zoom.IsZoomed()) {
        m_drag = Drag();
        m_drag.nSlot = nSlot;
        m_drag.ptStart = m_drag.ptLast = pt;
        SetCapture(Window());
    }
}

void CDvrControl::OnClickTimer()
{
    KillTimer(Window(), kClickTimer);
    OnClick();
}

void CDvrControl::OnDoubleClick(POINT pt)
{
    KillTimer(Window(), kClickTimer);  // no pause for the first click
    if (m_settings.nSplit != 1) {
        const int nSlot = SlotAt(pt);
        if (nSlot < 0)
            return;
        m_viewBefore.bHeld = true;
        m_viewBefore.nSplit = m_settings.nSplit;
        m_viewBefore.nGroup = m_settings.nGroup;
        SetViewItself(1, m_slots[nSlot].camera - 1);
    } else if (m_viewBefore.bHeld) {
        m_viewBefore.bHeld = false;
        SetViewItself(m_viewBefore.nSplit, m_viewBefore.nGroup);
    }
}

void CDvrControl::SetViewItself(LONG nSplit, LONG nGroup)
{
    m_settings.nSplit = nSplit;
    m_settings.nGroup = nGroup;
    Relayout();
    FireEvent(DVR_EVENT_STATE_CHANGE, {AxLongVariant(DVR_STATE_VIEW_CHANGED), AxLongVariant(nSplit)});
}

void CDvrControl::OnWheel(POINT ptClient, int nDelta)
{
    const int nSlot = SlotAt(ptClient);
    if (nSlot < 0 || nDelta == 0)
        return;
    // A notch a step; a finer wheel's part of a notch still one.
    int nSteps = nDelta / WHEEL_DELTA;
    if (nSteps == 0)
        nSteps = nDelta > 0 ? 1 : -1;
    const RECT& rc = m_slots[nSlot].rc;
    const double px = double(ptClient.x - rc.left) / (rc.right - rc.left);
    const double py = double(ptClient.y - rc.top) / (rc.bottom - rc.top);
    ShowZoom(size_t(nSlot), ZoomedAbout(m_slots[nSlot].zoom, nSteps, px, py));
}

void CDvrControl::OnPointerMove(POINT pt)
{
    if (m_drag.nSlot < 0 || size_t(m_drag.nSlot) >= m_slots.size())
        return;
    if (!m_drag.bPanning) {
        if (std::abs(pt.x - m_drag.ptStart.x) <= GetSystemMetrics(SM_CXDRAG) &&
            std::abs(pt.y - m_drag.ptStart.y) <= GetSystemMetrics(SM_CYDRAG))
            return;
        m_drag.bPanning = true;
        KillTimer(Window(), kClickTimer);  // a drag is no click
    }
    const TileSlot& slot = m_slots[m_drag.nSlot];
    const double dx = double(pt.x - m_drag.ptLast.x) / (slot.rc.right - slot.rc.left);
    const double dy = double(pt.y - m_drag.ptLast.y) / (slot.rc.bottom - slot.rc.top);
    m_drag.ptLast = pt;
    ShowZoom(size_t(m_drag.nSlot), Panned(slot.zoom, dx, dy));
}

void CDvrControl::EndDrag()
{
    if (GetCapture() == Window())
        ReleaseCapture();
    m_drag = Drag();
}

int CDvrControl::SlotAt(POINT ptClient) const
{
    const uint32_t nMask = m_recording ? m_recording->cameraMask() : 0;
    for (size_t i = 0; i < m_slots.size(); ++i) {
        const TileSlot& slot = m_slots[i];
        if (slot.camera != 0 && (nMask & (1u << (slot.camera - 1))) && PtInRect(&slot.rc, ptClient))
            return int(i);
    }
    return -1;
}

void CDvrControl::ShowZoom(size_t nSlot, const ZoomView& zoom)
{
    // The layout may have changed meanwhile (while the picture's menu was open).
    if (nSlot >= m_slots.size() || zoom == m_slots[nSlot].zoom)
        return;
    m_slots[nSlot].zoom = zoom;
    RequestPicture();
    Recompose();
}
