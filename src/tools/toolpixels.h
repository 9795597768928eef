#pragma once

#include "platform/canvas.h"
#include "view/viewtransform.h"

namespace tervasko {

// Pixel positions for what the drawing tools draw over the sheets. Half-to-even like every
// pixel of the program; a coordinate a broken file made huge or not a number is held at the
// edge of what a canvas can take instead of overflowing the integer.
inline int ToPixel(double px) {
    return ViewTransform::ToPixel(px);
}

}  // namespace tervasko
