// Where the tiles of a view go in the control's window: the view grid's cells
// (domain/view_grid.h) as rectangles, each with the camera it shows.
#pragma once
#include <windows.h>
#include <vector>

struct TileSlot {
    RECT rc;     // in the control's client coordinates
    int camera;  // 1..16; 0 for a cell that shows no camera
};

bool IsValidSplit(long nSplit);
// The cells in reading order. A group out of range (-1, or past camera 16)
// leaves its cells without a camera.
std::vector<TileSlot> LayOutView(int nSplit, int nGroup, int cx, int cy);
