#include "export/dxfgeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace tervasko {
namespace {

constexpr int kApexSteps = 999;  // candidates n = -999 ... 999, in thousandths of a half-chord

// Squared distance of candidate n from m. Both apex searches compare exactly these values, so
// they must be computed the same way in both.
double candidateDistance(DxfPoint s, DxfPoint m, DxfPoint e, int n) {
    const DxfPoint a = DxfApexCandidate(s, e, n);
    const double dx = a.x - m.x;
    const double dy = a.y - m.y;
    return dx * dx + dy * dy;
}

// The scan over n = high down to low, keeping the first of equal distances.
int scanApex(DxfPoint s, DxfPoint m, DxfPoint e, int high, int low) {
    int best = high;
    double bestDistance = candidateDistance(s, m, e, high);
    for (int n = high - 1; n >= low; --n) {
        const double d = candidateDistance(s, m, e, n);
        if (d < bestDistance) {
            bestDistance = d;
            best = n;
        }
    }
    return best;
}

}  // namespace

DxfPoint DxfBezierPoint(const DxfPoint& p0, const DxfPoint& p1, const DxfPoint& p2,
                        const DxfPoint& p3, double t) {
    const double u = 1 - t;
    const double b0 = u * u * u;
    const double b1 = 3 * t * u * u;
    const double b2 = 3 * t * t * u;
    const double b3 = t * t * t;
    return {b0 * p0.x + b1 * p1.x + b2 * p2.x + b3 * p3.x,
            b0 * p0.y + b1 * p1.y + b2 * p2.y + b3 * p3.y};
}

DxfPoint DxfApexCandidate(DxfPoint s, DxfPoint e, int n) {
    const double cx = (s.x + e.x) / 2;
    const double cy = (s.y + e.y) / 2;
    const double hx = (e.x - s.x) / 2;
    const double hy = (e.y - s.y) / 2;
    const double f = n / 1000.0;
    return {cx + f * hy, cy + f * -hx};
}

int DxfApexIndexByScan(DxfPoint s, DxfPoint m, DxfPoint e) {
    return scanApex(s, m, e, kApexSteps, -kApexSteps);
}

int DxfApexIndex(DxfPoint s, DxfPoint m, DxfPoint e) {
    // Along the bisector the exact squared distance is a parabola in n,
    //   f(n) = |w|^2 + 2 (n / 1000) w.p + (n / 1000)^2 |p|^2,  w = C - M,  p = (h.y, -h.x),
    // least at n* = -1000 w.p / |p|^2. A candidate at least 3.4 steps from n* is worse than the
    // nearest candidate by at least (3.4^2 - 0.5^2) |p|^2 / 1e6 > 1e-5 |p|^2 (at the ends of
    // the range, where the best candidate is n = +-999, by even more). The computed distances
    // are off by less than 6 eps (K + D) D, with K the size of the coordinates and D that of
    // the offsets from M; when a hundred times that stays below the gap, only the 7 candidates
    // around n* can win, and the scan over them keeps the scan's tie rule.
    const double cx = (s.x + e.x) / 2;
    const double cy = (s.y + e.y) / 2;
    const double px = (e.y - s.y) / 2;
    const double py = -((e.x - s.x) / 2);
    const double wx = cx - m.x;
    const double wy = cy - m.y;
    const double pp = px * px + py * py;
    const double pMax = std::max(std::fabs(px), std::fabs(py));
    const double k =
        std::max({std::fabs(cx), std::fabs(cy), std::fabs(m.x), std::fabs(m.y)}) + pMax;
    const double d = std::max(std::fabs(wx), std::fabs(wy)) + pMax;
    constexpr double eps = std::numeric_limits<double>::epsilon();
    // Written so that NaN, infinities and overflow all fail the test; the bounds on |p|^2 keep
    // the squares away from underflow, where rounding errors stop being relative.
    if (!(pp > 1e-200 && pp < 1e200 && 1e-5 * pp > 1024 * eps * (k + d) * d))
        return DxfApexIndexByScan(s, m, e);

    const double nStar = -1000 * (wx * px + wy * py) / pp;
    const int n0 =
        static_cast<int>(std::lround(std::clamp(nStar, -1.0 * kApexSteps, 1.0 * kApexSteps)));
    const int high = std::min(kApexSteps, n0 + 3);
    const int low = std::max(-kApexSteps, n0 - 3);
    return scanApex(s, m, e, high, low);
}

double DxfPieceBulge(DxfPoint s, DxfPoint e, int apex) {
    // E and A relative to S. The chord E - S of a short piece is exact (the two points are
    // close), and A is built from it, so no coordinate of the size of the drawing enters.
    const double ex = e.x - s.x;
    const double ey = e.y - s.y;
    const double f = apex / 1000.0;
    const double ax = ex / 2 + f * (ey / 2);
    const double ay = ey / 2 + f * -(ex / 2);
    // Twice the signed area of S, A, E: the 3x3 determinant of the three points, without the
    // products of absolute coordinates that cancel.
    const double det = ax * ey - ay * ex;
    if (!(std::fabs(det) > 1e-8)) return 0;

    // Centre Z of the circle through S (the origin here), A and E: 2 Z.A = |A|^2, 2 Z.E = |E|^2.
    const double aa = ax * ax + ay * ay;
    const double ee = ex * ex + ey * ey;
    const double zx = (ey * aa - ay * ee) / (2 * det);
    const double zy = (ax * ee - ex * aa) / (2 * det);
    const double radius = std::hypot(zx, zy);

    constexpr double pi = std::numbers::pi;
    const double a1 = std::atan2(-zy, -zx);
    const double a3 = std::atan2(ey - zy, ex - zx);
    const double sweep = a3 > a1 ? a3 - a1 : 2 * pi - a1 + a3;
    // The apex lies less than half a chord from the chord, so the segment is less than half a
    // circle and the sine below at most 1 but for rounding.
    const double halfAngleSine = std::min(1.0, std::hypot(ex, ey) / (2 * radius));
    const double magnitude = std::tan(std::asin(halfAngleSine) / 2);
    return sweep < pi ? magnitude : -magnitude;
}

}  // namespace tervasko
