// Fingers and pen with the fake window: what they store in the placement, the view and the
// drawing.
#include "tools/touch.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "tools/cancel.h"
#include "tools/fakewindow.h"
#include "tools/instrumenthit.h"

namespace tervasko::tooltest {
namespace {

using T = ToolItem;
using S = TouchPoint::State;
constexpr double kRad = std::numbers::pi / 180;

// The fingers work on the second sheet, so a dropped sheet offset shows.
class Touch : public ToolTest {
protected:
    Touch() {
        host.pages = 3;
        host.choose({T::Bleistift1});
    }
    TouchSituation situation;
    int sheet = 1;

    // The paint-box point of a sheet-relative point of `sheet`, as the screen shows it now.
    TouchPoint at(int id, PointD mm, S state = S::Moved) const {
        return {id, mm.x * s() + 5, mm.y * s() + 5 + sheet * host.SheetHeightPx(), state};
    }
    void touch(std::vector<TouchPoint> points) { TouchFrame(host, drawing, g, situation, points); }
    // A finger on a point of the screen given in the scroll box's own pixels.
    TouchPoint onScreen(int id, PointD box, S state = S::Moved) const {
        return {id, box.x + host.h, box.y + host.v, state};
    }
    // The drawing point (mm) that the scroll box shows at `box`.
    PointD shownAt(PointD box) const {
        const double x = box.x + host.h - 5, y = box.y + host.v - 5;
        const int sh = static_cast<int>(y) / host.SheetHeightPx();
        return {x / s(), sh * 297.0 + (y - sh * host.SheetHeightPx()) / s()};
    }
    InstrumentPlacement& pl() { return drawing.Placement; }
};

TEST_F(Touch, OneFingerSlidesTheInstrumentUnderItWhateverToolIsChosenAndDrawsNothing) {
    touch({at(1, {100, 95}, S::Pressed)});
    EXPECT_TRUE(g.Busy());  // the history waits for the fingers
    touch({at(1, {110, 90})});
    EXPECT_NEAR(pl().LinealX, 20, 1e-9);
    EXPECT_NEAR(pl().LinealY, 85, 1e-9);
    // The lift counts where it happens, not where the last move was.
    touch({at(1, {130, 80}, S::Released)});
    EXPECT_NEAR(pl().LinealX, 40, 1e-9);
    EXPECT_NEAR(pl().LinealY, 75, 1e-9);
    EXPECT_EQ(pl().LinealAngle, 0);
    EXPECT_FALSE(g.Busy());
    EXPECT_EQ(drawing.Elements.Count(), 0u);
    EXPECT_TRUE(host.steps.empty());  // moving an instrument is no step
    EXPECT_GT(host.updateEds, 0);
    // The other instruments stayed.
    EXPECT_EQ(pl().WinkelX, 50);
    EXPECT_EQ(pl().GeoX, 105);
}

struct TurnCase {
    const char* name;
    PointD still;  // the finger that stays
    double turn;   // how far the other goes round it, in steps of 10 degrees
    double from;   // the direction in which the other lies at first, 30 mm away
    double InstrumentPlacement::*x;
    double InstrumentPlacement::*y;
    double InstrumentPlacement::*angle;  // nullptr: the compass, which only slides
};

class TwoFingers : public Touch, public ::testing::WithParamInterface<TurnCase> {};

// A turn about a finger that stays where it is: the instrument turns about that finger.
TEST_P(TwoFingers, TurnAboutAStillFinger) {
    const TurnCase& c = GetParam();
    const InstrumentPlacement before = pl();
    const auto other = [&](double degrees) {
        return PointD{c.still.x + 30 * std::cos(degrees * kRad),
                      c.still.y + 30 * std::sin(degrees * kRad)};
    };
    const PointD b0 = other(c.from);
    touch({at(1, c.still, S::Pressed)});
    touch({at(1, c.still, S::Stationary), at(2, b0, S::Pressed)});
    const int steps = static_cast<int>(std::fabs(c.turn) / 10);
    for (int i = 1; i <= steps; ++i) {
        touch({at(1, c.still, S::Stationary),
               at(2, other(c.from + std::copysign(10.0 * i, c.turn)))});
    }
    const PointD b = other(c.from + c.turn);
    const double a = c.turn * kRad;
    const double rx = before.*c.x - c.still.x, ry = before.*c.y - c.still.y;
    if (c.angle) {
        EXPECT_NEAR(pl().*c.angle, before.*c.angle + c.turn, 1e-9);
        EXPECT_NEAR(pl().*c.x, c.still.x + rx * std::cos(a) - ry * std::sin(a), 1e-9);
        EXPECT_NEAR(pl().*c.y, c.still.y + rx * std::sin(a) + ry * std::cos(a), 1e-9);
    } else {
        // The compass follows the midpoint of the fingers and keeps its direction and span.
        EXPECT_NEAR(pl().*c.x, before.*c.x + (b.x - b0.x) / 2, 1e-9);
        EXPECT_NEAR(pl().*c.y, before.*c.y + (b.y - b0.y) / 2, 1e-9);
        EXPECT_EQ(drawing.ZirkelAngle, 45);
        EXPECT_EQ(pl().ZirkelSpan, 40);
    }
    // The spread changed nothing: only direction and midpoint count. Lifting one finger
    // leaves the other sliding from where the two left it.
    const InstrumentPlacement turned = pl();
    touch({at(1, c.still, S::Released), at(2, b, S::Stationary)});
    EXPECT_EQ(pl(), turned);
    touch({at(2, {b.x + 5, b.y - 7})});
    EXPECT_NEAR(pl().*c.x, turned.*c.x + 5, 1e-9);
    EXPECT_NEAR(pl().*c.y, turned.*c.y - 7, 1e-9);
    if (c.angle) {
        EXPECT_EQ(pl().*c.angle, turned.*c.angle);
    }
    EXPECT_EQ(drawing.Elements.Count(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Instruments, TwoFingers,
    ::testing::Values(TurnCase{"RulerClockwise",
                               {60, 95},
                               30,
                               0,
                               &InstrumentPlacement::LinealX,
                               &InstrumentPlacement::LinealY,
                               &InstrumentPlacement::LinealAngle},
                      // More than half a turn the other way: the angle runs on, it does not jump.
                      TurnCase{"RulerPastHalfATurnAnticlockwise",
                               {60, 95},
                               -250,
                               0,
                               &InstrumentPlacement::LinealX,
                               &InstrumentPlacement::LinealY,
                               &InstrumentPlacement::LinealAngle},
                      TurnCase{"Protractor",
                               {40, 40},
                               50,
                               0,
                               &InstrumentPlacement::WinkelX,
                               &InstrumentPlacement::WinkelY,
                               &InstrumentPlacement::WinkelAngle},
                      TurnCase{"SetSquare",
                               {80, 170},
                               -40,
                               0,
                               &InstrumentPlacement::GeoX,
                               &InstrumentPlacement::GeoY,
                               &InstrumentPlacement::GeoAngle},
                      TurnCase{"Compass",
                               {155, 55},
                               60,
                               45,
                               &InstrumentPlacement::ZirkelX,
                               &InstrumentPlacement::ZirkelY,
                               nullptr}),
    [](const auto& param) { return param.param.name; });

TEST_F(Touch, TheSpreadOfTwoFingersOnAnInstrumentChangesNothing) {
    touch({at(1, {60, 95}, S::Pressed), at(2, {80, 95}, S::Pressed)});
    touch({at(1, {40, 95}), at(2, {100, 95})});  // spread about the same midpoint
    EXPECT_EQ(pl(), InstrumentPlacement{});
    EXPECT_EQ(host.zoom, 100);
    touch({at(1, {45, 96}), at(2, {95, 96})});  // pinched and slid 1 mm down
    EXPECT_NEAR(pl().LinealY, 91, 1e-9);
    EXPECT_NEAR(pl().LinealX, 10, 1e-9);
    EXPECT_NEAR(pl().LinealAngle, 0, 1e-12);
}

TEST_F(Touch, TheTopmostInstrumentTakesTheFinger) {
    const VisibleInstruments all;
    // The protractor's rim meets the ruler's edge at (50, 90); it is drawn over the ruler.
    EXPECT_EQ(InstrumentAt(drawing, all, s(), {50, 90}), Instrument::Protractor);
    EXPECT_EQ(InstrumentAt(drawing, all, s(), {50, 95}), Instrument::Ruler);
    EXPECT_EQ(InstrumentAt(drawing, all, s(), {50, 101}), Instrument::None);
    EXPECT_EQ(InstrumentAt(drawing, all, s(), {9, 95}), Instrument::None);
    VisibleInstruments noProtractor;
    noProtractor.protractor = false;
    EXPECT_EQ(InstrumentAt(drawing, noProtractor, s(), {50, 90}), Instrument::Ruler);
    // The set square over the protractor, the compass over both.
    pl().GeoX = 50, pl().GeoY = 30;
    EXPECT_EQ(InstrumentAt(drawing, all, s(), {50, 50}), Instrument::SetSquare);
    pl().ZirkelX = 30, pl().ZirkelY = 50;
    EXPECT_EQ(InstrumentAt(drawing, all, s(), {50, 70}), Instrument::Compass);  // on its leg
    EXPECT_EQ(InstrumentAt(drawing, all, s(), {52, 50}), Instrument::SetSquare);
    // A turned ruler lies where it is drawn: across it a quarter turn clockwise.
    pl().LinealAngle = 90;
    EXPECT_EQ(InstrumentAt(drawing, noProtractor, s(), {5, 100}), Instrument::Ruler);
    EXPECT_EQ(InstrumentAt(drawing, noProtractor, s(), {15, 100}), Instrument::None);
    EXPECT_EQ(InstrumentAt(drawing, all, s(), {NAN, 100}), Instrument::None);
}

TEST_F(Touch, AFingerOnASheetHoldsTheInstrumentDrawnOnIt) {
    // The press on the first sheet, the move far down: the placement follows the travel.
    sheet = 0;
    touch({at(1, {100, 95}, S::Pressed)});
    sheet = 1;
    touch({at(1, {100, 95}, S::Released)});
    EXPECT_NEAR(pl().LinealX, 10, 1e-9);
    EXPECT_NEAR(pl().LinealY, 90 + host.SheetHeightPx() / s(), 1e-9);
}

TEST_F(Touch, OneFingerPansAsTheHandDoes) {
    host.v = 700;
    const PointD from{300, 200}, to{260, 120};
    touch({onScreen(1, from, S::Pressed)});
    touch({onScreen(1, {280, 160})});
    touch({onScreen(1, to)});
    EXPECT_EQ(host.h, 40);
    EXPECT_EQ(host.v, 780);
    EXPECT_TRUE(host.suspendedWhenScrolled.back());
    touch({onScreen(1, to, S::Released)});
    EXPECT_FALSE(g.Busy());
    EXPECT_EQ(pl(), InstrumentPlacement{});
}

TEST_F(Touch, TwoFingersZoomByTheirSpreadKeepingThePointBetweenThemUnderThem) {
    host.v = 900;
    const PointD a{200, 200}, b{300, 260};
    const PointD mid0{(a.x + b.x) / 2, (a.y + b.y) / 2};
    const PointD held = shownAt(mid0);
    touch({onScreen(1, a, S::Pressed), onScreen(2, b, S::Pressed)});
    // Spread to twice the distance about a midpoint that travels 30 px right.
    const PointD a2{mid0.x + 30 - 100, mid0.y - 60}, b2{mid0.x + 30 + 100, mid0.y + 60};
    touch({onScreen(1, a2), onScreen(2, b2)});
    EXPECT_EQ(host.zoom, 200);
    const PointD now = shownAt({mid0.x + 30, mid0.y});
    EXPECT_NEAR(now.x, held.x, 1 / s());  // within the pixel the scroll bars hold
    EXPECT_NEAR(now.y, held.y, 1 / s());
    // Far apart: the field's limit.
    touch({onScreen(1, {0, 0}), onScreen(2, {650, 400})});
    EXPECT_EQ(host.zoom, 300);
    // Pinched: the zoom goes back with the ratio to the spread at the start.
    const double spread0 = std::hypot(b.x - a.x, b.y - a.y);
    touch({onScreen(1, {300, 200}), onScreen(2, {300 + spread0 / 4, 200})});
    EXPECT_EQ(host.zoom, 25);
    touch(
        {onScreen(1, {300, 200}, S::Released), onScreen(2, {300 + spread0 / 4, 200}, S::Released)});
    EXPECT_FALSE(g.Busy());
    EXPECT_EQ(pl(), InstrumentPlacement{});
}

TEST_F(Touch, ThePenDrawsAlongTheHeldRuler) {
    touch({at(1, {200, 95}, S::Pressed)});
    const auto pen = [&](PointD mm) {
        return IntPoint{static_cast<int>(std::lround(mm.x * s() + 5)),
                        static_cast<int>(std::lround(mm.y * s() + 5 + host.SheetHeightPx()))};
    };
    const IntPoint p1 = pen({40, 85}), p2 = pen({70, 80}), p3 = pen({120, 87});
    PenDown(host, drawing, g, MouseButton::Left, p1.x, p1.y);
    PenMove(host, drawing, g, p2.x, p2.y);
    PenMove(host, drawing, g, p3.x, p3.y);
    PenUp(host, drawing, g, MouseButton::Left, p3.x, p3.y);
    ASSERT_EQ(drawing.Elements.Count(), 1u);
    const TDrawElement& e = element(0);
    EXPECT_EQ(e.Kind, ekLine);
    // Along the edge, on the sheet of the pen: the stored points lie on y = 90 of sheet 1.
    EXPECT_NEAR(e.X1, 40, 1 / s());
    EXPECT_NEAR(e.X2, 120, 1 / s());
    EXPECT_EQ(e.Y1, 387);
    EXPECT_EQ(e.Y2, 387);
    EXPECT_EQ(host.steps, (std::vector<std::string>{"An Lineal entlang zeichnen"}));
    EXPECT_EQ(e.Color, host.penColor);
    // The ruler stayed where the finger held it; the finger still holds it.
    EXPECT_EQ(pl().LinealX, 10);
    EXPECT_TRUE(g.Busy());
    touch({at(1, {200, 95}, S::Released)});
    EXPECT_FALSE(g.Busy());

    // Without a finger on it the pen is the pencil again.
    PenDown(host, drawing, g, MouseButton::Left, p1.x, p1.y);
    PenMove(host, drawing, g, p2.x, p2.y);
    PenUp(host, drawing, g, MouseButton::Left, p2.x, p2.y);
    EXPECT_EQ(host.steps.size(), 2u);
    EXPECT_NE(host.steps.back(), "An Lineal entlang zeichnen");
}

TEST_F(Touch, ThePenDrawsAlongTheSetSquaresNearestEdge) {
    touch({at(1, {105, 200}, S::Pressed)});
    const auto pen = [&](PointD mm) {
        return IntPoint{static_cast<int>(std::lround(mm.x * s() + 5)),
                        static_cast<int>(std::lround(mm.y * s() + 5 + host.SheetHeightPx()))};
    };
    // Just below the long edge (y = 160): along it.
    IntPoint a = pen({60, 163}), b = pen({90, 162});
    PenDown(host, drawing, g, MouseButton::Left, a.x, a.y);
    PenMove(host, drawing, g, b.x, b.y);
    PenUp(host, drawing, g, MouseButton::Left, b.x, b.y);
    // Beside the plus leg, from (185, 160) to (105, 240): along the leg.
    a = pen({160, 195}), b = pen({140, 215});
    PenDown(host, drawing, g, MouseButton::Left, a.x, a.y);
    PenMove(host, drawing, g, b.x, b.y);
    PenUp(host, drawing, g, MouseButton::Left, b.x, b.y);
    ASSERT_EQ(drawing.Elements.Count(), 2u);
    EXPECT_EQ(element(0).Y1, 160 + 297);
    EXPECT_EQ(element(0).Y2, 160 + 297);
    EXPECT_NEAR(element(0).X1, 60, 1 / s());
    EXPECT_NEAR(element(0).X2, 90, 1 / s());
    // On the leg x + y = 185 + 160 (sheet-relative).
    EXPECT_NEAR(element(1).X1 + element(1).Y1 - 297, 345, 0.002);
    EXPECT_NEAR(element(1).X2 + element(1).Y2 - 297, 345, 0.002);
    EXPECT_EQ(host.steps, (std::vector<std::string>{"An der langen Kante entlang zeichnen",
                                                    "An den kurzen Kanten entlang zeichnen"}));
}

TEST_F(Touch, APalmIsIgnoredWhileThePenIsNearOrDrawing) {
    host.v = 500;
    // The pen draws a stroke; a palm lands beside it and moves.
    const IntPoint p1{300, 900}, p2{340, 930};
    situation.penNear = situation.penDown = true;
    PenDown(host, drawing, g, MouseButton::Left, p1.x, p1.y);
    touch({onScreen(7, {100, 300}, S::Pressed)});
    touch({onScreen(7, {40, 200})});
    PenMove(host, drawing, g, p2.x, p2.y);
    touch({onScreen(7, {40, 200}, S::Released)});
    PenUp(host, drawing, g, MouseButton::Left, p2.x, p2.y);
    EXPECT_EQ(host.v, 500);
    EXPECT_EQ(host.h, 0);
    EXPECT_EQ(drawing.Elements.Count(), 1u);  // the pen's stroke alone
    EXPECT_EQ(host.steps.size(), 1u);
    // A finger that lands on an instrument during the stroke joins nothing either.
    PenDown(host, drawing, g, MouseButton::Left, p1.x, p1.y);
    touch({at(3, {100, 95}, S::Pressed)});
    touch({at(3, {120, 95})});
    PenUp(host, drawing, g, MouseButton::Left, p1.x, p1.y);
    touch({at(3, {140, 95})});  // still ignored after the pen is lifted
    touch({at(3, {140, 95}, S::Released)});
    EXPECT_EQ(pl().LinealX, 10);

    // The pen hovering near: a palm moves nothing, a finger on an instrument still holds it.
    situation.penDown = false;
    touch({onScreen(7, {100, 300}, S::Pressed)});
    touch({onScreen(7, {40, 200}), at(3, {100, 95}, S::Pressed)});
    touch({onScreen(7, {40, 200}, S::Stationary), at(3, {120, 95})});
    EXPECT_EQ(host.v, 500);
    EXPECT_NEAR(pl().LinealX, 30, 1e-9);
}

TEST_F(Touch, APenSetDownEndsTheFingersPanning) {
    host.v = 500;
    touch({onScreen(1, {100, 300}, S::Pressed)});
    touch({onScreen(1, {100, 280})});
    EXPECT_EQ(host.v, 520);
    PenDown(host, drawing, g, MouseButton::Left, 300, 900);
    touch({onScreen(1, {100, 200})});
    EXPECT_EQ(host.v, 520);
    PenUp(host, drawing, g, MouseButton::Left, 300, 900);
}

TEST_F(Touch, ATouchDuringAMouseGestureJoinsNothing) {
    press(300, 900);  // the pencil's stroke
    touch({at(1, {100, 95}, S::Pressed)});
    touch({at(1, {120, 95})});
    move(320, 900);
    release(320, 900);
    touch({at(1, {130, 95})});
    touch({at(1, {130, 95}, S::Released)});
    EXPECT_EQ(pl().LinealX, 10);
    EXPECT_EQ(drawing.Elements.Count(), 1u);
}

TEST_F(Touch, EscapePutsTheInstrumentBackAndTheFingersDoNothingMore) {
    touch({at(1, {60, 95}, S::Pressed), at(2, {90, 95}, S::Pressed)});
    touch({at(1, {60, 95}, S::Stationary), at(2, {60, 125})});
    EXPECT_NEAR(pl().LinealAngle, 90, 1e-9);
    EXPECT_TRUE(CancelGesture(host, drawing, g));
    EXPECT_EQ(pl(), InstrumentPlacement{});
    EXPECT_FALSE(g.Busy());
    EXPECT_EQ(host.measured, Measurement{});
    touch({at(1, {70, 95}), at(2, {60, 135})});
    EXPECT_EQ(pl(), InstrumentPlacement{});
    touch({at(1, {70, 95}, S::Released), at(2, {60, 135}, S::Released)});
    // New fingers take hold again.
    touch({at(4, {100, 95}, S::Pressed)});
    touch({at(4, {101, 95}, S::Released)});
    EXPECT_NEAR(pl().LinealX, 11, 1e-9);
}

TEST_F(Touch, TheStatusBarMeasuresTheTurn) {
    touch({at(1, {60, 95}, S::Pressed), at(2, {90, 95}, S::Pressed)});
    touch({at(1, {60, 95}, S::Stationary), at(2, {60, 65})});
    EXPECT_EQ(host.measured.kind, Measurement::Kind::RulerAngle);
    EXPECT_NEAR(host.measured.angle, -90, 1e-9);
    TouchCancelled(host, drawing, g);  // the system took the fingers away: as Escape
    EXPECT_EQ(pl(), InstrumentPlacement{});
    EXPECT_FALSE(g.Busy());
}

TEST_F(Touch, AFingerSlideCatchesOnPointsAsTheMouseDoes) {
    host.snapOn = true;
    host.snapDrawing = &drawing;
    TDrawElement* e = drawing.AppendElement();
    e->Kind = ekLine;
    e->X1 = 31, e->Y1 = 297 + 81, e->X2 = 60, e->Y2 = 297 + 20;
    touch({at(1, {100, 95}, S::Pressed)});
    touch({at(1, {120.5, 86})});  // the corner near (30.5, 81)
    EXPECT_EQ(pl().LinealX, 31);
    EXPECT_EQ(pl().LinealY, 81);
    host.shiftHeld = true;
    touch({at(1, {120.5, 86})});
    touch({at(1, {120.5, 86.5})});
    EXPECT_NEAR(pl().LinealX, 30.5, 1e-9);
}

}  // namespace
}  // namespace tervasko::tooltest
