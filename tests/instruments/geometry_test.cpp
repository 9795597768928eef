#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tools/instrumentgeometry.h"

namespace tervasko {
namespace {

TEST(InstrumentGeometry, TurnLegAndMarkAnglesOfTheWorkedExamples) {
    const PointD rulerCorner{37.79535, 340.15815};
    EXPECT_NEAR(*TurnAngle({88, 339}, rulerCorner), -178.67850, 1e-5);
    EXPECT_NEAR(*TurnAngle({37, 440}, rulerCorner), 89.54359, 1e-5);
    const PointD centre{188.97675, 188.97675};
    EXPECT_NEAR(*TurnAngle({265, 150}, centre), -152.85601, 1e-5);
    EXPECT_NEAR(*TurnAngle({189, 300}, centre), -269.98800, 1e-5);
    EXPECT_NEAR(*MarkAngle({265, 189}, centre), 0.01752, 1e-5);
    EXPECT_NEAR(*MarkAngle({265, 150}, centre), -207.14399, 1e-5);
    EXPECT_NEAR(*MarkAngle({150, 150}, centre), -315, 1e-3);
    EXPECT_EQ(*MarkAngle({centre.x, 100}, centre), 90);  // straight above: straight down
    const PointD needle{566.93025, 188.97675};
    EXPECT_NEAR(*LegAngle({500, 100}, needle), 233.04872, 1e-5);
    EXPECT_NEAR(*LegAngle({700, 100}, needle), -33.76857, 1e-5);
    EXPECT_NEAR(*LegAngle({567, 100}, needle), -89.95509, 1e-5);
    EXPECT_NEAR(*LegAngle({600, 300}, needle), 73.41314, 1e-5);
    // On the pivot itself there is no direction.
    EXPECT_FALSE(TurnAngle(centre, centre));
    EXPECT_FALSE(MarkAngle(centre, centre));
    EXPECT_FALSE(LegAngle(needle, needle));
}

TEST(InstrumentGeometry, GuideParameterIsTheFootAlongTheGuideAndFailsOnlyForAZeroSine) {
    const PointD a{10, 90};
    const PointD q{50.00615, 100.01230};
    EXPECT_NEAR(*GuideParameter(a, 0, 90, q), 40.00615, 1e-9);
    EXPECT_NEAR(*GuideParameter(a, 30, 120, q),
                (q.x - a.x) * std::cos(30 * std::numbers::pi / 180) +
                    (q.y - a.y) * std::sin(30 * std::numbers::pi / 180),
                1e-9);
    EXPECT_FALSE(GuideParameter(a, 90, 0, q));   // across a horizontal ruler
    EXPECT_FALSE(GuideParameter(a, -90, 0, q));  // along a ruler at exactly -90 degrees
    EXPECT_TRUE(GuideParameter(a, 0, 180, q));   // sin(180 degrees) is not exactly zero
}

TEST(InstrumentGeometry, GuidePointTruncatesTowardZeroToMicrometres) {
    const auto p = GuidePoint({10, 90}, 0, 40.0069);
    ASSERT_TRUE(p);
    EXPECT_DOUBLE_EQ(p->x, 50.006);
    EXPECT_DOUBLE_EQ(p->y, 90);
    const auto n = GuidePoint({0, -1.0000009}, 0, -2.0009);
    EXPECT_DOUBLE_EQ(n->x, -2.0);  // toward zero, not down
    EXPECT_DOUBLE_EQ(n->y, -1.0);
    EXPECT_FALSE(GuidePoint({0, 0}, 0, 1e300));  // no whole number holds it: an error
}

}  // namespace
}  // namespace tervasko
