// The set square's modes through the pointer dispatch, on the second sheet and turned, so that
// a dropped sheet offset or a wrong sign of a turn shows in the stored numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "instruments/fakehost.h"
#include "tools/cancel.h"
#include "tools/dispatch.h"

namespace tervasko {
namespace {

using T = ToolItem;
using Op = RecordingCanvas::Op;

constexpr double kRad = std::numbers::pi / 180;

// Zoom 100 at 96 dpi, two sheets; every gesture happens on the second.
class SetSquareModes : public ::testing::Test {
protected:
    testing::FakeHost host;
    TDrawing drawing;
    GestureState g;
    const double top = drawing.PageHeightInch * MmPerInch;  // the second sheet's top, mm

    void SetUp() override {
        host.pages = 2;
        host.snapDrawing = &drawing;
    }
    InstrumentPlacement& pl() { return drawing.Placement; }
    void pose(double x, double y, double angle) {
        pl().GeoX = x, pl().GeoY = y, pl().GeoAngle = angle;
    }
    // The drawing point `along` mm from the zero mark towards the +70 end and `across` mm
    // towards the right-angle corner, on the second sheet.
    PointD at(double along, double across) const {
        const double a = drawing.Placement.GeoAngle * kRad;
        return {drawing.Placement.GeoX + along * std::cos(a) - across * std::sin(a),
                top + drawing.Placement.GeoY + along * std::sin(a) + across * std::cos(a)};
    }
    // The point `length` mm from the zero mark in direction `degrees` (clockwise on screen).
    PointD towards(double degrees, double length) const {
        return {drawing.Placement.GeoX + length * std::cos(degrees * kRad),
                top + drawing.Placement.GeoY + length * std::sin(degrees * kRad)};
    }
    IntPoint px(PointD mm) const {
        return {static_cast<int>(std::lround(5 + mm.x * host.PixelsPerMm())),
                static_cast<int>(
                    std::lround(5 + (mm.y - top) * host.PixelsPerMm() + host.SheetHeightPx()))};
    }
    void press(PointD mm) {
        const IntPoint a = px(mm);
        PaintBox1MouseDown(host, drawing, g, MouseButton::Left, a.x, a.y);
    }
    void move(PointD mm) {
        const IntPoint a = px(mm);
        PaintBox1MouseMove(host, drawing, g, a.x, a.y);
    }
    void release(PointD mm) {
        const IntPoint a = px(mm);
        PaintBox1MouseUp(host, drawing, g, MouseButton::Left, a.x, a.y);
    }
    const TDrawElement& last() { return drawing.Elements.At(drawing.Elements.Count() - 1); }
    void snapPointAt(PointD mm) {
        TDrawElement& e = *drawing.Elements.Append();
        e = {};
        e.Kind = ekLine;
        e.X1 = mm.x, e.Y1 = mm.y, e.X2 = mm.x + 30, e.Y2 = mm.y - 40;
    }
};

// Half a pixel of the pointer is 0.13 mm at this zoom.
constexpr double kPointer = 0.14;

void expectPoint(double x, double y, PointD want, double tolerance) {
    EXPECT_NEAR(x, want.x, tolerance);
    EXPECT_NEAR(y, want.y, tolerance);
}

// Stored lines keep whole thousandths of a millimetre, as the ruler's do.
void expectThousandths(const TDrawElement& e) {
    for (const double v : {e.X1, e.Y1, e.X2, e.Y2})
        EXPECT_NEAR(v * 1000, std::round(v * 1000), 1e-6);
}

TEST_F(SetSquareModes, ALineAlongTheLongEdgeSpansWhatThePointerReachedHeldToTheEdge) {
    host.choose(T::Geodreieck1, T::GeodreieckAnderlangenKanteentlangzeichnen1);
    for (const double angle : {0.0, 30.0, 135.0, -100.0}) {
        SCOPED_TRACE(angle);
        pose(105, 160, angle);
        const std::size_t before = drawing.Elements.Count();
        move(at(-20, 15));  // hover: the dot on the edge where the line would begin
        const auto dot = host.screen.entriesOf(Op::Line).back();
        EXPECT_EQ(dot.penWidth, 5);
        EXPECT_EQ(dot.points[0], px(at(-20, 0)));

        press(at(-20, 15));
        move(at(50, 30));
        move(at(150, 5));  // beyond the +80 end: the line stops there
        EXPECT_EQ(host.measured.kind, Measurement::Kind::GuideLength);
        EXPECT_NEAR(host.measured.length, 100, kPointer);
        move(at(10, -40));  // back, and to the other side of the edge: nothing shrinks
        release(at(10, -40));
        ASSERT_EQ(drawing.Elements.Count(), before + 1);
        const TDrawElement& e = last();
        EXPECT_EQ(e.Kind, ekLine);
        expectPoint(e.X1, e.Y1, at(-20, 0), kPointer);
        expectPoint(e.X2, e.Y2, at(80, 0), 0.0006);
        expectThousandths(e);
        EXPECT_EQ(e.Color, host.penColor);
        EXPECT_FALSE(g.Busy());
    }
    EXPECT_EQ(host.changes, 4);
    EXPECT_EQ(host.steps.back(), "An der langen Kante entlang zeichnen");
}

TEST_F(SetSquareModes, ALineAlongTheShortEdgesKeepsTheLegNearerToThePress) {
    host.choose(T::Geodreieck1, T::GeodreieckAndenkurzenKantenentlangzeichnen1);
    pose(90, 150, 30);
    // Right of the perpendicular through the zero mark: the plus leg, whose foot of (30, 20)
    // is (45, 35). The pointer then crosses to the other side and beyond the corner.
    press(at(30, 20));
    move(at(-40, 60));
    move(at(-10, 140));
    release(at(-10, 140));
    ASSERT_EQ(drawing.Elements.Count(), 1u);
    expectPoint(last().X1, last().Y1, at(45, 35), kPointer);
    expectPoint(last().X2, last().Y2, at(0, 80), 0.0006);
    expectThousandths(last());

    // Left of it: the minus leg, from beyond its end of the long edge to the foot (-45, 35).
    press(at(-30, 20));
    move(at(-150, -10));
    release(at(-150, -10));
    ASSERT_EQ(drawing.Elements.Count(), 2u);
    expectPoint(last().X1, last().Y1, at(-80, 0), 0.0006);
    expectPoint(last().X2, last().Y2, at(-45, 35), kPointer);
    EXPECT_EQ(host.steps, (std::vector<std::string>(2, "An den kurzen Kanten entlang zeichnen")));

    // The hover dot sits on the leg of the pointer's side.
    move(at(-30, 20));
    const IntPoint dot = host.screen.entriesOf(Op::Line).back().points[0];
    EXPECT_LE(std::abs(dot.x - px(at(-45, 35)).x), 1);
    EXPECT_LE(std::abs(dot.y - px(at(-45, 35)).y), 1);
}

TEST_F(SetSquareModes, ADegreeMarkRunsFromTheZeroMarkInTheDirectionOfItsDegree) {
    host.choose(T::Geodreieck1, T::GeodreieckWinkelmarkieren1);
    const struct { double angle, degree; } cases[] = {{0, 60}, {90, 30}, {-45, 150}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.angle);
        pose(100, 140, c.angle);
        // Degree 0 lies at the -70 end, 90 towards the corner: direction angle + 180 - degree.
        const double direction = c.angle + 180 - c.degree;
        move(towards(direction, 40));
        EXPECT_EQ(host.measured.kind, Measurement::Kind::SetSquareDegree);
        EXPECT_NEAR(host.measured.angle, c.degree, 0.3);
        press(towards(direction, 40));
        move(towards(direction, 65));
        move(towards(direction + 20, 20));  // off the direction: the mark keeps its degree
        EXPECT_NEAR(host.measured.angle, c.degree, 0.3);
        release(towards(direction + 20, 20));
        const TDrawElement& e = last();
        const double drawn = std::atan2(e.Y2 - e.Y1, e.X2 - e.X1) / kRad;
        EXPECT_NEAR(std::remainder(drawn - direction, 360), 0, 0.3);
        EXPECT_NEAR(std::hypot(e.X1 - towards(direction, 0).x, e.Y1 - towards(direction, 0).y),
                    20 * std::cos(20 * kRad), 0.2);
        EXPECT_NEAR(std::hypot(e.X2 - e.X1, e.Y2 - e.Y1), 65 - 20 * std::cos(20 * kRad), 0.3);
    }
    EXPECT_EQ(host.steps.back(), "Winkel markieren");

    // Beyond the long edge the scale reads 180 on the plus side: the mark runs along the edge.
    pose(100, 140, 0);
    press(at(30, -20));
    move(at(55, -25));
    release(at(55, -25));
    EXPECT_NEAR(last().Y1, top + 140, 0.001);
    EXPECT_NEAR(last().Y2, top + 140, 0.001);
    EXPECT_NEAR(last().X1, 130, kPointer);
    EXPECT_NEAR(last().X2, 155, kPointer);

    // A press on the zero mark gives no direction: nothing is begun.
    const std::size_t count = drawing.Elements.Count();
    const IntPoint zero = px(at(0, 0));
    pose((zero.x - 5) / host.PixelsPerMm(),
         (zero.y - 5 - host.SheetHeightPx()) / host.PixelsPerMm(), 0);
    press(at(0, 0));
    EXPECT_FALSE(g.Busy());
    release(at(20, 20));
    EXPECT_EQ(drawing.Elements.Count(), count);
}

TEST_F(SetSquareModes, SlidingAndTurningMoveOnlyThePlacementAndEscapePutsItBack) {
    host.choose(T::Geodreieck1, T::GeodreieckVerschieben1);
    pose(105, 160, 25);
    const PointD grip = at(10, 10);
    press(grip);
    move({grip.x + 20, grip.y - 12});
    release({grip.x + 30, grip.y + 8});         // the release takes the set square along
    EXPECT_NEAR(pl().GeoX, 135, 2 * kPointer);  // the press and the release, each rounded
    EXPECT_NEAR(pl().GeoY, 168, 2 * kPointer);
    EXPECT_EQ(pl().GeoAngle, 25);

    // The zero mark catches a line's end when "Fangen" is on.
    host.snapOn = true;
    snapPointAt({150, top + 180});
    pose(105, 160, 25);
    press(grip);
    move({grip.x + 45.6, grip.y + 19.3});
    EXPECT_FALSE(host.screen.entriesOf(Op::Ellipse).empty());  // the ring of the catch
    release({grip.x + 45.6, grip.y + 19.3});
    EXPECT_DOUBLE_EQ(pl().GeoX, 150);
    EXPECT_DOUBLE_EQ(pl().GeoY, 180);
    host.snapOn = false;

    // Turning about the zero mark follows the pointer clockwise, and the release turns it once
    // more.
    host.choose(T::Geodreieck1, T::GeodreieckDrehen1);
    move(towards(70, 50));
    EXPECT_EQ(host.measured, (Measurement{Measurement::Kind::SetSquareAngle, 0, 25}));
    press(towards(70, 50));
    move(towards(160, 50));
    // Angles are not brought into a range, as the ruler's are not: compare the directions.
    EXPECT_NEAR(std::remainder(pl().GeoAngle - 115, 360), 0, 0.35);
    EXPECT_EQ(host.measured.kind, Measurement::Kind::SetSquareAngle);
    release(towards(130, 50));
    EXPECT_NEAR(std::remainder(pl().GeoAngle - 85, 360), 0, 0.35);
    EXPECT_DOUBLE_EQ(pl().GeoX, 150);
    EXPECT_DOUBLE_EQ(pl().GeoY, 180);
    EXPECT_EQ(host.changes, 0);

    // Escape during a turn and during a slide puts the set square back.
    const InstrumentPlacement before = pl();
    press(towards(10, 50));
    move(towards(80, 50));
    EXPECT_TRUE(CancelGesture(host, drawing, g));
    EXPECT_EQ(pl(), before);
    host.choose(T::Geodreieck1, T::GeodreieckVerschieben1);
    press(at(0, 30));
    move(at(40, 60));
    EXPECT_TRUE(CancelGesture(host, drawing, g));
    EXPECT_EQ(pl(), before);
    EXPECT_FALSE(g.Busy());
    move(at(0, 0));  // the slide is over
    EXPECT_EQ(pl(), before);
    EXPECT_EQ(drawing.Elements.Count(), 1u);  // only the line that caught
}

TEST_F(SetSquareModes, LineEndsAlongAnEdgeCatchAndEscapeStoresNothing) {
    host.choose(T::Geodreieck1, T::GeodreieckAnderlangenKanteentlangzeichnen1);
    pose(100, 150, -30);
    const PointD end = at(37.3, 0.4);
    snapPointAt(end);
    host.snapOn = true;
    press(at(-10, 10));
    move(at(37.9, 6));  // the foot lies 0.6 mm from the end: it catches
    EXPECT_FALSE(host.screen.entriesOf(Op::Ellipse).empty());
    release(at(37.9, 6));
    ASSERT_EQ(drawing.Elements.Count(), 2u);
    expectPoint(last().X2, last().Y2, at(37.3, 0), 0.0006);

    host.shiftHeld = true;  // Shift suspends the catch
    press(at(-10, 10));
    move(at(37.9, 6));
    release(at(37.9, 6));
    expectPoint(last().X2, last().Y2, at(37.9, 0), kPointer);
    EXPECT_GT(std::hypot(last().X2 - at(37.3, 0).x, last().Y2 - at(37.3, 0).y), 0.4);

    const std::size_t count = drawing.Elements.Count();
    press(at(-10, 10));
    move(at(30, 6));
    EXPECT_TRUE(CancelGesture(host, drawing, g));
    release(at(30, 6));
    EXPECT_EQ(drawing.Elements.Count(), count);
    EXPECT_EQ(host.changes, 2);
}

}  // namespace
}  // namespace tervasko
