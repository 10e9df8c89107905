#include "decoder/layout.h"

namespace {

const int kMaxCamera = 16;

int GridSide(int nSplit)
{
    switch (nSplit) {
    case 1: return 1;
    case 4: return 2;
    case 8: return 3;
    default: return 4;
    }
}

int CameraOfCell(int nSplit, int nGroup, int nCell)
{
    if (nGroup < 0 || nCell >= nSplit)
        return 0;
    int camera = nSplit * nGroup + nCell + 1;
    return camera <= kMaxCamera ? camera : 0;
}

}  // namespace

bool IsValidSplit(long nSplit) { return nSplit == 1 || nSplit == 4 || nSplit == 8 || nSplit == 16; }

std::vector<TileSlot> LayOutView(int nSplit, int nGroup, int cx, int cy)
{
    const int side = GridSide(nSplit);
    std::vector<TileSlot> slots;
    for (int row = 0; row < side; ++row) {
        for (int col = 0; col < side; ++col) {
            // Edges from the whole size, so that the cells tile it without gaps.
            TileSlot slot;
            slot.rc = {cx * col / side, cy * row / side, cx * (col + 1) / side, cy * (row + 1) / side};
            slot.camera = CameraOfCell(nSplit, nGroup, row * side + col);
            slots.push_back(slot);
        }
    }
    return slots;
}
