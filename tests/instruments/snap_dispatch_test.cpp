#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "instruments/fakehost.h"
#include "tools/dispatch.h"

namespace tervasko {
namespace {

using T = ToolItem;
using Op = RecordingCanvas::Op;

// Zoom 100 at 96 dpi (8 pixels are 2.1 mm); the points that catch lie on the second sheet.
class Snapping : public ::testing::Test {
protected:
    testing::FakeHost host;
    TDrawing drawing;
    GestureState g;
    const double top = drawing.PageHeightInch * MmPerInch;  // the second sheet's top, mm

    void SetUp() override {
        host.snapDrawing = &drawing;
        line(20, top + 23, 60, top + 33);
        circle(100, top + 103, 10);
        line(130, top + 53, 170, top + 93);  // two lines crossing at (150, top + 73)
        line(130, top + 93, 170, top + 53);
    }
    void line(double x1, double y1, double x2, double y2) {
        TDrawElement& e = *drawing.Elements.Append();
        e = {};
        e.Kind = ekLine;
        e.X1 = x1, e.Y1 = y1, e.X2 = x2, e.Y2 = y2;
    }
    void circle(double cx, double cy, double r) {
        TDrawElement& e = *drawing.Elements.Append();
        e = {};
        e.Kind = ekCircle;
        e.X1 = cx - r, e.Y1 = cy - r, e.X2 = cx + r, e.Y2 = cy + r;
    }
    // Paint-box pixel of a drawing point (the stack runs on without gaps).
    PointD px(double x, double y) const {
        return {5 + x * host.PixelsPerMm(),
                5 + (y - top) * host.PixelsPerMm() + host.SheetHeightPx()};
    }
    static int r(double v) { return static_cast<int>(std::lround(v)); }
    void press(double x, double y) {
        const auto a = px(x, y);
        PaintBox1MouseDown(host, drawing, g, MouseButton::Left, r(a.x), r(a.y));
    }
    void move(double x, double y) {
        const auto a = px(x, y);
        PaintBox1MouseMove(host, drawing, g, r(a.x), r(a.y));
    }
    void release(double x, double y) {
        const auto a = px(x, y);
        PaintBox1MouseUp(host, drawing, g, MouseButton::Left, r(a.x), r(a.y));
    }
    bool marked() const { return !host.screen.entriesOf(Op::Ellipse).empty(); }
};

TEST_F(Snapping, TheCompassNeedleCatchesEndsCentresAndCrossings) {
    const struct {
        const char* name;
        double x, y;    // the point to aim at
        double dx, dy;  // how far off the pointer lets go, mm
        bool on, shift, caught;
    } cases[] = {
        {"end point", 60, top + 33, 0.9, -0.6, true, false, true},
        {"centre", 100, top + 103, -1.1, 0.8, true, false, true},
        {"crossing", 150, top + 73, 0.7, 1.0, true, false, true},
        {"nothing near", 60, top + 33, 3.5, 3.5, true, false, false},
        {"Shift held", 60, top + 33, 0.9, -0.6, true, true, false},
        {"switch off", 60, top + 33, 0.9, -0.6, false, false, false},
    };
    host.choose(T::Zirkel1, T::ZirkelVerschieben1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        drawing.Placement.ZirkelX = 150, drawing.Placement.ZirkelY = 150;
        host.snapOn = c.on, host.shiftHeld = c.shift;
        press(150, top + 150);  // on the needle, second sheet
        move(c.x + c.dx, c.y + c.dy);
        EXPECT_EQ(marked(), c.caught);
        release(c.x + c.dx, c.y + c.dy);
        const InstrumentPlacement& pl = drawing.Placement;
        if (c.caught) {
            EXPECT_EQ(pl.ZirkelX, c.x);
            EXPECT_EQ(pl.ZirkelY, c.y - top);
        } else {
            EXPECT_NEAR(pl.ZirkelX, c.x + c.dx, 0.3);
            EXPECT_NEAR(pl.ZirkelY, c.y + c.dy - top, 0.3);
        }
    }
}

TEST_F(Snapping, TheRulerCornerProtractorCentreAndPencilLegCatch) {
    host.snapOn = true;
    host.choose(T::Lineal1, T::LinealVerschieben1);
    press(10, top + 90);  // the ruler's zero corner
    move(60.8, top + 32.5);
    release(60.8, top + 32.5);
    EXPECT_EQ(drawing.Placement.LinealX, 60);
    EXPECT_EQ(drawing.Placement.LinealY, 33);

    host.choose(T::Winkelmesser1, T::WinkelmesserVerschieben1);
    press(50, top + 50);  // the protractor's centre
    move(99.2, top + 103.7);
    release(99.2, top + 103.7);
    EXPECT_EQ(drawing.Placement.WinkelX, 100);
    EXPECT_EQ(drawing.Placement.WinkelY, 103);

    // The pencil leg reaches the crossing exactly from the needle at (100, 103).
    drawing.Placement.ZirkelX = 100, drawing.Placement.ZirkelY = 103;
    host.choose(T::Zirkel1, T::ZirkelZirkelspanne1);
    press(150.9, top + 72.2);
    release(150.9, top + 72.2);
    EXPECT_DOUBLE_EQ(drawing.Placement.ZirkelSpan, std::hypot(50.0, 30.0));
}

TEST_F(Snapping, ALineAlongOrAcrossTheRulerEndsAtTheFootOfAPointNearItsEdge) {
    host.snapOn = true;
    drawing.Placement.LinealX = 10, drawing.Placement.LinealY = 33;  // edge through (60, top+33)
    host.choose(T::Lineal1, T::LinealAnLinealentlangzeichnen1);
    press(30.4, top + 40);  // no point near: the end is the pointer's foot
    move(59.3, top + 38);   // the line's end (60, top + 33) lies 1.7 mm from this foot
    EXPECT_TRUE(marked());
    release(59.3, top + 38);
    const TDrawElement along = drawing.Elements.At(drawing.Elements.Count() - 1);
    EXPECT_NEAR(along.X1, 30.4, 0.2);
    EXPECT_EQ(along.X2, 60);
    EXPECT_EQ(along.Y2, top + 33);

    // Across: begun beside the foot of the circle's centre on the edge, so the line runs
    // through that centre, from the press to the release.
    drawing.Placement.LinealX = 10, drawing.Placement.LinealY = 103;
    host.choose(T::Lineal1, T::LinealQuerzumLinealzeichnen1);
    press(101.2, top + 110);
    move(100.6, top + 74);  // the crossing at (150, top + 73) is far: no catch there
    release(100.6, top + 74);
    const TDrawElement across = drawing.Elements.At(drawing.Elements.Count() - 1);
    EXPECT_EQ(across.X1, 100);
    EXPECT_EQ(across.X2, 100);
    EXPECT_NEAR(std::min(across.Y1, across.Y2), top + 74, 0.2);
    EXPECT_NEAR(std::max(across.Y1, across.Y2), top + 110, 0.2);
}

}  // namespace
}  // namespace tervasko
