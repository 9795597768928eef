#include "tools/measure.h"

#include <cmath>

#include "tools/pointer.h"
#include "tools/toolmeasures.h"

namespace tervasko {
namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

double Below360(double degrees) {
    double d = std::fmod(degrees, 360.0);
    if (d < 0) d += 360;
    return d >= 360 ? 0 : d;
}

namespace {

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

}  // namespace

double ProtractorDegree(double dx, double dy, double turn) {
    // Degree n lies in the direction n + turn + 180 from the centre.
    return Below360(std::atan2(dy, dx) * 180 / kPi - turn - 180);
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
    // The gesture under way first; then, with none, the chosen mode's hover.
    Measurement m;
    if (!p.g.AnyTool([&](const auto& tool) { return tool.Measure(p, m); }))
        p.g.AnyTool([&](const auto& tool) { return tool.HoverMeasure(p, m); });
    return m;
}

}  // namespace tervasko
