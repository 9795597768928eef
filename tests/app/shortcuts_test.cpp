// The window's keys through QTest on the real window: the commands, the tools, the zoom, the
// fields that keep their own keys, Escape in the middle of a gesture, and the keys that move
// the instruments on the sheet.
#include "app/shortcuts.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include "app/AddTextFUnit.h"
#include "app/filecommands.h"
#include "app/mainUnit.h"
#include "app/paintbox.h"
#include "session/drawingsession.h"
#include "support/find.h"
#include "support/mainformparts.h"
#include "support/tempdir.h"

namespace tervasko {
namespace {

class ShortcutTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    std::unique_ptr<TMainForm> form;

    void SetUp() override {
        form = std::make_unique<TMainForm>(dir.path());
        form->Hooks().ShowError = [](const std::string& text) { ADD_FAILURE() << text; };
        form->Hooks().RunTextDialog = [](TAddTextForm&) { return false; };
        form->resize(1000, 800);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        for (QAction* a : {testing::Find<QAction>(form, "Lineal2"),
                           testing::Find<QAction>(form, "Winkelmesser2"),
                           testing::Find<QAction>(form, "Zirkel2")})
            a->setChecked(false);
        form->PaintBox1Paint();
    }
    void TearDown() override {
        QTest::mouseRelease(testing::Find<TPaintBox>(form, "PaintBox1"), Qt::LeftButton);
    }

    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(testing::Find<TPaintBox>(form, "PaintBox1"), k, mods);
    }
    void press(QPoint p) {
        QTest::mousePress(testing::Find<TPaintBox>(form, "PaintBox1"), Qt::LeftButton, {}, p);
    }
    void move(QPoint p) { QTest::mouseMove(testing::Find<TPaintBox>(form, "PaintBox1"), p); }
    void release(QPoint p) {
        QTest::mouseRelease(testing::Find<TPaintBox>(form, "PaintBox1"), Qt::LeftButton, {}, p);
    }
    void click(QPoint p) { press(p), release(p); }
};

TEST_F(ShortcutTest, CommandKeysRunTheirMenuItems) {
    const struct {
        QAction* item;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        const char* shown;
    } cases[] = {
        {testing::Find<QAction>(form, "Neu1"), Qt::Key_N, Qt::ControlModifier, "Ctrl+N"},
        {testing::Find<QAction>(form, "ffnen1"), Qt::Key_O, Qt::ControlModifier, "Ctrl+O"},
        {testing::Find<QAction>(form, "Speichern1"), Qt::Key_S, Qt::ControlModifier, "Ctrl+S"},
        {testing::Find<QAction>(form, "Speichernunter1"), Qt::Key_S,
         Qt::ControlModifier | Qt::ShiftModifier, "Ctrl+Shift+S"},
        {testing::Find<QAction>(form, "DateiDrucken1"), Qt::Key_P, Qt::ControlModifier, "Ctrl+P"},
        {testing::Find<QAction>(form, "Beenden1"), Qt::Key_Q, Qt::ControlModifier, "Ctrl+Q"},
        {testing::Find<QAction>(form, "ObjekteLetzesObjektlschen1"), Qt::Key_Backspace,
         Qt::NoModifier, "Backspace"},
        {testing::Find<QAction>(form, "ZirkelKreiszeichnen1"), Qt::Key_K, Qt::ShiftModifier,
         "Shift+K"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        // The items' own commands would open dialogs or close the window: only the item counts.
        QObject::disconnect(c.item, &QAction::triggered, nullptr, nullptr);
        QSignalSpy spy(c.item, &QAction::triggered);
        key(c.key, c.mods);
        EXPECT_EQ(spy.count(), 1);
        // The menus show the key beside the item.
        EXPECT_EQ(c.item->shortcut().toString(), c.shown);
    }
    // The icon-only twins have no key of their own, which would make the keys ambiguous.
    for (QAction* twin : {testing::Find<QAction>(form, "N5"), testing::Find<QAction>(form, "N6"),
                          testing::Find<QAction>(form, "N7"), testing::Find<QAction>(form, "N8"),
                          testing::Find<QAction>(form, "N9"), testing::Find<QAction>(form, "N11")})
        EXPECT_TRUE(twin->shortcut().isEmpty()) << twin->objectName().toStdString();
}

TEST_F(ShortcutTest, ToolKeysCheckTheirModeAndTool) {
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        QAction* mode;
        QAction* tool;
    } cases[] = {
        {Qt::Key_R, Qt::NoModifier, testing::Find<QAction>(form, "LinealVerschieben1"),
         testing::Find<QAction>(form, "Lineal1")},
        {Qt::Key_R, Qt::ShiftModifier, testing::Find<QAction>(form, "LinealDrehen1"),
         testing::Find<QAction>(form, "Lineal1")},
        {Qt::Key_A, Qt::NoModifier, testing::Find<QAction>(form, "LinealAnLinealentlangzeichnen1"),
         testing::Find<QAction>(form, "Lineal1")},
        {Qt::Key_A, Qt::ShiftModifier, testing::Find<QAction>(form, "LinealQuerzumLinealzeichnen1"),
         testing::Find<QAction>(form, "Lineal1")},
        {Qt::Key_G, Qt::NoModifier, testing::Find<QAction>(form, "WinkelmesserVerschieben1"),
         testing::Find<QAction>(form, "Winkelmesser1")},
        {Qt::Key_G, Qt::ShiftModifier, testing::Find<QAction>(form, "WinkelmesserDrehen1"),
         testing::Find<QAction>(form, "Winkelmesser1")},
        {Qt::Key_M, Qt::NoModifier,
         testing::Find<QAction>(form, "WinkelmesserGradzahlmitBleistiftmarkieren1"),
         testing::Find<QAction>(form, "Winkelmesser1")},
        {Qt::Key_C, Qt::NoModifier, testing::Find<QAction>(form, "ZirkelVerschieben1"),
         testing::Find<QAction>(form, "Zirkel1")},
        {Qt::Key_C, Qt::ShiftModifier, testing::Find<QAction>(form, "ZirkelZirkelspanne1"),
         testing::Find<QAction>(form, "Zirkel1")},
        {Qt::Key_K, Qt::NoModifier, testing::Find<QAction>(form, "ZirkelKreisbogenzeichnen1"),
         testing::Find<QAction>(form, "Zirkel1")},
        {Qt::Key_B, Qt::NoModifier, testing::Find<QAction>(form, "Kurven1"),
         testing::Find<QAction>(form, "Kurven1")},
        {Qt::Key_P, Qt::NoModifier, testing::Find<QAction>(form, "Bleistift1"),
         testing::Find<QAction>(form, "Bleistift1")},
        {Qt::Key_E, Qt::NoModifier, testing::Find<QAction>(form, "Radierer1"),
         testing::Find<QAction>(form, "Radierer1")},
        {Qt::Key_T, Qt::NoModifier, testing::Find<QAction>(form, "TextTexthinzufgen1"),
         testing::Find<QAction>(form, "Text1")},
        {Qt::Key_T, Qt::ShiftModifier, testing::Find<QAction>(form, "TextTextndern1"),
         testing::Find<QAction>(form, "Text1")},
        {Qt::Key_V, Qt::NoModifier, testing::Find<QAction>(form, "TextVerschieben1"),
         testing::Find<QAction>(form, "Text1")},
        {Qt::Key_Delete, Qt::ShiftModifier, testing::Find<QAction>(form, "TextTextlschen1"),
         testing::Find<QAction>(form, "Text1")},
        {Qt::Key_V, Qt::ShiftModifier, testing::Find<QAction>(form, "ObjekteVerschieben1"),
         testing::Find<QAction>(form, "Objekte1")},
        {Qt::Key_Delete, Qt::NoModifier, testing::Find<QAction>(form, "ObjekteLschen1"),
         testing::Find<QAction>(form, "Objekte1")},
        {Qt::Key_H, Qt::NoModifier, testing::Find<QAction>(form, "Hand1"),
         testing::Find<QAction>(form, "Hand1")},
        {Qt::Key_Z, Qt::NoModifier, testing::Find<QAction>(form, "Zoom1"),
         testing::Find<QAction>(form, "Zoom1")},
        {Qt::Key_D, Qt::NoModifier, testing::Find<QAction>(form, "GeodreieckVerschieben1"),
         testing::Find<QAction>(form, "Geodreieck1")},
        {Qt::Key_D, Qt::ShiftModifier, testing::Find<QAction>(form, "GeodreieckDrehen1"),
         testing::Find<QAction>(form, "Geodreieck1")},
        {Qt::Key_L, Qt::NoModifier,
         testing::Find<QAction>(form, "GeodreieckAnderlangenKanteentlangzeichnen1"),
         testing::Find<QAction>(form, "Geodreieck1")},
        {Qt::Key_L, Qt::ShiftModifier,
         testing::Find<QAction>(form, "GeodreieckAndenkurzenKantenentlangzeichnen1"),
         testing::Find<QAction>(form, "Geodreieck1")},
        {Qt::Key_W, Qt::NoModifier, testing::Find<QAction>(form, "GeodreieckWinkelmarkieren1"),
         testing::Find<QAction>(form, "Geodreieck1")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode->objectName().toStdString());
        // From another tool and, within the same tool, another mode.
        (c.tool == testing::Find<QAction>(form, "Hand1") ? testing::Find<QAction>(form, "Zoom1")
                                                         : testing::Find<QAction>(form, "Hand1"))
            ->trigger();
        for (QAction* other :
             c.mode->actionGroup() ? c.mode->actionGroup()->actions() : QList<QAction*>{})
            if (other != c.mode) other->setChecked(true);
        ASSERT_FALSE(c.tool->isChecked());
        key(c.key, c.mods);
        EXPECT_TRUE(c.mode->isChecked());
        EXPECT_TRUE(c.tool->isChecked());
    }
}

TEST_F(ShortcutTest, ZoomKeysStepTheZoomFieldWithinItsRange) {
    const WindowKeyActions keys = FindWindowKeyActions(*form);
    ASSERT_NE(keys.zoomIn, nullptr);
    key(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(testing::Find<QSpinBox>(form, "zoomed")->value(), 110);
    key(Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(testing::Find<QSpinBox>(form, "zoomed")->value(), 120);
    key(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(testing::Find<QSpinBox>(form, "zoomed")->value(), 110);
    const QSize zoomed = testing::Find<TPaintBox>(form, "PaintBox1")->size();
    key(Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(testing::Find<QSpinBox>(form, "zoomed")->value(), 100);
    EXPECT_LT(testing::Find<TPaintBox>(form, "PaintBox1")->width(),
              zoomed.width());  // the sheets followed
    testing::Find<QSpinBox>(form, "zoomed")->setValue(295);
    key(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(testing::Find<QSpinBox>(form, "zoomed")->value(), 300);
    testing::Find<QSpinBox>(form, "zoomed")->setValue(5);
    key(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(testing::Find<QSpinBox>(form, "zoomed")->value(), 1);
}

TEST_F(ShortcutTest, TheLastElementKeyDeletesOnlyTheLastElement) {
    for (int i = 0; i < 2; ++i) {
        TDrawElement* e = Parts(*form).Session->Drawing().AppendElement();
        e->Kind = ekLine, e->X2 = 10 + i;
    }
    key(Qt::Key_Backspace);
    ASSERT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 1u);
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.At(0).X2, 10);
}

TEST_F(ShortcutTest, KeysThatMeanTextStayWithTheFieldOrTheTextDialog) {
    TDrawElement* e = Parts(*form).Session->Drawing().AppendElement();
    e->Kind = ekLine, e->X2 = 10;
    QLineEdit* edit = testing::Find<QDoubleSpinBox>(form, "StrichEd")->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    testing::Find<QDoubleSpinBox>(form, "StrichEd")->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "2");
    for (Qt::Key k : {Qt::Key_P, Qt::Key_Z, Qt::Key_Backspace, Qt::Key_Delete})
        QTest::keyClick(edit, k);
    EXPECT_TRUE(testing::Find<QAction>(form, "LinealVerschieben1")->isChecked());
    EXPECT_FALSE(testing::Find<QAction>(form, "Bleistift1")->isChecked());
    EXPECT_FALSE(testing::Find<QAction>(form, "Zoom1")->isChecked());
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 1u);
    EXPECT_TRUE(edit->text().isEmpty()) << edit->text().toStdString();  // Backspace took the 2

    // A command key is no text: it works from a field as well.
    QObject::disconnect(testing::Find<QAction>(form, "Neu1"), &QAction::triggered, nullptr,
                        nullptr);
    QSignalSpy neu(testing::Find<QAction>(form, "Neu1"), &QAction::triggered);
    QTest::keyClick(edit, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(neu.count(), 1);

    // The text dialog is a window of its own: no key of the main window reaches through it.
    TAddTextForm& dialog = *Parts(*form).AddTextForm;
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QObject::disconnect(testing::Find<QAction>(form, "Speichern1"), &QAction::triggered, nullptr,
                        nullptr);
    QSignalSpy save(testing::Find<QAction>(form, "Speichern1"), &QAction::triggered);
    QTest::keyClicks(dialog.Memo1, "pez");
    QTest::keyClick(dialog.Memo1, Qt::Key_Backspace);
    QTest::keyClick(dialog.Memo1, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialog.Memo1->toPlainText(), "pe");
    EXPECT_TRUE(testing::Find<QAction>(form, "LinealVerschieben1")->isChecked());
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 1u);
    EXPECT_EQ(save.count(), 0);
    dialog.hide();
}

// The ruler is hidden (SetUp): the keys move it all the same, as the mouse does.
TEST_F(ShortcutTest, KeysOnTheSheetMoveTheInstrumentAndAFieldKeepsItsOwn) {
    testing::Find<QAction>(form, "LeistefrZahleneingabe1")->trigger();
    testing::Find<QAction>(form, "LinealVerschieben1")->trigger();
    auto* box = testing::Find<TPaintBox>(form, "PaintBox1");
    auto* angleField = testing::Find<QDoubleSpinBox>(form, "linwed");
    auto* xField = testing::Find<QDoubleSpinBox>(form, "LinXEd");
    angleField->setValue(30);
    const InstrumentPlacement& placement = Parts(*form).Session->Drawing().Placement;
    ASSERT_EQ(placement.LinealAngle, 30);
    ASSERT_FALSE(box->hasFocus());
    click(QPoint(100, 400));  // a slide by nothing
    ASSERT_TRUE(box->hasFocus());
    const InstrumentPlacement start = placement;
    const int steps = Parts(*form).Session->History().count();

    key(Qt::Key_Right, Qt::ShiftModifier);
    key(Qt::Key_PageUp);
    EXPECT_NEAR(placement.LinealX, start.LinealX + 0.1, 1e-12);
    EXPECT_EQ(placement.LinealY, start.LinealY);
    EXPECT_EQ(placement.LinealAngle, 31);
    EXPECT_NEAR(xField->value(), start.LinealX + 0.1, 1e-9);
    EXPECT_EQ(angleField->value(), 31);
    EXPECT_EQ(Parts(*form).Session->History().count(), steps);
    EXPECT_FALSE(form->Changed());

    // While a drag holds the pointer the key does nothing.
    press(QPoint(100, 400));
    const InstrumentPlacement dragged = placement;
    key(Qt::Key_Left);
    EXPECT_EQ(placement, dragged);
    release(QPoint(100, 400));

    // In a field the keys are the field's: Up steps its number, Left moves its cursor.
    const InstrumentPlacement beforeField = placement;
    angleField->setFocus();
    ASSERT_TRUE(angleField->hasFocus());
    QTest::keyClick(angleField, Qt::Key_Up);
    QTest::keyClick(angleField, Qt::Key_Left);
    EXPECT_EQ(angleField->value(), 32);
    EXPECT_EQ(placement.LinealAngle, 32);
    EXPECT_EQ(placement.LinealX, beforeField.LinealX);
    EXPECT_EQ(placement.LinealY, beforeField.LinealY);
}

// The set square, hidden and turned, in any of its modes: the arrow keys slide it along the
// sheet's edges, not its own, Page Up and Down turn it, and its fields follow.
TEST_F(ShortcutTest, KeysOnTheSheetMoveTheSetSquareAndItsFieldsFollow) {
    testing::Find<QAction>(form, "LeistefrZahleneingabe1")->trigger();
    auto* box = testing::Find<TPaintBox>(form, "PaintBox1");
    auto* xField = testing::Find<QDoubleSpinBox>(form, "GeoXEd");
    auto* yField = testing::Find<QDoubleSpinBox>(form, "GeoYEd");
    auto* angleField = testing::Find<QDoubleSpinBox>(form, "GeoWEd");
    angleField->setValue(-30);
    const InstrumentPlacement& placement = Parts(*form).Session->Drawing().Placement;
    ASSERT_EQ(placement.GeoAngle, -30);
    click(QPoint(100, 400));  // a slide of the ruler by nothing
    ASSERT_TRUE(box->hasFocus());
    key(Qt::Key_D);
    ASSERT_TRUE(testing::Find<QAction>(form, "GeodreieckVerschieben1")->isChecked());
    const InstrumentPlacement start = placement;
    const int steps = Parts(*form).Session->History().count();

    key(Qt::Key_Right);
    key(Qt::Key_Up, Qt::ShiftModifier);
    key(Qt::Key_PageUp);
    InstrumentPlacement expected = start;
    expected.GeoX += 1, expected.GeoY -= 0.1, expected.GeoAngle += 1;
    EXPECT_EQ(placement, expected);
    EXPECT_EQ(placement.GeoAngle, -29);
    EXPECT_DOUBLE_EQ(xField->value(), expected.GeoX);
    EXPECT_DOUBLE_EQ(yField->value(), expected.GeoY);
    EXPECT_EQ(angleField->value(), -29);

    key(Qt::Key_W);
    ASSERT_TRUE(testing::Find<QAction>(form, "GeodreieckWinkelmarkieren1")->isChecked());
    key(Qt::Key_PageDown, Qt::ShiftModifier);
    key(Qt::Key_Down);
    EXPECT_NEAR(placement.GeoAngle, -29.1, 1e-12);
    EXPECT_EQ(placement.GeoY, expected.GeoY + 1);
    EXPECT_NEAR(angleField->value(), -29.1, 1e-12);
    EXPECT_EQ(Parts(*form).Session->History().count(), steps);
    EXPECT_FALSE(form->Changed());
}

TEST_F(ShortcutTest, EscapeForgetsACurveAfterAnyOfItsFirstThreeClicks) {
    testing::Find<QAction>(form, "Kurven1")->trigger();
    for (int clicks = 1; clicks <= 3; ++clicks) {
        SCOPED_TRACE(clicks);
        for (int i = 0; i < clicks; ++i) click(QPoint(100 + 40 * i, 200));
        key(Qt::Key_Escape);
        EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 0u);
        EXPECT_FALSE(form->Changed());
    }
    // The next four clicks make one curve, from the first of them.
    for (int i = 0; i < 4; ++i) click(QPoint(300 + 20 * i, 300 + 10 * i));
    ASSERT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 1u);
    const TDrawElement& curve = Parts(*form).Session->Drawing().Elements.At(0);
    EXPECT_EQ(curve.Kind, ekCurve);
    EXPECT_NEAR(curve.X1 * form->PixelsPerMm(), 295, 1e-9);
    EXPECT_NEAR(curve.X4 * form->PixelsPerMm(), 315, 1e-9);  // the second click is the end
}

TEST_F(ShortcutTest, EscapePutsASlidRulerBackAndTheRestOfTheDragDoesNothing) {
    testing::Find<QAction>(form, "Lineal2")->setChecked(true);
    testing::Find<QAction>(form, "LinealVerschieben1")->trigger();
    const InstrumentPlacement start = Parts(*form).Session->Drawing().Placement;
    press(QPoint(100, 400));
    move(QPoint(160, 430));
    ASSERT_NE(Parts(*form).Session->Drawing().Placement.LinealX, start.LinealX);
    ASSERT_NE(testing::Find<QDoubleSpinBox>(form, "LinXEd")->value(), start.LinealX);
    key(Qt::Key_Escape);
    EXPECT_EQ(Parts(*form).Session->Drawing().Placement, start);
    EXPECT_DOUBLE_EQ(testing::Find<QDoubleSpinBox>(form, "LinXEd")->value(), start.LinealX);
    EXPECT_DOUBLE_EQ(testing::Find<QDoubleSpinBox>(form, "Linyed")->value(), start.LinealY);
    // The button is still held: moving on and letting go changes nothing.
    move(QPoint(220, 500));
    release(QPoint(220, 500));
    EXPECT_EQ(Parts(*form).Session->Drawing().Placement, start);
    // The next drag starts afresh.
    press(QPoint(100, 400));
    move(QPoint(110, 400));
    release(QPoint(110, 400));
    EXPECT_NEAR(
        (Parts(*form).Session->Drawing().Placement.LinealX - start.LinealX) * form->PixelsPerMm(),
        10, 1e-9);
}

TEST_F(ShortcutTest, EscapeTakesBackAStrokeAndKeepsWhatWasThereBefore) {
    TDrawElement* before = Parts(*form).Session->Drawing().AppendElement();
    before->Kind = ekLine, before->X2 = 10;
    testing::Find<QAction>(form, "Bleistift1")->trigger();
    press(QPoint(100, 100));
    for (int x = 110; x <= 150; x += 10) move(QPoint(x, 120));
    ASSERT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 6u);
    key(Qt::Key_Escape);
    move(QPoint(200, 200));
    release(QPoint(200, 200));
    ASSERT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 1u);
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.At(0).X2, 10);
    // The sheets no longer show the stroke.
    const QImage screen = testing::Find<TPaintBox>(form, "PaintBox1")->grab().toImage();
    EXPECT_EQ(screen.pixelColor(125, 120), QColor(Qt::white));
}

// A key may choose a tool while the button holds a drag: the drag ends as Escape ends it.
// A curve waiting for its next click is no drag: it takes the next presses whatever is chosen.
TEST_F(ShortcutTest, AToolKeyDuringADragEndsItFirstAndACurveKeepsItsClicks) {
    testing::Find<QAction>(form, "LinealVerschieben1")->trigger();
    const InstrumentPlacement start = Parts(*form).Session->Drawing().Placement;
    press(QPoint(100, 400));
    move(QPoint(160, 430));
    ASSERT_NE(Parts(*form).Session->Drawing().Placement, start);
    key(Qt::Key_G);
    EXPECT_EQ(Parts(*form).Session->Drawing().Placement, start);
    EXPECT_TRUE(testing::Find<QAction>(form, "WinkelmesserVerschieben1")->isChecked());
    EXPECT_DOUBLE_EQ(testing::Find<QDoubleSpinBox>(form, "LinXEd")->value(), start.LinealX);
    move(QPoint(220, 500));
    release(QPoint(220, 500));
    EXPECT_EQ(Parts(*form).Session->Drawing().Placement, start);

    testing::Find<QAction>(form, "Kurven1")->trigger();
    click(QPoint(300, 300));
    click(QPoint(320, 310));
    key(Qt::Key_R, Qt::ShiftModifier);
    EXPECT_TRUE(testing::Find<QAction>(form, "LinealDrehen1")->isChecked());
    click(QPoint(340, 320));
    click(QPoint(360, 330));
    ASSERT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 1u);
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.At(0).Kind, ekCurve);
    EXPECT_EQ(Parts(*form).Session->Drawing().Placement, start);  // the ruler did not turn
}

// A curve begun on the drawing that "Neu" or "Öffnen..." replaces is forgotten with it: its
// next clicks begin a new curve rather than finish one whose first points belong to the old
// drawing. Also when the open dialog is cancelled: the command ends the gesture first.
TEST_F(ShortcutTest, NewAndOpenEndTheGestureUnderWay) {
    Parts(*form).FileCommands->Dialogs.OpenDialog1 = [] { return std::optional<std::string>(); };
    Parts(*form).FileCommands->Dialogs.AskSave = [] { return FileQuestions::Answer::No; };
    for (const char* command : {"Neu1", "ffnen1"}) {
        SCOPED_TRACE(command);
        testing::Find<QAction>(form, "Kurven1")->trigger();
        click(QPoint(300, 300));
        click(QPoint(320, 310));
        testing::Find<QAction>(form, command)->trigger();
        click(QPoint(340, 320));
        click(QPoint(360, 330));
        EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 0u);
        key(Qt::Key_Escape);
    }
    // A slide under way goes back where it began before the new drawing comes.
    testing::Find<QAction>(form, "LinealVerschieben1")->trigger();
    const InstrumentPlacement start = Parts(*form).Session->Drawing().Placement;
    press(QPoint(100, 400));
    move(QPoint(160, 430));
    key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(Parts(*form).Session->Drawing().Placement, start);
    release(QPoint(160, 430));
}

}  // namespace
}  // namespace tervasko
