#pragma once

#include "document/drawmodel.h"
#include "tools/gesturestate.h"
#include "tools/instrumentgeometry.h"
#include "tools/toolhost.h"

namespace tervasko {

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
    // The pointer in drawing millimetres.
    PointD Q() const { return {x / s(), y / s()}; }
    InstrumentPlacement& placement() const { return drawing.Placement; }
    // Top of the sheet of the last press in millimetres; instruments act on that sheet.
    double sheetTopMm() const { return g.PointerSheetTop / s(); }
};

// Appends a new element with the pen of the settings panel and marks the drawing changed;
// the caller sets Kind and the points. nullptr when memory ran out.
TDrawElement* AddPenElement(ToolHost& host, TDrawing& drawing);

// Draws the segment GuideX1..GuideY2 onto the paint box with a red pen of `width` pixels,
// then sets the pen width back to 1.
void DrawGuideSegment(ToolHost& host, const GestureState& g, int width);

// An instrument dragged by the pointer: its position moves by the drag since the press
// (stack pixels to millimetres), then the cycle and the numeric fields show it.
void FollowDrag(PointerContext& p, double& x, double& y, int pressX, int pressY, double xAtPress,
                double yAtPress);

// Paint-box pixel of a drawing point.
IntPoint ScreenPoint(double xMm, double yMm, double s);

}  // namespace tervasko
