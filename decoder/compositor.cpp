#include "decoder/compositor.h"
#include "decoder/time_of_day.h"
#include "decoder/zoom_inset.h"
#include <algorithm>
#include <cstring>

// --- CBackBuffer

void CBackBuffer::Release()
{
    m_selectBitmap.Reset();
    m_bitmap.Reset();
    m_dc.Reset();
    m_pBits = nullptr;
    m_cx = m_cy = 0;
}

bool CBackBuffer::Resize(int cx, int cy)
{
    Release();
    if (cx <= 0 || cy <= 0)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy;  // top-down: row 0 is the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    m_dc.Reset(CreateCompatibleDC(nullptr));
    if (m_dc)
        m_bitmap.Reset(CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &pBits, nullptr, 0));
    if (!m_bitmap) {
        Release();
        return false;
    }
    m_selectBitmap = CScopedSelect(m_dc, m_bitmap);
    m_pBits = static_cast<uint32_t*>(pBits);
    m_cx = cx;
    m_cy = cy;
    std::memset(m_pBits, 0, static_cast<size_t>(cx) * cy * 4);
    return true;
}

uint32_t CBackBuffer::PixelAt(int x, int y) const
{
    if (!m_pBits || x < 0 || y < 0 || x >= m_cx || y >= m_cy)
        return 0;
    return m_pBits[static_cast<size_t>(y) * m_cx + x] & 0x00FFFFFF;
}

void CBackBuffer::PaintTo(HDC hdc) const
{
    if (m_dc)
        BitBlt(hdc, 0, 0, m_cx, m_cy, m_dc, 0, 0, SRCCOPY);
}

// --- Composing

uint32_t DibColor(COLORREF color)
{
    return (uint32_t(GetRValue(color)) << 16) | (uint32_t(GetGValue(color)) << 8) | GetBValue(color);
}

void FillBits(CBackBuffer& buffer, RECT rc, uint32_t color)
{
    rc.left = std::max<LONG>(rc.left, 0);
    rc.top = std::max<LONG>(rc.top, 0);
    rc.right = std::min<LONG>(rc.right, buffer.Width());
    rc.bottom = std::min<LONG>(rc.bottom, buffer.Height());
    for (LONG y = rc.top; y < rc.bottom; ++y)
        std::fill_n(buffer.Bits() + static_cast<size_t>(y) * buffer.Width() + rc.left,
                    std::max<LONG>(rc.right - rc.left, 0), color);
}

void OutlineBits(CBackBuffer& buffer, const RECT& rc, uint32_t color, LONG width)
{
    FillBits(buffer, {rc.left, rc.top, rc.right, rc.top + width}, color);
    FillBits(buffer, {rc.left, rc.bottom - width, rc.right, rc.bottom}, color);
    FillBits(buffer, {rc.left, rc.top, rc.left + width, rc.bottom}, color);
    FillBits(buffer, {rc.right - width, rc.top, rc.right, rc.bottom}, color);
}

namespace {

void CopyPicture(CBackBuffer& buffer, const RECT& rc, const TilePicture& picture)
{
    for (unsigned y = 0; y < picture.cy; ++y)
        std::memcpy(buffer.Bits() + static_cast<size_t>(rc.top + y) * buffer.Width() + rc.left,
                    picture.pixels->data() + static_cast<size_t>(y) * picture.cx, picture.cx * 4);
}

const TilePicture* PictureFor(const ViewScene& scene, const TileSlot& slot)
{
    if (!scene.pPictures)
        return nullptr;
    const LONG cx = slot.rc.right - slot.rc.left, cy = slot.rc.bottom - slot.rc.top;
    for (const TilePicture& picture : *scene.pPictures) {
        // A picture made for another layout does not fit; the tile waits for its own.
        if (picture.camera == slot.camera && LONG(picture.cx) == cx && LONG(picture.cy) == cy &&
            picture.pixels && picture.pixels->size() == size_t(cx) * cy)
            return &picture;
    }
    return nullptr;
}

// Every pixel of the tile is written: the tiles cover the view.
void DrawTile(CBackBuffer& buffer, const ViewScene& scene, const TileSlot& slot)
{
    if (slot.camera != 0 && !(scene.nCameraMask & (1u << (slot.camera - 1))))
        FillBits(buffer, slot.rc, DibColor(kAbsentTileColor));
    else if (const TilePicture* pPicture = slot.camera != 0 ? PictureFor(scene, slot) : nullptr)
        CopyPicture(buffer, slot.rc, *pPicture);
    else
        FillBits(buffer, slot.rc, 0);  // an empty cell, or no picture yet
    if (slot.zoom.IsZoomed())
        DrawZoomInset(buffer, slot);
    if (slot.camera != 0 && slot.camera == scene.nSelectedCamera)
        OutlineBits(buffer, slot.rc, DibColor(kSelectedBorderColor), 3);
}

// The camera's number and, when its tile shows a picture, the time of day of
// that picture: cameras record at moments of their own.
std::string LabelOf(const ViewScene& scene, const TileSlot& slot)
{
    std::string label = std::to_string(slot.camera);
    const TilePicture* pPicture = PictureFor(scene, slot);
    if (pPicture && pPicture->pFrame)
        label += "  " + TimeOfDayText(scene.nStartOfDayMs + pPicture->pFrame->timeMs);
    return label;
}

}  // namespace

void ComposeView(CBackBuffer& buffer, const ViewScene& scene, const CViewText& text)
{
    if (buffer.IsEmpty())
        return;
    GdiFlush();  // earlier text output lands before the bits are overwritten
    if (!scene.message.empty() || scene.slots.empty())
        FillBits(buffer, {0, 0, buffer.Width(), buffer.Height()}, 0);
    if (!scene.message.empty()) {
        text.DrawMessage(buffer.Dc(), {8, 8, buffer.Width() - 8, buffer.Height() - 8}, scene.message);
    } else {
        for (const TileSlot& slot : scene.slots)
            DrawTile(buffer, scene, slot);
        for (const TileSlot& slot : scene.slots) {
            if (slot.camera != 0)
                text.DrawLabel(buffer.Dc(), slot.rc, LabelOf(scene, slot));
        }
        if (!scene.caption.empty())
            text.DrawCaption(buffer.Dc(), {0, 0, buffer.Width(), buffer.Height()}, scene.caption);
    }
    GdiFlush();  // readers of the bits see the text too
}
