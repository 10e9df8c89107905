#include "decoder/zoom_inset.h"
#include <algorithm>

namespace {

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

void Outline(CBackBuffer& buffer, const ZoomRect& rc, COLORREF color)
{
    OutlineBits(buffer, {rc.left, rc.top, rc.right, rc.bottom}, DibColor(color), 1);
}

}  // namespace

void DrawZoomInset(CBackBuffer& buffer, const TileSlot& slot)
{
    ZoomRect frame = {}, part = {};
    if (buffer.IsEmpty() || !InsetOf(slot.zoom, {slot.rc.left, slot.rc.top, slot.rc.right, slot.rc.bottom}, &frame, &part))
        return;
    // The picture under the inset darkened to a quarter, so that the outlines read on any picture.
    ForEachPixel(buffer, frame, [](uint32_t& pixel) { pixel = (pixel >> 2) & 0x3F3F3F; });
    Outline(buffer, frame, kInsetFrameColor);
    Outline(buffer, part, kInsetPartColor);
}
