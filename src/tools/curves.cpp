#include "tools/curves.h"

#include "view/drawobjects.h"

namespace tervasko {

void CurveStartPress(PointerContext& p) {
    p.g.CurveAwaitEnd = true;
    p.g.CurveAwaitControl1 = false;
    p.g.AnchorX = p.x;
    p.g.AnchorY = p.y;
}

void CurveEndPress(PointerContext& p) {
    p.g.CurveAwaitControl1 = true;
    p.g.CurveAwaitEnd = false;
    p.g.CurveEndX = p.x;
    p.g.CurveEndY = p.y;
}

void CurveFirstControlPress(PointerContext& p) {
    p.g.CurveAwaitControl1 = false;
    p.g.CurveCtrlX = p.x;
    p.g.CurveCtrlY = p.y;
    p.g.CurveAwaitControl2 = true;
}

void CurveSecondControlPress(PointerContext& p) {
    GestureState& g = p.g;
    g.CurveAwaitControl2 = false;
    // The points were taken in pixels of the zoom of their moment; the zoom of this press
    // turns them into millimetres.
    const double s = p.s();
    if (TDrawElement* e = AddPenElement(p.host, p.drawing)) {
        e->Kind = ekCurve;
        e->X1 = g.AnchorX / s, e->Y1 = g.AnchorY / s;
        e->X2 = g.CurveCtrlX / s, e->Y2 = g.CurveCtrlY / s;
        e->X3 = p.x / s, e->Y3 = p.y / s;
        e->X4 = g.CurveEndX / s, e->Y4 = g.CurveEndY / s;
    }
    p.host.Paint();
}

void CurvePreview(PointerContext& p) {
    const GestureState& g = p.g;
    const int top = g.PointerSheetTop;
    // Sheet-buffer pixels of the sheet of the last press: x as it is, y less the sheet's top.
    const IntPoint q{p.x, p.y - top};
    const IntPoint start{g.AnchorX, g.AnchorY - top};
    const IntPoint end{g.CurveEndX, g.CurveEndY - top};
    const IntPoint control{g.CurveCtrlX, g.CurveCtrlY - top};
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
