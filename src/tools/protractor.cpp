#include "tools/protractor.h"

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

void slideTo(PointerContext& p) {
    FollowDrag(p, p.placement().WinkelX, p.placement().WinkelY, p.g.InstrPointerX,
               p.g.InstrPointerY, p.g.WinkelXAtPress, p.g.WinkelYAtPress);
}

void markBlock(PointerContext& p, bool start) {
    const double a = p.g.MarkAngle;
    GuideBlock(p, centreMm(p), a, a + 90, p.placement().WinkelX, start);
}

}  // namespace

void ProtractorSlidePress(PointerContext& p) {
    p.g.WinkelMoving = true;
    p.g.InstrPointerX = p.x;
    p.g.InstrPointerY = p.y;
    p.g.WinkelXAtPress = p.placement().WinkelX;
    p.g.WinkelYAtPress = p.placement().WinkelY;
}

void ProtractorSlideMove(PointerContext& p) {
    slideTo(p);
}

void ProtractorSlideRelease(PointerContext& p) {
    p.g.WinkelMoving = false;
    slideTo(p);
}

void ProtractorTurnPress(PointerContext& p) {
    p.g.WinkelTurning = true;
    p.g.InstrPointerX = p.x;
    p.g.InstrPointerY = p.y;
    p.g.WinkelAngleAtPress = p.placement().WinkelAngle;
}

// A pointer exactly on the centre has no direction: the protractor keeps its angle.
void ProtractorTurnMove(PointerContext& p) {
    if (!TurnWithPointer(p, centrePx(p), p.g.InstrPointerX, p.g.InstrPointerY,
                         p.g.WinkelAngleAtPress, p.placement().WinkelAngle))
        return;
    p.host.Paint();
    p.host.UpdateEds();
}

// The angle of the last move stands.
void ProtractorTurnRelease(PointerContext& p) {
    p.g.WinkelTurning = false;
}

void MarkHover(PointerContext& p) {
    p.host.Paint();
    const IntPoint c0 = p.view().PaintBoxPixelOfSheetRelative(
        {p.placement().WinkelX, p.placement().WinkelY}, p.g.PointerSheet);
    Canvas& c = p.host.ScreenCanvas();
    c.setPen(kRed, 1);
    c.moveTo(c0.x, c0.y);
    // A ray through the pointer, a thousand times as long as the way to it.
    c.lineTo(ToPixel(c0.x + 1000.0 * (p.X - c0.x)), ToPixel(c0.y + 1000.0 * (p.Y - c0.y)));
}

void MarkPress(PointerContext& p) {
    // A press exactly on the centre gives no direction: no mark is begun.
    const auto angle = MarkAngle({double(p.x), double(p.y)}, centrePx(p));
    if (!angle) return;
    p.g.MarkingDegree = true;
    p.g.InstrPointerX = p.x;
    p.g.InstrPointerY = p.y;
    p.g.MarkAngle = *angle;
    markBlock(p, true);
    DrawGuideSegment(p, 3);
}

void MarkExtend(PointerContext& p) {
    markBlock(p, false);
    DrawGuideSegment(p, 3);
}

void MarkRelease(PointerContext& p) {
    p.g.MarkingDegree = false;
    AddGuideLine(p, "Gradzahl mit Bleistift markieren");
}

}  // namespace tervasko
