#include "tools/measure.h"

#include <gtest/gtest.h>

#include "instruments/fakehost.h"
#include "tools/dispatch.h"

namespace tervasko {
namespace {

using T = ToolItem;
using K = Measurement::Kind;

// Zoom 100 at 96 dpi: one millimetre is 3.7795 pixels, a sheet 1123 pixels, the paint box's
// margin 5 pixels.
class Measuring : public ::testing::Test {
protected:
    testing::FakeHost host;
    TDrawing drawing;
    GestureState g;
    static constexpr int kSecondSheet = 1123;  // paint-box pixels from the first sheet's top

    void press(int X, int Y) { PaintBox1MouseDown(host, drawing, g, MouseButton::Left, X, Y); }
    void move(int X, int Y) { PaintBox1MouseMove(host, drawing, g, X, Y); }
    void release(int X, int Y) { PaintBox1MouseUp(host, drawing, g, MouseButton::Left, X, Y); }
    int px(double mm) const { return static_cast<int>(std::lround(5 + mm * host.PixelsPerMm())); }
};

TEST_F(Measuring, RulerGesturesShowTheirAngleAndTheGuideLength) {
    host.choose(T::Lineal1, T::LinealAnLinealentlangzeichnen1);
    move(194, 383);
    EXPECT_EQ(host.measured.kind, K::None);  // a hover along the ruler has no segment yet
    press(194, 383);
    move(459, 305);
    EXPECT_EQ(host.measured.kind, K::GuideLength);
    EXPECT_NEAR(host.measured.length, 120.12 - 50.006, 1e-9);
    release(459, 305);
    EXPECT_EQ(host.measured.kind, K::None);

    // Turned about the zero corner (10, 90) until the pointer stands straight below it.
    host.choose(T::Lineal1, T::LinealDrehen1);
    press(px(60), px(90) + 1);
    move(px(10), px(140));
    EXPECT_EQ(host.measured.kind, K::RulerAngle);
    EXPECT_NE(drawing.Placement.LinealAngle, 0);
    EXPECT_DOUBLE_EQ(host.measured.angle, drawing.Placement.LinealAngle);
    release(px(10), px(140));
    EXPECT_EQ(host.measured.kind, K::RulerAngle);  // the mode still shows the angle
}

TEST_F(Measuring, ProtractorDegreesCountOnItsOwnTurnedScale) {
    // Degree n lies in the direction n + turn + 180: with the protractor turned by 30 the
    // pointer right of the centre reads 150, above it 60, below it 240.
    drawing.Placement.WinkelAngle = 30;
    host.choose(T::Winkelmesser1, T::WinkelmesserGradzahlmitBleistiftmarkieren1);
    const struct {
        double dx, dy, degree;
    } cases[] = {{40, 0, 150}, {0, -40, 60}, {0, 40, 240}, {-40, 0, 330}};
    for (const auto& c : cases) {
        move(px(50 + c.dx), px(50 + c.dy));
        EXPECT_EQ(host.measured.kind, K::ProtractorDegree);
        EXPECT_NEAR(host.measured.angle, c.degree, 0.5) << c.dx << "," << c.dy;
    }
    // A mark begun on the second sheet keeps the degree of its press while it grows.
    press(px(50), kSecondSheet + px(50 - 40));
    move(px(50 + 3), kSecondSheet + px(50 + 30));
    EXPECT_EQ(host.measured.kind, K::ProtractorDegree);
    EXPECT_NEAR(host.measured.angle, 60, 0.5);
    release(px(50 + 3), kSecondSheet + px(50 + 30));
    EXPECT_EQ(drawing.Elements.Count(), 1u);
}

TEST_F(Measuring, CompassShowsItsRadiusAndTheAngleSweptEitherWay) {
    host.choose(T::Zirkel1, T::ZirkelZirkelspanne1);
    press(605, 305);
    EXPECT_EQ(host.measured.kind, K::CompassSpan);
    EXPECT_NEAR(host.measured.length, 30.65026, 1e-5);
    release(605, 305);

    // The needle stands at (150, 50); each arc starts right of it and ends below (clockwise
    // on the screen) or above (counter-clockwise): a quarter either way.
    drawing.Placement.ZirkelSpan = 40;
    host.choose(T::Zirkel1, T::ZirkelKreisbogenzeichnen1);
    for (const int sense : {+1, -1}) {
        press(px(190), px(50));
        EXPECT_EQ(host.measured.kind, K::Arc);
        EXPECT_EQ(host.measured.angle, 0);
        move(px(150 + 28), px(50 + sense * 28));
        move(px(150), px(50 + sense * 40));
        EXPECT_EQ(host.measured.kind, K::Arc);
        EXPECT_DOUBLE_EQ(host.measured.length, 40);
        EXPECT_NEAR(host.measured.angle, 90, 0.5) << sense;
        move(px(150 - 40), px(50));
        EXPECT_NEAR(host.measured.angle, 180, 0.5) << sense;
        release(px(150 - 40), px(50));
        EXPECT_EQ(host.measured.kind, K::CompassSpan);  // hovering in the arc mode
        // The sense the measure counted in is the arc's: clockwise it is stored from its end
        // (left of the needle) to the press (right of it), counter-clockwise the other way.
        const TDrawElement& arc = drawing.Elements.At(drawing.Elements.Count() - 1);
        EXPECT_NEAR(arc.X3, sense > 0 ? 110 : 190, 0.5) << sense;
        EXPECT_NEAR(arc.X4, sense > 0 ? 190 : 110, 0.5) << sense;
    }
}

TEST_F(Measuring, ObjectToolsNameTheElementUnderThePointer) {
    const auto add = [&](std::uint32_t kind, std::initializer_list<double> xy) {
        TDrawElement e{};
        e.Kind = kind;
        e.Width = 0.5;
        double* p = &e.X1;
        for (double v : xy) *p++ = v;
        *drawing.Elements.Append() = e;
    };
    add(ekLine, {20, 320, 50, 360});      // 30 by 40 on the second sheet: 50 long
    add(ekCircle, {100, 100, 140, 140});  // radius 20
    host.choose(T::Objekte1, T::ObjekteLschen1);
    move(px(35), kSecondSheet + px(340 - 297));
    EXPECT_EQ(host.measured.kind, K::Line);
    EXPECT_NEAR(host.measured.length, 50, 1e-9);
    move(px(140), px(120));
    EXPECT_EQ(host.measured.kind, K::Circle);
    EXPECT_DOUBLE_EQ(host.measured.length, 20);
    move(px(180), px(200));
    EXPECT_EQ(host.measured.kind, K::None);
    host.choose(T::Lineal1, T::LinealVerschieben1);
    move(px(140), px(120));
    EXPECT_EQ(host.measured.kind, K::None);  // not an object tool
}

TEST(MeasureElement, KindsAndSizes) {
    const auto element = [](std::uint32_t kind, std::initializer_list<double> xy) {
        TDrawElement e{};
        e.Kind = kind;
        double* p = &e.X1;
        for (double v : xy) *p++ = v;
        return e;
    };
    const struct {
        TDrawElement e;
        K kind;
        double size;
    } cases[] = {
        {element(ekLine, {0, 0, -3, -4}), K::Line, 5},
        {element(ekCircle, {30, 10, 10, 30}), K::Circle, 10},
        {element(ekArc, {110, 10, 190, 90, 150, 90, 190, 50}), K::ArcElement, 40},
        // Controls on the chord: the curve is the straight piece from (0,0) to (30,40).
        {element(ekCurve, {0, 0, 10, 40.0 / 3, 20, 80.0 / 3, 30, 40}), K::Curve, 50},
        // A quarter circle of radius 10 as a Bezier curve: a little longer than the arc's 15.708.
        {element(ekCurve, {10, 0, 10, 5.5228475, 5.5228475, 10, 0, 10}), K::Curve, 15.7098},
    };
    for (const auto& c : cases) {
        const Measurement m = MeasureElement(c.e);
        EXPECT_EQ(m.kind, c.kind);
        EXPECT_NEAR(m.length, c.size, 1e-3);
    }
}

}  // namespace
}  // namespace tervasko
