#pragma once

#include <optional>

#include "document/drawmodel.h"
#include "tools/gesturestate.h"
#include "tools/instrumentgeometry.h"
#include "tools/toolhost.h"
#include "view/viewtransform.h"

namespace tervasko {

// One pointer event as every branch sees it: the window, the drawing, the gesture state, the
// view transform of this event and the position, in paint-box pixels (X, Y) and in stack
// pixels (x, y).
//
// Every conversion between pixels and millimetres goes through `view`, with one convention:
// a pixel is measured from the top of a sheet, in that sheet's own pixels, and that sheet's
// true top in millimetres is added. Sheet heights in pixels are rounded, so dividing stack
// pixels by the scale would drift by up to half a pixel per sheet.
struct PointerContext {
    ToolHost& host;
    TDrawing& drawing;
    GestureState& g;
    ViewTransform view;
    int X, Y;
    int x, y;
    MouseButton button;

    double s() const { return view.PixelsPerMm; }
    bool checked(ToolItem item) const { return host.Checked(item); }
    InstrumentPlacement& placement() const { return drawing.Placement; }
    // Top of the sheet of the last press in drawing millimetres, where that sheet really
    // begins; instruments act on that sheet.
    double sheetTopMm() const { return view.SheetTopMm(g.PointerSheet); }
    // The pointer in drawing millimetres, measured on the sheet of the last press, so that
    // a point lands exactly where that sheet's picture shows the pointer, on every sheet and
    // at every zoom. Gestures use it: a stroke or line that runs on over a sheet's edge stays
    // one straight piece.
    PointD Q() const { return view.StackToMm(x, y, g.PointerSheet); }
    // The sheet under the pointer now, and the pointer measured on it: what the pointer
    // hovers over and what the status bar reads out.
    int sheetHere() const { return view.SheetAt(y); }
    PointD here() const { return view.StackToMm(x, y, sheetHere()); }
    // The pointer in the buffer pixels of sheet `sheet`.
    PointD sheetPixel(int sheet) const { return {double(x), double(y - view.SheetTopPx(sheet))}; }
    // An instrument's sheet-relative point on the sheet of the last press, in stack pixels
    // (unrounded) and in drawing millimetres.
    PointD instrumentPx(double ix, double iy) const {
        return view.SheetRelativeToStack({ix, iy}, g.PointerSheet);
    }
    PointD instrumentMm(double ix, double iy) const {
        return view.SheetRelativeToMm({ix, iy}, g.PointerSheet);
    }
};

// Appends a new element with the pen of the settings panel, marks the drawing changed and
// makes it a step of the history named `step`; the caller sets Kind and the points.
// nullptr when memory ran out.
TDrawElement* AddPenElement(ToolHost& host, TDrawing& drawing, const char* step);

// Draws the guide segment onto the paint box with a red pen of `width` pixels,
// then sets the pen width back to 1.
void DrawGuideSegment(const PointerContext& p, int width);

// With "Fangen" on and Shift not held: the snap point within 8 screen pixels of `mm`
// (drawing millimetres), if any.
std::optional<PointD> CatchPoint(const PointerContext& p, PointD mm);
// The mark of a point that caught: a small ring on the paint box, over the picture.
void DrawCatchMarker(const PointerContext& p, PointD mm);

// Paint-box pixel of a drawing point, as the sheet of the last press shows it.
IntPoint ScreenPoint(const PointerContext& p, PointD mm);
// The same as sheet `sheet` shows it.
IntPoint ScreenPointOn(const PointerContext& p, PointD mm, int sheet);

}  // namespace tervasko
