// Views of 1, 4, 8 or 16 cameras and the grids they are laid out in: 8 as a 3 x 3 grid whose
// last cell stays empty. Group g of split s shows cameras s*g+1 .. s*g+s.
#pragma once
#include <cstdint>
#include "domain/camera_set.h"

namespace domain {

bool IsViewSplit(int split);
// The smallest split that holds count cameras.
int SplitFor(int count);

struct Grid {
    int rows, cols;
};
// Any number that is no split is laid out as 16.
Grid GridOf(int split);

struct CellRect {
    int left, top, right, bottom;
};
// Cell index (in reading order) of a grid over width x height. Edges come from the whole size,
// so that the cells tile it without gaps.
CellRect CellOf(Grid grid, int index, int width, int height);

// The camera cell index shows in group group of split; 0 for none: no group (-1), a cell past
// the split (the ninth of 8) or past camera 16.
int CameraOfCell(int split, int group, int index);

// The cameras group group of split stands for. No group (-1) stands for none, except that a
// view of 16 stands for every camera whatever its group.
CameraMask ViewGroupMask(int split, int group);

}  // namespace domain
