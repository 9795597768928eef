#include "tools/pointer.h"

namespace tervasko {

TDrawElement* AddPenElement(ToolHost& host, TDrawing& drawing, const char* step) {
    TDrawElement* e = drawing.AppendElement();
    if (!e) return nullptr;
    host.RecordEdit(ElementsAppended(drawing.Elements.Count() - 1, 1), step);
    e->Color = host.PenColor();
    e->Width = host.PenWidth();
    return e;
}

IntPoint ScreenPoint(const PointerContext& p, PointD mm) {
    return p.view.PaintBoxPixel(mm, p.g.PointerSheet);
}

IntPoint ScreenPointOn(const PointerContext& p, PointD mm, int sheet) {
    return p.view.PaintBoxPixel(mm, sheet);
}

void InstrumentDrag::BeginSlide(const PointerContext& p, double x, double y) {
    Sliding = true;
    PressX = p.x;
    PressY = p.y;
    XAtPress = x;
    YAtPress = y;
}

void InstrumentDrag::SlideTo(PointerContext& p, double& x, double& y) const {
    x = p.view.LengthMm(p.x - PressX) + XAtPress;
    y = p.view.LengthMm(p.y - PressY) + YAtPress;
    // The instrument's own point (the ruler's zero corner, the protractor's centre, the
    // compass's needle) is what a snap point catches.
    const auto caught = CatchPoint(p, p.instrumentMm(x, y));
    if (caught) {
        x = caught->x;
        y = caught->y - p.sheetTopMm();
    }
    p.host.Paint();
    // The mark shows what will catch while the slide goes on; the release leaves none.
    if (caught && Sliding) DrawCatchMarker(p, *caught);
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
    if (p.g.Guide.Caught) DrawCatchMarker(p, *p.g.Guide.Caught);
}

std::optional<PointD> CatchPoint(const PointerContext& p, PointD mm) {
    if (!p.host.SnapOn() || p.host.ShiftHeld() || !(p.s() > 0)) return std::nullopt;
    return p.host.FindSnapPoint(mm, p.view.LengthMm(8));
}

void DrawCatchMarker(const PointerContext& p, PointD mm) {
    const IntPoint c = ScreenPoint(p, mm);
    Canvas& canvas = p.host.ScreenCanvas();
    canvas.setPen(kRed, 1);
    canvas.setBrushHollow();
    canvas.ellipse(c.x - 5, c.y - 5, c.x + 6, c.y + 6);
}

}  // namespace tervasko
