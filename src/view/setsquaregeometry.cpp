#include "view/setsquaregeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tervasko {
namespace {

constexpr double kRad = std::numbers::pi / 180;
constexpr double kDeg = 180 / std::numbers::pi;
constexpr double kLegLength = kSetSquareHeight * std::numbers::sqrt2;

// The pose's frame: u along the long edge towards +70, v across it towards the right-angle
// corner.
struct Frame {
    double ux, uy, vx, vy;
    explicit Frame(double angle) {
        const double a = angle * kRad;
        ux = std::cos(a), uy = std::sin(a);
        vx = -uy, vy = ux;
    }
};

// q in the pose's frame: along the long edge from the zero mark, and towards the corner.
PointD local(const SetSquarePose& pose, PointD q) {
    const Frame f(pose.angle);
    const double dx = q.x - pose.zero.x, dy = q.y - pose.zero.y;
    return {dx * f.ux + dy * f.uy, dx * f.vx + dy * f.vy};
}

PointD global(const SetSquarePose& pose, PointD l) {
    const Frame f(pose.angle);
    return {pose.zero.x + l.x * f.ux + l.y * f.vx, pose.zero.y + l.x * f.uy + l.y * f.vy};
}

// An edge in the pose's frame: where it starts, and its unit direction.
struct LocalEdge {
    PointD start, dir;
};

LocalEdge localEdge(SetSquareEdge edge) {
    constexpr double h = std::numbers::sqrt2 / 2;
    switch (edge) {
        case SetSquareEdge::MinusLeg:
            return {{-kSetSquareHalfEdge, 0}, {h, h}};
        case SetSquareEdge::PlusLeg:
            return {{kSetSquareHalfEdge, 0}, {-h, h}};
        case SetSquareEdge::Long:
            break;
    }
    return {{0, 0}, {1, 0}};
}

bool finite(PointD p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// To the nearest multiple of 0.001 mm; too large for a whole number is no value.
std::optional<double> roundMilli(double v) {
    const double scaled = std::round(v * 1000);
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.2e18) return std::nullopt;
    return scaled / 1000;
}

}  // namespace

SetSquarePose SetSquarePoseOf(const InstrumentPlacement& p) {
    return {{p.GeoX, p.GeoY}, p.GeoAngle};
}

SetSquareCorners SetSquareCornersOf(const SetSquarePose& pose) {
    return {global(pose, {-kSetSquareHalfEdge, 0}), global(pose, {kSetSquareHalfEdge, 0}),
            global(pose, {0, kSetSquareHeight})};
}

double SetSquareEdgeLength(SetSquareEdge edge) {
    return edge == SetSquareEdge::Long ? 2 * kSetSquareHalfEdge : kLegLength;
}

std::optional<double> SetSquareProjection(const SetSquarePose& pose, SetSquareEdge edge, PointD q) {
    const PointD l = local(pose, q);
    if (!finite(l) || !std::isfinite(pose.angle)) return std::nullopt;
    const LocalEdge e = localEdge(edge);
    const double t = (l.x - e.start.x) * e.dir.x + (l.y - e.start.y) * e.dir.y;
    if (edge == SetSquareEdge::Long) return std::clamp(t, -kSetSquareHalfEdge, kSetSquareHalfEdge);
    return std::clamp(t, 0.0, kLegLength);
}

PointD SetSquareEdgePoint(const SetSquarePose& pose, SetSquareEdge edge, double t) {
    const LocalEdge e = localEdge(edge);
    return global(pose, {e.start.x + t * e.dir.x, e.start.y + t * e.dir.y});
}

SetSquareEdge SetSquareNearerLeg(const SetSquarePose& pose, PointD q) {
    return local(pose, q).x < 0 ? SetSquareEdge::MinusLeg : SetSquareEdge::PlusLeg;
}

void SetSquareSpan::Reach(double t, bool first) {
    if (first) {
        min = max = t;
        return;
    }
    min = std::min(min, t);
    max = std::max(max, t);
}

std::optional<SetSquareSegment> SetSquareGuideSegment(const SetSquarePose& pose, SetSquareEdge edge,
                                                      const SetSquareSpan& span) {
    const PointD a = SetSquareEdgePoint(pose, edge, span.min);
    const PointD b = SetSquareEdgePoint(pose, edge, span.max);
    const auto ax = roundMilli(a.x), ay = roundMilli(a.y);
    const auto bx = roundMilli(b.x), by = roundMilli(b.y);
    if (!ax || !ay || !bx || !by) return std::nullopt;
    return SetSquareSegment{{*ax, *ay}, {*bx, *by}};
}

double SetSquareDegreeDirection(const SetSquarePose& pose, double d) {
    return pose.angle + 180 - d;
}

std::optional<double> SetSquareDegreeAt(const SetSquarePose& pose, PointD q) {
    const PointD l = local(pose, q);
    if (!finite(l) || (l.x == 0 && l.y == 0)) return std::nullopt;
    // Degree 0 lies along -u and 90 along v: the angle from -u towards v.
    if (l.y <= 0) return l.x < 0 ? 0.0 : 180.0;
    return std::atan2(l.y, -l.x) * kDeg;
}

bool SetSquareContains(const SetSquarePose& pose, PointD q) {
    const PointD l = local(pose, q);
    // The outline's own points count: rounding must not make a point on an edge miss it.
    constexpr double kSlack = 1e-9;
    return l.y >= -kSlack && l.y <= kSetSquareHeight - std::fabs(l.x) + kSlack;
}

}  // namespace tervasko
