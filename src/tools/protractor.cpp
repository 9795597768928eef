#include "tools/protractor.h"

#include "tools/pointer.h"
#include "tools/ruler.h"
#include "tools/toolmeasures.h"
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

// The drag's press point is the shared instrument pointer, wherever it was last noted.
void ProtractorTool::fromSharedPointer(const PointerContext& p) {
    Drag.PressX = p.g.InstrPointerX;
    Drag.PressY = p.g.InstrPointerY;
}

void ProtractorTool::SlidePress(PointerContext& p) {
    Drag.BeginSlide(p, p.placement().WinkelX, p.placement().WinkelY);
    p.g.NoteInstrumentPointer(p.x, p.y);
}

void ProtractorTool::SlideMove(PointerContext& p) {
    fromSharedPointer(p);
    Drag.SlideTo(p, p.placement().WinkelX, p.placement().WinkelY);
}

void ProtractorTool::SlideRelease(PointerContext& p) {
    fromSharedPointer(p);
    Drag.EndSlide(p, p.placement().WinkelX, p.placement().WinkelY);
}

void ProtractorTool::TurnPress(PointerContext& p) {
    Drag.BeginTurn(p, p.placement().WinkelAngle);
    p.g.NoteInstrumentPointer(p.x, p.y);
}

// A pointer exactly on the centre has no direction: the protractor keeps its angle.
void ProtractorTool::TurnMove(PointerContext& p) {
    fromSharedPointer(p);
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

// The sheets are drawn afresh under the growing mark, so that no ray of the hover is left
// pointing elsewhere than the mark goes.
void ProtractorTool::MarkExtend(PointerContext& p) {
    markBlock(p, false);
    p.host.Paint();
    DrawOverlay(p);
}

void ProtractorTool::MarkRelease(PointerContext& p) {
    MarkingDegree = false;
    AddGuideLine(p, "Gradzahl mit Bleistift markieren");
}

void ProtractorTool::Cancel(ToolHost& host, TDrawing& drawing) {
    if (Drag.Active()) {
        InstrumentPlacement& pl = drawing.Placement;
        Drag.Undo(pl.WinkelX, pl.WinkelY, pl.WinkelAngle);
        host.UpdateEds();
    }
    Forget();
}

bool ProtractorTool::HoverMeasure(const PointerContext& p, Measurement& m) const {
    using K = Measurement::Kind;
    const InstrumentPlacement& pl = p.placement();
    if (!p.checked(ToolItem::Winkelmesser1)) return false;
    if (p.checked(ToolItem::WinkelmesserGradzahlmitBleistiftmarkieren1)) {
        const PointD c = centrePx(p);
        if (p.x == c.x && p.y == c.y) {
            m = Measurement{};
            return true;
        }
        m = Measurement{K::ProtractorDegree, 0,
                        ProtractorDegree(p.x - c.x, p.y - c.y, pl.WinkelAngle)};
        return true;
    }
    if (p.checked(ToolItem::WinkelmesserDrehen1)) {
        m = Measurement{K::ProtractorAngle, 0, pl.WinkelAngle};
        return true;
    }
    return false;
}

void ProtractorTool::DrawOverlay(const PointerContext& p) const {
    if (MarkingDegree) DrawGuideSegment(p, 3);
}

}  // namespace tervasko
