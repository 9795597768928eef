// The instruments away from the first sheet and off their easy paths: what they store must
// lie where the sheet shows them, on every sheet at every zoom, in both senses of an arc,
// at the branches of their angle formulas and with broken placements.
#include <gtest/gtest.h>

#include <cmath>

#include "instruments/fakehost.h"
#include "platform/numeric.h"
#include "tools/cancel.h"
#include "tools/compass.h"
#include "tools/dispatch.h"
#include "tools/pointer.h"
#include "tools/ruler.h"

namespace tervasko {
namespace {

using Op = RecordingCanvas::Op;
using T = ToolItem;

constexpr double kA4HeightMm = 297;

class InstrumentEdges : public ::testing::Test {
protected:
    testing::FakeHost host;
    TDrawing drawing;
    GestureState g;

    // The view at `zoom` percent on a 96 dpi screen, A4 sheets.
    void zoomTo(int zoom) { host.zoom = zoom; }
    double s() const { return host.PixelsPerMm(); }
    // Paint-box position of a pixel (px, py) inside sheet `sheet`.
    int X(int px) const { return 5 + px; }
    int Y(int sheet, int py) const { return 5 + sheet * host.SheetHeightPx() + py; }
    // Pixel inside a sheet nearest to a sheet-relative millimetre value.
    int pix(double mm) const { return static_cast<int>(std::nearbyint(mm * s())); }

    void press(int x, int y, MouseButton b = MouseButton::Left) {
        PaintBox1MouseDown(host, drawing, g, b, x, y);
    }
    void move(int x, int y) { PaintBox1MouseMove(host, drawing, g, x, y); }
    void release(int x, int y) { PaintBox1MouseUp(host, drawing, g, MouseButton::Left, x, y); }
    const TDrawElement& last() { return drawing.Elements.At(drawing.Elements.Count() - 1); }
    InstrumentPlacement& pl() { return drawing.Placement; }
    IntPoint lastScreenPoint() { return host.screen.entriesOf(Op::Line).back().points.back(); }
};

struct SheetCase {
    int sheet;  // 1 is the second sheet
    int zoom;
};

class InstrumentsOnEverySheet : public InstrumentEdges,
                                public ::testing::WithParamInterface<SheetCase> {};

// Expected places are worked out from the sheet's own geometry: a pixel p rows into sheet k
// lies p / s millimetres below that sheet's top at k x 297 mm; instruments are placed
// relative to the sheet's corner. Guide points are truncated to 0.001 mm.
TEST_P(InstrumentsOnEverySheet, ElementsLieWhereTheSheetShowsTheInstrument) {
    const auto [k, zoom] = GetParam();
    zoomTo(zoom);
    const double top = k * kA4HeightMm;

    // Along the ruler (10, 90, 0 degrees): a line on the edge, at 90 mm below this sheet's top.
    host.choose(T::Lineal1, T::LinealAnLinealentlangzeichnen1);
    const int ax = pix(50), bx = pix(120);
    press(X(ax), Y(k, pix(100)));
    move(X(bx), Y(k, pix(80)));
    // The guide drawn on the screen sits on the edge as this sheet shows it.
    EXPECT_EQ(lastScreenPoint().y, Y(k, pix(90)));
    release(X(bx), Y(k, pix(80)));
    EXPECT_NEAR(last().Y1, top + 90, 1e-3);
    EXPECT_NEAR(last().Y2, top + 90, 1e-3);
    EXPECT_NEAR(last().X1, ax / s(), 1e-3);
    EXPECT_NEAR(last().X2, bx / s(), 1e-3);

    // Across the ruler: the vertical through the press's foot, as far as the pointer went.
    host.choose(T::Lineal1, T::LinealQuerzumLinealzeichnen1);
    press(X(ax), Y(k, pix(100)));
    move(X(ax + 7), Y(k, pix(70)));
    release(X(ax), Y(k, pix(100)));
    EXPECT_NEAR(last().X1, ax / s(), 1e-3);
    EXPECT_NEAR(last().X2, ax / s(), 1e-3);
    EXPECT_NEAR(std::min(last().Y1, last().Y2), top + pix(70) / s(), 1e-3);
    EXPECT_NEAR(std::max(last().Y1, last().Y2), top + pix(100) / s(), 1e-3);

    // A degree mark at the protractor (50, 50): the hover ray leaves the centre as this
    // sheet shows it, and the mark starts at the press.
    host.choose(T::Winkelmesser1, T::WinkelmesserGradzahlmitBleistiftmarkieren1);
    move(X(pix(80)), Y(k, pix(60)));
    const auto ray = host.screen.entriesOf(Op::Line).back().points;
    EXPECT_EQ(ray[0], (IntPoint{X(pix(50)), Y(k, pix(50))}));
    const int mx = pix(80), my = pix(60);
    press(X(mx), Y(k, my));
    release(X(mx), Y(k, my));
    EXPECT_NEAR(last().X1, mx / s(), 1e-3);
    EXPECT_NEAR(last().Y1, top + my / s(), 1e-3);

    // Turning the ruler about its corner and the protractor about its centre as this sheet
    // shows them: the angle changes by the pointer's sweep around that point.
    const auto sweep = [&](int cx, int cy, int px, int py, int qx, int qy) {
        const double a = std::atan2(qy - cy, qx - cx) - std::atan2(py - cy, px - cx);
        return std::remainder(a * 180 / M_PI, 360.0);
    };
    host.choose(T::Lineal1, T::LinealDrehen1);
    const int cx = pix(10), cy = pix(90);
    press(X(cx + 40), Y(k, cy - 30));
    release(X(cx - 20), Y(k, cy + 50));
    EXPECT_NEAR(std::remainder(pl().LinealAngle, 360.0),
                sweep(cx, cy, cx + 40, cy - 30, cx - 20, cy + 50),
                1.5 * 180 / M_PI / std::hypot(40, 30));  // the corner is within half a pixel
    pl().LinealAngle = 0;
    host.choose(T::Winkelmesser1, T::WinkelmesserDrehen1);
    const int wx = pix(50), wy = pix(50);
    press(X(wx + 30), Y(k, wy + 40));
    move(X(wx - 40), Y(k, wy + 30));
    EXPECT_NEAR(std::remainder(pl().WinkelAngle, 360.0),
                sweep(wx, wy, wx + 30, wy + 40, wx - 40, wy + 30), 1.5 * 180 / M_PI / 50);
    release(X(wx - 40), Y(k, wy + 30));
    pl().WinkelAngle = 0;

    // The compass span: from the needle (150, 50) on this sheet to the press.
    host.choose(T::Zirkel1, T::ZirkelZirkelspanne1);
    press(X(pix(170)), Y(k, pix(80)));
    release(X(pix(170)), Y(k, pix(80)));
    EXPECT_NEAR(pl().ZirkelSpan, std::hypot(pix(170) / s() - 150, pix(80) / s() - 50), 1e-9);
    pl().ZirkelSpan = 40;

    // The circle of the compass (150, 50, span 40) after a press on this sheet.
    AddCompassCircle(host, drawing, g);
    EXPECT_NEAR(last().Y1, top + 10, 1e-9);
    EXPECT_NEAR(last().Y2, top + 90, 1e-9);
    EXPECT_NEAR(last().X1, 110, 1e-9);

    // An arc from the right of the needle down to below it: the pointer points as shown.
    host.choose(T::Zirkel1, T::ZirkelKreisbogenzeichnen1);
    const int rx = pix(190), ry = pix(50) + 1, dx = pix(150) + 1, dy = pix(90);
    press(X(rx), Y(k, ry));
    move(X(dx), Y(k, dy));
    release(X(dx), Y(k, dy));
    EXPECT_EQ(last().Kind, ekArc);
    EXPECT_NEAR(last().Y1, top + 10, 1e-9);
    EXPECT_NEAR(last().Y2, top + 90, 1e-9);
    EXPECT_NEAR(last().X3, dx / s(), 1e-9);  // swung clockwise: from the end ...
    EXPECT_NEAR(last().Y3, top + dy / s(), 1e-9);
    EXPECT_NEAR(last().X4, rx / s(), 1e-9);  // ... back to the press
    EXPECT_NEAR(last().Y4, top + ry / s(), 1e-9);
}

INSTANTIATE_TEST_SUITE_P(SecondAndTenthSheet, InstrumentsOnEverySheet,
                         ::testing::Values(SheetCase{1, 10}, SheetCase{1, 100}, SheetCase{1, 150},
                                           SheetCase{9, 10}, SheetCase{9, 100}, SheetCase{9, 150}));

TEST_F(InstrumentEdges, AnArcSweptCounterClockwiseRunsFromThePressToTheEnd) {
    host.choose(T::Zirkel1, T::ZirkelKreisbogenzeichnen1);
    press(572, 325);  // below the needle, LegAngle about 90
    move(705, 194);   // to its right, about 0: counter-clockwise on the screen
    // Swung counter-clockwise: the preview runs from the press to the end.
    const auto preview = host.screen.entriesOf(Op::Arc);
    ASSERT_EQ(preview.size(), 1u);
    EXPECT_EQ(preview[0].points,
              (std::vector<IntPoint>{{421, 43}, {723, 345}, {572, 325}, {705, 194}}));
    release(705, 194);
    EXPECT_NEAR(last().X3, 567 / s(), 1e-9);  // the press
    EXPECT_NEAR(last().Y3, 320 / s(), 1e-9);
    EXPECT_NEAR(last().X4, 700 / s(), 1e-9);  // the end
    EXPECT_NEAR(last().Y4, 189 / s(), 1e-9);
}

TEST_F(InstrumentEdges, AnArcSweptOverTheTopOfTheNeedleKeepsItsSense) {
    // Pressed at about 262 degrees (up, a little left) and swung 16 degrees clockwise to
    // about -82 (up, a little right): the arc is the short one swept, not the rest.
    host.choose(T::Zirkel1, T::ZirkelKreisbogenzeichnen1);
    press(558, 95);
    EXPECT_NEAR(drawing.ZirkelAngle, 262, 0.5);
    move(586, 95);
    EXPECT_NEAR(drawing.ZirkelAngle, -82, 0.5);
    // Clockwise: the preview runs from the end (stack (581, 90)) back to the press.
    ASSERT_EQ(host.screen.entriesOf(Op::Arc).size(), 1u);
    EXPECT_EQ(host.screen.entriesOf(Op::Arc)[0].points[2], (IntPoint{586, 95}));
    EXPECT_EQ(host.screen.entriesOf(Op::Arc)[0].points[3], (IntPoint{558, 95}));
    release(586, 95);
    EXPECT_NEAR(last().X3, 581 / s(), 1e-9);  // clockwise: stored from the end ...
    EXPECT_NEAR(last().X4, 553 / s(), 1e-9);  // ... to the press

    // The other way over the top: from -82 to 262 is counter-clockwise.
    press(586, 95);
    move(558, 95);
    ASSERT_EQ(host.screen.entriesOf(Op::Arc).size(), 1u);
    EXPECT_EQ(host.screen.entriesOf(Op::Arc)[0].points[2], (IntPoint{586, 95}));
    EXPECT_EQ(host.screen.entriesOf(Op::Arc)[0].points[3], (IntPoint{558, 95}));
    release(558, 95);
    EXPECT_NEAR(last().X3, 581 / s(), 1e-9);  // counter-clockwise: from the press ...
    EXPECT_NEAR(last().X4, 553 / s(), 1e-9);  // ... to the end
}

TEST_F(InstrumentEdges, NoTurnFlipsWherePointerIsLevelWithThePivotOrAboveTheNeedle) {
    // The ruler corner on a whole pixel: stack (38, 340).
    pl().LinealX = 38 / s(), pl().LinealY = 340 / s();
    host.choose(T::Lineal1, T::LinealDrehen1);
    press(5 + 88, 5 + 300);
    move(5 + 88, 5 + 330);
    const double before = pl().LinealAngle;
    move(5 + 88, 5 + 340);  // level with the corner, on its right
    EXPECT_EQ(pl().LinealAngle, before);
    move(5 + 88, 5 + 350);
    EXPECT_NEAR(pl().LinealAngle, before + 2 * std::atan2(10, 50) * 180 / M_PI, 1e-9);
    release(5 + 88, 5 + 350);

    // A turn pressed level with the corner starts from the direction just beside it.
    pl().LinealAngle = 0;
    press(5 + 88, 5 + 340);
    move(5 + 88, 5 + 350);
    EXPECT_NEAR(pl().LinealAngle, std::atan2(10, 50) * 180 / M_PI, 1e-9);
    release(5 + 88, 5 + 350);

    // The protractor turns by the same rule about its centre, here stack (189, 189).
    pl().WinkelX = pl().WinkelY = 189 / s();
    host.choose(T::Winkelmesser1, T::WinkelmesserDrehen1);
    press(5 + 240, 5 + 150);
    move(5 + 240, 5 + 180);
    const double protractor = pl().WinkelAngle;
    move(5 + 240, 5 + 189);
    EXPECT_EQ(pl().WinkelAngle, protractor);
    release(5 + 240, 5 + 189);

    // Straight above the needle (stack (567, 189)) the compass keeps its direction.
    pl().ZirkelX = 567 / s(), pl().ZirkelY = 189 / s();
    host.choose(T::Zirkel1, T::ZirkelZirkelspanne1);
    press(5 + 600, 5 + 189);  // to the right: 0 degrees
    EXPECT_EQ(drawing.ZirkelAngle, 0);
    move(5 + 567, 5 + 100);
    EXPECT_EQ(drawing.ZirkelAngle, 0);
    EXPECT_NEAR(pl().ZirkelSpan, 89 / s(), 1e-9);  // the span still follows
    release(5 + 567, 5 + 100);
    host.choose(T::Zirkel1, T::ZirkelKreisbogenzeichnen1);
    move(5 + 567, 5 + 50);  // hover
    EXPECT_EQ(drawing.ZirkelAngle, 0);
}

TEST_F(InstrumentEdges, FallbacksOfTheGuideBlocksOnTheSecondSheet) {
    // At exactly -90 degrees the line along is the vertical through the ruler's x, over the
    // pointer's heights, measured on the second sheet.
    pl().LinealAngle = -90;
    host.choose(T::Lineal1, T::LinealAnLinealentlangzeichnen1);
    press(200, Y(1, 300));
    move(220, Y(1, 400));
    release(40, 40);  // the release's own place plays no part
    EXPECT_EQ(last().X1, 10);
    EXPECT_EQ(last().X2, 10);
    EXPECT_NEAR(last().Y1, kA4HeightMm + 300 / s(), 1e-9);
    EXPECT_NEAR(last().Y2, kA4HeightMm + 400 / s(), 1e-9);

    // A degree mark's block falls back to the vertical through the protractor's centre; no
    // pointer position makes MarkAngle -90, so the block is driven directly here.
    {
        press(200, Y(1, 300));
        const ViewTransform view{host.PixelsPerMm(), host.SheetHeightPx(), drawing.PageHeightInch};
        PointerContext p{host,          drawing,          g, view, 220, Y(1, 340), 215,
                         Y(1, 340) - 5, MouseButton::Left};
        GuideBlock(p, {pl().WinkelX, pl().WinkelY + kA4HeightMm}, -90, 0, pl().WinkelX, true);
        release(200, Y(1, 300));  // the line along stores the segment as the block left it
        EXPECT_EQ(last().X1, 50);
        EXPECT_EQ(last().X2, 50);
        EXPECT_NEAR(last().Y1, kA4HeightMm + 340 / s(), 1e-9);  // the pointer on the second sheet
        EXPECT_NEAR(last().Y2, kA4HeightMm + 340 / s(), 1e-9);
    }

    // Across: the foot falls back to the ruler's x at the pointer's height. The hover shows
    // it as a dot; the line across runs level through it, its ends truncated to 0.001 mm.
    host.choose(T::Lineal1, T::LinealQuerzumLinealzeichnen1);
    move(200, Y(1, 300));
    const auto dot = host.screen.entriesOf(Op::Line).back();
    EXPECT_EQ(dot.penWidth, 5);
    EXPECT_EQ(dot.points[0], (IntPoint{X(pix(10)), Y(1, 300)}));
    press(200, Y(1, 300));
    move(260, Y(1, 300));
    release(260, Y(1, 300));
    EXPECT_NEAR(last().Y1, kA4HeightMm + 300 / s(), 1e-3);
    EXPECT_EQ(last().Y2, last().Y1);
    EXPECT_NEAR(last().X1, 195 / s(), 1e-3);
    EXPECT_NEAR(last().X2, 255 / s(), 1e-3);
}

TEST_F(InstrumentEdges, SlidesEndWhereTheyAreReleasedNotWhereTheLastMoveWas) {
    const struct {
        ToolItem tool, mode;
        double InstrumentPlacement::*x;
        double InstrumentPlacement::*y;
    } cases[] = {
        {T::Lineal1, T::LinealVerschieben1, &InstrumentPlacement::LinealX,
         &InstrumentPlacement::LinealY},
        {T::Winkelmesser1, T::WinkelmesserVerschieben1, &InstrumentPlacement::WinkelX,
         &InstrumentPlacement::WinkelY},
        {T::Zirkel1, T::ZirkelVerschieben1, &InstrumentPlacement::ZirkelX,
         &InstrumentPlacement::ZirkelY},
    };
    for (const auto& c : cases) {
        const double x0 = pl().*c.x, y0 = pl().*c.y;
        host.choose(c.tool, c.mode);
        press(100, Y(1, 100));  // on the second sheet: slides are plain displacements
        move(120, Y(1, 100));
        release(150, Y(1, 130));
        EXPECT_NEAR(pl().*c.x, x0 + 50 / s(), 1e-12);
        EXPECT_NEAR(pl().*c.y, y0 + 30 / s(), 1e-12);
    }
}

TEST_F(InstrumentEdges, TheAcrossHoverIsAFivePixelDotOnTheEdgeOfTheSheetUnderThePress) {
    host.choose(T::Lineal1, T::LinealQuerzumLinealzeichnen1);
    press(300, Y(1, 200));  // the press picks the second sheet: a dot on its ruler edge
    release(300, Y(1, 200));
    move(300, Y(1, 250));
    const auto dots = host.screen.entriesOf(Op::Line);
    ASSERT_EQ(dots.size(), 1u);
    EXPECT_EQ(dots[0].points[0], dots[0].points[1]);
    EXPECT_EQ(dots[0].points[0], (IntPoint{300, Y(1, pix(90))}));
    EXPECT_EQ(dots[0].penWidth, 5);
    EXPECT_EQ(dots[0].penColor, kRed);
    EXPECT_EQ(host.screen.penWidth(), 1);
}

TEST_F(InstrumentEdges, HugePlacementsFromAFileDrawNothingOutOfRange) {
    // Placements a file can hold: hovering and drawing must not overflow a pixel position.
    pl().LinealX = pl().WinkelX = pl().ZirkelX = 1e300;
    pl().LinealY = pl().WinkelY = pl().ZirkelY = -1e300;
    pl().ZirkelSpan = 1e300;
    const std::pair<ToolItem, ToolItem> modes[] = {
        {T::Lineal1, T::LinealAnLinealentlangzeichnen1},
        {T::Lineal1, T::LinealQuerzumLinealzeichnen1},
        {T::Winkelmesser1, T::WinkelmesserGradzahlmitBleistiftmarkieren1},
        {T::Zirkel1, T::ZirkelKreisbogenzeichnen1},
        {T::Zirkel1, T::ZirkelZirkelspanne1},
        {T::Lineal1, T::LinealDrehen1}};
    for (const auto& [tool, mode] : modes) {
        host.choose(tool, mode);
        move(300, 300);
        press(300, Y(1, 300));
        move(400, Y(1, 200));
        release(400, Y(1, 200));
        for (const auto& e : host.screen.entries())
            for (const IntPoint& p : e.points) {
                EXPECT_LE(std::abs(p.x), (1 << 30) + 10);
                EXPECT_LE(std::abs(p.y), (1 << 30) + 10);
            }
    }
}

// The slide and turn every instrument shares, on the second sheet: a slide follows the
// pointer's travel to where it is let go, a turn goes the way the pointer sweeps, and Escape
// in the middle of a slide puts the instrument back.
TEST_F(InstrumentEdges, EveryInstrumentSlidesTurnsAndCancelsOnTheSecondSheet) {
    using Pl = InstrumentPlacement;
    const struct {
        const char* name;
        T tool, slide, turn;  // turn == tool: the instrument has no turn mode
        double Pl::*x;
        double Pl::*y;
        double Pl::*angle;
    } instruments[] = {
        {"ruler", T::Lineal1, T::LinealVerschieben1, T::LinealDrehen1, &Pl::LinealX, &Pl::LinealY,
         &Pl::LinealAngle},
        {"protractor", T::Winkelmesser1, T::WinkelmesserVerschieben1, T::WinkelmesserDrehen1,
         &Pl::WinkelX, &Pl::WinkelY, &Pl::WinkelAngle},
        {"compass", T::Zirkel1, T::ZirkelVerschieben1, T::Zirkel1, &Pl::ZirkelX, &Pl::ZirkelY,
         nullptr},
    };
    for (const auto& in : instruments) {
        SCOPED_TRACE(in.name);
        pl() = InstrumentPlacement();
        pl().*in.x = 200 / s();
        pl().*in.y = 150 / s();

        host.choose(in.tool, in.slide);
        press(X(300), Y(1, 400));
        move(X(337), Y(1, 377));
        EXPECT_NEAR(pl().*in.x, (200 + 37) / s(), 1e-9);
        EXPECT_NEAR(pl().*in.y, (150 - 23) / s(), 1e-9);
        release(X(350), Y(1, 340));  // not where the last move was
        EXPECT_NEAR(pl().*in.x, (200 + 50) / s(), 1e-9);
        EXPECT_NEAR(pl().*in.y, (150 - 60) / s(), 1e-9);
        move(X(10), Y(1, 10));
        EXPECT_NEAR(pl().*in.x, (200 + 50) / s(), 1e-9);  // the release ended the slide

        const InstrumentPlacement before = pl();
        press(X(300), Y(1, 400));
        move(X(280), Y(1, 450));
        ASSERT_TRUE(CancelGesture(host, drawing, g));
        EXPECT_EQ(pl().*in.x, before.*in.x);
        EXPECT_EQ(pl().*in.y, before.*in.y);
        move(X(260), Y(1, 480));
        release(X(260), Y(1, 480));
        EXPECT_EQ(pl().*in.x, before.*in.x);
        EXPECT_EQ(pl().*in.y, before.*in.y);

        if (!in.angle) continue;
        // The pivot at sheet pixel (250, 90), the pointer 100 pixels right of it and below, then
        // above it (on the first sheet, as far as the pointer goes): counter-clockwise, and the
        // angle grows clockwise.
        host.choose(in.tool, in.turn);
        const double angle = pl().*in.angle;
        press(X(350), Y(1, 190));
        move(X(350), Y(1, -10));
        EXPECT_NEAR(pl().*in.angle, angle - 90, 0.5);
        move(X(250), Y(1, -10));
        EXPECT_NEAR(pl().*in.angle, angle - 135, 0.5);
        release(X(250), Y(1, -10));
        EXPECT_NEAR(pl().*in.angle, angle - 135, 0.5);
        EXPECT_FALSE(g.Busy());
        const double released = pl().*in.angle;
        move(X(350), Y(1, 190));  // the release ended the turn
        EXPECT_EQ(pl().*in.angle, released);
    }
}

}  // namespace
}  // namespace tervasko
