// Where the tiles of a view go in the control's window: the view grid's cells
// (domain/view_grid.h) as rectangles, each with the camera it shows.
#pragma once
#include <windows.h>
#include <vector>
#include "decoder/zoom.h"

struct TileSlot {
    RECT rc;     // in the control's client coordinates
    int camera;  // 1..16; 0 for a cell that shows no camera
    ZoomView zoom;
};

bool IsValidSplit(long nSplit);
// The cells in reading order. A group out of range (-1, or past camera 16)
// leaves its cells without a camera.
std::vector<TileSlot> LayOutView(int nSplit, int nGroup, int cx, int cy);
// A new layout keeps the zooms of the one before only when it is the same
// cells with the same cameras (a new size of the window): the zoom of each
// tile ends when the layout changes.
void KeepZooms(const std::vector<TileSlot>& before, std::vector<TileSlot>* pAfter);
