// The keys that move the active tool's instrument on the sheet, without a window.
#include "session/placementkeys.h"

#include <gtest/gtest.h>

namespace tervasko {
namespace {

// Every instrument away from its start-up place, the ruler turned nearly a full turn (angles
// are never wrapped) and the set square turned, so a key that moves the wrong value or the
// wrong instrument, or slides a turned instrument along its own edges, shows.
InstrumentPlacement Start() {
    InstrumentPlacement p;
    p.LinealX = 37.5, p.LinealY = 121.25, p.LinealAngle = 359.5;
    p.WinkelX = 64, p.WinkelY = 18.5, p.WinkelAngle = -45;
    p.ZirkelX = 120, p.ZirkelY = 200, p.ZirkelSpan = 12.5;
    p.GeoX = 80, p.GeoY = 75, p.GeoAngle = 15;
    return p;
}

struct Instrument {
    const char* name;
    ToolItem tool;
    double InstrumentPlacement::*x;
    double InstrumentPlacement::*y;
    double InstrumentPlacement::*turn;  // rotation, or the compass's span
};
const Instrument kInstruments[] = {
    {"ruler", ToolItem::Lineal1, &InstrumentPlacement::LinealX, &InstrumentPlacement::LinealY,
     &InstrumentPlacement::LinealAngle},
    {"protractor", ToolItem::Winkelmesser1, &InstrumentPlacement::WinkelX,
     &InstrumentPlacement::WinkelY, &InstrumentPlacement::WinkelAngle},
    {"compass", ToolItem::Zirkel1, &InstrumentPlacement::ZirkelX, &InstrumentPlacement::ZirkelY,
     &InstrumentPlacement::ZirkelSpan},
    {"set square", ToolItem::Geodreieck1, &InstrumentPlacement::GeoX, &InstrumentPlacement::GeoY,
     &InstrumentPlacement::GeoAngle},
};

TEST(PlacementKeys, EachKeyMovesOnlyItsValueOfTheActiveInstrumentByItsStep) {
    enum Which { X, Y, Turn };
    const struct {
        Qt::Key key;
        Which which;
        double sign;
    } keys[] = {
        {Qt::Key_Left, X, -1},      {Qt::Key_Right, X, +1},
        {Qt::Key_Up, Y, -1},        {Qt::Key_Down, Y, +1},  // up is towards the sheet's top
        {Qt::Key_PageUp, Turn, +1}, {Qt::Key_PageDown, Turn, -1},
    };
    for (const Instrument& i : kInstruments)
        for (const auto& k : keys)
            for (const bool shift : {false, true}) {
                SCOPED_TRACE(testing::Message() << i.name << " key " << std::hex << k.key
                                                << (shift ? " with Shift" : ""));
                InstrumentPlacement p = Start();
                ASSERT_TRUE(
                    NudgeInstrument(i.tool, k.key, shift ? Qt::ShiftModifier : Qt::NoModifier, p));
                InstrumentPlacement expected = Start();
                double InstrumentPlacement::*value = k.which == X   ? i.x
                                                     : k.which == Y ? i.y
                                                                    : i.turn;
                expected.*value += k.sign * (shift ? 0.1 : 1.0);
                EXPECT_EQ(p, expected);
            }
}

TEST(PlacementKeys, StepsAddUpAndAnglesAreNotWrapped) {
    InstrumentPlacement p = Start();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(NudgeInstrument(ToolItem::Lineal1, Qt::Key_PageUp, {}, p));
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(NudgeInstrument(ToolItem::Lineal1, Qt::Key_PageUp, Qt::ShiftModifier, p));
    EXPECT_NEAR(p.LinealAngle, 363, 1e-9);
    // The ruler keeps its reference corner: the turn is about it.
    EXPECT_EQ(p.LinealX, 37.5);
    EXPECT_EQ(p.LinealY, 121.25);
}

TEST(PlacementKeys, TheCompassNeverClosesBelowNothing) {
    const struct {
        double span;
        Qt::KeyboardModifiers mods;
        double after;
    } cases[] = {
        {0.5, Qt::NoModifier, 0},       // a step that would pass 0 stops there
        {0.05, Qt::ShiftModifier, 0},   //
        {0, Qt::NoModifier, 0},         // closed: the key is taken and does nothing
        {-3, Qt::NoModifier, -3},       // a span typed below 0 is not raised by closing it
        {1, Qt::NoModifier, 0},         // exactly to 0
        {0.3, Qt::ShiftModifier, 0.2},  // far enough away: the whole step
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.span);
        InstrumentPlacement p = Start();
        p.ZirkelSpan = c.span;
        ASSERT_TRUE(NudgeInstrument(ToolItem::Zirkel1, Qt::Key_PageDown, c.mods, p));
        EXPECT_NEAR(p.ZirkelSpan, c.after, 1e-12);
    }
    // Opening from below 0 goes up by the step as usual.
    InstrumentPlacement p = Start();
    p.ZirkelSpan = -3;
    ASSERT_TRUE(NudgeInstrument(ToolItem::Zirkel1, Qt::Key_PageUp, {}, p));
    EXPECT_EQ(p.ZirkelSpan, -2);
    // The rotations have no such limit.
    p = Start();
    p.LinealAngle = 0.5;
    ASSERT_TRUE(NudgeInstrument(ToolItem::Lineal1, Qt::Key_PageDown, {}, p));
    EXPECT_EQ(p.LinealAngle, -0.5);
    p.GeoAngle = 0.05;
    ASSERT_TRUE(NudgeInstrument(ToolItem::Geodreieck1, Qt::Key_PageDown, Qt::ShiftModifier, p));
    EXPECT_NEAR(p.GeoAngle, -0.05, 1e-12);
}

TEST(PlacementKeys, KeysThatAreNotTheInstrumentsLeaveEverythingAlone) {
    const struct {
        const char* what;
        ToolItem tool;
        int key;
        Qt::KeyboardModifiers mods;
    } cases[] = {
        {"Ctrl", ToolItem::Lineal1, Qt::Key_Left, Qt::ControlModifier},
        {"Alt", ToolItem::Winkelmesser1, Qt::Key_Up, Qt::AltModifier},
        {"Ctrl+Shift", ToolItem::Zirkel1, Qt::Key_PageUp, Qt::ControlModifier | Qt::ShiftModifier},
        {"Meta", ToolItem::Zirkel1, Qt::Key_Right, Qt::MetaModifier},
        {"Ctrl on the set square", ToolItem::Geodreieck1, Qt::Key_PageDown, Qt::ControlModifier},
        {"another key", ToolItem::Lineal1, Qt::Key_Home, Qt::NoModifier},
        {"a letter", ToolItem::Winkelmesser1, Qt::Key_R, Qt::NoModifier},
        {"curves", ToolItem::Kurven1, Qt::Key_Left, Qt::NoModifier},
        {"pencil", ToolItem::Bleistift1, Qt::Key_Down, Qt::NoModifier},
        {"eraser", ToolItem::Radierer1, Qt::Key_PageUp, Qt::NoModifier},
        {"texts", ToolItem::Text1, Qt::Key_Up, Qt::NoModifier},
        {"elements", ToolItem::Objekte1, Qt::Key_Right, Qt::NoModifier},
        {"hand", ToolItem::Hand1, Qt::Key_Left, Qt::NoModifier},
        {"zoom", ToolItem::Zoom1, Qt::Key_PageDown, Qt::ShiftModifier},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        InstrumentPlacement p = Start();
        EXPECT_FALSE(NudgeInstrument(c.tool, c.key, c.mods, p));
        EXPECT_EQ(p, Start());
    }
}

TEST(PlacementKeys, TheKeypadFlagOfArrowKeysChangesNothing) {
    InstrumentPlacement p = Start();
    ASSERT_TRUE(NudgeInstrument(ToolItem::Winkelmesser1, Qt::Key_Left,
                                Qt::KeypadModifier | Qt::ShiftModifier, p));
    EXPECT_NEAR(p.WinkelX, 63.9, 1e-12);
}

}  // namespace
}  // namespace tervasko
