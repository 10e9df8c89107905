// Where the tiles of a view go: 1, 4, 8 or 16 cameras per view (8 as a 3 x 3
// grid whose last cell stays empty), group g of split s showing cameras
// s*g+1 .. s*g+s.
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
