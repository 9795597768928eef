#include "tools/curves.h"

#include "view/drawobjects.h"

namespace tervasko {

void CurveStartPress(PointerContext& p) {
    p.g.CurveAwaitEnd = true;
    p.g.CurveAwaitControl1 = false;
    p.g.AnchorX = p.x;
    p.g.AnchorY = p.y;
    const PointD q = p.Q();
    p.g.CurveStartMmX = q.x, p.g.CurveStartMmY = q.y;
}

void CurveEndPress(PointerContext& p) {
    p.g.CurveAwaitControl1 = true;
    p.g.CurveAwaitEnd = false;
    p.g.CurveEndX = p.x;
    p.g.CurveEndY = p.y;
    const PointD q = p.Q();
    p.g.CurveEndMmX = q.x, p.g.CurveEndMmY = q.y;
}

void CurveFirstControlPress(PointerContext& p) {
    p.g.CurveAwaitControl1 = false;
    p.g.CurveCtrlX = p.x;
    p.g.CurveCtrlY = p.y;
    const PointD q = p.Q();
    p.g.CurveCtrlMmX = q.x, p.g.CurveCtrlMmY = q.y;
    p.g.CurveAwaitControl2 = true;
}

void CurveSecondControlPress(PointerContext& p) {
    GestureState& g = p.g;
    g.CurveAwaitControl2 = false;
    const PointD q = p.Q();
    if (TDrawElement* e = AddPenElement(p.host, p.drawing, "Kurven")) {
        e->Kind = ekCurve;
        e->X1 = g.CurveStartMmX, e->Y1 = g.CurveStartMmY;
        e->X2 = g.CurveCtrlMmX, e->Y2 = g.CurveCtrlMmY;
        e->X3 = q.x, e->Y3 = q.y;
        e->X4 = g.CurveEndMmX, e->Y4 = g.CurveEndMmY;
    }
    p.host.Paint();
}

void CurvePreview(PointerContext& p) {
    const GestureState& g = p.g;
    // Sheet-buffer pixels of the sheet of the last press: the pointer as it is there, the
    // points given so far from their millimetres at today's zoom.
    const ViewTransform view = p.view();
    const int sheet = g.PointerSheet;
    const IntPoint q{p.x, p.y - view.SheetTopPx(sheet)};
    const IntPoint start = view.SheetBufferPixel({g.CurveStartMmX, g.CurveStartMmY}, sheet);
    const IntPoint end = view.SheetBufferPixel({g.CurveEndMmX, g.CurveEndMmY}, sheet);
    const IntPoint control = view.SheetBufferPixel({g.CurveCtrlMmX, g.CurveCtrlMmY}, sheet);
    const Color color = p.host.PenColor();
    const int width = ElementPenWidth(p.host.PenWidth(), p.s());
    p.host.SingleSheetRefresh(g.PointerSheet, [&](Canvas& c) {
        c.setPen(color, width);
        c.moveTo(start.x, start.y);
        if (g.CurveAwaitEnd)
            c.lineTo(q.x, q.y);
        else if (g.CurveAwaitControl1)
            c.bezierTo(q, q, end);
        else
            c.bezierTo(control, q, end);
    });
}

}  // namespace tervasko
