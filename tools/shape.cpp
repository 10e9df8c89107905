#include "tools/shape.h"

#include <algorithm>
#include <cmath>

namespace dvrtool {

namespace {

uint32_t evenAtLeast2(double value)
{
    uint32_t even = uint32_t(std::floor(value / 2)) * 2;
    return std::max<uint32_t>(2, even);
}

}  // namespace

Size fitInside(Size picture, Size box, bool growing)
{
    if (picture.width == 0 || picture.height == 0) return {evenAtLeast2(box.width), evenAtLeast2(box.height)};
    double scale = std::min(double(box.width) / picture.width, double(box.height) / picture.height);
    if (!growing) scale = std::min(scale, 1.0);
    double width = picture.width * scale, height = picture.height * scale;
    // The side that fills the box is exact; the other is rounded to the nearest even number,
    // never past the box.
    Size fitted{evenAtLeast2(width + 1), evenAtLeast2(height + 1)};
    fitted.width = std::min(fitted.width, evenAtLeast2(box.width));
    fitted.height = std::min(fitted.height, evenAtLeast2(box.height));
    return fitted;
}

Placement centred(Size inner, Size outer)
{
    Placement placement;
    placement.outer = outer;
    placement.inner = {std::min(inner.width, outer.width), std::min(inner.height, outer.height)};
    placement.x = (outer.width - placement.inner.width) / 4 * 2;
    placement.y = (outer.height - placement.inner.height) / 4 * 2;
    return placement;
}

}  // namespace dvrtool
