#include <gtest/gtest.h>

#include <cmath>

#include "instruments/fakehost.h"
#include "tools/compass.h"
#include "tools/dispatch.h"

namespace tervasko {
namespace {

using Op = RecordingCanvas::Op;
using T = ToolItem;

// The worked examples: zoom 100 at 96 dpi, one A4 page, instruments at their start places.
class Instruments : public ::testing::Test {
protected:
    testing::FakeHost host;
    TDrawing drawing;
    GestureState g;

    void press(int X, int Y, MouseButton b = MouseButton::Left) {
        PaintBox1MouseDown(host, drawing, g, b, X, Y);
    }
    void move(int X, int Y) { PaintBox1MouseMove(host, drawing, g, X, Y); }
    void release(int X, int Y) { PaintBox1MouseUp(host, drawing, g, MouseButton::Left, X, Y); }
    const TDrawElement& last() { return drawing.Elements.At(drawing.Elements.Count() - 1); }
    InstrumentPlacement& pl() { return drawing.Placement; }
};

TEST_F(Instruments, DrawingAlongTheRulerKeepsTheWidestFootRange) {
    host.choose(T::Lineal1, T::LinealAnLinealentlangzeichnen1);
    move(194, 383);  // hover: a red dot on the edge
    ASSERT_EQ(host.screen.entries().size(), 1u);
    EXPECT_EQ(host.screen.entries()[0].penWidth, 5);
    EXPECT_EQ(host.screen.entries()[0].penColor, kRed);

    const int paints = host.paints;
    press(194, 383);
    EXPECT_EQ(host.paints, paints);  // the press draws over the picture only
    // The guide at the press: a red 3-pixel point on the edge at the pointer's foot.
    const auto guide = host.screen.entriesOf(Op::Line).back();
    EXPECT_EQ(guide.penWidth, 3);
    EXPECT_EQ(guide.penColor, kRed);
    EXPECT_EQ(guide.points, (std::vector<IntPoint>{{194, 345}, {194, 345}}));
    move(459, 305);
    move(307, 360);  // back to about 80 mm: the line keeps its far end
    release(307, 360);
    ASSERT_EQ(drawing.Elements.Count(), 1u);
    const TDrawElement& e = last();
    EXPECT_EQ(e.Kind, ekLine);
    EXPECT_DOUBLE_EQ(e.X1, 50.006);
    EXPECT_DOUBLE_EQ(e.Y1, 90);
    EXPECT_DOUBLE_EQ(e.X2, 120.12);
    EXPECT_DOUBLE_EQ(e.Y2, 90);
    EXPECT_EQ(e.Color, host.penColor);
    EXPECT_EQ(e.Width, host.penWidth);
    EXPECT_EQ(host.changes, 1);
    EXPECT_FALSE(g.Busy());
    release(307, 360);  // the line is done: a second release adds nothing
    EXPECT_EQ(drawing.Elements.Count(), 1u);

    press(194, 383);  // press and release without a move: the guide of the press, no length
    release(300, 300);
    EXPECT_EQ(drawing.Elements.Count(), 2u);
    EXPECT_DOUBLE_EQ(last().X1, 50.006);
    EXPECT_DOUBLE_EQ(last().Y1, 90);
    EXPECT_DOUBLE_EQ(last().X2, 50.006);
    EXPECT_DOUBLE_EQ(last().Y2, 90);
}

TEST_F(Instruments, DrawingAcrossTheRulerStartsAtThePressFoot) {
    host.choose(T::Lineal1, T::LinealQuerzumLinealzeichnen1);
    move(194, 383);  // hover: a red dot at the foot on the edge, (50.006, 90)
    const auto dot = host.screen.entriesOf(Op::Line).back();
    EXPECT_EQ(dot.penWidth, 5);
    EXPECT_EQ(dot.points, (std::vector<IntPoint>{{194, 345}, {194, 345}}));

    // A horizontal ruler makes the second block fall back to the pointer's y: released
    // without a move, the line is the point at the foot's x and the pointer's height.
    press(194, 383);
    release(194, 383);
    EXPECT_DOUBLE_EQ(last().X1, 50.006);
    EXPECT_DOUBLE_EQ(last().X2, 50.006);
    EXPECT_NEAR(last().Y1, 100.01230, 1e-5);
    EXPECT_NEAR(last().Y2, 100.01230, 1e-5);

    press(194, 383);
    const int paints = host.paints;
    move(194, 305);
    EXPECT_EQ(host.paints, paints);  // the growing line is drawn over the picture
    release(194, 305);
    const TDrawElement& e = last();
    EXPECT_DOUBLE_EQ(e.X1, 50.006);
    EXPECT_DOUBLE_EQ(e.X2, 50.006);
    EXPECT_NEAR(e.Y1, 79.37484, 1e-5);
    EXPECT_NEAR(e.Y2, 100.01230, 1e-5);

    // Turned by 30 degrees: the press position after the two truncations, on the line at
    // 120 degrees through the foot (44.34, 109.826).
    pl().LinealAngle = 30;
    press(194, 383);
    release(194, 383);
    EXPECT_DOUBLE_EQ(last().X1, 50.005);
    EXPECT_DOUBLE_EQ(last().Y1, 100.012);
    EXPECT_DOUBLE_EQ(last().X2, 50.005);
    EXPECT_DOUBLE_EQ(last().Y2, 100.012);
    press(194, 383);
    move(135, 486);  // about 20 mm beyond the foot: the line crosses the edge there
    release(135, 486);
    const TDrawElement& turned = last();
    EXPECT_DOUBLE_EQ(turned.X1, 50.005);
    EXPECT_DOUBLE_EQ(turned.Y1, 100.012);
    EXPECT_NEAR(std::atan2(turned.Y2 - turned.Y1, turned.X2 - turned.X1) * 180 / M_PI, 120, 0.01);
    // Both ends are truncated to 0.001 mm, so the foot lies on the line within about that.
    const double length = std::hypot(turned.X2 - turned.X1, turned.Y2 - turned.Y1);
    EXPECT_GT(length, 30);
    EXPECT_NEAR((turned.X2 - turned.X1) * (109.826 - turned.Y1) -
                    (turned.Y2 - turned.Y1) * (44.34 - turned.X1),
                0, 2e-3 * length);
}

TEST_F(Instruments, RulerSlidesAndTurnsWithoutChangingTheDrawing) {
    press(300, 300);
    move(338, 300);
    EXPECT_NEAR(pl().LinealX, 10 + 38 / host.PixelsPerMm(), 1e-12);
    EXPECT_EQ(host.updateEds, 1);
    release(338, 300);
    EXPECT_NEAR(pl().LinealX, 20.054, 1e-3);
    EXPECT_EQ(pl().LinealAngle, 0);
    EXPECT_FALSE(g.Busy());
    move(400, 350);  // the release ended the slide
    EXPECT_NEAR(pl().LinealX, 20.054, 1e-3);

    pl().LinealX = 10;
    host.choose(T::Lineal1, T::LinealDrehen1);
    press(93, 344);
    release(42, 445);
    EXPECT_NEAR(pl().LinealAngle, -178.67850 - 89.54359, 1e-4);
    EXPECT_EQ(host.changes, 0);
    EXPECT_EQ(drawing.Elements.Count(), 0u);

    // Exactly on the corner there is no direction: the move is ignored, the release only
    // ends the gesture. R0 sits on a whole pixel here: stack (38, 340).
    pl().LinealX = 38 / host.PixelsPerMm(), pl().LinealY = 340 / host.PixelsPerMm();
    press(93, 344);
    move(60, 400);
    const double turned = pl().LinealAngle;
    const int paints = host.paints;
    move(43, 345);
    EXPECT_EQ(pl().LinealAngle, turned);
    EXPECT_EQ(host.paints, paints);
    release(43, 345);
    EXPECT_EQ(pl().LinealAngle, turned);
    EXPECT_FALSE(g.Busy());
    move(93, 344);  // the release ended the turn
    EXPECT_EQ(pl().LinealAngle, turned);
}

TEST_F(Instruments, ProtractorMarksTurnsAndSlides) {
    host.choose(T::Winkelmesser1, T::WinkelmesserGradzahlmitBleistiftmarkieren1);
    move(270, 194);  // hover ray from the centre through the pointer
    const auto ray = host.screen.entries().back();
    EXPECT_EQ(ray.points, (std::vector<IntPoint>{{194, 194}, {76194, 194}}));
    EXPECT_EQ(ray.penWidth, 1);

    // Released without a move, a mark is the point of its press.
    press(270, 194);
    release(270, 194);
    EXPECT_DOUBLE_EQ(last().X1, 70.114);
    EXPECT_DOUBLE_EQ(last().Y1, 50.006);
    EXPECT_DOUBLE_EQ(last().X2, 70.114);
    EXPECT_DOUBLE_EQ(last().Y2, 50.006);

    press(270, 155);
    release(270, 155);
    EXPECT_DOUBLE_EQ(last().X1, 70.114);
    EXPECT_DOUBLE_EQ(last().Y1, 39.687);
    EXPECT_DOUBLE_EQ(last().X2, 70.114);
    EXPECT_DOUBLE_EQ(last().Y2, 39.687);

    press(270, 155);
    move(308, 125);
    release(308, 125);
    EXPECT_DOUBLE_EQ(last().X1, 81.298);
    EXPECT_DOUBLE_EQ(last().Y1, 33.953);
    EXPECT_DOUBLE_EQ(last().X2, 70.114);
    EXPECT_DOUBLE_EQ(last().Y2, 39.687);

    // A mark keeps the direction of its press however far it is drawn out (under pointer
    // capture, here about 50 m): over that length the ends' truncation to 0.001 mm leaves its
    // direction, from the inner to the outer end of the range, exact to 1e-5 degrees.
    const auto direction = [&] {
        return std::atan2(last().Y2 - last().Y1, last().X2 - last().X1) * 180 / M_PI;
    };
    press(270, 194);
    move(189194, 194);
    release(189194, 194);
    EXPECT_DOUBLE_EQ(last().X1, 70.114);  // the press's end
    EXPECT_NEAR(direction(), 0.01752, 1e-5);
    press(270, 155);
    move(168359, -86031);  // on past the outer end
    release(168359, -86031);
    EXPECT_DOUBLE_EQ(last().X2, 70.114);  // the press's end
    EXPECT_NEAR(std::remainder(direction() - -207.14399, 360), 0, 1e-5);

    host.choose(T::Winkelmesser1, T::WinkelmesserDrehen1);
    press(270, 155);
    move(194, 305);
    EXPECT_NEAR(pl().WinkelAngle, 117.132, 1e-3);
    const int paints = host.paints, eds = host.updateEds;
    release(20, 20);  // the release keeps the last move's angle and draws nothing
    EXPECT_NEAR(pl().WinkelAngle, 117.132, 1e-3);
    EXPECT_EQ(host.paints, paints);
    EXPECT_EQ(host.updateEds, eds);

    host.choose(T::Winkelmesser1, T::WinkelmesserVerschieben1);
    press(100, 100);
    release(110, 90);
    EXPECT_NEAR(pl().WinkelX, 50 + 10 / host.PixelsPerMm(), 1e-12);
    EXPECT_NEAR(pl().WinkelY, 50 - 10 / host.PixelsPerMm(), 1e-12);
}

TEST_F(Instruments, CompassSpanArcAndCircle) {
    host.choose(T::Zirkel1, T::ZirkelZirkelspanne1);
    press(605, 305);
    EXPECT_NEAR(drawing.ZirkelAngle, 73.41314, 1e-5);
    EXPECT_NEAR(pl().ZirkelSpan, 30.65026, 1e-5);
    EXPECT_EQ(host.updateEds, 1);
    release(605, 305);
    EXPECT_FALSE(g.Busy());
    move(500, 400);  // the release ended the span
    EXPECT_NEAR(pl().ZirkelSpan, 30.65026, 1e-5);

    pl().ZirkelSpan = 40;
    host.choose(T::Zirkel1, T::ZirkelKreisbogenzeichnen1);
    press(705, 194);
    release(705, 194);  // no move, no direction: no element
    EXPECT_EQ(drawing.Elements.Count(), 0u);

    press(705, 194);
    move(572, 325);
    // Swung clockwise: the preview runs from the end back to the press.
    const auto preview = host.screen.entriesOf(Op::Arc);
    ASSERT_EQ(preview.size(), 1u);
    EXPECT_EQ(preview[0].points,
              (std::vector<IntPoint>{{421, 43}, {723, 345}, {572, 325}, {705, 194}}));
    EXPECT_EQ(preview[0].penColor, kRed);
    release(0, 0);
    const TDrawElement& e = last();
    EXPECT_EQ(e.Kind, ekArc);
    EXPECT_DOUBLE_EQ(e.X1, 110);
    EXPECT_DOUBLE_EQ(e.Y1, 10);
    EXPECT_DOUBLE_EQ(e.X2, 190);
    EXPECT_DOUBLE_EQ(e.Y2, 90);
    EXPECT_NEAR(e.X3, 150.01845, 1e-5);
    EXPECT_NEAR(e.Y3, 84.66650, 1e-5);
    EXPECT_NEAR(e.X4, 185.20797, 1e-5);
    EXPECT_NEAR(e.Y4, 50.00615, 1e-5);

    AddCompassCircle(host, drawing, g);
    EXPECT_EQ(last().Kind, ekCircle);
    EXPECT_DOUBLE_EQ(last().Y1, 10);
    press(605, 5 + 1123 + 10);           // a press on the second sheet moves the circle there,
    AddCompassCircle(host, drawing, g);  // to where that sheet begins: 297 mm down
    EXPECT_NEAR(last().Y1, 307, 1e-9);
    EXPECT_NEAR(last().Y2, 387, 1e-9);
}

TEST_F(Instruments, InstrumentRowsKeepTheirOrderAndTheFirstSetFlagEndsAtRelease) {
    // With two tools' modes checked, the compass rows come before the ruler's.
    host.checked = {T::Lineal1, T::LinealVerschieben1, T::Zirkel1, T::ZirkelVerschieben1};
    press(100, 100);
    // A drag in progress goes on whatever mode is chosen meanwhile.
    host.choose(T::Lineal1, T::LinealDrehen1);
    move(110, 100);
    EXPECT_NEAR(pl().ZirkelX, 150 + 10 / host.PixelsPerMm(), 1e-12);
    EXPECT_EQ(pl().LinealX, 10);
    EXPECT_EQ(pl().LinealAngle, 0);

    // Several gestures at once, each pressed with the right button in another mode and let
    // go outside the paint box: each release ends only the first in the release order.
    host.choose(T::Lineal1, T::LinealVerschieben1);
    press(100, 100, MouseButton::Right);
    host.choose(T::Lineal1, T::LinealAnLinealentlangzeichnen1);
    press(194, 383, MouseButton::Right);
    host.choose(T::Winkelmesser1, T::WinkelmesserGradzahlmitBleistiftmarkieren1);
    press(270, 194, MouseButton::Right);
    const double s = host.PixelsPerMm();
    const auto released = [&](const char* step, double zirkelX, double linealX) {
        release(130, 120);  // 20 pixels right of the last move and down
        EXPECT_EQ(host.steps.empty() ? "" : host.steps.back(), step);
        EXPECT_NEAR(pl().ZirkelX, zirkelX, 1e-12);
        EXPECT_NEAR(pl().LinealX, linealX, 1e-12);
    };
    {
        SCOPED_TRACE("the mark");
        released("Gradzahl mit Bleistift markieren", 150 + 10 / s, 10);
        EXPECT_EQ(drawing.Elements.Count(), 1u);
        EXPECT_TRUE(g.Busy());
    }
    {
        SCOPED_TRACE("the line along");
        released("An Lineal entlang zeichnen", 150 + 10 / s, 10);
        EXPECT_EQ(drawing.Elements.Count(), 2u);
        EXPECT_TRUE(g.Busy());
    }
    {
        SCOPED_TRACE("the compass's slide");
        released("An Lineal entlang zeichnen", 150 + 30 / s, 10);
        EXPECT_TRUE(g.Busy());
    }
    {
        SCOPED_TRACE("the ruler's slide");
        released("An Lineal entlang zeichnen", 150 + 30 / s, 10 + 30 / s);
        EXPECT_FALSE(g.Busy());
    }
    const int paints = host.paints, eds = host.updateEds;
    release(130, 120);  // nothing is left to end
    EXPECT_EQ(host.paints, paints);
    EXPECT_EQ(host.updateEds, eds);
    EXPECT_EQ(drawing.Elements.Count(), 2u);  // the mark and the line along
    EXPECT_EQ(host.changes, 2);
}

TEST_F(Instruments, PressesMeasureAgainstTheSheetOfTheLastPress) {
    // A press on the second sheet and a drag over the first keep measuring on the second.
    host.choose(T::Lineal1, T::LinealAnLinealentlangzeichnen1);
    press(194, 383 + 1123);
    EXPECT_EQ(g.PointerSheet, 1);
    EXPECT_EQ(g.PointerSheetTop, 1123);
    move(459, 305);
    release(459, 305);
    EXPECT_NEAR(last().Y1, 90 + 297, 1e-9);
    EXPECT_DOUBLE_EQ(last().Y1, last().Y2);

    // The strip below the last sheet is a sheet of its own.
    press(100, 5 + 1123 + 2);
    EXPECT_EQ(g.PointerSheet, 1);
    release(100, 100);
}

}  // namespace
}  // namespace tervasko
