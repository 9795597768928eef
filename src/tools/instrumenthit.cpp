#include "tools/instrumenthit.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "view/setsquaregeometry.h"

namespace tervasko {
namespace {

constexpr double kDegToRad = std::numbers::pi / 180;
constexpr double kRulerWidthMm = 10;
constexpr double kCompassHalfWidthMm = 3;
constexpr double kCompassReachPx = 8;

}  // namespace

bool RulerBodyContains(const InstrumentPlacement& p, double lengthMm, PointD q) {
    const double a = p.LinealAngle * kDegToRad;
    const double dx = q.x - p.LinealX, dy = q.y - p.LinealY;
    // Along the graduated edge, and across it a quarter turn clockwise, as the ruler is drawn.
    const double along = dx * std::cos(a) + dy * std::sin(a);
    const double across = -dx * std::sin(a) + dy * std::cos(a);
    return along >= 0 && along <= lengthMm && across >= 0 && across <= kRulerWidthMm;
}

bool ProtractorBodyContains(const InstrumentPlacement& p, double winkelDiameter, PointD q) {
    return std::hypot(q.x - p.WinkelX, q.y - p.WinkelY) <= std::fabs(winkelDiameter) / 2;
}

bool CompassBodyContains(const InstrumentPlacement& p, double zirkelAngle, double reachMm,
                         PointD q) {
    const double a = zirkelAngle * kDegToRad;
    const double ux = std::cos(a), uy = std::sin(a);
    const double dx = q.x - p.ZirkelX, dy = q.y - p.ZirkelY;
    // The nearest point of the line from needle (0) to pencil (span).
    const double t =
        std::clamp(dx * ux + dy * uy, std::min(0.0, p.ZirkelSpan), std::max(0.0, p.ZirkelSpan));
    return std::hypot(dx - t * ux, dy - t * uy) <= reachMm;
}

Instrument InstrumentAt(const TDrawing& d, const VisibleInstruments& shown, double pixelsPerMm,
                        PointD q) {
    if (!(std::isfinite(q.x) && std::isfinite(q.y))) return Instrument::None;
    const InstrumentPlacement& p = d.Placement;
    const double reach = pixelsPerMm > 0
                             ? std::max(kCompassHalfWidthMm, kCompassReachPx / pixelsPerMm)
                             : kCompassHalfWidthMm;
    if (shown.compass && CompassBodyContains(p, d.ZirkelAngle, reach, q))
        return Instrument::Compass;
    if (shown.setSquare && SetSquareContains(SetSquarePoseOf(p), q)) return Instrument::SetSquare;
    if (shown.protractor && ProtractorBodyContains(p, d.WinkelDiameter, q))
        return Instrument::Protractor;
    const double rulerLength = (d.PageWidthInch + d.PageHeightInch) * MmPerInch;
    if (shown.ruler && RulerBodyContains(p, rulerLength, q)) return Instrument::Ruler;
    return Instrument::None;
}

}  // namespace tervasko
