#pragma once

#include "document/drawmodel.h"
#include "tools/gesturestate.h"
#include "tools/instrumentgeometry.h"
#include "tools/toolhost.h"

namespace tervasko {

// Where sheet `sheet` begins in drawing millimetres; the same product, in the same order, as
// the renderer's sheet offset, so both agree to the last bit.
inline double SheetTopMm(const TDrawing& drawing, int sheet) {
    return sheet * drawing.PageHeightInch * MmPerInch;
}

// One pointer event as every branch sees it: the window, the drawing, the gesture state and
// the position, in paint-box pixels (X, Y) and in stack pixels (x, y) = (X - 5, Y - 5).
struct PointerContext {
    ToolHost& host;
    TDrawing& drawing;
    GestureState& g;
    int X, Y;
    int x, y;
    MouseButton button;

    double s() const { return host.PixelsPerMm(); }
    bool checked(ToolItem item) const { return host.Checked(item); }
    InstrumentPlacement& placement() const { return drawing.Placement; }
    // Top of the sheet of the last press in drawing millimetres, where that sheet really
    // begins; instruments act on that sheet.
    double sheetTopMm() const { return SheetTopMm(drawing, g.PointerSheet); }
    // The pointer in drawing millimetres, measured on the sheet of the last press: its
    // distance below that sheet's top in pixels counts from the sheet's top in millimetres.
    // So a point lands exactly where that sheet's picture shows the pointer, on every sheet
    // and at every zoom (the sheet's top in pixels is rounded, in millimetres it is not).
    PointD Q() const { return StackToDrawing(x, y); }
    PointD StackToDrawing(double sx, double sy) const {
        return {sx / s(), sheetTopMm() + (sy - g.PointerSheetTop) / s()};
    }
};


// Appends a new element with the pen of the settings panel, marks the drawing changed and
// makes it a step of the history named `step`; the caller sets Kind and the points.
// nullptr when memory ran out.
TDrawElement* AddPenElement(ToolHost& host, TDrawing& drawing, const char* step);

// Draws the segment GuideX1..GuideY2 onto the paint box with a red pen of `width` pixels,
// then sets the pen width back to 1.
void DrawGuideSegment(const PointerContext& p, int width);

// An instrument dragged by the pointer: its position moves by the drag since the press
// (stack pixels to millimetres), then the cycle and the numeric fields show it.
void FollowDrag(PointerContext& p, double& x, double& y, int pressX, int pressY, double xAtPress,
                double yAtPress);

// Paint-box pixel of a drawing point, as the sheet of the last press shows it.
IntPoint ScreenPoint(const PointerContext& p, PointD mm);

}  // namespace tervasko
