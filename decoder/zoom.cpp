#include "decoder/zoom.h"
#include <algorithm>
#include <cmath>

namespace {

// The middle of a span of the given length, kept so that the span lies in 0..1.
double ClampCenter(double center, double span)
{
    const double half = span / 2;
    return std::min(std::max(center, half), 1.0 - half);
}

ZoomView Clamped(ZoomView view)
{
    if (!view.IsZoomed())
        return ZoomView();
    const double span = 1.0 / view.Factor();
    view.centerX = ClampCenter(view.centerX, span);
    view.centerY = ClampCenter(view.centerY, span);
    return view;
}

// One side of the crop: [first, first + length) of n pixels.
void CropSide(double center, double span, unsigned n, unsigned* pFirst, unsigned* pLength)
{
    if (n == 0) {
        *pFirst = *pLength = 0;
        return;
    }
    const unsigned length = std::max(1u, std::min(n, unsigned(std::lround(n * span))));
    const long first = std::lround((center - span / 2) * n);
    *pFirst = unsigned(std::min<long>(std::max(first, 0L), long(n - length)));
    *pLength = length;
}

}  // namespace

double ZoomView::Factor() const { return std::pow(2.0, nStep / 2.0); }

ZoomView ZoomedAbout(const ZoomView& view, int nSteps, double px, double py)
{
    ZoomView next = view;
    next.nStep = std::min(std::max(view.nStep + nSteps, 0), ZoomView::kMaxStep);
    if (next.nStep == view.nStep)
        return view;
    // The frame's point under the pointer, before and after.
    const double span = 1.0 / view.Factor(), nextSpan = 1.0 / next.Factor();
    const double fx = view.centerX - span / 2 + px * span, fy = view.centerY - span / 2 + py * span;
    next.centerX = fx - px * nextSpan + nextSpan / 2;
    next.centerY = fy - py * nextSpan + nextSpan / 2;
    return Clamped(next);
}

ZoomView Panned(const ZoomView& view, double dx, double dy)
{
    if (!view.IsZoomed())
        return view;
    ZoomView next = view;
    const double span = 1.0 / view.Factor();
    next.centerX -= dx * span;
    next.centerY -= dy * span;
    return Clamped(next);
}

FrameRegion CropOf(const ZoomView& view, unsigned w, unsigned h)
{
    FrameRegion region;
    const double span = 1.0 / view.Factor();
    CropSide(view.centerX, span, w, &region.x, &region.w);
    CropSide(view.centerY, span, h, &region.y, &region.h);
    return region;
}

bool InsetOf(const ZoomView& view, const ZoomRect& tile, ZoomRect* pFrame, ZoomRect* pPart)
{
    const int cx = (tile.right - tile.left) / 5, cy = (tile.bottom - tile.top) / 5;
    const int margin = 4;
    if (cx < 12 || cy < 9)
        return false;
    *pFrame = {tile.right - margin - cx, tile.bottom - margin - cy, tile.right - margin, tile.bottom - margin};
    const double span = 1.0 / view.Factor();
    const auto at = [](int from, int length, double fraction) { return from + int(std::lround(length * fraction)); };
    pPart->left = at(pFrame->left, cx, view.centerX - span / 2);
    pPart->top = at(pFrame->top, cy, view.centerY - span / 2);
    // At least two pixels a side, so that the part stays visible at 8x.
    pPart->right = std::max(at(pFrame->left, cx, view.centerX + span / 2), pPart->left + 2);
    pPart->bottom = std::max(at(pFrame->top, cy, view.centerY + span / 2), pPart->top + 2);
    return true;
}
