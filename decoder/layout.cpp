#include "decoder/layout.h"
#include "domain/view_grid.h"

bool IsValidSplit(long nSplit) { return domain::IsViewSplit(static_cast<int>(nSplit)); }

std::vector<TileSlot> LayOutView(int nSplit, int nGroup, int cx, int cy)
{
    const domain::Grid grid = domain::GridOf(nSplit);
    std::vector<TileSlot> slots;
    for (int cell = 0; cell < grid.rows * grid.cols; ++cell) {
        const domain::CellRect rc = domain::CellOf(grid, cell, cx, cy);
        slots.push_back({{rc.left, rc.top, rc.right, rc.bottom}, domain::CameraOfCell(nSplit, nGroup, cell)});
    }
    return slots;
}

void KeepZooms(const std::vector<TileSlot>& before, std::vector<TileSlot>* pAfter)
{
    if (before.size() != pAfter->size())
        return;
    for (size_t i = 0; i < before.size(); ++i) {
        if (before[i].camera != (*pAfter)[i].camera)
            return;
    }
    for (size_t i = 0; i < before.size(); ++i)
        (*pAfter)[i].zoom = before[i].zoom;
}
