#include "decoder/zoom_inset.h"
#include <algorithm>

namespace {

uint32_t DibColor(COLORREF color)
{
    return (uint32_t(GetRValue(color)) << 16) | (uint32_t(GetGValue(color)) << 8) | GetBValue(color);
}

// Applies fn to each pixel of rc inside the buffer.
template <typename Fn>
void ForEachPixel(CBackBuffer& buffer, const ZoomRect& rc, Fn fn)
{
    const int left = std::max(rc.left, 0), right = std::min(rc.right, buffer.Width());
    const int top = std::max(rc.top, 0), bottom = std::min(rc.bottom, buffer.Height());
    for (int y = top; y < bottom; ++y) {
        uint32_t* pRow = buffer.Bits() + size_t(y) * buffer.Width();
        for (int x = left; x < right; ++x)
            fn(pRow[x]);
    }
}

void Outline(CBackBuffer& buffer, const ZoomRect& rc, uint32_t color)
{
    const auto paint = [color](uint32_t& pixel) { pixel = color; };
    ForEachPixel(buffer, {rc.left, rc.top, rc.right, rc.top + 1}, paint);
    ForEachPixel(buffer, {rc.left, rc.bottom - 1, rc.right, rc.bottom}, paint);
    ForEachPixel(buffer, {rc.left, rc.top, rc.left + 1, rc.bottom}, paint);
    ForEachPixel(buffer, {rc.right - 1, rc.top, rc.right, rc.bottom}, paint);
}

}  // namespace

void DrawZoomInset(CBackBuffer& buffer, const TileSlot& slot)
{
    ZoomRect frame = {}, part = {};
    if (buffer.IsEmpty() || !InsetOf(slot.zoom, {slot.rc.left, slot.rc.top, slot.rc.right, slot.rc.bottom}, &frame, &part))
        return;
    // The picture under the inset darkened to a quarter, so that the outlines read on any picture.
    ForEachPixel(buffer, frame, [](uint32_t& pixel) { pixel = (pixel >> 2) & 0x3F3F3F; });
    Outline(buffer, frame, DibColor(kInsetFrameColor));
    Outline(buffer, part, DibColor(kInsetPartColor));
}
