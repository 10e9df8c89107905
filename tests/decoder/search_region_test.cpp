// The rectangle drawn on a tile as the camera's pixels, and back: outwards, so
// that what was drawn round stays inside; clipped to the tile and the picture.
#include <gtest/gtest.h>
#include "decoder/search_region.h"

namespace {

void ExpectRegion(const FrameRegion& expected, const FrameRegion& got, const char* what)
{
    EXPECT_EQ(expected.x, got.x) << what;
    EXPECT_EQ(expected.y, got.y) << what;
    EXPECT_EQ(expected.w, got.w) << what;
    EXPECT_EQ(expected.h, got.h) << what;
}

TEST(SearchRegion, TileRectanglesBecomeCameraPixelsAndBack)
{
    const RECT tile = {100, 50, 260, 170};  // 160 x 120, showing a 704 x 576 picture
    const FrameRegion kWhole = {0, 0, 704, 576};
    ExpectRegion({0, 0, 704, 576}, RegionOfTileRect(tile, tile, kWhole), "the whole tile");
    ExpectRegion({352, 288, 352, 288}, RegionOfTileRect(tile, {180, 110, 260, 170}, kWhole), "the bottom-right quarter");
    ExpectRegion({352, 288, 352, 288}, RegionOfTileRect(tile, {180, 110, 400, 300}, kWhole), "past the tile: clipped");
    // One tile pixel covers 4.4 x 4.8 camera pixels: the region takes in all it touches.
    ExpectRegion({4, 4, 5, 6}, RegionOfTileRect(tile, {101, 51, 102, 52}, kWhole), "outwards");
    const FrameRegion outside = RegionOfTileRect(tile, {0, 0, 90, 40}, kWhole);
    EXPECT_TRUE(outside.w == 0 || outside.h == 0) << "nothing of it on the tile";

    const RECT back = TileRectOfRegion(tile, {352, 288, 352, 288}, kWhole);
    EXPECT_EQ(180, back.left);
    EXPECT_EQ(110, back.top);
    EXPECT_EQ(260, back.right);
    EXPECT_EQ(170, back.bottom);
    const RECT between = RectBetween({260, 170}, {100, 50});
    EXPECT_TRUE(EqualRect(&tile, &between)) << "corners in any order";

    // Zoomed to the bottom-right quarter: the whole tile is that quarter, and a
    // region partly outside what is seen is drawn clipped to the tile.
    const FrameRegion quarter = {352, 288, 352, 288};
    ExpectRegion(quarter, RegionOfTileRect(tile, tile, quarter), "zoomed: the whole tile");
    ExpectRegion({528, 432, 176, 144}, RegionOfTileRect(tile, {180, 110, 260, 170}, quarter), "zoomed: its quarter");
    const RECT clipped = TileRectOfRegion(tile, {0, 0, 528, 432}, quarter);
    EXPECT_EQ(100, clipped.left);
    EXPECT_EQ(50, clipped.top);
    EXPECT_EQ(180, clipped.right);
    EXPECT_EQ(110, clipped.bottom);
}

}  // namespace
