#include "tools/protractor.h"

#include "tools/pointer.h"
#include "tools/ruler.h"
#include "tools/toolpixels.h"

namespace tervasko {
namespace {

// Centre C in stack pixels and M in drawing millimetres, on the sheet of the last press.
PointD centrePx(const PointerContext& p) {
    return p.instrumentPx(p.placement().WinkelX, p.placement().WinkelY);
}
PointD centreMm(const PointerContext& p) {
    return p.instrumentMm(p.placement().WinkelX, p.placement().WinkelY);
}

}  // namespace

void ProtractorTool::markBlock(PointerContext& p, bool start) {
    const double a = MarkAngle;
    GuideBlock(p, centreMm(p), a, a + 90, p.placement().WinkelX, start);
}

void ProtractorTool::SlidePress(PointerContext& p) {
    Drag.BeginSlide(p, p.placement().WinkelX, p.placement().WinkelY);
}

void ProtractorTool::SlideMove(PointerContext& p) {
    Drag.SlideTo(p, p.placement().WinkelX, p.placement().WinkelY);
}

void ProtractorTool::SlideRelease(PointerContext& p) {
    Drag.EndSlide(p, p.placement().WinkelX, p.placement().WinkelY);
}

void ProtractorTool::TurnPress(PointerContext& p) {
    Drag.BeginTurn(p, p.placement().WinkelAngle);
}

// A pointer exactly on the centre has no direction: the protractor keeps its angle.
void ProtractorTool::TurnMove(PointerContext& p) {
    if (!Drag.TurnTo(p, centrePx(p), p.placement().WinkelAngle)) return;
    p.host.Paint();
    p.host.UpdateEds();
}

// The angle of the last move stands.
void ProtractorTool::TurnRelease(PointerContext&) {
    Drag.EndTurn();
}

void ProtractorTool::MarkHover(PointerContext& p) {
    p.host.Paint();
    const IntPoint c0 = p.view.PaintBoxPixelOfSheetRelative(
        {p.placement().WinkelX, p.placement().WinkelY}, p.g.PointerSheet);
    Canvas& c = p.host.ScreenCanvas();
    c.setPen(kRed, 1);
    c.moveTo(c0.x, c0.y);
    // A ray through the pointer, a thousand times as long as the way to it.
    c.lineTo(ToPixel(c0.x + 1000.0 * (p.X - c0.x)), ToPixel(c0.y + 1000.0 * (p.Y - c0.y)));
}

void ProtractorTool::MarkPress(PointerContext& p) {
    // A press exactly on the centre gives no direction: no mark is begun.
    const auto angle = tervasko::MarkAngle({double(p.x), double(p.y)}, centrePx(p));
    if (!angle) return;
    MarkingDegree = true;
    p.g.NoteInstrumentPointer(p.x, p.y);
    MarkAngle = *angle;
    markBlock(p, true);
    DrawGuideSegment(p, 3);
}

void ProtractorTool::MarkExtend(PointerContext& p) {
    markBlock(p, false);
    DrawGuideSegment(p, 3);
}

void ProtractorTool::MarkRelease(PointerContext& p) {
    MarkingDegree = false;
    AddGuideLine(p, "Gradzahl mit Bleistift markieren");
}

}  // namespace tervasko
