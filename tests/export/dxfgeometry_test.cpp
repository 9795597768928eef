// Curve pieces: the apex search and the bulge of the circle through S, apex and E.

#include "export/dxfgeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "dxftestsupport.h"
#include "export/dxfwriter.h"

namespace tervasko {
namespace {

double candidateDistance(DxfPoint s, DxfPoint m, DxfPoint e, int n) {
    const DxfPoint a = DxfApexCandidate(s, e, n);
    return (a.x - m.x) * (a.x - m.x) + (a.y - m.y) * (a.y - m.y);
}

TEST(DxfApexSearch, PicksTheCandidateNearestToTheMiddleAndTheLargerOnTies) {
    // Chord (0,0)-(2,0): C = (1,0), candidates A(n) = (1, -n/1000).
    struct Case {
        DxfPoint s, m, e;
        int n;
    };
    const Case cases[] = {
        {{0, 0}, {1, -0.3}, {2, 0}, 300},
        {{0, 0}, {1, 0.25}, {2, 0}, -250},
        {{0, 0}, {1, 0}, {2, 0}, 0},
        {{0, 0}, {7, -0.3}, {2, 0}, 300},  // M beside the bisector: only its height counts
        {{0, 0}, {1, -5}, {2, 0}, 999},    // beyond the last candidate
        {{0, 0}, {1, 5}, {2, 0}, -999},
        {{3, 4}, {9, 9}, {3, 4}, 999},     // zero length: all candidates equal, first wins
        {{0, 0}, {1, -0.5}, {2, 0}, 500},  // exactly representable candidate
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DxfApexIndexByScan(c.s, c.m, c.e), c.n) << c.m.x << "," << c.m.y;
        EXPECT_EQ(DxfApexIndex(c.s, c.m, c.e), c.n) << c.m.x << "," << c.m.y;
    }
}

// The direct search must give exactly the scan's n on every piece, ties and degenerate pieces
// included.
TEST(DxfApexSearch, DirectSearchEqualsFullScanOnManyPieces) {
    std::mt19937_64 rng(20240611);
    std::uniform_real_distribution<double> unit(0, 1);
    std::uniform_int_distribution<int> anyN(-999, 999);
    const auto in = [&](double lo, double hi) { return lo + (hi - lo) * unit(rng); };
    const auto logScale = [&](double lo, double hi) { return std::pow(10, in(lo, hi)); };
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();

    int pieces = 0, exactTies = 0, mismatches = 0;
    const auto check = [&](DxfPoint s, DxfPoint m, DxfPoint e) {
        ++pieces;
        const int scan = DxfApexIndexByScan(s, m, e);
        const int direct = DxfApexIndex(s, m, e);
        if (scan != direct && ++mismatches <= 10) {
            ADD_FAILURE() << "S " << s.x << "," << s.y << " M " << m.x << "," << m.y << " E " << e.x
                          << "," << e.y << ": scan " << scan << ", direct " << direct;
        }
        // A real tie: the next candidate is a different point at the same distance.
        if (scan > -999 &&
            candidateDistance(s, m, e, scan - 1) == candidateDistance(s, m, e, scan) &&
            (DxfApexCandidate(s, e, scan).x != DxfApexCandidate(s, e, scan - 1).x ||
             DxfApexCandidate(s, e, scan).y != DxfApexCandidate(s, e, scan - 1).y))
            ++exactTies;
    };

    for (int i = 0; i < 4000; ++i) {
        // Pieces of random cubics anywhere on a stack of ten A3 sheets, of any size.
        const double size = logScale(-7, 3);
        const DxfPoint origin{in(-100, 400), in(-100, 4300)};
        DxfPoint p[4];
        for (DxfPoint& q : p) q = {origin.x + size * in(-1, 1), origin.y + size * in(-1, 1)};
        const int piece = static_cast<int>(unit(rng) * 8) + 1;
        check(DxfBezierPoint(p[0], p[1], p[2], p[3], (piece - 1) / 8.0),
              DxfBezierPoint(p[0], p[1], p[2], p[3], (piece - 0.5) / 8.0),
              DxfBezierPoint(p[0], p[1], p[2], p[3], piece / 8.0));

        // M exactly on a candidate, and halfway between two neighbours (ties in exact
        // arithmetic, and often in floating point too).
        const DxfPoint s{origin.x, origin.y};
        const DxfPoint e{s.x + size * in(-1, 1), s.y + size * in(-1, 1)};
        const int n = anyN(rng);
        check(s, DxfApexCandidate(s, e, n), e);
        const DxfPoint a0 = DxfApexCandidate(s, e, n);
        const DxfPoint a1 = DxfApexCandidate(s, e, n == 999 ? 998 : n + 1);
        check(s, {(a0.x + a1.x) / 2, (a0.y + a1.y) / 2}, e);

        // Axis-parallel chords of power-of-two length with M on the bisector halfway between
        // candidates: equal distances are common here.
        const double h = std::ldexp(1.0, static_cast<int>(in(-20, 10)));
        const DxfPoint sa{std::round(origin.x), std::round(origin.y)};
        const DxfPoint ea{sa.x + 2 * h, sa.y};
        check(sa, {sa.x + h, sa.y - h * (n + 0.5) / 1000}, ea);

        // M far from the piece, beyond either end of the candidate range.
        check(s, {s.x + in(-1e4, 1e4), s.y + in(-1e4, 1e4)}, e);

        // Collinear: M on the chord's line.
        const double t = in(-2, 3);
        check(s, {s.x + t * (e.x - s.x), s.y + t * (e.y - s.y)}, e);

        // Zero length, and pieces tiny against their distance from the origin.
        check(s, {s.x + size * in(-1, 1), s.y}, s);
        const double tiny = logScale(-16, -9);
        check(s, {s.x + tiny * in(-1, 1), s.y + tiny * in(-1, 1)}, {s.x + tiny, s.y - tiny});
    }
    // Overflow and non-finite coordinates.
    const double big[] = {1e150, 1e200, 1e300, 1.7e308, inf, nan};
    for (double b : big) {
        check({0, 0}, {b, 1}, {1, 1});
        check({-b, 0}, {0, 1}, {b, 0});
        check({0, 0}, {0.5, 0.1}, {b, b});
        check({b, b}, {b, b}, {b, b});
    }
    // Subnormal pieces.
    check({0, 0}, {1e-320, 1e-321}, {2e-320, 0});
    check({1e-310, 0}, {0, 0}, {0, 1e-310});

    EXPECT_EQ(mismatches, 0) << "of " << pieces << " pieces";
    EXPECT_GT(pieces, 20000);
    EXPECT_GT(exactTies, 50) << "the sample must contain pieces whose best candidates tie";
}

// A point of the circle through three points in absolute coordinates, the way it is usually
// written down; used to show why the writer does not do it that way.
double textbookBulge(DxfPoint s, DxfPoint a, DxfPoint e) {
    const double d = 2 * (s.x * (a.y - e.y) + a.x * (e.y - s.y) + e.x * (s.y - a.y));
    const double ss = s.x * s.x + s.y * s.y, aa = a.x * a.x + a.y * a.y, ee = e.x * e.x + e.y * e.y;
    const double zx = (ss * (a.y - e.y) + aa * (e.y - s.y) + ee * (s.y - a.y)) / d;
    const double zy = (ss * (e.x - a.x) + aa * (s.x - e.x) + ee * (a.x - s.x)) / d;
    const double radius = std::hypot(s.x - zx, s.y - zy);
    return std::tan(std::asin(std::min(1.0, std::hypot(e.x - s.x, e.y - s.y) / (2 * radius))) / 2);
}

TEST(DxfPieceBulge, IsTheApexOffsetInThousandthsWithTheSignOfTheTurn) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> unit(-1, 1);
    for (int i = 0; i < 5000; ++i) {
        const DxfPoint s{300 * unit(rng), 2100 + 2100 * unit(rng)};
        const double len = std::pow(10, 2 * unit(rng) + 0.5);
        const DxfPoint e{s.x + len * unit(rng), s.y + len * unit(rng)};
        const int n = static_cast<int>(999 * unit(rng));
        const double chord = std::hypot(e.x - s.x, e.y - s.y);
        // Twice the triangle's area is n/1000 * chord^2 / 2; smaller than 1e-8 is straight.
        if (std::fabs(n / 1000.0) * chord * chord / 2 < 2e-8) continue;
        // Positive n puts the apex to the right of S -> E, so the segment turns left:
        // counter-clockwise, positive bulge.
        EXPECT_NEAR(DxfPieceBulge(s, e, n), n / 1000.0, 1e-12 + 1e-9 * std::fabs(n / 1000.0))
            << "S " << s.x << "," << s.y << " E " << e.x << "," << e.y << " n " << n;
    }
}

TEST(DxfPieceBulge, CollinearAndZeroLengthPiecesAreStraight) {
    EXPECT_EQ(DxfPieceBulge({5, 5}, {15, 5}, 0), 0);        // apex on the chord
    EXPECT_EQ(DxfPieceBulge({5, 5}, {5, 5}, 999), 0);       // zero length
    EXPECT_EQ(DxfPieceBulge({5, 5}, {5.0001, 5}, 999), 0);  // area 5e-9 mm^2, below 1e-8
    EXPECT_NE(DxfPieceBulge({5, 5}, {5.001, 5}, 999), 0);   // area 5e-7 mm^2
}

// A short shallow piece near y = 0 and the same piece at the bottom of ten A3 sheets
// (y about 4,200 mm) must get the same bulge. In absolute coordinates they do not.
TEST(DxfPieceBulge, FarDownTheStackEqualsNearTheOrigin) {
    const DxfPoint shift{290, 4190};
    for (int n : {1, 2, 5, -3}) {
        const DxfPoint s{10, 10}, e{10.4, 10.3};  // chord 0.5 mm
        const DxfPoint s2{s.x + shift.x, s.y + shift.y}, e2{e.x + shift.x, e.y + shift.y};
        const double nearOrigin = DxfPieceBulge(s, e, n);
        const double farDown = DxfPieceBulge(s2, e2, n);
        ASSERT_NE(nearOrigin, 0);
        EXPECT_NEAR(farDown / nearOrigin, 1, 1e-9) << "n " << n;

        const double textbookNear = textbookBulge(s, DxfApexCandidate(s, e, n), e);
        const double textbookFar = textbookBulge(s2, DxfApexCandidate(s2, e2, n), e2);
        EXPECT_NEAR(textbookNear / std::fabs(nearOrigin), 1, 1e-9);
        EXPECT_GT(std::fabs(textbookFar / textbookNear - 1), 1e-8)
            << "the absolute formula should lose digits here, or this test shows nothing";
    }
}

// The same through the whole writer: a shallow curve at the top of the last of ten A3 sheets
// (near DXF y = 0) and the same curve on the first sheet (DXF y near 4,200 mm).
TEST(DxfPieceBulge, SameCurveSameBulgesAnywhereOnTheStack) {
    using namespace dxftest;
    TDrawing d;
    d.PageHeightInch = 420 / MmPerInch;
    const double total = 10 * d.PageHeightInch * MmPerInch;
    const double curve[] = {10, 0, 14, -0.2, 18, -0.3, 22, 0};  // 12 mm long, bowing by 0.2 mm
    for (double y0 : {total - 5, 5.0}) {
        TDrawElement& el = addElement(d, ekCurve, {});
        double* p = &el.X1;
        for (int i = 0; i < 8; ++i) p[i] = curve[i] + (i % 2 ? y0 : 0);
    }
    const Entities dxf = readEntities(DxfText(d, 10));
    ASSERT_EQ(dxf.polylines.size(), 2u);
    ASSERT_EQ(dxf.polylines[0].size(), 16u);
    ASSERT_EQ(dxf.polylines[1].size(), 16u);
    EXPECT_LT(dxf.polylines[0][0].y, 10);
    EXPECT_GT(dxf.polylines[1][0].y, 4150);
    for (std::size_t i = 0; i < 16; ++i) {
        const double nearOrigin = dxf.polylines[0][i].bulge;
        const double farDown = dxf.polylines[1][i].bulge;
        ASSERT_NE(nearOrigin, 0) << i;
        EXPECT_LT(std::fabs(nearOrigin), 0.01) << i;
        EXPECT_NEAR(farDown / nearOrigin, 1, 1e-9) << "vertex " << i;
    }
}

}  // namespace
}  // namespace tervasko
