// Escape in the middle of every kind of drag: nothing is stored and nothing stays moved.
#include "tools/cancel.h"

#include "tools/fakewindow.h"

namespace tervasko::tooltest {
namespace {

using T = ToolItem;

class CancelGesture : public ToolTest {};

TEST_F(CancelGesture, EveryDragEndsWithoutATraceAndItsReleaseDoesNothing) {
    const struct {
        const char* name;
        std::initializer_list<ToolItem> items;
        int pressX, pressY, moveX, moveY;
    } cases[] = {
        {"ruler slide", {T::Lineal1, T::LinealVerschieben1}, 100, 400, 180, 450},
        {"ruler turn", {T::Lineal1, T::LinealDrehen1}, 300, 300, 300, 420},
        {"along the ruler", {T::Lineal1, T::LinealAnLinealentlangzeichnen1}, 100, 345, 300, 345},
        {"across the ruler", {T::Lineal1, T::LinealQuerzumLinealzeichnen1}, 100, 300, 100, 100},
        {"protractor slide", {T::Winkelmesser1, T::WinkelmesserVerschieben1}, 200, 200, 260, 280},
        {"protractor turn", {T::Winkelmesser1, T::WinkelmesserDrehen1}, 300, 194, 194, 300},
        {"degree mark",
         {T::Winkelmesser1, T::WinkelmesserGradzahlmitBleistiftmarkieren1},
         300,
         250,
         400,
         300},
        {"compass slide", {T::Zirkel1, T::ZirkelVerschieben1}, 572, 194, 500, 300},
        {"compass span", {T::Zirkel1, T::ZirkelZirkelspanne1}, 650, 194, 700, 300},
        {"arc", {T::Zirkel1, T::ZirkelKreisbogenzeichnen1}, 650, 194, 572, 300},
        {"pencil", {T::Bleistift1}, 100, 100, 160, 130},
        {"eraser", {T::Radierer1}, 100, 100, 160, 130},
        {"element", {T::Objekte1, T::ObjekteVerschieben1}, 100, 105, 200, 300},
        {"hand", {T::Hand1}, 100, 100, 150, 150},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        drawing.NewAll();
        g = GestureState{};
        drawing.Placement = InstrumentPlacement{};
        drawing.ZirkelAngle = 45;
        TDrawElement* line = drawing.AppendElement();  // under the element case's press
        line->Kind = ekLine;
        line->X1 = 90 / s(), line->Y1 = 100 / s(), line->X2 = 110 / s(), line->Y2 = 100 / s();
        const InstrumentPlacement placement = drawing.Placement;
        host.choose(c.items);
        move(c.pressX, c.pressY);  // hovering turns the compass toward the pointer for an arc
        const double angle = drawing.ZirkelAngle;
        press(c.pressX, c.pressY);
        move((c.pressX + c.moveX) / 2, (c.pressY + c.moveY) / 2);
        move(c.moveX, c.moveY);
        ASSERT_TRUE(GestureInProgress(g));
        const int paints = host.paints;
        EXPECT_TRUE(tervasko::CancelGesture(host, drawing, g));
        EXPECT_GT(host.paints, paints);  // the sheets show what is left
        EXPECT_FALSE(GestureInProgress(g));
        EXPECT_FALSE(tervasko::CancelGesture(host, drawing, g));  // nothing left to cancel
        EXPECT_EQ(drawing.Placement, placement);
        EXPECT_EQ(drawing.ZirkelAngle, angle);

        move(c.moveX + 30, c.moveY + 40);
        release(c.moveX + 30, c.moveY + 40);
        EXPECT_EQ(drawing.Placement, placement);
        EXPECT_EQ(drawing.Elements.Count(), 1u);
        EXPECT_DOUBLE_EQ(element(0).X1 * s(), 90);
        EXPECT_DOUBLE_EQ(element(0).Y2 * s(), 100);
    }
}

TEST_F(CancelGesture, ACurveIsForgottenAfterEachOfItsFirstThreeClicks) {
    host.choose({T::Kurven1});
    for (int clicks = 1; clicks <= 3; ++clicks) {
        for (int i = 0; i < clicks; ++i) press(100 + 10 * i, 100), release(100 + 10 * i, 100);
        ASSERT_TRUE(GestureInProgress(g)) << clicks;
        EXPECT_TRUE(tervasko::CancelGesture(host, drawing, g));
        EXPECT_FALSE(g.Pending()) << clicks;
        host.refreshedSheet = -1;
        move(200, 150);  // no preview follows the pointer any more
        EXPECT_EQ(host.refreshedSheet, -1) << clicks;
        EXPECT_EQ(drawing.Elements.Count(), 0u);
    }
    EXPECT_EQ(host.changes, 0);
}

}  // namespace
}  // namespace tervasko::tooltest
