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

void InstrumentDrag::BeginSlide(const PointerContext& p, double x, double y) {
    Sliding = true;
    PressX = p.x;
    PressY = p.y;
    XAtPress = x;
    YAtPress = y;
}

void InstrumentDrag::SlideTo(PointerContext& p, double& x, double& y) const {
    x = (p.x - PressX) / p.s() + XAtPress;
    y = (p.y - PressY) / p.s() + YAtPress;
    p.host.Paint();
    p.host.UpdateEds();
}

void InstrumentDrag::EndSlide(PointerContext& p, double& x, double& y) {
    Sliding = false;
    SlideTo(p, x, y);
}

void InstrumentDrag::BeginTurn(const PointerContext& p, double angle) {
    Turning = true;
    PressX = p.x;
    PressY = p.y;
    AngleAtPress = angle;
}

bool InstrumentDrag::TurnTo(PointerContext& p, PointD pivot, double& angle) const {
    const auto atPress = TurnAngleAtPress({double(PressX), double(PressY)}, pivot);
    const auto now = TurnAngle({double(p.x), double(p.y)}, pivot);
    if (!atPress || !now) return false;
    angle = AngleAtPress + *atPress - *now;
    return true;
}

void DrawGuideSegment(const PointerContext& p, int width) {
    Canvas& c = p.host.ScreenCanvas();
    const IntPoint a = ScreenPoint(p, {p.g.Guide.X1, p.g.Guide.Y1});
    const IntPoint b = ScreenPoint(p, {p.g.Guide.X2, p.g.Guide.Y2});
    c.setPen(kRed, width);
    c.moveTo(a.x, a.y);
    c.lineTo(b.x, b.y);
    c.setPen(kRed, 1);
}

}  // namespace tervasko
