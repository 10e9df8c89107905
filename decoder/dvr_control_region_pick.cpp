// CDvrControl: choosing the region of a motion search, after "Find motion in
// camera N..." in the picture's menu. The user drags a rectangle on that
// camera's tile, or presses Enter for the whole picture; Esc gives up. While
// choosing, the left button is the choice's (a click does not ask for Pause).
#include <windowsx.h>
#include <algorithm>
#include "decoder/dvr_control.h"

namespace {

// A drag smaller than this on either side is a click: it chooses nothing.
const LONG kLeastDrag = 4;

}  // namespace

const TileSlot* CDvrControl::SlotOfCamera(int camera) const
{
    for (const TileSlot& slot : m_slots) {
        if (slot.camera == camera && camera != 0)
            return &slot;
    }
    return nullptr;
}

const RECT* CDvrControl::SearchTile(int camera) const
{
    const TileSlot* pSlot = SlotOfCamera(camera);
    return pSlot ? &pSlot->rc : nullptr;
}

FrameRegion CDvrControl::ShownPart(int camera, unsigned cx, unsigned cy) const
{
    const TileSlot* pSlot = SlotOfCamera(camera);
    return pSlot ? CropOf(pSlot->zoom, cx, cy) : FrameRegion{0, 0, cx, cy};
}

void CDvrControl::BeginRegionPick(int camera)
{
    if (!m_recording || !m_recording->streamForCamera(camera))
        return;
    EndSearch();
    m_search.pickCamera = camera;
    m_search.bDragging = false;
    SetFocus(Window());  // Enter and Esc come here
}

bool CDvrControl::OnSearchMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (m_search.pickCamera == 0)
        return false;
    const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (msg) {
    case WM_GETDLGCODE:
        *pResult = DLGC_WANTALLKEYS;  // Enter and Esc are the choice's, not the dialog's
        return true;
    case WM_SETCURSOR:
        SetCursor(LoadCursor(nullptr, IDC_CROSS));
        *pResult = TRUE;
        return true;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN)
            PickWholePicture();
        else if (wParam == VK_ESCAPE)
            CancelRegionPick();
        *pResult = 0;
        return true;
    case WM_LBUTTONDOWN:
        OnPickPress(pt);
        *pResult = 0;
        return true;
    case WM_MOUSEMOVE:
        if (m_search.bDragging) {
            m_search.current = pt;
            Recompose();
        }
        *pResult = 0;
        return true;
    case WM_LBUTTONUP:
        OnPickRelease(pt);
        *pResult = 0;
        return true;
    case WM_CAPTURECHANGED:
        m_search.bDragging = false;
        return false;
    default:
        return false;
    }
}

void CDvrControl::OnPickPress(POINT pt)
{
    const RECT* pTile = SearchTile(m_search.pickCamera);
    if (!pTile || !PtInRect(pTile, pt))
        return;  // only on the camera's own tile
    m_search.bDragging = true;
    m_search.anchor = m_search.current = pt;
    SetCapture(Window());
}

void CDvrControl::OnPickRelease(POINT pt)
{
    if (!m_search.bDragging)
        return;
    m_search.bDragging = false;
    if (GetCapture() == Window())
        ReleaseCapture();
    const RECT* pTile = SearchTile(m_search.pickCamera);
    const RECT drawn = RectBetween(m_search.anchor, pt);
    if (!pTile || drawn.right - drawn.left < kLeastDrag || drawn.bottom - drawn.top < kLeastDrag) {
        Recompose();
        return;  // a click: still choosing
    }
    const rec::Stream* pStream = m_recording ? m_recording->streamForCamera(m_search.pickCamera) : nullptr;
    if (!pStream)
        return CancelRegionPick();
    const FrameRegion region = RegionOfTileRect(*pTile, drawn, ShownPart(m_search.pickCamera, pStream->width, pStream->height));
    if (region.w == 0 || region.h == 0)
        return CancelRegionPick();
    StartSearch(m_search.pickCamera, region);
}

void CDvrControl::PickWholePicture()
{
    const rec::Stream* pStream = m_recording ? m_recording->streamForCamera(m_search.pickCamera) : nullptr;
    if (!pStream)
        return CancelRegionPick();
    StartSearch(m_search.pickCamera, {0, 0, pStream->width, pStream->height});
}

void CDvrControl::CancelRegionPick()
{
    if (GetCapture() == Window())
        ReleaseCapture();
    m_search.pickCamera = 0;
    m_search.bDragging = false;
    Recompose();
}
