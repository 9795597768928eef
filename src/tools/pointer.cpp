#include "tools/pointer.h"

#include "platform/numeric.h"
#include "view/viewgeometry.h"

namespace tervasko {

TDrawElement* AddPenElement(ToolHost& host, TDrawing& drawing) {
    TDrawElement* e = drawing.AppendElement();
    if (!e) return nullptr;
    host.SetChanged();
    e->Color = host.PenColor();
    e->Width = host.PenWidth();
    return e;
}

IntPoint ScreenPoint(double xMm, double yMm, double s) {
    return {static_cast<int>(Round(xMm * s)) + SheetMarginPx, static_cast<int>(Round(yMm * s)) + SheetMarginPx};
}

void FollowDrag(PointerContext& p, double& x, double& y, int pressX, int pressY, double xAtPress,
                double yAtPress) {
    x = (p.x - pressX) / p.s() + xAtPress;
    y = (p.y - pressY) / p.s() + yAtPress;
    p.host.Paint();
    p.host.UpdateEds();
}

void DrawGuideSegment(ToolHost& host, const GestureState& g, int width) {
    Canvas& c = host.ScreenCanvas();
    const double s = host.PixelsPerMm();
    const IntPoint a = ScreenPoint(g.GuideX1, g.GuideY1, s);
    const IntPoint b = ScreenPoint(g.GuideX2, g.GuideY2, s);
    c.setPen(kRed, width);
    c.moveTo(a.x, a.y);
    c.lineTo(b.x, b.y);
    c.setPen(kRed, 1);
}

}  // namespace tervasko
