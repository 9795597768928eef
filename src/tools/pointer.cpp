#include "tools/pointer.h"

namespace tervasko {

TDrawElement* AddPenElement(ToolHost& host, TDrawing& drawing, const char* step) {
    TDrawElement* e = drawing.AppendElement();
    if (!e) return nullptr;
    host.RecordEdit(ElementsAppended(drawing.Elements.Count() - 1, 1), step);
    host.SetChanged();
    e->Color = host.PenColor();
    e->Width = host.PenWidth();
    return e;
}

IntPoint ScreenPoint(const PointerContext& p, PointD mm) {
    return p.view().PaintBoxPixel(mm, p.g.PointerSheet);
}

void FollowDrag(PointerContext& p, double& x, double& y, int pressX, int pressY, double xAtPress,
                double yAtPress) {
    x = (p.x - pressX) / p.s() + xAtPress;
    y = (p.y - pressY) / p.s() + yAtPress;
    p.host.Paint();
    p.host.UpdateEds();
}

bool TurnWithPointer(PointerContext& p, PointD pivot, int pressX, int pressY, double angleAtPress,
                     double& angle) {
    const auto atPress = TurnAngleAtPress({double(pressX), double(pressY)}, pivot);
    const auto now = TurnAngle({double(p.x), double(p.y)}, pivot);
    if (!atPress || !now) return false;
    angle = angleAtPress + *atPress - *now;
    return true;
}

void DrawGuideSegment(const PointerContext& p, int width) {
    Canvas& c = p.host.ScreenCanvas();
    const IntPoint a = ScreenPoint(p, {p.g.GuideX1, p.g.GuideY1});
    const IntPoint b = ScreenPoint(p, {p.g.GuideX2, p.g.GuideY2});
    c.setPen(kRed, width);
    c.moveTo(a.x, a.y);
    c.lineTo(b.x, b.y);
    c.setPen(kRed, 1);
}

}  // namespace tervasko
