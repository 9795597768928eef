#pragma once

#include <string>

#include "platform/canvas.h"
#include "view/viewtransform.h"

namespace tervasko {

// Screen size of the sheets at a zoom and resolution.
struct ViewGeometry {
    double PixelsPerMm = 0;
    int SheetWidthPx = 0;
    int SheetHeightPx = 0;  // also the vertical pitch of the stack: sheets abut

    // zoom in percent, dpi the device's horizontal pixels per inch.
    static ViewGeometry Compute(double zoom, int dpi, double pageWidthInch, double pageHeightInch);

    // The paint box holds `pages` sheets one below the other; its width grows with the page
    // count too.
    IntPoint PaintBoxSize(int pages) const {
        constexpr int margins = 2 * ViewTransform::MarginPx;
        return {pages * (SheetWidthPx + margins), pages * SheetHeightPx + margins};
    }

    // Sheet under a paint-box row; the margin strip above the first sheet counts as sheet 0.
    int SheetAt(int paintBoxY) const {
        return ViewTransform{PixelsPerMm, SheetHeightPx, 0}.SheetAt(
            ViewTransform::StackFromPaintBox(0, paintBoxY).y);
    }
};

// "x mm, y mm" for a point in drawing millimetres, two decimals, with the given decimal
// separator.
std::string PointerReadout(PointD mm, char decimalSeparator);

}  // namespace tervasko
