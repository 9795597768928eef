#include "tools/instrumentgeometry.h"

#include <cmath>
#include <numbers>

namespace tervasko {
namespace {

constexpr double kRad = std::numbers::pi / 180;
constexpr double kDeg = 180 / std::numbers::pi;

std::optional<double> finite(double v) {
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

// Toward zero to a multiple of 0.001; values too large for a whole number are an error.
std::optional<double> truncMilli(double v) {
    const double scaled = v * 1000;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.2e18) return std::nullopt;
    return static_cast<double>(static_cast<long long>(scaled)) / 1000;
}

}  // namespace

std::optional<double> GuideParameter(PointD a, double phi, double psi, PointD q) {
    const double c = std::cos(phi * kRad), n = std::sin(phi * kRad);
    const double f = std::cos(psi * kRad), g = std::sin(psi * kRad);
    if (g == 0) return std::nullopt;
    const double e = c - f * n / g;
    if (e == 0) return std::nullopt;
    return finite(q.x / e + f * a.y / g / e - f * q.y / g / e - a.x / e);
}

std::optional<PointD> GuidePoint(PointD a, double phi, double t) {
    const double c = std::cos(phi * kRad), n = std::sin(phi * kRad);
    const auto x = truncMilli(c * t + a.x);
    const auto y = truncMilli(n * t + a.y);
    if (!x || !y) return std::nullopt;
    return PointD{*x, *y};
}

std::optional<double> TurnAngle(PointD p, PointD pivot) {
    const double dist =
        std::sqrt((p.x - pivot.x) * (p.x - pivot.x) + (p.y - pivot.y) * (p.y - pivot.y));
    if (dist == 0) return std::nullopt;
    // Level with the pivot on its right the formula gives 0, while just above and just below
    // it gives -180: no direction is taken there.
    if (p.y == pivot.y && p.x > pivot.x) return std::nullopt;
    double a = std::asin((p.y - pivot.y) / dist) * kDeg;
    if (p.x > pivot.x && p.y < pivot.y) a = -90 - (a + 90);
    if (p.x > pivot.x && p.y > pivot.y) a = -90 - (a + 90);
    return finite(a);
}

std::optional<double> TurnAngleAtPress(PointD p, PointD pivot) {
    if (p.y == pivot.y && p.x > pivot.x) return -180.0;
    return TurnAngle(p, pivot);
}

std::optional<double> MarkAngle(PointD p, PointD c) {
    const double dist = std::sqrt((p.x - c.x) * (p.x - c.x) + (p.y - c.y) * (p.y - c.y));
    if (dist == 0) return std::nullopt;
    double a = std::acos((p.x - c.x) / dist) * kDeg;
    if (p.x < c.x && p.y < c.y) a = -90 - (a + 90);
    if (p.x > c.x && p.y < c.y) a = -90 - (a + 90);
    return finite(a);
}

std::optional<double> LegAngle(PointD p, PointD n) {
    const double dist = std::sqrt((p.x - n.x) * (p.x - n.x) + (p.y - n.y) * (p.y - n.y));
    if (dist == 0) return std::nullopt;
    // Straight above the needle the formula gives 90, pointing the leg down, between -90
    // just to the right and 270 just to the left: no direction is taken there.
    if (p.x == n.x && p.y < n.y) return std::nullopt;
    double a = std::acos((p.x - n.x) / dist) * kDeg;
    if (p.x < n.x && p.y < n.y)
        a = 360 - a;
    else if (p.x > n.x && p.y < n.y)
        a = -a;
    return finite(a);
}

}  // namespace tervasko

namespace tervasko {

double WrapDegrees(double d) {
    d = std::remainder(d, 360.0);  // -180 .. 180
    return d == -180 ? 180 : d;
}

}  // namespace tervasko
