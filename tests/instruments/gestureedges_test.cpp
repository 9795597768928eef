// Edges of the instrument gestures that a first try of the program runs into: snapping at the
// far end of a line across the ruler, what a caught slide leaves on the screen, the measure
// after Escape and during a degree mark, turned rulers, presses on a pivot and placements a
// drawing file can hold.
#include <gtest/gtest.h>

#include <cmath>

#include "instruments/fakehost.h"
#include "tools/cancel.h"
#include "tools/dispatch.h"

namespace tervasko {
namespace {

using T = ToolItem;
using K = Measurement::Kind;
using Op = RecordingCanvas::Op;

// Zoom 100, 96 dpi; positions are drawing millimetres on the second sheet.
class GestureEdges : public ::testing::Test {
protected:
    testing::FakeHost host;
    TDrawing drawing;
    GestureState g;
    const double top = drawing.PageHeightInch * MmPerInch;

    void SetUp() override {
        host.pages = 2;
        host.snapDrawing = &drawing;
    }
    void line(double x1, double y1, double x2, double y2) {
        TDrawElement& e = *drawing.Elements.Append();
        e = {};
        e.Kind = ekLine;
        e.X1 = x1, e.Y1 = y1, e.X2 = x2, e.Y2 = y2;
    }
    int X(double mm) const { return static_cast<int>(std::lround(5 + mm * host.PixelsPerMm())); }
    int Y(double mm) const {
        return static_cast<int>(
            std::lround(5 + (mm - top) * host.PixelsPerMm() + host.SheetHeightPx()));
    }
    void press(double x, double y) {
        PaintBox1MouseDown(host, drawing, g, MouseButton::Left, X(x), Y(y));
    }
    void move(double x, double y) { PaintBox1MouseMove(host, drawing, g, X(x), Y(y)); }
    void release(double x, double y) {
        PaintBox1MouseUp(host, drawing, g, MouseButton::Left, X(x), Y(y));
    }
    const TDrawElement& last() const { return drawing.Elements.At(drawing.Elements.Count() - 1); }
    bool ringShown() const { return !host.screen.entriesOf(Op::Ellipse).empty(); }
};

TEST_F(GestureEdges, BothEndsOfALineAcrossTheUnturnedRulerCatch) {
    // The ruler at 0 degrees: the across line is the vertical through the press's foot.
    line(20, top + 70, 60, top + 70);  // its end (60, top + 70) lies 1 mm beside the vertical
    line(61, top + 120, 90, top + 120);
    host.snapOn = true;
    drawing.Placement.LinealX = 10, drawing.Placement.LinealY = 90;
    host.choose(T::Lineal1, T::LinealQuerzumLinealzeichnen1);
    press(59, top + 100);
    move(59.2, top + 71);  // near the end of the first line
    EXPECT_TRUE(ringShown());
    release(58.7, top + 80);  // the release's place plays no part
    EXPECT_EQ(last().X1, last().X2);
    EXPECT_EQ(std::min(last().Y1, last().Y2), top + 70);  // caught: exactly the point's height
}

TEST_F(GestureEdges, ACaughtSlideLeavesNoRingWhenLetGo) {
    line(20, top + 70, 60, top + 70);
    host.snapOn = true;
    host.choose(T::Zirkel1, T::ZirkelVerschieben1);
    drawing.Placement.ZirkelX = 150, drawing.Placement.ZirkelY = 150;
    press(150, top + 150);
    move(60.5, top + 70.5);
    EXPECT_TRUE(ringShown());  // what will catch, while the slide goes on
    release(60.5, top + 70.5);
    EXPECT_EQ(drawing.Placement.ZirkelX, 60);
    EXPECT_FALSE(ringShown());
}

TEST_F(GestureEdges, EscapeTakesTheMeasureAwayAtOnce) {
    host.choose(T::Lineal1, T::LinealAnLinealentlangzeichnen1);
    press(30, top + 90);
    move(80, top + 90);
    ASSERT_EQ(host.measured.kind, K::GuideLength);
    ASSERT_TRUE(CancelGesture(host, drawing, g));
    EXPECT_EQ(host.measured.kind, K::None);
}

TEST_F(GestureEdges, ALineAlongATurnedRulerMeasuresItsWholeLength) {
    drawing.Placement.LinealX = 10, drawing.Placement.LinealY = 90;
    drawing.Placement.LinealAngle = 60;  // steep: its x extent is half its length
    host.choose(T::Lineal1, T::LinealAnLinealentlangzeichnen1);
    press(20, top + 90 + 10 * std::sqrt(3.0));
    move(40, top + 90 + 30 * std::sqrt(3.0));
    ASSERT_EQ(host.measured.kind, K::GuideLength);
    const double measured = host.measured.length;
    EXPECT_NEAR(measured, 40, 0.3);  // pointer positions are whole pixels
    release(40, top + 90 + 30 * std::sqrt(3.0));
    EXPECT_DOUBLE_EQ(std::hypot(last().X2 - last().X1, last().Y2 - last().Y1), measured);
}

TEST_F(GestureEdges, ADegreeMarkRedrawsTheSheetsUnderItAndMeasuresItsOwnDirection) {
    host.choose(T::Winkelmesser1, T::WinkelmesserGradzahlmitBleistiftmarkieren1);
    move(70, top + 50);
    ASSERT_EQ(host.screen.entriesOf(Op::Line).size(), 1u);  // the hover's ray
    press(70, top + 50);  // on the protractor's 180 degree line, right of the centre
    move(90, top + 40);   // outwards and sideways
    const auto lines = host.screen.entriesOf(Op::Line);
    ASSERT_EQ(lines.size(), 1u);  // the growing mark alone: no ray pointing elsewhere
    EXPECT_EQ(lines[0].penWidth, 3);
    EXPECT_EQ(host.measured.kind, K::ProtractorDegree);
    EXPECT_NEAR(host.measured.angle, 180, 0.05);  // the press's pixel, not the pointer's
    release(90, top + 40);
    EXPECT_NEAR(last().Y1, top + 50, 0.03);  // the mark keeps the direction of its press
    EXPECT_NEAR(last().Y2, top + 50, 0.03);
}

TEST_F(GestureEdges, ATurnPressedOnItsPivotLeavesTheInstrumentAsItWas) {
    // Pivots on whole pixels, so that a press can hit them exactly.
    const double pixel = 1 / host.PixelsPerMm();
    drawing.Placement.LinealX = 100 * pixel, drawing.Placement.LinealY = 400 * pixel;
    drawing.Placement.WinkelX = 200 * pixel, drawing.Placement.WinkelY = 300 * pixel;
    drawing.Placement.LinealAngle = 12, drawing.Placement.WinkelAngle = 34;
    for (const auto& [tool, mode] : {std::pair{T::Lineal1, T::LinealDrehen1},
                                     std::pair{T::Winkelmesser1, T::WinkelmesserDrehen1}}) {
        host.choose(tool, mode);
        const bool ruler = tool == T::Lineal1;
        const int px = ruler ? 100 : 200, py = ruler ? 400 : 300;
        const int Yp = 5 + host.SheetHeightPx() + py;
        PaintBox1MouseDown(host, drawing, g, MouseButton::Left, 5 + px, Yp);
        PaintBox1MouseMove(host, drawing, g, 5 + px + 40, Yp + 30);
        PaintBox1MouseUp(host, drawing, g, MouseButton::Left, 5 + px - 20, Yp + 50);
    }
    EXPECT_EQ(drawing.Placement.LinealAngle, 12);
    EXPECT_EQ(drawing.Placement.WinkelAngle, 34);
}

TEST_F(GestureEdges, AMarkFarOutFallsBackToTheVerticalThroughTheCentre) {
    // A drawing file can hold a protractor this far down; the guide's parameter then
    // overflows, and the mark falls back to the vertical through the centre.
    drawing.Placement.WinkelX = 50, drawing.Placement.WinkelY = 1e300;
    host.choose(T::Winkelmesser1, T::WinkelmesserGradzahlmitBleistiftmarkieren1);
    press(70, top + 40);
    move(72, top + 30);
    release(72, top + 30);
    ASSERT_EQ(drawing.Elements.Count(), 1u);
    EXPECT_EQ(last().X1, 50);
    EXPECT_EQ(last().X2, 50);
    EXPECT_NEAR(std::min(last().Y1, last().Y2), top + 30, 0.2);
    EXPECT_NEAR(std::max(last().Y1, last().Y2), top + 40, 0.2);
}

}  // namespace
}  // namespace tervasko
