// The region of a motion search on the picture: chosen by a drag on a camera's
// tile (or the whole picture, with Enter), mapped between the tile and the
// camera's own pixels, and drawn over the tile while its search is open.
#pragma once
#include <windows.h>
#include <memory>
#include "decoder/compositor.h"
#include "decoder/frame_decoder.h"

class CMotionSearchSession;
class CSearchWindow;

// Drawn over the tile: a colour a test can look for.
const COLORREF kSearchRegionColor = RGB(0, 255, 64);

// The camera pixels under rc, a rectangle drawn on a tile that shows the part
// `shown` of the camera's picture (the whole of it, or what a zoom shows);
// clipped to the tile. Empty (w or h 0) when nothing of it is inside.
FrameRegion RegionOfTileRect(const RECT& tile, RECT rc, const FrameRegion& shown);
// Where a region of the picture shows on a tile that shows the part `shown`;
// clipped to the tile.
RECT TileRectOfRegion(const RECT& tile, const FrameRegion& region, const FrameRegion& shown);
// The rectangle with corners a and b.
RECT RectBetween(POINT a, POINT b);
// The region's outline, two pixels wide, inside rc; clipped to the buffer.
void DrawRegionOutline(CBackBuffer& buffer, const RECT& rc);

// What the control keeps of a search: the region being chosen, then the
// search itself, its window, and what it looks at.
struct SearchState {
    SearchState();
    ~SearchState();

    // Choosing: the camera, and the drag while the button is down.
    int pickCamera = 0;  // 0: not choosing
    bool bDragging = false;
    POINT anchor = {}, current = {};

    // Searching: the region stays drawn while the window is open.
    int camera = 0;
    FrameRegion region;
    unsigned cx = 0, cy = 0;  // the camera's picture
    uint64_t serial = 0;      // of the search now; what an older one posts is dropped
    bool bDone = false;       // its end has come back to the control's thread
    std::unique_ptr<CMotionSearchSession> session;
    std::unique_ptr<CSearchWindow> window;
};
