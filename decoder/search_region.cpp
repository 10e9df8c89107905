#include "decoder/search_region.h"
#include <algorithm>
#include "decoder/motion_search_session.h"
#include "decoder/search_window.h"

SearchState::SearchState() = default;
SearchState::~SearchState() = default;

FrameRegion RegionOfTileRect(const RECT& tile, RECT rc, const FrameRegion& shown)
{
    const unsigned cx = shown.w, cy = shown.h;
    const LONG w = tile.right - tile.left, h = tile.bottom - tile.top;
    if (w <= 0 || h <= 0 || !IntersectRect(&rc, &rc, &tile))
        return {};
    // Outwards, so that what was drawn round is inside the region.
    auto down = [](LONG v, LONG size, unsigned n) { return unsigned(int64_t(v) * n / size); };
    auto up = [](LONG v, LONG size, unsigned n) { return unsigned((int64_t(v) * n + size - 1) / size); };
    FrameRegion region;
    region.x = down(rc.left - tile.left, w, cx);
    region.y = down(rc.top - tile.top, h, cy);
    region.w = std::min(cx, up(rc.right - tile.left, w, cx)) - region.x;
    region.h = std::min(cy, up(rc.bottom - tile.top, h, cy)) - region.y;
    region.x += shown.x;
    region.y += shown.y;
    return region;
}

RECT RectBetween(POINT a, POINT b)
{
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

RECT TileRectOfRegion(const RECT& tile, const FrameRegion& region, const FrameRegion& shown)
{
    if (shown.w == 0 || shown.h == 0)
        return tile;
    const int64_t w = tile.right - tile.left, h = tile.bottom - tile.top;
    const int64_t x = int64_t(region.x) - shown.x, y = int64_t(region.y) - shown.y;
    RECT rc = {LONG(tile.left + x * w / shown.w), LONG(tile.top + y * h / shown.h),
               LONG(tile.left + (x + region.w) * w / shown.w), LONG(tile.top + (y + region.h) * h / shown.h)};
    if (!IntersectRect(&rc, &rc, &tile))
        SetRectEmpty(&rc);
    return rc;
}

void DrawRegionOutline(CBackBuffer& buffer, const RECT& rc)
{
    OutlineBits(buffer, rc, DibColor(kSearchRegionColor), 2);
}
