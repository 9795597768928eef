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

// Paint-box pixel of a drawing point (mm) in the stack's own scale, as the direct overlay
// of the pencil and the highlights places it; s is pixels per millimetre.
inline IntPoint PaintBoxPixel(double xMm, double yMm, double s) {
    return ViewTransform{s, 0, 0}.PaintBoxPixel({xMm, yMm}, 0);
}

}  // namespace tervasko
