#pragma once

#include <algorithm>
#include <cmath>

#include "platform/canvas.h"
#include "view/viewgeometry.h"

namespace tervasko {

// Pixel positions for what the drawing tools draw over the sheets. Half-to-even like every
// pixel of the program; a coordinate a broken file made huge or not a number is held at the
// edge of what a canvas can take instead of overflowing the integer.
inline int ToPixel(double px) {
    constexpr double kLimit = 1 << 30;
    const double r = std::nearbyint(px);
    if (!(r > -kLimit)) return -(1 << 30);
    if (!(r < kLimit)) return 1 << 30;
    return static_cast<int>(r);
}

// Paint-box pixel of a drawing point (mm); s is pixels per millimetre.
inline IntPoint PaintBoxPixel(double xMm, double yMm, double s) {
    return {ToPixel(xMm * s) + SheetMarginPx, ToPixel(yMm * s) + SheetMarginPx};
}

}  // namespace tervasko
