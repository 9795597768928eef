#include "tools/curves.h"

#include "tools/pointer.h"
#include "view/drawobjects.h"

namespace tervasko {

void CurveTool::StartPress(PointerContext& p) {
    AwaitEnd = true;
    AwaitControl1 = false;
    p.g.AnchorX = p.x;
    p.g.AnchorY = p.y;
    const PointD q = p.Q();
    StartMmX = q.x, StartMmY = q.y;
}

void CurveTool::EndPress(PointerContext& p) {
    AwaitControl1 = true;
    AwaitEnd = false;
    EndX = p.x;
    EndY = p.y;
    const PointD q = p.Q();
    EndMmX = q.x, EndMmY = q.y;
}

void CurveTool::FirstControlPress(PointerContext& p) {
    AwaitControl1 = false;
    CtrlX = p.x;
    CtrlY = p.y;
    const PointD q = p.Q();
    CtrlMmX = q.x, CtrlMmY = q.y;
    AwaitControl2 = true;
}

void CurveTool::SecondControlPress(PointerContext& p) {
    AwaitControl2 = false;
    const PointD q = p.Q();
    if (TDrawElement* e = AddPenElement(p.host, p.drawing, "Kurven")) {
        e->Kind = ekCurve;
        e->X1 = StartMmX, e->Y1 = StartMmY;
        e->X2 = CtrlMmX, e->Y2 = CtrlMmY;
        e->X3 = q.x, e->Y3 = q.y;
        e->X4 = EndMmX, e->Y4 = EndMmY;
    }
    p.host.Paint();
}

void CurveTool::Preview(PointerContext& p) {
    // Sheet-buffer pixels of the sheet of the last press: the pointer as it is there, the
    // points given so far from their millimetres at today's zoom.
    const ViewTransform& view = p.view;
    const int sheet = p.g.PointerSheet;
    const IntPoint q{p.x, p.y - view.SheetTopPx(sheet)};
    const IntPoint start = view.SheetBufferPixel({StartMmX, StartMmY}, sheet);
    const IntPoint end = view.SheetBufferPixel({EndMmX, EndMmY}, sheet);
    const IntPoint control = view.SheetBufferPixel({CtrlMmX, CtrlMmY}, sheet);
    const Color color = p.host.PenColor();
    const int width = ElementPenWidth(p.host.PenWidth(), p.s());
    p.host.SingleSheetRefresh(sheet, [&](Canvas& c) {
        c.setPen(color, width);
        c.moveTo(start.x, start.y);
        if (AwaitEnd)
            c.lineTo(q.x, q.y);
        else if (AwaitControl1)
            c.bezierTo(q, q, end);
        else
            c.bezierTo(control, q, end);
    });
}

}  // namespace tervasko
