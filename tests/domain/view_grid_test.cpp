// View grids and camera sets.
#include "domain/view_grid.h"

#include <gtest/gtest.h>

using namespace domain;

TEST(ViewGrid, SplitsAndTheirGrids)
{
    const struct {
        int count, split, rows;
    } cases[] = {{0, 1, 1}, {1, 1, 1}, {2, 4, 2}, {4, 4, 2}, {5, 8, 3}, {8, 8, 3}, {9, 16, 4}, {16, 16, 4}};
    for (const auto& c : cases) {
        EXPECT_EQ(SplitFor(c.count), c.split) << c.count;
        EXPECT_TRUE(IsViewSplit(c.split));
        EXPECT_EQ(GridOf(c.split).rows, c.rows) << c.split;
        EXPECT_EQ(GridOf(c.split).cols, c.rows) << c.split;
    }
    EXPECT_FALSE(IsViewSplit(9));
    EXPECT_FALSE(IsViewSplit(0));
}

TEST(ViewGrid, CellsTileTheAreaWithoutGaps)
{
    // 8 cameras over 301 x 241: uneven sizes, every pixel in exactly one cell.
    const Grid grid = GridOf(8);
    const int width = 301, height = 241;
    std::vector<int> covered(width * height, 0);
    for (int index = 0; index < grid.rows * grid.cols; ++index) {
        const CellRect cell = CellOf(grid, index, width, height);
        for (int y = cell.top; y < cell.bottom; ++y)
            for (int x = cell.left; x < cell.right; ++x) ++covered[y * width + x];
    }
    for (int count : covered) ASSERT_EQ(count, 1);
    const CellRect middle = CellOf(grid, 4, width, height);
    EXPECT_EQ(middle.left, 100);
    EXPECT_EQ(middle.top, 80);
    EXPECT_EQ(middle.right, 200);
    EXPECT_EQ(middle.bottom, 160);
}

TEST(ViewGrid, GroupsChooseTheirCameras)
{
    const struct {
        int split, group, index, camera;
    } cells[] = {
        {4, 1, 0, 5},
        {4, 3, 3, 16},
        {8, 1, 7, 16},
        {8, 0, 8, 0},  // the empty ninth cell
        {8, 2, 0, 0},  // past camera 16
        {4, -1, 0, 0},
        {1, 15, 0, 16},
    };
    for (const auto& c : cells) EXPECT_EQ(CameraOfCell(c.split, c.group, c.index), c.camera) << c.split << "/" << c.group;

    const struct {
        int split, group;
        CameraMask mask;
    } groups[] = {
        {16, -1, 0xFFFF},
        {16, 3, 0xFFFF},
        {8, 1, 0xFF00},
        {4, 2, 0x0F00},
        {1, 3, 0x0008},
        {4, -1, 0},
        {8, 2, 0},
        {5, 0, 0},  // no split
    };
    for (const auto& g : groups) EXPECT_EQ(ViewGroupMask(g.split, g.group), g.mask) << g.split << "/" << g.group;
}

TEST(CameraSet, TextAndMasksBothWays)
{
    const struct {
        const char* text;
        CameraMask mask;
        const char* formatted;
    } good[] = {
        {"3", 0x0004, "3"},
        {"9-12,1,4", 0x0F09, "1,4,9-12"},
        {"1,2", 0x0003, "1,2"},  // a pair is no range
        {"1-16", 0xFFFF, "1-16"},
        {"16", 0x8000, "16"},
    };
    for (const auto& c : good) {
        CameraMask mask = 0;
        ASSERT_TRUE(ParseCameraSet(c.text, mask)) << c.text;
        EXPECT_EQ(mask, c.mask) << c.text;
        EXPECT_EQ(FormatCameraSet(mask), c.formatted);
    }
    EXPECT_EQ(FormatCameraSet(0x0AFF, ", "), "1-8, 10, 12");
    EXPECT_EQ(FormatCameraSet(0), "");
    EXPECT_EQ(CamerasOf(0x8005), (std::vector<int>{1, 3, 16}));
    EXPECT_EQ(CameraCount(0x8005), 3);

    CameraMask mask = 0x1234;
    for (const char* bad : {"", "0", "17", "1,1", "1-3,2", "4-2", "1,", "a", "1-", " 3", "4294967297", "-1"})
        EXPECT_FALSE(ParseCameraSet(bad, mask)) << bad;
    EXPECT_EQ(mask, 0x1234u) << "untouched by a refused text";
}
