#include "tools/ruler.h"

#include <cmath>

#include "tools/pointer.h"
#include "tools/toolmeasures.h"

namespace tervasko {
namespace {

// Ruler corner R0 in drawing millimetres and in stack pixels, on the sheet of the last press.
PointD cornerMm(const PointerContext& p) {
    return p.instrumentMm(p.placement().LinealX, p.placement().LinealY);
}
PointD cornerPx(const PointerContext& p) {
    return p.instrumentPx(p.placement().LinealX, p.placement().LinealY);
}

void storeSegment(GuideSegment& g, PointD a, PointD b) {
    g.X1 = a.x, g.Y1 = a.y, g.X2 = b.x, g.Y2 = b.y;
}

}  // namespace

// One guarded block along the line through `a` with direction `phi`, met by the line through
// the pointer with direction `psi`: t of the pointer, the guide's Min/Max set to it (start)
// or widened by it, and the segment between them. On an arithmetic error the fallback takes
// the pointer's y and the vertical at fallbackX.
// A snap point within 8 pixels of the pointer's foot on the line through `a` with direction
// `phi` (met along `psi`): its own foot is then the end.
// Where the guide block falls back to the vertical at fallbackX (a ruler at exactly 0 degrees
// drawing across), the foot is the pointer's own height on that vertical.
static std::optional<PointD> CatchOnLine(const PointerContext& p, PointD a, double phi, double psi,
                                         double fallbackX) {
    if (!p.host.SnapOn()) return std::nullopt;
    const PointD q = p.Q();
    std::optional<PointD> foot;
    if (const auto t = GuideParameter(a, phi, psi, q)) foot = GuidePoint(a, phi, *t);
    if (!foot) foot = PointD{fallbackX, q.y};
    return CatchPoint(p, *foot);
}

void GuideBlock(PointerContext& p, PointD a, double phi, double psi, double fallbackX, bool start,
                bool catching) {
    GuideSegment& g = p.g.Guide;
    g.Caught = catching ? CatchOnLine(p, a, phi, psi, fallbackX) : std::nullopt;
    const PointD q = g.Caught ? *g.Caught : p.Q();
    const auto widen = [&](double t) {
        if (start) {
            g.Min = g.Max = t;
        } else {
            if (t < g.Min) g.Min = t;
            if (t > g.Max) g.Max = t;
        }
    };
    const double min0 = g.Min, max0 = g.Max;
    if (const auto t = GuideParameter(a, phi, psi, q)) {
        widen(*t);
        const auto p1 = GuidePoint(a, phi, g.Min);
        const auto p2 = GuidePoint(a, phi, g.Max);
        if (p1 && p2) {
            storeSegment(g, *p1, *p2);
            return;
        }
    }
    g.Min = min0, g.Max = max0;
    widen(q.y);
    storeSegment(g, {fallbackX, g.Min}, {fallbackX, g.Max});
}

// Foot of the pointer on the edge line: the guide's Min/Max and FootX/FootY.
void RulerTool::computeFoot(PointerContext& p) {
    GuideSegment& guide = p.g.Guide;
    const double theta = p.placement().LinealAngle;
    guide.Caught = CatchOnLine(p, cornerMm(p), theta, theta + 90, p.placement().LinealX);
    const PointD q = guide.Caught ? *guide.Caught : p.Q();
    if (const auto t = GuideParameter(cornerMm(p), theta, theta + 90, q)) {
        if (const auto foot = GuidePoint(cornerMm(p), theta, *t)) {
            guide.Min = guide.Max = *t;
            FootX = foot->x, FootY = foot->y;
            return;
        }
    }
    guide.Min = guide.Max = q.y;
    FootX = p.placement().LinealX;
    FootY = q.y;
}

void RulerTool::acrossBlock(PointerContext& p, bool start) {
    const double theta = p.placement().LinealAngle;
    GuideBlock(p, {FootX, FootY}, theta + 90, theta, FootX, start, true);
}

void RulerTool::SlidePress(PointerContext& p) {
    Drag.BeginSlide(p, p.placement().LinealX, p.placement().LinealY);
}

void RulerTool::SlideMove(PointerContext& p) {
    Drag.SlideTo(p, p.placement().LinealX, p.placement().LinealY);
}

void RulerTool::SlideRelease(PointerContext& p) {
    Drag.EndSlide(p, p.placement().LinealX, p.placement().LinealY);
}

void RulerTool::TurnPress(PointerContext& p) {
    Drag.BeginTurn(p, p.placement().LinealAngle);
}

// A pointer exactly on the corner has no direction: the ruler keeps its angle.
void RulerTool::TurnMove(PointerContext& p) {
    if (!Drag.TurnTo(p, cornerPx(p), p.placement().LinealAngle)) return;
    p.host.Paint();
    p.host.UpdateEds();
}

// The release turns the ruler once more, to where the pointer is let go.
void RulerTool::TurnRelease(PointerContext& p) {
    Drag.EndTurn();
    Drag.TurnTo(p, cornerPx(p), p.placement().LinealAngle);
    p.host.Paint();
    p.host.UpdateEds();
}

void RulerTool::AlongHoverOrExtend(PointerContext& p) {
    const double theta = p.placement().LinealAngle;
    if (!DrawingAlong) {
        GuideBlock(p, cornerMm(p), theta, theta + 90, p.placement().LinealX, true, true);
        p.host.Paint();
        DrawGuideSegment(p, 5);
        return;
    }
    GuideBlock(p, cornerMm(p), theta, theta + 90, p.placement().LinealX, false, true);
    p.host.Paint();
    DrawGuideSegment(p, 3);
}

void RulerTool::AlongPress(PointerContext& p) {
    DrawingAlong = true;
    const double theta = p.placement().LinealAngle;
    GuideBlock(p, cornerMm(p), theta, theta + 90, p.placement().LinealX, true, true);
    DrawGuideSegment(p, 3);
}

void AddGuideLine(PointerContext& p, const char* step) {
    if (TDrawElement* e = AddPenElement(p.host, p.drawing, step)) {
        const GuideSegment& g = p.g.Guide;
        e->Kind = ekLine;
        e->X1 = g.X1, e->Y1 = g.Y1;
        e->X2 = g.X2, e->Y2 = g.Y2;
    }
    p.host.Paint();
}

void RulerTool::AlongRelease(PointerContext& p) {
    DrawingAlong = false;
    AddGuideLine(p, "An Lineal entlang zeichnen");
}

void RulerTool::AcrossHover(PointerContext& p) {
    computeFoot(p);
    p.host.Paint();
    Canvas& c = p.host.ScreenCanvas();
    const IntPoint f = ScreenPoint(p, {FootX, FootY});
    c.setPen(kRed, 5);
    c.moveTo(f.x, f.y);
    c.lineTo(f.x, f.y);
    c.setPen(kRed, 1);
    if (p.g.Guide.Caught) DrawCatchMarker(p, *p.g.Guide.Caught);
}

void RulerTool::AcrossPress(PointerContext& p) {
    DrawingAcross = true;
    computeFoot(p);
    acrossBlock(p, true);
    DrawGuideSegment(p, 3);
}

void RulerTool::AcrossExtend(PointerContext& p) {
    acrossBlock(p, false);
    DrawGuideSegment(p, 3);
}

void RulerTool::AcrossRelease(PointerContext& p) {
    DrawingAcross = false;
    AddGuideLine(p, "Quer zum Lineal zeichnen");
}

void RulerTool::Cancel(ToolHost& host, TDrawing& drawing) {
    if (Drag.Active()) {
        InstrumentPlacement& pl = drawing.Placement;
        Drag.Undo(pl.LinealX, pl.LinealY, pl.LinealAngle);
        host.UpdateEds();
    }
    Forget();
}

bool RulerTool::HoverMeasure(const PointerContext& p, Measurement& m) const {
    if (p.checked(ToolItem::Lineal1) && p.checked(ToolItem::LinealDrehen1)) {
        m = Measurement{Measurement::Kind::RulerAngle, 0, p.placement().LinealAngle};
        return true;
    }
    return false;
}

void RulerTool::DrawOverlay(const PointerContext& p) const {
    if (DrawingAlong || DrawingAcross) DrawGuideSegment(p, 3);
}

}  // namespace tervasko
