#include "tools/fakewindow.h"

namespace tervasko::tooltest {
namespace {

using Op = RecordingCanvas::Op;
using T = ToolItem;

constexpr double kMm = 25.39995 / 96;  // one pixel at zoom 100 on a 96 dpi screen

class Pencil : public ToolTest {};

TEST_F(Pencil, EveryMoveAddsOneLineFromThePreviousPointAndDrawsItAtOnce) {
    host.choose({T::Bleistift1});
    press(105, 105);
    release(105, 105);
    EXPECT_EQ(drawing.Elements.Count(), 0u);  // a press alone adds nothing
    EXPECT_EQ(host.drawnAhead, 0);

    const int catchUps = host.catchUps;
    press(105, 105, MouseButton::Right);  // any button
    move(110, 107);
    move(110, 107);  // no minimum distance: a line of no length
    move(-20, 3);    // outside the paint box, under pointer capture
    ASSERT_EQ(drawing.Elements.Count(), 3u);
    const double expected[3][4] = {{100, 100, 105, 102}, {105, 102, 105, 102}, {105, 102, -25, -2}};
    for (std::uint32_t i = 0; i < 3; ++i) {
        const TDrawElement& e = element(i);
        EXPECT_EQ(e.Kind, ekLine);
        EXPECT_EQ(e.Color, host.penColor);
        EXPECT_EQ(e.Width, 0.1);
        EXPECT_DOUBLE_EQ(e.X1, expected[i][0] / s()) << i;
        EXPECT_DOUBLE_EQ(e.Y1, expected[i][1] / s()) << i;
        EXPECT_DOUBLE_EQ(e.X2, expected[i][2] / s()) << i;
        EXPECT_DOUBLE_EQ(e.Y2, expected[i][3] / s()) << i;
    }
    // Drawn on the screen as the cycle will draw them, with no cycle in between.
    const auto lines = host.screen.entriesOf(Op::Line);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].points, (std::vector<IntPoint>{{105, 105}, {110, 107}}));
    EXPECT_EQ(lines[2].points, (std::vector<IntPoint>{{110, 107}, {-20, 3}}));
    EXPECT_EQ(lines[0].penWidth, 1);  // 0.1 mm is Round(0.378) = 0 pixels, so 1
    EXPECT_EQ(lines[0].penColor, host.penColor);
    EXPECT_EQ(host.paints, 0);
    EXPECT_EQ(host.drawnAhead, 3);  // every segment is drawn ahead of the sheets

    release(-20, 3);
    EXPECT_FALSE(g.Busy());
    EXPECT_EQ(host.paints, 0);               // the release repaints nothing
    EXPECT_EQ(host.catchUps, catchUps + 1);  // the sheets may now take the stroke in
    move(200, 200);
    EXPECT_EQ(drawing.Elements.Count(), 3u);
}

TEST_F(Pencil, ToolColourAndWidthAreReadAtEverySegment) {
    host.choose({T::Radierer1});
    press(105, 105);
    move(115, 105);
    host.choose({T::Bleistift1});
    host.penWidth = 1;
    host.penColor = 0x00FF00;
    move(125, 105);
    host.choose({T::Radierer1});
    host.eraserWidth = 0.5;
    move(135, 105);
    release(135, 105);

    ASSERT_EQ(drawing.Elements.Count(), 3u);
    EXPECT_EQ(element(0).Color, kWhite);
    EXPECT_EQ(element(0).Width, 2);
    EXPECT_EQ(element(1).Color, 0x00FF00u);
    EXPECT_EQ(element(1).Width, 1);
    EXPECT_EQ(element(2).Color, kWhite);
    EXPECT_EQ(element(2).Width, 0.5);
    const auto lines = host.screen.entriesOf(Op::Line);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].penWidth, 8);  // 2 mm: Round(7.559)
    EXPECT_EQ(lines[0].penColor, kWhite);
    EXPECT_EQ(lines[1].penWidth, 4);  // 1 mm: Round(3.780)
    EXPECT_EQ(lines[2].penWidth, 2);
}

class Curves : public ToolTest {};

TEST_F(Curves, FourPressesGiveStartEndAndTheTwoControlPoints) {
    host.choose({T::Kurven1});
    press(105, 105);
    press(305, 105);
    press(105, 205);
    EXPECT_EQ(drawing.Elements.Count(), 0u);
    EXPECT_EQ(host.paints, 0);
    press(305, 205);
    ASSERT_EQ(drawing.Elements.Count(), 1u);
    const TDrawElement& e = element(0);
    EXPECT_EQ(e.Kind, ekCurve);
    EXPECT_NEAR(e.X1, 26.458, 5e-4);
    EXPECT_NEAR(e.Y1, 26.458, 5e-4);
    EXPECT_NEAR(e.X2, 26.458, 5e-4);  // the third press
    EXPECT_NEAR(e.Y2, 52.917, 5e-4);
    EXPECT_NEAR(e.X3, 79.375, 5e-4);  // the fourth press
    EXPECT_NEAR(e.Y3, 52.917, 5e-4);
    EXPECT_NEAR(e.X4, 79.375, 5e-4);  // the second press
    EXPECT_NEAR(e.Y4, 26.458, 5e-4);
    EXPECT_EQ(e.Color, host.penColor);
    EXPECT_EQ(e.Width, host.penWidth);
    EXPECT_EQ(host.changes, 1);
    EXPECT_EQ(host.paints, 1);
    EXPECT_FALSE(g.Pending());
    move(205, 255);  // the curve is stored: no preview follows the pointer
    EXPECT_EQ(host.refreshedSheet, -1);

    // Four presses at one point: a curve like any other.
    for (int i = 0; i < 4; ++i) press(55, 55);
    ASSERT_EQ(drawing.Elements.Count(), 2u);
    EXPECT_DOUBLE_EQ(element(1).X1, element(1).X4);
    EXPECT_DOUBLE_EQ(element(1).Y2, element(1).Y3);
}

TEST_F(Curves, ABegunCurveTakesThePressesWhateverToolIsChosen) {
    host.choose({T::Kurven1});
    press(105, 105);
    host.choose({T::Lineal1, T::LinealDrehen1});
    press(305, 105, MouseButton::Right);
    EXPECT_FALSE(g.Busy());  // the curve waits; no turn of the ruler began
    release(200, 400);
    EXPECT_EQ(drawing.Placement.LinealAngle, 0);
    host.choose({T::Bleistift1});
    press(105, 205, MouseButton::Middle);
    press(305, 205);
    EXPECT_FALSE(g.Pending());  // no stroke started with the press that ended the curve
    move(150, 250);
    ASSERT_EQ(drawing.Elements.Count(), 1u);
    EXPECT_EQ(element(0).Kind, ekCurve);
    EXPECT_DOUBLE_EQ(element(0).X3, 300 / s());

    press(105, 105);  // the curve is done: now the pencil
    EXPECT_TRUE(g.Busy());
    move(125, 105);
    ASSERT_EQ(drawing.Elements.Count(), 2u);
    EXPECT_EQ(element(1).Kind, ekLine);
}

TEST_F(Curves, ThePreviewFollowsThePointerOnTheSheetOfTheLastPress) {
    host.choose({T::Kurven1});
    host.pages = 3;
    host.penWidth = 1;
    host.penColor = 0x0000AA;
    const int top = host.SheetHeightPx();  // 1123: the second sheet
    press(105, top + 105);
    move(305, top + 55);
    EXPECT_EQ(host.refreshedSheet, 1);
    auto lines = host.sheet.entriesOf(Op::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points,
              (std::vector<IntPoint>{{100, 100}, {300, 50}}));  // sheet-buffer pixels
    EXPECT_EQ(lines[0].penWidth, 4);
    EXPECT_EQ(lines[0].penColor, 0x0000AAu);
    move(305, 20);  // over the first sheet: still drawn on the second, clipped there
    EXPECT_EQ(host.refreshedSheet, 1);
    EXPECT_EQ(host.sheet.entriesOf(Op::Line)[0].points[1], (IntPoint{300, 15 - top}));

    press(305, top + 105);  // the end point
    move(205, top + 5);
    auto curves = host.sheet.entriesOf(Op::Bezier);
    ASSERT_EQ(curves.size(), 1u);
    EXPECT_EQ(curves[0].points,
              (std::vector<IntPoint>{{100, 100}, {200, 0}, {200, 0}, {300, 100}}));
    press(105, top + 205);  // the first control point
    move(305, top + 205);
    curves = host.sheet.entriesOf(Op::Bezier);
    ASSERT_EQ(curves.size(), 1u);
    EXPECT_EQ(curves[0].points,
              (std::vector<IntPoint>{{100, 100}, {100, 200}, {300, 200}, {300, 100}}));
    EXPECT_EQ(host.paints, 0);  // only the one sheet was refreshed

    // The stored curve is what the preview showed last, in millimetres, measured from the
    // second sheet's true top (297 mm), not from its rounded top in pixels.
    press(305, top + 205);
    EXPECT_NEAR(element(0).Y1, 297 + 100 * kMm, 1e-9);
    EXPECT_NEAR(element(0).Y3, 297 + 200 * kMm, 1e-9);
}

TEST_F(ToolTest, CurvePointsStayWhereTheyWereClickedWhenTheZoomChanges) {
    host.choose({ToolItem::Kurven1});
    press(105, 105);  // 26.458 mm at zoom 100
    host.SetZoom(200);
    press(305, 105);  // the later clicks at zoom 200, with half the millimetres per pixel
    press(105, 205);
    press(305, 205);
    ASSERT_EQ(drawing.Elements.Count(), 1u);
    EXPECT_NEAR(element(0).X1, 100 * kMm, 1e-9);
    EXPECT_NEAR(element(0).Y1, 100 * kMm, 1e-9);
    EXPECT_NEAR(element(0).X4, 300 * kMm / 2, 1e-9);
    EXPECT_NEAR(element(0).X2, 100 * kMm / 2, 1e-9);
    EXPECT_NEAR(element(0).Y3, 200 * kMm / 2, 1e-9);
}

}  // namespace
}  // namespace tervasko::tooltest
