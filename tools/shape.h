// Picture shapes: fitting a picture into a box without changing its shape, and the grids the
// player lays several cameras out in.
#pragma once

#include <cstdint>
#include <vector>

namespace dvrtool {

struct Size {
    uint32_t width = 0, height = 0;
    bool operator==(const Size& o) const { return width == o.width && height == o.height; }
};

// The largest size of width:height's shape inside box, both sides even (the codecs' 4:2:0
// pictures need that) and at least 2. With growing false a picture that already fits keeps its
// size, only made even.
Size fitInside(Size picture, Size box, bool growing);

// Where a picture of size inner sits, centred, in a box of size outer.
struct Placement {
    Size outer, inner;
    uint32_t x = 0, y = 0;  // inner's top left corner inside outer, even
};
Placement centred(Size inner, Size outer);

// The player's layouts: 1, 4, 8 or 16 cameras to a view, 8 as a 3 x 3 grid with its last cell
// empty. The smallest that holds count cameras (1..16).
int splitFor(int count);
int gridSide(int split);

}  // namespace dvrtool
