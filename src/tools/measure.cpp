#include "tools/measure.h"

#include <cmath>

#include "tools/pointer.h"

namespace tervasko {
namespace {

constexpr double kPi = 3.14159265358979323846;

double below360(double degrees) {
    double d = std::fmod(degrees, 360.0);
    if (d < 0) d += 360;
    return d >= 360 ? 0 : d;
}

Measurement of(Measurement::Kind kind, double length, double angle = 0) {
    Measurement m;
    m.kind = kind;
    m.length = length;
    m.angle = angle;
    return m;
}

double curveLength(const TDrawElement& e) {
    constexpr int kPieces = 64;
    double length = 0, px = e.X1, py = e.Y1;
    for (int i = 1; i <= kPieces; ++i) {
        const double t = double(i) / kPieces, u = 1 - t;
        const double x =
            u * u * u * e.X1 + 3 * u * u * t * e.X2 + 3 * u * t * t * e.X3 + t * t * t * e.X4;
        const double y =
            u * u * u * e.Y1 + 3 * u * u * t * e.Y2 + 3 * u * t * t * e.Y3 + t * t * t * e.Y4;
        length += std::hypot(x - px, y - py);
        px = x;
        py = y;
    }
    return length;
}

Measurement hoveredElement(const PointerContext& p) {
    const HoverState& h = p.g.Hover;
    if (!h.Found || h.Kind != HoverState::List::Elements || h.Index < 0 ||
        static_cast<std::uint32_t>(h.Index) >= p.drawing.Elements.Count())
        return {};
    return MeasureElement(p.drawing.Elements.At(static_cast<std::uint32_t>(h.Index)));
}

}  // namespace

double ProtractorDegree(double dx, double dy, double turn) {
    // Degree n lies in the direction n + turn + 180 from the centre.
    return below360(std::atan2(dy, dx) * 180 / kPi - turn - 180);
}

Measurement MeasureElement(const TDrawElement& e) {
    using K = Measurement::Kind;
    switch (e.Kind) {
        case ekLine:
            return of(K::Line, std::hypot(e.X2 - e.X1, e.Y2 - e.Y1));
        case ekCircle:
            return of(K::Circle, std::fabs(e.X2 - e.X1) / 2);
        case ekArc:
            return of(K::ArcElement, std::fabs(e.X2 - e.X1) / 2);
        case ekCurve:
            return of(K::Curve, curveLength(e));
        default:
            return {};
    }
}

Measurement MeasureGesture(const PointerContext& p) {
    using K = Measurement::Kind;
    using T = ToolItem;
    const GestureState& g = p.g;
    const InstrumentPlacement& pl = p.drawing.Placement;
    const auto guideLength = [&] {
        return std::hypot(g.Guide.X2 - g.Guide.X1, g.Guide.Y2 - g.Guide.Y1);
    };

    if (g.Ruler.Drag.Turning) return of(K::RulerAngle, 0, pl.LinealAngle);
    if (g.Ruler.DrawingAlong || g.Ruler.DrawingAcross) return of(K::GuideLength, guideLength());
    if (g.Protractor.MarkingDegree) {
        const PointD c = p.instrumentPx(pl.WinkelX, pl.WinkelY);
        return of(K::ProtractorDegree, 0,
                  ProtractorDegree(g.Protractor.Drag.PressX - c.x, g.Protractor.Drag.PressY - c.y,
                                   pl.WinkelAngle));
    }
    if (g.Protractor.Drag.Turning) return of(K::ProtractorAngle, 0, pl.WinkelAngle);
    if (g.Compass.SpanDragging) return of(K::CompassSpan, pl.ZirkelSpan);
    if (g.Compass.ArcDragging) {
        const double turned = p.drawing.ZirkelAngle - g.Compass.ArcStartAngle;
        const double swept = !g.Compass.ArcDirectionSet    ? 0
                             : g.Compass.ArcClockwise == 1 ? below360(turned)
                                                           : below360(-turned);
        return of(K::Arc, pl.ZirkelSpan, swept);
    }
    if (g.Ruler.Active() || g.Protractor.Active() || g.Compass.Active() || g.Stroke.Stroking)
        return {};

    // No gesture: the chosen mode's hover.
    if (p.checked(T::Lineal1) && p.checked(T::LinealDrehen1))
        return of(K::RulerAngle, 0, pl.LinealAngle);
    if (p.checked(T::Winkelmesser1) && p.checked(T::WinkelmesserGradzahlmitBleistiftmarkieren1)) {
        const PointD c = p.instrumentPx(pl.WinkelX, pl.WinkelY);
        if (p.x == c.x && p.y == c.y) return {};
        return of(K::ProtractorDegree, 0, ProtractorDegree(p.x - c.x, p.y - c.y, pl.WinkelAngle));
    }
    if (p.checked(T::Winkelmesser1) && p.checked(T::WinkelmesserDrehen1))
        return of(K::ProtractorAngle, 0, pl.WinkelAngle);
    if (p.checked(T::Zirkel1) &&
        (p.checked(T::ZirkelZirkelspanne1) || p.checked(T::ZirkelKreisbogenzeichnen1)))
        return of(K::CompassSpan, pl.ZirkelSpan);
    if (p.checked(T::Objekte1) &&
        (p.checked(T::ObjekteLschen1) || p.checked(T::ObjekteVerschieben1)))
        return hoveredElement(p);
    return {};
}

}  // namespace tervasko
