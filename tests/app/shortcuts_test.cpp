// The window's keys through QTest on the real window: the commands, the tools, the zoom, the
// fields that keep their own keys, and Escape in the middle of a gesture.
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
#include "app/mainUnit.h"
#include "app/paintbox.h"
#include "support/tempdir.h"

namespace tervasko {
namespace {

class ShortcutTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    std::unique_ptr<TMainForm> form;

    void SetUp() override {
        form = std::make_unique<TMainForm>(dir.path());
        form->ShowError = [](const std::string& text) { ADD_FAILURE() << text; };
        form->RunTextDialog = [](TAddTextForm&) { return false; };
        form->resize(1000, 800);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        for (QAction* a : {form->Lineal2, form->Winkelmesser2, form->Zirkel2}) a->setChecked(false);
        form->PaintBox1Paint();
    }
    void TearDown() override { QTest::mouseRelease(form->PaintBox1, Qt::LeftButton); }

    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(form->PaintBox1, k, mods);
    }
    void press(QPoint p) { QTest::mousePress(form->PaintBox1, Qt::LeftButton, {}, p); }
    void move(QPoint p) { QTest::mouseMove(form->PaintBox1, p); }
    void release(QPoint p) { QTest::mouseRelease(form->PaintBox1, Qt::LeftButton, {}, p); }
    void click(QPoint p) { press(p), release(p); }
};

TEST_F(ShortcutTest, CommandKeysRunTheirMenuItems) {
    const struct {
        QAction* item;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        const char* shown;
    } cases[] = {
        {form->Neu1, Qt::Key_N, Qt::ControlModifier, "Ctrl+N"},
        {form->ffnen1, Qt::Key_O, Qt::ControlModifier, "Ctrl+O"},
        {form->Speichern1, Qt::Key_S, Qt::ControlModifier, "Ctrl+S"},
        {form->Speichernunter1, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier, "Ctrl+Shift+S"},
        {form->DateiDrucken1, Qt::Key_P, Qt::ControlModifier, "Ctrl+P"},
        {form->Beenden1, Qt::Key_Q, Qt::ControlModifier, "Ctrl+Q"},
        {form->ObjekteLetzesObjektlschen1, Qt::Key_Backspace, Qt::NoModifier, "Backspace"},
        {form->ZirkelKreiszeichnen1, Qt::Key_K, Qt::ShiftModifier, "Shift+K"},
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
    for (QAction* twin : {form->N5, form->N6, form->N7, form->N8, form->N9, form->N11})
        EXPECT_TRUE(twin->shortcut().isEmpty()) << twin->objectName().toStdString();
}

TEST_F(ShortcutTest, ToolKeysCheckTheirModeAndTool) {
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        QAction* mode;
        QAction* tool;
    } cases[] = {
        {Qt::Key_R, Qt::NoModifier, form->LinealVerschieben1, form->Lineal1},
        {Qt::Key_R, Qt::ShiftModifier, form->LinealDrehen1, form->Lineal1},
        {Qt::Key_A, Qt::NoModifier, form->LinealAnLinealentlangzeichnen1, form->Lineal1},
        {Qt::Key_A, Qt::ShiftModifier, form->LinealQuerzumLinealzeichnen1, form->Lineal1},
        {Qt::Key_G, Qt::NoModifier, form->WinkelmesserVerschieben1, form->Winkelmesser1},
        {Qt::Key_G, Qt::ShiftModifier, form->WinkelmesserDrehen1, form->Winkelmesser1},
        {Qt::Key_M, Qt::NoModifier, form->WinkelmesserGradzahlmitBleistiftmarkieren1,
         form->Winkelmesser1},
        {Qt::Key_C, Qt::NoModifier, form->ZirkelVerschieben1, form->Zirkel1},
        {Qt::Key_C, Qt::ShiftModifier, form->ZirkelZirkelspanne1, form->Zirkel1},
        {Qt::Key_K, Qt::NoModifier, form->ZirkelKreisbogenzeichnen1, form->Zirkel1},
        {Qt::Key_B, Qt::NoModifier, form->Kurven1, form->Kurven1},
        {Qt::Key_P, Qt::NoModifier, form->Bleistift1, form->Bleistift1},
        {Qt::Key_E, Qt::NoModifier, form->Radierer1, form->Radierer1},
        {Qt::Key_T, Qt::NoModifier, form->TextTexthinzufgen1, form->Text1},
        {Qt::Key_T, Qt::ShiftModifier, form->TextTextndern1, form->Text1},
        {Qt::Key_V, Qt::NoModifier, form->TextVerschieben1, form->Text1},
        {Qt::Key_Delete, Qt::ShiftModifier, form->TextTextlschen1, form->Text1},
        {Qt::Key_V, Qt::ShiftModifier, form->ObjekteVerschieben1, form->Objekte1},
        {Qt::Key_Delete, Qt::NoModifier, form->ObjekteLschen1, form->Objekte1},
        {Qt::Key_H, Qt::NoModifier, form->Hand1, form->Hand1},
        {Qt::Key_Z, Qt::NoModifier, form->Zoom1, form->Zoom1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode->objectName().toStdString());
        // From another tool and, within the same tool, another mode.
        (c.tool == form->Hand1 ? form->Zoom1 : form->Hand1)->trigger();
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
    EXPECT_EQ(form->zoomed->value(), 110);
    key(Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(form->zoomed->value(), 120);
    key(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(form->zoomed->value(), 110);
    const QSize zoomed = form->PaintBox1->size();
    key(Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(form->zoomed->value(), 100);
    EXPECT_LT(form->PaintBox1->width(), zoomed.width());  // the sheets followed
    form->zoomed->setValue(295);
    key(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(form->zoomed->value(), 300);
    form->zoomed->setValue(5);
    key(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(form->zoomed->value(), 1);
}

TEST_F(ShortcutTest, TheLastElementKeyDeletesOnlyTheLastElement) {
    for (int i = 0; i < 2; ++i) {
        TDrawElement* e = form->Drawing.AppendElement();
        e->Kind = ekLine, e->X2 = 10 + i;
    }
    key(Qt::Key_Backspace);
    ASSERT_EQ(form->Drawing.Elements.Count(), 1u);
    EXPECT_EQ(form->Drawing.Elements.At(0).X2, 10);
}

TEST_F(ShortcutTest, KeysThatMeanTextStayWithTheFieldOrTheTextDialog) {
    TDrawElement* e = form->Drawing.AppendElement();
    e->Kind = ekLine, e->X2 = 10;
    QLineEdit* edit = form->StrichEd->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    form->StrichEd->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "2");
    for (Qt::Key k : {Qt::Key_P, Qt::Key_Z, Qt::Key_Backspace, Qt::Key_Delete})
        QTest::keyClick(edit, k);
    EXPECT_TRUE(form->LinealVerschieben1->isChecked());
    EXPECT_FALSE(form->Bleistift1->isChecked());
    EXPECT_FALSE(form->Zoom1->isChecked());
    EXPECT_EQ(form->Drawing.Elements.Count(), 1u);
    EXPECT_TRUE(edit->text().isEmpty()) << edit->text().toStdString();  // Backspace took the 2

    // A command key is no text: it works from a field as well.
    QObject::disconnect(form->Neu1, &QAction::triggered, nullptr, nullptr);
    QSignalSpy neu(form->Neu1, &QAction::triggered);
    QTest::keyClick(edit, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(neu.count(), 1);

    // The text dialog is a window of its own: no key of the main window reaches through it.
    TAddTextForm& dialog = *form->AddTextForm;
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QObject::disconnect(form->Speichern1, &QAction::triggered, nullptr, nullptr);
    QSignalSpy save(form->Speichern1, &QAction::triggered);
    QTest::keyClicks(dialog.Memo1, "pez");
    QTest::keyClick(dialog.Memo1, Qt::Key_Backspace);
    QTest::keyClick(dialog.Memo1, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialog.Memo1->toPlainText(), "pe");
    EXPECT_TRUE(form->LinealVerschieben1->isChecked());
    EXPECT_EQ(form->Drawing.Elements.Count(), 1u);
    EXPECT_EQ(save.count(), 0);
    dialog.hide();
}

TEST_F(ShortcutTest, EscapeForgetsACurveAfterAnyOfItsFirstThreeClicks) {
    form->Kurven1->trigger();
    for (int clicks = 1; clicks <= 3; ++clicks) {
        SCOPED_TRACE(clicks);
        for (int i = 0; i < clicks; ++i) click(QPoint(100 + 40 * i, 200));
        key(Qt::Key_Escape);
        EXPECT_EQ(form->Drawing.Elements.Count(), 0u);
        EXPECT_FALSE(form->Changed());
    }
    // The next four clicks make one curve, from the first of them.
    for (int i = 0; i < 4; ++i) click(QPoint(300 + 20 * i, 300 + 10 * i));
    ASSERT_EQ(form->Drawing.Elements.Count(), 1u);
    const TDrawElement& curve = form->Drawing.Elements.At(0);
    EXPECT_EQ(curve.Kind, ekCurve);
    EXPECT_NEAR(curve.X1 * form->PixelsPerMm(), 295, 1e-9);
    EXPECT_NEAR(curve.X4 * form->PixelsPerMm(), 315, 1e-9);  // the second click is the end
}

TEST_F(ShortcutTest, EscapePutsASlidRulerBackAndTheRestOfTheDragDoesNothing) {
    form->Lineal2->setChecked(true);
    form->LinealVerschieben1->trigger();
    const InstrumentPlacement start = form->Drawing.Placement;
    press(QPoint(100, 400));
    move(QPoint(160, 430));
    ASSERT_NE(form->Drawing.Placement.LinealX, start.LinealX);
    ASSERT_NE(form->LinXEd->value(), start.LinealX);
    key(Qt::Key_Escape);
    EXPECT_EQ(form->Drawing.Placement, start);
    EXPECT_DOUBLE_EQ(form->LinXEd->value(), start.LinealX);
    EXPECT_DOUBLE_EQ(form->Linyed->value(), start.LinealY);
    // The button is still held: moving on and letting go changes nothing.
    move(QPoint(220, 500));
    release(QPoint(220, 500));
    EXPECT_EQ(form->Drawing.Placement, start);
    // The next drag starts afresh.
    press(QPoint(100, 400));
    move(QPoint(110, 400));
    release(QPoint(110, 400));
    EXPECT_NEAR((form->Drawing.Placement.LinealX - start.LinealX) * form->PixelsPerMm(), 10, 1e-9);
}

TEST_F(ShortcutTest, EscapeTakesBackAStrokeAndKeepsWhatWasThereBefore) {
    TDrawElement* before = form->Drawing.AppendElement();
    before->Kind = ekLine, before->X2 = 10;
    form->Bleistift1->trigger();
    press(QPoint(100, 100));
    for (int x = 110; x <= 150; x += 10) move(QPoint(x, 120));
    ASSERT_EQ(form->Drawing.Elements.Count(), 6u);
    key(Qt::Key_Escape);
    move(QPoint(200, 200));
    release(QPoint(200, 200));
    ASSERT_EQ(form->Drawing.Elements.Count(), 1u);
    EXPECT_EQ(form->Drawing.Elements.At(0).X2, 10);
    // The sheets no longer show the stroke.
    const QImage screen = form->PaintBox1->grab().toImage();
    EXPECT_EQ(screen.pixelColor(125, 120), QColor(Qt::white));
}

}  // namespace
}  // namespace tervasko
