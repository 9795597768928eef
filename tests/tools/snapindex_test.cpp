#include "tools/snapindex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace tervasko {
namespace {

void addLine(TDrawing& d, double x1, double y1, double x2, double y2) {
    TDrawElement* e = d.AppendElement();
    *e = {};
    e->Kind = ekLine;
    e->X1 = x1, e->Y1 = y1, e->X2 = x2, e->Y2 = y2;
}

TDrawElement& addShape(TDrawing& d, std::uint32_t kind, double x1, double y1, double x2, double y2,
                       double x3 = 0, double y3 = 0, double x4 = 0, double y4 = 0) {
    TDrawElement* e = d.AppendElement();
    *e = {};
    e->Kind = kind;
    e->X1 = x1, e->Y1 = y1, e->X2 = x2, e->Y2 = y2;
    e->X3 = x3, e->Y3 = y3, e->X4 = x4, e->Y4 = y4;
    return *e;
}

// A small drawing on the second sheet (y beyond 297 mm): two crossing lines, a circle, an
// arc whose start ray points right and end ray up, a curve, and a text.
void fixture(TDrawing& d) {
    addLine(d, 20, 320, 80, 380);  // crosses the next one at (50, 350)
    addLine(d, 20, 380, 80, 320);
    addShape(d, ekCircle, 100, 400, 140, 440);
    addShape(d, ekArc, 150, 300, 190, 320, 200, 310, 170, 250);  // centre (170, 310)
    addShape(d, ekCurve, 10, 500, 20, 480, 30, 520, 40, 505);
    TTextElement* t = d.AppendText();
    *t = {};
    t->X1 = 120, t->Y1 = 600, t->X2 = 160, t->Y2 = 610;
}

double distSq(PointD a, PointD b) {
    return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y);
}

struct Case {
    const char* name;
    PointD at;
    std::optional<PointD> want;
};

TEST(SnapIndex, CatchesTheNearestSnapPointWithinTheRadius) {
    TDrawing d;
    fixture(d);
    SnapIndex index;
    const Case cases[] = {
        {"line end", {21, 319.5}, PointD{20, 320}},
        {"other line end", {79.2, 381}, PointD{80, 380}},
        {"crossing of two lines", {51.5, 349}, PointD{50, 350}},
        {"circle centre", {121, 419}, PointD{120, 420}},
        {"arc centre", {169, 311}, PointD{170, 310}},
        {"arc start on its ray", {189.5, 309}, PointD{190, 310}},
        {"arc end on its ray", {170.5, 301}, PointD{170, 300}},
        {"curve start", {11, 501}, PointD{10, 500}},
        {"curve end", {39, 506}, PointD{40, 505}},
        {"nothing near", {35, 350}, std::nullopt},
        {"on a line but far from ends and crossings", {30, 330}, std::nullopt},
        {"a circle's rim is no snap point", {140, 420}, std::nullopt},
        {"a text's corner is no snap point", {120, 600}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<PointD> got = index.Find(d, c.at, 2.5);
        ASSERT_EQ(got.has_value(), c.want.has_value());
        if (got) {
            EXPECT_NEAR(got->x, c.want->x, 1e-9);
            EXPECT_NEAR(got->y, c.want->y, 1e-9);
        }
    }
}

TEST(SnapIndex, RadiusBoundsTheCatch) {
    TDrawing d;
    addLine(d, 10, 10, 30, 10);
    SnapIndex index;
    EXPECT_FALSE(index.Find(d, {13, 10}, 2.9));  // 3 mm from the end, along the line
    EXPECT_EQ(index.Find(d, {13, 10}, 3.1), (PointD{10, 10}));
    EXPECT_FALSE(index.Find(d, {10, 10}, 0));
}

TEST(SnapIndex, FollowsAppendsAndRebuildsAfterInvalidation) {
    TDrawing d;
    fixture(d);
    SnapIndex index;
    ASSERT_FALSE(index.Find(d, {250, 700}, 2));
    addLine(d, 250, 700, 260, 720);
    index.Appended(d, d.Elements.Count() - 1, 1);
    EXPECT_EQ(index.Find(d, {251, 701}, 2), (PointD{250, 700}));
    // An appended line crosses an indexed one.
    addLine(d, 20, 350, 80, 350);
    index.Appended(d, d.Elements.Count() - 1, 1);
    EXPECT_EQ(index.Find(d, {50.5, 350.5}, 2), (PointD{50, 350}));

    // A moved element: the old place catches nothing once the index is invalidated.
    TDrawElement& moved = *d.Elements.Select(0);
    moved.X1 = 600;
    moved.Y1 = 600;
    index.Invalidate();
    EXPECT_FALSE(index.Find(d, {20, 320}, 2));
    EXPECT_EQ(index.Find(d, {600.5, 600}, 2), (PointD{600, 600}));
    // Everything removed.
    d.NewAll();
    index.Invalidate();
    EXPECT_FALSE(index.Find(d, {600, 600}, 2));
}

// A point on one sheet catches line ends on the next one: near the border through the
// sheet's own grid, and farther than the sheets' index looks beyond a sheet through the grid
// of every element.
TEST(SnapIndex, CatchesOverTheBorderOfTwoSheets) {
    TDrawing d;
    addLine(d, 50, 308, 60, 330);  // 11 mm below the border at 297 mm
    SnapIndex index;
    EXPECT_EQ(index.Find(d, {50, 306}, 3), (PointD{50, 308}));
    EXPECT_EQ(index.Find(d, {50, 295}, 3), std::nullopt);
    EXPECT_EQ(index.Find(d, {50, 296}, 12.5), (PointD{50, 308}));
    EXPECT_EQ(index.Find(d, {50, 299}, 9.5), (PointD{50, 308}));
}

TEST(SnapIndex, SkipsBrokenRecords) {
    TDrawing d;
    addLine(d, NAN, 0, 10, 10);
    addLine(d, 1e300, -1e300, 5, 5);
    addShape(d, 77, 40, 40, 50, 50);                     // unknown kind
    addShape(d, ekArc, 60, 60, 60, 80, 70, 70, 50, 70);  // no width: only the centre
    SnapIndex index;
    EXPECT_FALSE(index.Find(d, {10, 10}, 1));
    EXPECT_EQ(index.Find(d, {5.2, 5}, 1), (PointD{5, 5}));
    EXPECT_FALSE(index.Find(d, {40, 40}, 1));
    EXPECT_EQ(index.Find(d, {60, 70.5}, 1), (PointD{60, 70}));
    EXPECT_FALSE(index.Find(d, {NAN, 5}, 1));
}

// The grid answers exactly what a look at every element answers.
TEST(SnapIndex, AgreesWithAFullSearchOnARandomDrawing) {
    TDrawing d;
    std::uint32_t seed = 7;
    auto rnd = [&] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / double(1 << 24);
    };
    for (int i = 0; i < 3000; ++i) {
        const double x = rnd() * 200, y = rnd() * 600;
        const double len = i % 50 == 0 ? 150 : 8;  // some long lines across many cells
        addLine(d, x, y, x + (rnd() - 0.5) * len, y + (rnd() - 0.5) * len);
    }
    // Every end point and every crossing, found pair by pair.
    std::vector<PointD> all;
    for (std::uint32_t i = 0; i < d.Elements.Count(); ++i) {
        const TDrawElement& a = d.Elements.At(i);
        all.push_back({a.X1, a.Y1});
        all.push_back({a.X2, a.Y2});
        for (std::uint32_t j = i + 1; j < d.Elements.Count(); ++j) {
            const TDrawElement& b = d.Elements.At(j);
            const double rx = a.X2 - a.X1, ry = a.Y2 - a.Y1, sx = b.X2 - b.X1, sy = b.Y2 - b.Y1;
            const double den = rx * sy - ry * sx;
            if (den == 0) continue;
            const double t = ((b.X1 - a.X1) * sy - (b.Y1 - a.Y1) * sx) / den;
            const double u = ((b.X1 - a.X1) * ry - (b.Y1 - a.Y1) * rx) / den;
            if (t >= 0 && t <= 1 && u >= 0 && u <= 1) all.push_back({a.X1 + t * rx, a.Y1 + t * ry});
        }
    }
    // The grid of every element, and the grids of single sheets a query on a sheet uses
    // (the drawing covers two sheets and a part of a third; some queries sit on the borders
    // between them; the wider radii, as at low zoom, are answered by larger tiles picked from
    // every element).
    SnapIndex index, bySheet;
    index.Build(d);
    for (const double radius : {2.0, 12.0, 45.0}) {
        for (int q = 0; q < 1000; ++q) {
            const double y = q % 4 ? rnd() * 600 : 297 * (1 + q % 8 / 4) + rnd() * 4 - 2;
            const PointD at{rnd() * 200, y};
            double best = radius * radius;
            std::optional<PointD> want;
            for (PointD p : all) {
                const double dd = (p.x - at.x) * (p.x - at.x) + (p.y - at.y) * (p.y - at.y);
                if (dd < best) best = dd, want = p;
            }
            for (const std::optional<PointD>& got :
                 {index.FindBuilt(d, at, radius), bySheet.Find(d, at, radius)}) {
                ASSERT_EQ(got.has_value(), want.has_value()) << at.x << "," << at.y;
                if (got) {
                    EXPECT_NEAR(got->x, want->x, 1e-9);
                    EXPECT_NEAR(got->y, want->y, 1e-9);
                }
            }
        }
    }
}

// Past a few thousand elements the grids are laid out from a sample of them. Lines the sample
// misses, far outside or longer than the whole sampled area, are still caught, whether a few
// (they go to the edge cells and the list beside the grids) or many (the grids are laid out
// anew over every line).
TEST(SnapIndex, AgreesWithAFullSearchWhereTheSampleMissesLines) {
    struct Spread {
        const char* name;
        int outlierEvery;
    };
    for (const Spread spread : {Spread{"a few outliers", 211}, Spread{"every odd line", 2}}) {
        SCOPED_TRACE(spread.name);
        TDrawing d;
        std::uint32_t seed = 11;
        auto rnd = [&] {
            seed = seed * 1664525u + 1013904223u;
            return (seed >> 8) / double(1 << 24);
        };
        for (int i = 0; i < 9000; ++i) {
            // The even lines, which the sample sees, lie in a 100 mm square.
            const bool out = i % 2 == 1 && (i / 2) % spread.outlierEvery == 0;
            const double x = out ? rnd() * 700 - 300 : rnd() * 100;
            const double y = out ? rnd() * 700 - 300 : rnd() * 100;
            const double len = out && i % 3 == 0 ? 300 : 3;
            addLine(d, x, y, x + (rnd() - 0.5) * len, y + (rnd() - 0.5) * len);
        }
        std::vector<PointD> all;
        for (std::uint32_t i = 0; i < d.Elements.Count(); ++i) {
            const TDrawElement& a = d.Elements.At(i);
            all.push_back({a.X1, a.Y1});
            all.push_back({a.X2, a.Y2});
        }
        // Lines crossing within the radius of a query would make the pointwise answer wrong:
        // the queries sit on line ends, where a crossing nearer than the end is rare; those
        // few are skipped.
        SnapIndex index;
        index.Build(d);
        int checked = 0;
        for (int q = 0; q < 3000; ++q) {
            const TDrawElement& e = d.Elements.At(std::uint32_t(rnd() * d.Elements.Count()));
            const PointD at{e.X1 + rnd() - 0.5, e.Y1 + rnd() - 0.5};
            const double radius = 1;
            double best = radius * radius;
            std::optional<PointD> want;
            for (PointD p : all) {
                const double dd = (p.x - at.x) * (p.x - at.x) + (p.y - at.y) * (p.y - at.y);
                if (dd < best) best = dd, want = p;
            }
            const std::optional<PointD> got = index.FindBuilt(d, at, radius);
            ASSERT_TRUE(got.has_value()) << at.x << "," << at.y;
            if (want && distSq(*got, at) < distSq(*want, at) - 1e-12) continue;  // a crossing
            ASSERT_TRUE(want.has_value());
            EXPECT_NEAR(got->x, want->x, 1e-9);
            EXPECT_NEAR(got->y, want->y, 1e-9);
            ++checked;
        }
        EXPECT_GT(checked, 2500);
    }
}

}  // namespace
}  // namespace tervasko
