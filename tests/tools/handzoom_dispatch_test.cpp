#include <string>
#include <vector>

#include "tools/fakewindow.h"
#include "tools/handzoom.h"

namespace tervasko::tooltest {
namespace {

using T = ToolItem;

class Zoom : public ToolTest {
protected:
    void SetUp() override { host.choose({T::Zoom1}); }
    std::vector<int> clicks(int start, MouseButton b, int n) {
        host.zoom = start;
        std::vector<int> seen;
        for (int i = 0; i < n; ++i) {
            press(105, 105, b);
            seen.push_back(host.zoom);
        }
        return seen;
    }
};

TEST_F(Zoom, EachClickMultipliesOrDividesByOneAndAHalfWithinTheFieldsLimits) {
    EXPECT_EQ(clicks(100, MouseButton::Left, 4), (std::vector<int>{150, 225, 300, 300}));
    EXPECT_EQ(clicks(100, MouseButton::Right, 12),
              (std::vector<int>{67, 45, 30, 20, 13, 9, 6, 4, 3, 2, 1, 1}));
    // Halves go to the even neighbour: 1.5 -> 2, 4.5 -> 4, 13.5 -> 14, 31.5 -> 32.
    EXPECT_EQ(clicks(1, MouseButton::Left, 14),
              (std::vector<int>{2, 3, 4, 6, 9, 14, 21, 32, 48, 72, 108, 162, 243, 300}));
    EXPECT_EQ(clicks(77, MouseButton::Middle, 1), (std::vector<int>{77}));
}

TEST_F(Zoom, TheClickedPointComesToTheMiddleOfTheScrollBox) {
    const int paints = host.paints;
    press(505, 405);
    EXPECT_EQ(host.zoom, 150);
    EXPECT_EQ(host.h, 424);  // Round(750 - 325.5), half to even
    EXPECT_EQ(host.v, 395);  // 600 - 205
    EXPECT_EQ(host.suspendedWhenScrolled, (std::vector<bool>{true}));
    EXPECT_FALSE(host.suspended);
    EXPECT_EQ(host.paints, paints + 2);  // the field's change, then the step's own cycle

    // The same place on the screen, in the paint box that has moved by the positions.
    press(405 + host.h, 305 + host.v, MouseButton::Middle);
    EXPECT_EQ(host.zoom, 150);  // kept
    EXPECT_EQ(host.h, 498);     // Round(824 - 325.5)
    EXPECT_EQ(host.v, 490);     // 695 - 205
    press(1005, 1605, MouseButton::Middle);
    EXPECT_EQ(host.h, 550);   // held by the bar at 1201 - 651
    EXPECT_EQ(host.v, 1284);  // 1694 - 410

    press(10, 10, MouseButton::Right);  // near the corner: the targets are negative
    EXPECT_EQ(host.zoom, 100);
    EXPECT_EQ(host.h, 0);
    EXPECT_EQ(host.v, 0);
}

TEST_F(ToolTest, TheHandDragsTheViewWithThePointer) {
    host.choose({T::Hand1});
    host.pages = 2;  // 1608 x 2256 at zoom 100: room to move, up to 957 x 1846
    // The pointer on the screen; the paint box has moved by the scroll positions.
    const auto at = [&](int sx, int sy) { move(sx + host.h, sy + host.v); };
    host.h = 300;
    press(400 + host.h, 300);
    at(300, 250);  // 100 pixels left, 50 up
    EXPECT_EQ(host.h, 400);
    EXPECT_EQ(host.v, 50);
    at(-400, 250);  // far beyond the end
    EXPECT_EQ(host.h, 957);
    at(300, 250);  // back: the view is where it was with the pointer there before
    EXPECT_EQ(host.h, 400);
    EXPECT_EQ(host.v, 50);
    at(600, 500);  // beyond the start
    EXPECT_EQ(host.h, 100);
    EXPECT_EQ(host.v, 0);
    EXPECT_EQ(host.paints, 0);  // the scroll box repaints what comes into view
    for (const bool s : host.suspendedWhenScrolled) EXPECT_TRUE(s);
    EXPECT_FALSE(host.suspended);

    release(600, 500);
    EXPECT_FALSE(g.Busy());
    at(100, 100);
    EXPECT_EQ(host.h, 100);
}

TEST_F(ToolTest, AWheelNotchScrollsTwentyPixelsWithinTheRange) {
    host.v = 0;
    WheelNotch(host, false);
    EXPECT_EQ(host.v, 0);
    WheelNotch(host, true);
    EXPECT_EQ(host.v, 20);
    host.h = 100;
    WheelNotch(host, true);
    EXPECT_EQ(host.v, 40);
    EXPECT_EQ(host.h, 100);
    EXPECT_EQ(host.paints, 0);
}

TEST_F(ToolTest, AtReleaseTheFirstSetGestureFlagWins) {
    TDrawElement& line = *drawing.AppendElement();
    line.Kind = ekLine;
    line.Width = 0.1;
    line.X1 = 100 / s(), line.Y1 = 100 / s(), line.X2 = 200 / s(), line.Y2 = 100 / s();
    TTextElement& t = *drawing.AppendText();
    t.X1 = 300 / s(), t.Y1 = 300 / s(), t.X2 = 400 / s(), t.Y2 = 350 / s();
    t.Text = NewWideBuffer(u"Text");
    t.FontName = NewAnsiBuffer("Arial");
    t.FontSize = 10;

    // Five gestures at once: four pressed with the right button and let go outside the paint
    // box, each in another mode, and a stroke. The element is picked before the text, whose
    // hover takes the shared highlight: the element's put-down then moves nothing.
    host.choose({T::Lineal1, T::LinealVerschieben1});
    press(600, 600, MouseButton::Right);
    host.choose({T::Hand1});
    press(600, 600, MouseButton::Right);
    host.choose({T::Objekte1, T::ObjekteVerschieben1});
    move(155, 105);
    ASSERT_EQ(host.screen.entriesOf(RecordingCanvas::Op::Line).size(), 1u);  // highlighted
    press(155, 105, MouseButton::Right);
    host.choose({T::Text1, T::TextVerschieben1});
    move(355, 325);
    ASSERT_EQ(host.screen.entriesOf(RecordingCanvas::Op::DrawText).size(), 1u);
    press(355, 325, MouseButton::Right);
    host.choose({T::Bleistift1});
    press(355, 325);
    move(365, 325);
    ASSERT_EQ(drawing.Elements.Count(), 2u);  // the line and the stroke's segment

    const double lineX = element(0).X1, textX = text(0).X1, rulerX = drawing.Placement.LinealX;
    const int h = host.h, v = host.v, catchUps = host.catchUps;
    // Each release is let go 20 pixels right of the last move and down.
    release(385, 345);  // the stroke's: one step, and the sheets take it in
    EXPECT_EQ(host.steps, (std::vector<std::string>{"Bleistift"}));
    EXPECT_EQ(host.catchUps, catchUps + 1);
    EXPECT_TRUE(g.Busy());

    int paints = host.paints;
    release(385, 345);  // the element's: a cycle, but its highlight went to the text
    EXPECT_EQ(host.steps.size(), 1u);
    EXPECT_EQ(host.paints, paints + 1);
    EXPECT_EQ(element(0).X1, lineX);
    EXPECT_EQ(text(0).X1, textX);
    EXPECT_TRUE(g.Busy());

    // The text's: moved by the pointer's way since the shared anchor was last set, at the
    // stroke's last point.
    release(385, 345);
    EXPECT_EQ(host.steps.back(), "Text verschieben");
    EXPECT_NEAR(text(0).X1 - textX, 20 / s(), 1e-9);
    EXPECT_EQ(drawing.Placement.LinealX, rulerX);
    EXPECT_TRUE(g.Busy());

    paints = host.paints;
    release(385, 345);  // the hand's: nothing to see, and the ruler still slides
    EXPECT_EQ(host.steps.size(), 2u);
    EXPECT_EQ(host.paints, paints);
    EXPECT_EQ(drawing.Placement.LinealX, rulerX);
    EXPECT_EQ(host.h, h);
    EXPECT_EQ(host.v, v);
    EXPECT_TRUE(g.Busy());

    release(385, 345);  // the ruler's slide ends where the pointer is let go
    EXPECT_NEAR(drawing.Placement.LinealX, rulerX + (385 - 600) / s(), 1e-9);
    EXPECT_FALSE(g.Busy());
    EXPECT_EQ(host.steps.size(), 2u);
    EXPECT_EQ(element(0).X1, lineX);
}

TEST_F(ToolTest, TheTextHoverTakesTheMoveFromACurveInProgressButNotItsPresses) {
    host.choose({T::Kurven1});
    press(105, 105);
    host.choose({T::Text1, T::TextTextndern1});
    move(200, 200);
    EXPECT_EQ(host.refreshedSheet, -1);  // no preview
    press(205, 105);
    press(105, 205);
    EXPECT_TRUE(host.presets.empty());  // the text dialog never opened
    host.choose({T::Text1, T::TextTexthinzufgen1});
    press(205, 205);
    EXPECT_EQ(drawing.Elements.Count(), 1u);
    EXPECT_EQ(drawing.Texts.Count(), 0u);
    press(205, 205);  // now the text tool has the press
    EXPECT_EQ(drawing.Texts.Count(), 1u);
}

}  // namespace
}  // namespace tervasko::tooltest
