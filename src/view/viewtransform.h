#pragma once

#include <cmath>

#include "platform/canvas.h"
#include "platform/numeric.h"

namespace tervasko {

// The conversions between the four frames the program draws in, and the only place that
// knows the 5-pixel margin and where a sheet begins:
// - paint-box pixels: the widget's own, the margin above and left of the first sheet;
// - stack pixels: from the first sheet's top-left corner down through the whole stack,
//   sheets abutting every SheetHeightPx pixels;
// - sheet-buffer pixels: from one sheet's top-left corner;
// - drawing millimetres: y running down through the stack, sheet a beginning at
//   a x PageHeightInch x MmPerInch (its true top, which the rounded pixel pitch is not).
// Pixels are rounded half to even; a coordinate too large for a pixel is held at the edge
// of what a canvas takes.
struct ViewTransform {
    static constexpr int MarginPx = 5;

    double PixelsPerMm = 0;
    int SheetHeightPx = 0;  // the stack's pitch
    double PageHeightInch = 0;

    static int ToPixel(double px) {
        constexpr double kLimit = 1 << 30;
        const double r = std::nearbyint(px);
        if (!(r > -kLimit)) return -(1 << 30);
        if (!(r < kLimit)) return 1 << 30;
        return static_cast<int>(r);
    }

    static IntPoint StackFromPaintBox(int x, int y) { return {x - MarginPx, y - MarginPx}; }
    static IntPoint PaintBoxFromStack(int x, int y) { return {x + MarginPx, y + MarginPx}; }

    // A distance on the screen in millimetres of the drawing: a drag's travel, a radius.
    double LengthMm(double px) const { return px / PixelsPerMm; }

    // The sheet under a stack row (truncating, so the margin strip above counts as sheet 0).
    int SheetAt(int stackY) const { return SheetHeightPx > 0 ? stackY / SheetHeightPx : 0; }
    int SheetTopPx(int sheet) const { return sheet * SheetHeightPx; }
    double SheetTopMm(int sheet) const { return sheet * PageHeightInch * MmPerInch; }

    // A stack pixel measured on `sheet`: its distance below that sheet's top in pixels counts
    // from the sheet's top in millimetres.
    PointD StackToMm(double x, double y, int sheet) const {
        return {x / PixelsPerMm, SheetTopMm(sheet) + (y - SheetTopPx(sheet)) / PixelsPerMm};
    }
    // Where sheet `sheet`'s buffer shows a drawing point.
    IntPoint SheetBufferPixel(PointD mm, int sheet) const {
        return {ToPixel(mm.x * PixelsPerMm), ToPixel((mm.y - SheetTopMm(sheet)) * PixelsPerMm)};
    }
    // Where the paint box shows a drawing point as sheet `sheet` draws it.
    IntPoint PaintBoxPixel(PointD mm, int sheet) const {
        const IntPoint b = SheetBufferPixel(mm, sheet);
        return PaintBoxFromStack(b.x, b.y + SheetTopPx(sheet));
    }
    // A point given relative to a sheet's corner (an instrument), in stack pixels, unrounded.
    PointD SheetRelativeToStack(PointD mm, int sheet) const {
        return {mm.x * PixelsPerMm, mm.y * PixelsPerMm + SheetTopPx(sheet)};
    }
    // The same point in drawing millimetres.
    PointD SheetRelativeToMm(PointD mm, int sheet) const {
        return {mm.x, mm.y + SheetTopMm(sheet)};
    }
    // Where the paint box shows a sheet-relative point on sheet `sheet`.
    IntPoint PaintBoxPixelOfSheetRelative(PointD mm, int sheet) const {
        return PaintBoxFromStack(ToPixel(mm.x * PixelsPerMm),
                                 ToPixel(mm.y * PixelsPerMm) + SheetTopPx(sheet));
    }
    // The paint box's rectangle of sheet `sheet`, `widthPx` wide.
    IntRect SheetRect(int sheet, int widthPx) const {
        const IntPoint tl = PaintBoxFromStack(0, SheetTopPx(sheet));
        return {tl.x, tl.y, tl.x + widthPx, tl.y + SheetHeightPx};
    }
};

}  // namespace tervasko
