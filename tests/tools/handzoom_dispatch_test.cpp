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
    EXPECT_FALSE(g.Pan.Panning);
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
    g.Stroke.Stroking = g.Elements.Dragging = g.Text.Dragging = g.Pan.Panning =
        g.Ruler.Drag.Sliding = true;
    const std::vector<const bool*> order = {&g.Stroke.Stroking, &g.Elements.Dragging,
                                            &g.Text.Dragging, &g.Pan.Panning,
                                            &g.Ruler.Drag.Sliding};
    for (std::size_t i = 0; i < order.size(); ++i) {
        release(100, 100);
        for (std::size_t j = 0; j < order.size(); ++j) EXPECT_EQ(*order[j], j > i) << i << " " << j;
    }
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
