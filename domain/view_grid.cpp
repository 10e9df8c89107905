#include "domain/view_grid.h"

namespace domain {

bool IsViewSplit(int split) { return split == 1 || split == 4 || split == 8 || split == 16; }

int SplitFor(int count)
{
    if (count <= 1) return 1;
    if (count <= 4) return 4;
    if (count <= 8) return 8;
    return 16;
}

Grid GridOf(int split)
{
    switch (split) {
    case 1: return {1, 1};
    case 4: return {2, 2};
    case 8: return {3, 3};
    default: return {4, 4};
    }
}

CellRect CellOf(Grid grid, int index, int width, int height)
{
    const int row = index / grid.cols, col = index % grid.cols;
    return {width * col / grid.cols, height * row / grid.rows, width * (col + 1) / grid.cols,
            height * (row + 1) / grid.rows};
}

int CameraOfCell(int split, int group, int index)
{
    if (group < 0 || index < 0 || index >= split) return 0;
    const int64_t camera = int64_t{split} * group + index + 1;
    return camera <= kMaxCameras ? static_cast<int>(camera) : 0;
}

CameraMask ViewGroupMask(int split, int group)
{
    if (split == 16) return kAllCameras;
    if (group < 0 || !IsViewSplit(split)) return 0;
    CameraMask mask = 0;
    for (int index = 0; index < split; ++index) mask |= CameraBit(CameraOfCell(split, group, index));
    return mask;
}

}  // namespace domain
