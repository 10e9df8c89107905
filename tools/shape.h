// Picture shapes: fitting a picture into a box without changing its shape. The grids the
// player lays several cameras out in are domain/view_grid.h.
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

}  // namespace dvrtool
