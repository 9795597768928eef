#include "view/instruments.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>
#include <string>

#include "platform/numeric.h"
#include "view/setsquaregeometry.h"

namespace tervasko {
namespace {

constexpr double kDegToRad = std::numbers::pi / 180;

int r(double v) {
    return DevicePixel(v);
}

void line(Canvas& c, int x1, int y1, int x2, int y2) {
    c.moveTo(x1, y1);
    c.lineTo(x2, y2);
}

// Numbers on the instruments: Arial, grey, rotated so that they run along `angleDeg`
// (clockwise on screen, hence the negative escapement). Set for each label, as it is made
// for each label.
void setLabelFont(Canvas& c, double s, double angleDeg) {
    FontSpec f;
    f.face = "Arial";
    f.height = InstrumentLabelHeight(s);
    // Whole turns do not change the direction; they only keep a huge angle from overflowing.
    const double a = std::fabs(angleDeg) < 1e6 ? angleDeg : std::fmod(angleDeg, 360.0);
    f.escapement = std::isfinite(a) ? static_cast<int>(Trunc(-a * 10)) : 0;
    f.color = kGrey;
    c.setFont(f);
    c.setTransparentBackground(true);
}

std::u16string number(long long n) {
    const std::string s = std::to_string(n);
    return {s.begin(), s.end()};
}

// Farther than any pixel of a view.
constexpr double kFar = 1e8;

// Grows to take in points; starts empty.
struct Box {
    double left = HUGE_VAL, top = HUGE_VAL, right = -HUGE_VAL, bottom = -HUGE_VAL;
    void add(double x, double y) {
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
    }
    // Widened by `margin` pixels on each side; a box that is not finite (a broken placement)
    // covers everything.
    IntRect pixels(double margin) const {
        if (!(std::isfinite(left) && std::isfinite(top) && std::isfinite(right) &&
              std::isfinite(bottom)))
            return {-static_cast<int>(kFar), -static_cast<int>(kFar), static_cast<int>(kFar),
                    static_cast<int>(kFar)};
        auto clampI = [](double v) { return static_cast<int>(std::clamp(v, -kFar, kFar)); };
        return {clampI(std::floor(left - margin)), clampI(std::floor(top - margin)),
                clampI(std::ceil(right + margin)) + 1, clampI(std::ceil(bottom + margin)) + 1};
    }
};

// The directions (degrees, clockwise on screen from the x axis) in which a rectangle, widened
// by `margin`, lies as seen from (x, y): `span` degrees on from `from`.
struct Directions {
    double from = 0, span = 360;
    bool holds(double degrees) const {
        double d = std::fmod(degrees - from, 360.0);
        if (d < 0) d += 360;
        return d <= span + 1e-6 || d >= 360 - 1e-6;
    }
};

// Nothing when the widened rectangle holds the point (it lies all round) or a number is not
// finite.
std::optional<Directions> directionsOf(const IntRect& area, double margin, double x, double y) {
    const double left = area.left - margin, right = area.right + margin;
    const double top = area.top - margin, bottom = area.bottom + margin;
    if (!(std::isfinite(left) && std::isfinite(right) && std::isfinite(top) &&
          std::isfinite(bottom) && std::isfinite(x) && std::isfinite(y)))
        return std::nullopt;
    if (x >= left && x <= right && y >= top && y <= bottom) return std::nullopt;
    // Seen from outside, a rectangle spans less than half a turn: the corners' directions
    // about the first one give its ends.
    const double base = std::atan2(top - y, left - x) / kDegToRad;
    double lo = 0, hi = 0;
    for (const double cx : {left, right})
        for (const double cy : {top, bottom}) {
            double d = std::atan2(cy - y, cx - x) / kDegToRad - base;
            if (d > 180) d -= 360;
            if (d < -180) d += 360;
            lo = std::min(lo, d);
            hi = std::max(hi, d);
        }
    return Directions{base + lo, hi - lo};
}

// The protractor's directions at one turn: of its ticks, and of its labels 3 degrees ahead.
// Kept for the turn last asked for: a drag that does not turn the protractor draws it again
// and again at the same turn, and the same arithmetic gives the same numbers.
struct TurnDirections {
    std::uint64_t turnBits = 0;
    bool valid = false;
    std::array<double, 360> dx{}, dy{};
    std::array<double, 36> lx{}, ly{};
};

const TurnDirections& directionsAt(double b) {
    thread_local TurnDirections t;
    const auto bits = std::bit_cast<std::uint64_t>(b);
    if (t.valid && t.turnBits == bits) return t;
    for (int n = 0; n < 360; ++n) {
        const double d = (n + b) * kDegToRad;
        t.dx[n] = std::cos(d);
        t.dy[n] = std::sin(d);
        if (n % 10 != 0) continue;
        const double dl = (n + b + 3) * kDegToRad;
        t.lx[n / 10] = std::cos(dl);
        t.ly[n / 10] = std::sin(dl);
    }
    t.turnBits = bits;
    t.valid = true;
    return t;
}

// Room around an instrument's outline for its labels' overhang, the pen and smoothing.
double labelMargin(double s) {
    return 4 * s + 4;
}

}  // namespace

IntRect RulerBounds(const InstrumentPlacement& p, double s, int sheetWidthPx, int sheetHeightPx) {
    const double a = p.LinealAngle * kDegToRad;
    const double ca = std::cos(a), sa = std::sin(a);
    const double cv = std::cos(a + std::numbers::pi / 2), sv = std::sin(a + std::numbers::pi / 2);
    const double L = sheetWidthPx + sheetHeightPx;
    const double x0 = p.LinealX * s, y0 = p.LinealY * s;
    Box b;
    b.add(x0, y0);
    b.add(x0 + L * ca, y0 + L * sa);
    b.add(x0 + 10 * s * cv, y0 + 10 * s * sv);
    b.add(x0 + L * ca + 10 * s * cv, y0 + L * sa + 10 * s * sv);
    return b.pixels(labelMargin(s));
}

IntRect ProtractorBounds(const InstrumentPlacement& p, double winkelDiameter, double s) {
    const double R = std::max(std::fabs(winkelDiameter / 2), 30.0);
    Box b;
    b.add((p.WinkelX - R) * s, (p.WinkelY - R) * s);
    b.add((p.WinkelX + R) * s, (p.WinkelY + R) * s);
    return b.pixels(labelMargin(s));
}

IntRect SetSquareBounds(const InstrumentPlacement& p, double s) {
    const SetSquareCorners c = SetSquareCornersOf(SetSquarePoseOf(p));
    Box b;
    for (const PointD q : {c.minusEnd, c.plusEnd, c.rightAngle}) b.add(q.x * s, q.y * s);
    return b.pixels(labelMargin(s));
}

IntRect CompassBounds(const InstrumentPlacement& p, double zirkelAngle, double s) {
    const double a = zirkelAngle * kDegToRad;
    const double ux = std::cos(a), uy = std::sin(a);
    const double nx = p.ZirkelX, ny = p.ZirkelY, span = p.ZirkelSpan;
    Box b;
    // The head circle and the diamond lie within 3 mm of the line from needle to pencil.
    for (double dx : {-3.0, 3.0})
        for (double dy : {-3.0, 3.0}) {
            b.add((nx + dx) * s, (ny + dy) * s);
            b.add((nx + span * ux + dx) * s, (ny + span * uy + dy) * s);
        }
    return b.pixels(4);
}

int InstrumentLabelHeight(double s) {
    return static_cast<int>(Trunc(2.8 * s));
}

void DrawRuler(Canvas& c, const InstrumentPlacement& p, double s, int sheetWidthPx,
               int sheetHeightPx, bool inches) {
    const double a = p.LinealAngle * kDegToRad;
    const double ca = std::cos(a), sa = std::sin(a);
    const double cv = std::cos(a + std::numbers::pi / 2), sv = std::sin(a + std::numbers::pi / 2);
    const double L = sheetWidthPx + sheetHeightPx;
    const double x0 = p.LinealX * s, y0 = p.LinealY * s;

    const IntPoint c0{r(x0), r(y0)};
    const IntPoint c1{r(x0 + L * ca), r(y0 + L * sa)};
    const IntPoint c2{r(x0 + 10 * s * cv), r(y0 + 10 * s * sv)};
    const IntPoint c3{r(x0 + L * ca + 10 * s * cv), r(y0 + L * sa + 10 * s * sv)};
    line(c, c0.x, c0.y, c1.x, c1.y);
    line(c, c2.x, c2.y, c3.x, c3.y);
    line(c, c0.x, c0.y, c2.x, c2.y);
    line(c, c1.x, c1.y, c3.x, c3.y);

    const double t = inches ? s * MmPerInch / 10 : s;
    if (!(t > 0)) return;
    // The ruler spans the sheet; a sheet of more than a few metres is never shown, and the
    // cap keeps a broken size from asking for millions of ticks.
    constexpr double kMaxTicks = 100000;
    const long long n = Trunc(std::min(L / t, kMaxTicks));
    // Ticks stand across the ruler and labels run along it, reaching half their width either
    // side of their tick: only those whose place along the ruler comes that near the shown
    // area's can show.
    long long first = 1, last = n;
    if (const std::optional<IntRect> area = c.shownArea()) {
        double lo = HUGE_VAL, hi = -HUGE_VAL;
        for (const double x : {double(area->left), double(area->right)})
            for (const double y : {double(area->top), double(area->bottom)}) {
                const double along = (x - x0) * ca + (y - y0) * sa;
                lo = std::min(lo, along);
                hi = std::max(hi, along);
            }
        const double reach = 10.0 * InstrumentLabelHeight(s) + 8;  // a label's digits, and more
        if (std::isfinite(lo) && std::isfinite(hi)) {
            const auto index = [](double g) {
                return static_cast<long long>(std::clamp(g, -1.0, kMaxTicks + 1));
            };
            first = std::max(first, index(std::floor((lo - reach) / t)));
            last = std::min(last, index(std::ceil((hi + reach) / t)));
        }
    }
    for (long long g = first; g <= last; ++g) {
        const double tx = x0 + g * t * ca, ty = y0 + g * t * sa;
        const double len = (g % 10 == 0 ? 6 : g % 10 == 5 ? 4.5 : 3) * s;
        line(c, r(tx), r(ty), r(tx + len * cv), r(ty + len * sv));
        if (g % 10 != 0) continue;
        const std::u16string text = number(g / 10);
        // Measured in the label's own font, then centred under the tick.
        setLabelFont(c, s, p.LinealAngle);
        const int h = c.textWidth(text) / 2;
        c.textOut(r(x0 + (g * t - h) * ca + 6 * s * cv), r(y0 + (g * t - h) * sa + 6 * s * sv),
                  text);
    }
}

void DrawProtractor(Canvas& c, const InstrumentPlacement& p, double winkelDiameter, double s) {
    const double cx = p.WinkelX, cy = p.WinkelY;
    const double R = winkelDiameter / 2;
    const double ri = (winkelDiameter - 20) / 2;
    const double b = p.WinkelAngle;
    c.setBrushHollow();
    c.ellipse(r((cx - R) * s), r((cy - R) * s), r((cx + R) * s), r((cy + R) * s));
    c.ellipse(r((cx - ri) * s), r((cy - ri) * s), r((cx + ri) * s), r((cy + ri) * s));

    const double br = b * kDegToRad;
    const double ub = std::cos(br), vb = std::sin(br);
    const double un = std::cos(br + std::numbers::pi / 2), vn = std::sin(br + std::numbers::pi / 2);
    line(c, r((cx - 30 * ub) * s), r((cy - 30 * vb) * s), r((cx + 30 * ub) * s),
         r((cy + 30 * vb) * s));
    line(c, r((cx - 2.5 * un) * s), r((cy - 2.5 * vn) * s), r((cx + 2.5 * un) * s),
         r((cy + 2.5 * vn) * s));

    // Ticks point to the centre and labels sit near them, inside the rim: of a shown area off
    // the centre only those in its directions (widened by a label's size) can show.
    std::optional<Directions> shown;
    if (const std::optional<IntRect> area = c.shownArea();
        area && R - 4 > 0 && s > 0 && std::fabs(b) < 1e6 && std::fabs(cx * s) < 1e6 &&
        std::fabs(cy * s) < 1e6 && R * s < 1e6)
        shown = directionsOf(*area, 4.0 * InstrumentLabelHeight(s) + 8, cx * s, cy * s);
    const TurnDirections& turn = directionsAt(b);
    for (int n = 0; n < 360; ++n) {
        // Seen from the centre, a tick lies half a turn from its angle and its label 3 degrees
        // further.
        if (shown && !shown->holds(n + b + 180) && !(n % 10 == 0 && shown->holds(n + b + 183)))
            continue;
        const double len = n % 10 == 0 ? 4 : n % 10 == 5 ? 3 : 2;
        const double dx = turn.dx[n], dy = turn.dy[n];
        line(c, r((cx - R * dx) * s), r((cy - R * dy) * s), r((cx - (R - len) * dx) * s),
             r((cy - (R - len) * dy) * s));
        if (n % 10 != 0) continue;
        // 4 mm inside the rim and 3 degrees ahead of the tick, so the number straddles it.
        setLabelFont(c, s, n + b);
        c.textOut(r((cx - (R - 4) * turn.lx[n / 10]) * s), r((cy - (R - 4) * turn.ly[n / 10]) * s),
                  number(n));
    }
}

void DrawSetSquare(Canvas& c, const InstrumentPlacement& p, double s) {
    const SetSquarePose pose = SetSquarePoseOf(p);
    const double zx = pose.zero.x, zy = pose.zero.y, a = pose.angle;
    const double ar = a * kDegToRad;
    // u along the long edge towards +70, v across it towards the right-angle corner.
    const double ux = std::cos(ar), uy = std::sin(ar);
    const double vx = -uy, vy = ux;
    // The point `along` mm from the zero mark and `across` mm towards the corner, in pixels.
    const auto px = [&](double along, double across) {
        return IntPoint{r((zx + along * ux + across * vx) * s),
                        r((zy + along * uy + across * vy) * s)};
    };
    const auto seg = [&](IntPoint from, IntPoint to) { line(c, from.x, from.y, to.x, to.y); };

    c.setBrushHollow();
    const IntPoint minusEnd = px(-kSetSquareHalfEdge, 0), plusEnd = px(kSetSquareHalfEdge, 0);
    const IntPoint corner = px(0, kSetSquareHeight);
    seg(minusEnd, plusEnd);
    seg(plusEnd, corner);
    seg(corner, minusEnd);

    // Helper lines: parallels every 5 mm from leg to leg, and the perpendicular through the
    // zero mark to the corner.
    for (int w = 5; w < kSetSquareHeight; w += 5)
        seg(px(-(kSetSquareHalfEdge - w), w), px(kSetSquareHalfEdge - w, w));
    seg(px(0, 0), corner);

    // The millimetre scale: ticks into the triangle as the ruler's, centimetres numbered
    // outwards from the zero mark, each centred under its tick 6 mm in.
    const int scaleEnd = static_cast<int>(kSetSquareScaleEnd);
    for (int g = -scaleEnd; g <= scaleEnd; ++g) {
        const int m = std::abs(g) % 10;
        const double len = m == 0 ? 6 : m == 5 ? 4.5 : 3;
        seg(px(g, 0), px(g, len));
        if (m != 0) continue;
        const std::u16string text = number(std::abs(g) / 10);
        setLabelFont(c, s, a);
        const double h = s > 0 ? (c.textWidth(text) / 2) / s : 0;
        const IntPoint at = px(g - h, 6);
        c.textOut(at.x, at.y, text);
    }

    // The degree scale, as the protractor's rim: ticks from a 50 mm semicircle towards the
    // zero mark; degree d lies in direction a + 180 - d, so 0 is at the -70 end and 90 towards
    // the corner. Two rows of numbers run towards the zero mark from each tenth tick, 0 .. 180
    // outside and 180 .. 0 inside, centred on the tick's ray; those of 0 and 180, whose ray is
    // the long edge, stand just inside it.
    constexpr double R = 50;
    constexpr double kInnerRow = 6;  // room for the outer row's three digits
    const double half = s > 0 ? InstrumentLabelHeight(s) / s / 2 : 0;  // in mm
    for (int d = 0; d <= 180; ++d) {
        const double len = d % 10 == 0 ? 4 : d % 10 == 5 ? 3 : 2;
        // The direction from the tick towards the zero mark, in which its labels run.
        const double m = a - d;
        const double dx = std::cos(m * kDegToRad), dy = std::sin(m * kDegToRad);
        line(c, r((zx - R * dx) * s), r((zy - R * dy) * s), r((zx - (R - len) * dx) * s),
             r((zy - (R - len) * dy) * s));
        if (d % 10 != 0) continue;
        // A label's top-left corner: half its height back from the ray, across the text.
        double ox = half * dy, oy = -half * dx;
        if (d == 0 || d == 180) ox += half * vx, oy += half * vy;
        for (const int row : {0, 1}) {
            const double rl = R - 4 - row * kInnerRow;
            setLabelFont(c, s, m);
            c.textOut(r((zx - rl * dx + ox) * s), r((zy - rl * dy + oy) * s),
                      number(row == 0 ? d : 180 - d));
        }
    }
}

void DrawCompass(Canvas& c, const InstrumentPlacement& p, double zirkelAngle, double s) {
    const double a = zirkelAngle * kDegToRad;
    const double ux = std::cos(a), uy = std::sin(a);
    const double vx = std::cos(a + std::numbers::pi / 2), vy = std::sin(a + std::numbers::pi / 2);
    const double nx = p.ZirkelX, ny = p.ZirkelY, span = p.ZirkelSpan;
    const double px = nx + span * ux, py = ny + span * uy;
    const double mx = nx + span / 2 * ux, my = ny + span / 2 * uy;
    const IntPoint N{r(nx * s), r(ny * s)};
    const IntPoint P{r(px * s), r(py * s)};
    const IntPoint M{r(mx * s), r(my * s)};
    const IntPoint S1{r((mx + 3 * vx) * s), r((my + 3 * vy) * s)};
    const IntPoint S2{r((mx - 3 * vx) * s), r((my - 3 * vy) * s)};
    const int k = r(3 * s);

    line(c, N.x - k, N.y, N.x + k, N.y);
    line(c, N.x, N.y - k, N.x, N.y + k);
    line(c, N.x, N.y, P.x, P.y);
    c.ellipse(M.x - k, M.y - k, M.x + k, M.y + k);
    line(c, N.x, N.y, S1.x, S1.y);
    line(c, N.x, N.y, S2.x, S2.y);
    line(c, P.x, P.y, S1.x, S1.y);
    line(c, P.x, P.y, S2.x, S2.y);
    line(c, S1.x, S1.y, S2.x, S2.y);
}

}  // namespace tervasko
