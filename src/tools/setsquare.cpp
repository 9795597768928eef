#include "tools/setsquare.h"

#include <cmath>
#include <numbers>

#include "tools/pointer.h"
#include "tools/ruler.h"
#include "tools/toolmeasures.h"
#include "tools/toolpixels.h"

namespace tervasko {
namespace {

// The set square's pose on the sheet of the last press, in drawing millimetres and in stack
// pixels (unrounded).
SetSquarePose poseMm(const PointerContext& p) {
    return {p.instrumentMm(p.placement().GeoX, p.placement().GeoY), p.placement().GeoAngle};
}
SetSquarePose posePx(const PointerContext& p) {
    return {p.instrumentPx(p.placement().GeoX, p.placement().GeoY), p.placement().GeoAngle};
}

// Where the pointer meets `edge`, held to the edge. With "Fangen" on, a snap point within
// 8 pixels of that foot takes the pointer's place, and is noted with the guide.
std::optional<double> reachOn(PointerContext& p, const SetSquarePose& pose, SetSquareEdge edge) {
    GuideSegment& g = p.g.Guide;
    g.Caught.reset();
    const auto t = SetSquareProjection(pose, edge, p.Q());
    if (!t) return std::nullopt;
    if (const auto caught = CatchPoint(p, SetSquareEdgePoint(pose, edge, *t))) {
        if (const auto tc = SetSquareProjection(pose, edge, *caught)) {
            g.Caught = caught;
            return tc;
        }
    }
    return t;
}

// The guide from span.min to span.max on `edge`; a span whose points leave the numbers
// keeps the guide as it was.
void storeGuide(PointerContext& p, const SetSquarePose& pose, SetSquareEdge edge,
                const SetSquareSpan& span) {
    const auto segment = SetSquareGuideSegment(pose, edge, span);
    if (!segment) return;
    GuideSegment& g = p.g.Guide;
    g.X1 = segment->from.x, g.Y1 = segment->from.y;
    g.X2 = segment->to.x, g.Y2 = segment->to.y;
    g.Min = span.min, g.Max = span.max;
}

// The degree of the scale the pointer points at from the zero mark and the direction of
// that degree: beyond the long edge a mark runs along it, at 0 or 180 degrees, as the
// scale reads there. nullopt on the zero mark itself.
struct DegreeMark {
    double degree, direction;
};
std::optional<DegreeMark> degreeMarkAt(const PointerContext& p) {
    const SetSquarePose pose = posePx(p);
    const auto degree = SetSquareDegreeAt(pose, {double(p.x), double(p.y)});
    if (!degree) return std::nullopt;
    return DegreeMark{*degree, SetSquareDegreeDirection(pose, *degree)};
}

}  // namespace

void SetSquareTool::SlidePress(PointerContext& p) {
    Drag.BeginSlide(p, p.placement().GeoX, p.placement().GeoY);
}

void SetSquareTool::SlideMove(PointerContext& p) {
    Drag.SlideTo(p, p.placement().GeoX, p.placement().GeoY);
}

void SetSquareTool::SlideRelease(PointerContext& p) {
    Drag.EndSlide(p, p.placement().GeoX, p.placement().GeoY);
}

void SetSquareTool::TurnPress(PointerContext& p) {
    Drag.BeginTurn(p, p.placement().GeoAngle);
}

// A pointer exactly on the zero mark has no direction: the set square keeps its angle.
void SetSquareTool::TurnMove(PointerContext& p) {
    if (!Drag.TurnTo(p, posePx(p).zero, p.placement().GeoAngle)) return;
    p.host.Paint();
    p.host.UpdateEds();
}

// As the ruler's: the release turns once more, to where the pointer is let go.
void SetSquareTool::TurnRelease(PointerContext& p) {
    Drag.EndTurn();
    Drag.TurnTo(p, posePx(p).zero, p.placement().GeoAngle);
    p.host.Paint();
    p.host.UpdateEds();
}

void SetSquareTool::hoverDot(PointerContext& p, SetSquareEdge edge) {
    const SetSquarePose pose = poseMm(p);
    SetSquareSpan dot;
    if (const auto t = reachOn(p, pose, edge)) {
        dot.Reach(*t, true);
        storeGuide(p, pose, edge, dot);
    }
    p.host.Paint();
    DrawGuideSegment(p, 5);
}

void SetSquareTool::LongEdgeHover(PointerContext& p) {
    hoverDot(p, SetSquareEdge::Long);
}

void SetSquareTool::LegHover(PointerContext& p) {
    hoverDot(p, SetSquareNearerLeg(poseMm(p), p.Q()));
}

void SetSquareTool::alongPress(PointerContext& p, SetSquareEdge edge) {
    const SetSquarePose pose = poseMm(p);
    const auto t = reachOn(p, pose, edge);
    if (!t) return;  // a placement out of the numbers: nothing to draw along
    DrawingAlong = true;
    Edge = edge;
    Span.Reach(*t, true);
    storeGuide(p, pose, edge, Span);
    DrawGuideSegment(p, 3);
}

void SetSquareTool::LongEdgePress(PointerContext& p) {
    alongPress(p, SetSquareEdge::Long);
}

// The leg is chosen at the press and kept while the line grows, wherever the pointer goes.
void SetSquareTool::LegPress(PointerContext& p) {
    alongPress(p, SetSquareNearerLeg(poseMm(p), p.Q()));
}

void SetSquareTool::AlongExtend(PointerContext& p) {
    const SetSquarePose pose = poseMm(p);
    if (const auto t = reachOn(p, pose, Edge)) {
        Span.Reach(*t, false);
        storeGuide(p, pose, Edge, Span);
    }
    p.host.Paint();
    DrawGuideSegment(p, 3);
}

void SetSquareTool::AlongRelease(PointerContext& p) {
    DrawingAlong = false;
    AddGuideLine(p, Edge == SetSquareEdge::Long ? "An der langen Kante entlang zeichnen"
                                                : "An den kurzen Kanten entlang zeichnen");
}

void SetSquareTool::MarkHover(PointerContext& p) {
    p.host.Paint();
    const auto mark = degreeMarkAt(p);
    if (!mark) return;
    const IntPoint c0 = ScreenPoint(p, poseMm(p).zero);
    // A ray in the direction of the degree, a thousand times as long as the way to the
    // pointer.
    const double a = mark->direction * std::numbers::pi / 180;
    const double reach = 1000.0 * std::hypot(p.X - c0.x, p.Y - c0.y);
    Canvas& c = p.host.ScreenCanvas();
    c.setPen(kRed, 1);
    c.moveTo(c0.x, c0.y);
    c.lineTo(ToPixel(c0.x + reach * std::cos(a)), ToPixel(c0.y + reach * std::sin(a)));
}

void SetSquareTool::MarkPress(PointerContext& p) {
    const auto mark = degreeMarkAt(p);
    if (!mark) return;  // a press on the zero mark gives no direction
    MarkingDegree = true;
    MarkAngle = mark->direction;
    MarkDegree = mark->degree;
    GuideBlock(p, poseMm(p).zero, MarkAngle, MarkAngle + 90, p.placement().GeoX, true);
    DrawGuideSegment(p, 3);
}

// As the protractor's mark: the sheets are drawn afresh under the growing mark.
void SetSquareTool::MarkExtend(PointerContext& p) {
    GuideBlock(p, poseMm(p).zero, MarkAngle, MarkAngle + 90, p.placement().GeoX, false);
    p.host.Paint();
    DrawOverlay(p);
}

void SetSquareTool::MarkRelease(PointerContext& p) {
    MarkingDegree = false;
    AddGuideLine(p, "Winkel markieren");
}

void SetSquareTool::Cancel(ToolHost& host, TDrawing& drawing) {
    if (Drag.Active()) {
        InstrumentPlacement& pl = drawing.Placement;
        Drag.Undo(pl.GeoX, pl.GeoY, pl.GeoAngle);
        host.UpdateEds();
    }
    Forget();
}

bool SetSquareTool::HoverMeasure(const PointerContext& p, Measurement& m) const {
    using K = Measurement::Kind;
    if (!p.checked(ToolItem::Geodreieck1)) return false;
    if (p.checked(ToolItem::GeodreieckWinkelmarkieren1)) {
        const auto mark = degreeMarkAt(p);
        m = mark ? Measurement{K::SetSquareDegree, 0, mark->degree} : Measurement{};
        return true;
    }
    if (p.checked(ToolItem::GeodreieckDrehen1)) {
        m = Measurement{K::SetSquareAngle, 0, p.placement().GeoAngle};
        return true;
    }
    return false;
}

void SetSquareTool::DrawOverlay(const PointerContext& p) const {
    if (DrawingAlong || MarkingDegree) DrawGuideSegment(p, 3);
}

}  // namespace tervasko
