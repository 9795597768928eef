#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "view/setsquaregeometry.h"

namespace tervasko {
namespace {

constexpr double kLeg = 80 * std::numbers::sqrt2;

// The point `along` mm from the zero mark towards +70 and `across` mm towards the
// right-angle corner, worked out here from the angle alone.
PointD at(const SetSquarePose& pose, double along, double across) {
    const double a = pose.angle * std::numbers::pi / 180;
    return {pose.zero.x + along * std::cos(a) - across * std::sin(a),
            pose.zero.y + along * std::sin(a) + across * std::cos(a)};
}

void expectNear(PointD got, PointD want) {
    EXPECT_NEAR(got.x, want.x, 1e-9);
    EXPECT_NEAR(got.y, want.y, 1e-9);
}

TEST(SetSquareGeometry, CornersLieBelowTheLongEdgeAndTurnWithIt) {
    const InstrumentPlacement start;
    const SetSquarePose pose = SetSquarePoseOf(start);
    EXPECT_EQ(pose.zero.x, 105);
    EXPECT_EQ(pose.zero.y, 160);
    SetSquareCorners c = SetSquareCornersOf(pose);
    expectNear(c.minusEnd, {25, 160});
    expectNear(c.plusEnd, {185, 160});
    expectNear(c.rightAngle, {105, 240});  // y runs down: below the long edge
    // A quarter turn clockwise: the +70 end below the zero mark, the corner to its left.
    c = SetSquareCornersOf({{105, 160}, 90});
    expectNear(c.plusEnd, {105, 240});
    expectNear(c.minusEnd, {105, 80});
    expectNear(c.rightAngle, {25, 160});
    // Half a turn and a bit: the corner above.
    c = SetSquareCornersOf({{0, 0}, 225});
    const double h = 80 * std::numbers::sqrt2 / 2;
    expectNear(c.plusEnd, {-h, -h});
    expectNear(c.rightAngle, {h, -h});
}

struct ProjectionCase {
    double along, across;  // where the pointer is, in the set square's own frame
    SetSquareEdge edge;
    double want;
};

TEST(SetSquareGeometry, ProjectionsOntoTheEdgesAreHeldToThem) {
    const double h = std::numbers::sqrt2 / 2;
    const ProjectionCase cases[] = {
        {25, 10, SetSquareEdge::Long, 25},
        {-42.5, -7, SetSquareEdge::Long, -42.5},  // beyond the edge, outside the triangle
        {79.9, 3, SetSquareEdge::Long, 79.9},
        {95, 10, SetSquareEdge::Long, 80},  // past the +70 end: held to the corner
        {-100, -5, SetSquareEdge::Long, -80},
        // On the minus leg 30 mm from its end, and pushed out across it by 4 mm.
        {-80 + 30 * h - 4 * h, 30 * h + 4 * h, SetSquareEdge::MinusLeg, 30},
        {-80 + 30 * h + 4 * h, 30 * h - 4 * h, SetSquareEdge::MinusLeg, 30},  // inside
        {-90, -10, SetSquareEdge::MinusLeg, 0},                               // before its end
        {10, 95, SetSquareEdge::MinusLeg, kLeg},                              // past the corner
        {80 - 50 * h + 2 * h, 50 * h + 2 * h, SetSquareEdge::PlusLeg, 50},
        {90, -3, SetSquareEdge::PlusLeg, 0},
        {-10, 95, SetSquareEdge::PlusLeg, kLeg},
    };
    for (const double angle : {0.0, 37.0, 225.0, 300.0}) {
        const SetSquarePose pose{{105, 160}, angle};
        for (const ProjectionCase& k : cases) {
            const auto t = SetSquareProjection(pose, k.edge, at(pose, k.along, k.across));
            ASSERT_TRUE(t) << angle;
            EXPECT_NEAR(*t, k.want, 1e-9)
                << "angle " << angle << " at " << k.along << ", " << k.across;
            // The foot lies where the edge's own point at that parameter is.
            const PointD foot = SetSquareEdgePoint(pose, k.edge, *t);
            if (k.edge == SetSquareEdge::Long)
                expectNear(foot, at(pose, *t, 0));
            else
                EXPECT_TRUE(SetSquareContains(pose, foot)) << angle;
        }
        // The legs run from their ends of the long edge to the corner.
        const SetSquareCorners c = SetSquareCornersOf(pose);
        for (const SetSquareEdge leg : {SetSquareEdge::MinusLeg, SetSquareEdge::PlusLeg}) {
            expectNear(SetSquareEdgePoint(pose, leg, kLeg), c.rightAngle);
            EXPECT_NEAR(SetSquareEdgeLength(leg), kLeg, 1e-12);
        }
        expectNear(SetSquareEdgePoint(pose, SetSquareEdge::MinusLeg, 0), c.minusEnd);
        expectNear(SetSquareEdgePoint(pose, SetSquareEdge::PlusLeg, 0), c.plusEnd);
    }
    EXPECT_FALSE(SetSquareProjection({{0, 0}, 0}, SetSquareEdge::Long, {NAN, 1}));
    EXPECT_FALSE(SetSquareProjection({{0, 0}, INFINITY}, SetSquareEdge::PlusLeg, {1, 1}));
}

TEST(SetSquareGeometry, TheNearerLegIsThatOnThePointsSide) {
    for (const double angle : {0.0, 37.0, 225.0, 300.0}) {
        const SetSquarePose pose{{-20, 300}, angle};
        // Inside, outside beyond a leg, above the long edge and past the corner.
        EXPECT_EQ(SetSquareNearerLeg(pose, at(pose, -5, 40)), SetSquareEdge::MinusLeg) << angle;
        EXPECT_EQ(SetSquareNearerLeg(pose, at(pose, 5, 40)), SetSquareEdge::PlusLeg) << angle;
        EXPECT_EQ(SetSquareNearerLeg(pose, at(pose, -70, 60)), SetSquareEdge::MinusLeg) << angle;
        EXPECT_EQ(SetSquareNearerLeg(pose, at(pose, 0.5, -30)), SetSquareEdge::PlusLeg) << angle;
        EXPECT_EQ(SetSquareNearerLeg(pose, at(pose, -1, 200)), SetSquareEdge::MinusLeg) << angle;
    }
    // On the perpendicular through the zero mark itself.
    EXPECT_EQ(SetSquareNearerLeg({{-20, 300}, 0}, {-20, 320}), SetSquareEdge::PlusLeg);
    EXPECT_EQ(SetSquareNearerLeg({{-20, 300}, 0}, {-20.001, 320}), SetSquareEdge::MinusLeg);
}

TEST(SetSquareGeometry, TheGuideRunsFromTheSmallestToTheLargestProjection) {
    const SetSquarePose pose{{105, 160}, 0};
    SetSquareSpan span;
    span.Reach(10, true);
    span.Reach(-30, false);
    span.Reach(25, false);
    span.Reach(0, false);
    EXPECT_EQ(span.min, -30);
    EXPECT_EQ(span.max, 25);
    auto g = SetSquareGuideSegment(pose, SetSquareEdge::Long, span);
    ASSERT_TRUE(g);
    expectNear(g->from, {75, 160});
    expectNear(g->to, {130, 160});
    // A new line starts afresh.
    span.Reach(40, true);
    EXPECT_EQ(span.min, 40);
    EXPECT_EQ(span.max, 40);

    // Along a leg of a turned set square, out to the corner.
    const SetSquarePose turned{{50, 50}, 90};
    SetSquareSpan leg;
    leg.Reach(*SetSquareProjection(turned, SetSquareEdge::PlusLeg, {105, 130}), true);
    leg.Reach(*SetSquareProjection(turned, SetSquareEdge::PlusLeg, {-100, 50}), false);
    g = SetSquareGuideSegment(turned, SetSquareEdge::PlusLeg, leg);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->from.x, 50);  // the +70 end, below the zero mark
    EXPECT_EQ(g->from.y, 130);
    EXPECT_EQ(g->to.x, -30);  // the right-angle corner, left of it
    EXPECT_EQ(g->to.y, 50);

    // The ends are rounded to a thousandth, on both sides of zero; the corner above came out
    // whole although the sines miss it by a little.
    SetSquareSpan one;
    one.Reach(0, true);
    g = SetSquareGuideSegment({{10.0007, -3.0007}, 0}, SetSquareEdge::Long, one);
    ASSERT_TRUE(g);
    EXPECT_NEAR(g->from.x, 10.001, 1e-12);
    EXPECT_NEAR(g->from.y, -3.001, 1e-12);
    g = SetSquareGuideSegment({{10.0004, -3.0004}, 0}, SetSquareEdge::Long, one);
    EXPECT_NEAR(g->to.x, 10.0, 1e-12);
    EXPECT_NEAR(g->to.y, -3.0, 1e-12);
    EXPECT_FALSE(SetSquareGuideSegment({{1e300, 0}, 0}, SetSquareEdge::Long, one));
}

TEST(SetSquareGeometry, DegreesRunFromTheMinusEndThroughTheCorner) {
    // Unturned: 0 to the left, 90 down towards the corner, 180 to the right.
    const SetSquarePose flat{{0, 0}, 0};
    EXPECT_EQ(SetSquareDegreeDirection(flat, 0), 180);
    EXPECT_EQ(SetSquareDegreeDirection(flat, 90), 90);
    EXPECT_EQ(SetSquareDegreeDirection(flat, 180), 0);
    for (const double angle : {0.0, 37.0, 225.0, 300.0}) {
        const SetSquarePose pose{{105, 160}, angle};
        for (const double d : {0.0, 1.0, 45.0, 90.0, 137.0, 180.0}) {
            const double dir = SetSquareDegreeDirection(pose, d) * std::numbers::pi / 180;
            const PointD p{pose.zero.x + 40 * std::cos(dir), pose.zero.y + 40 * std::sin(dir)};
            // The scale lies on the triangle's side, and reading a point gives its degree.
            EXPECT_TRUE(SetSquareContains(pose, p)) << angle << " " << d;
            const auto back = SetSquareDegreeAt(pose, p);
            ASSERT_TRUE(back);
            EXPECT_NEAR(*back, d, 1e-9) << angle;
        }
        // Beyond the long edge the nearer end of the scale.
        EXPECT_EQ(SetSquareDegreeAt(pose, at(pose, -3, -20)), 0.0) << angle;
        EXPECT_EQ(SetSquareDegreeAt(pose, at(pose, 3, -20)), 180.0) << angle;
        EXPECT_FALSE(SetSquareDegreeAt(pose, pose.zero));
    }
}

TEST(SetSquareGeometry, HitTestTakesTheTriangleAndItsOutlineOnly) {
    struct Case {
        double along, across;
        bool inside;
    } const cases[] = {
        {0, 0, true},      {-80, 0, true},   {80, 0, true},     {0, 80, true},
        {0, 79.9, true},   {0, 80.1, false}, {0, -0.1, false},  {-79, 0.5, true},
        {-79, 1.5, false}, {40, 39.9, true}, {40, 40.1, false}, {-40, 40.1, false},
        {81, 0, false},    {30, -30, false}, {0, 40, true},
    };
    for (const double angle : {0.0, 37.0, 225.0, 300.0}) {
        const SetSquarePose pose{{105, 160}, angle};
        for (const Case& k : cases)
            EXPECT_EQ(SetSquareContains(pose, at(pose, k.along, k.across)), k.inside)
                << angle << " at " << k.along << ", " << k.across;
    }
    EXPECT_FALSE(SetSquareContains({{0, 0}, 0}, {NAN, 10}));
}

}  // namespace
}  // namespace tervasko
