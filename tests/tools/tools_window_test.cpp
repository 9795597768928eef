// The drawing tools on the real window: the text dialog, the wheel, a pencil stroke, and
// highlights that outlive what they named.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QWheelEvent>

#include "app/AddTextFUnit.h"
#include "app/mainUnit.h"
#include "app/paintbox.h"
#include "platform/numeric.h"
#include "session/drawingsession.h"
#include "support/find.h"
#include "support/mainformparts.h"
#include "support/tempdir.h"

namespace tervasko {
namespace {

class ToolWindow : public ::testing::Test {
protected:
    testing::TempDir dir;
    std::unique_ptr<TMainForm> form;

    void SetUp() override {
        form = std::make_unique<TMainForm>(dir.path());
        form->Hooks().ShowError = [](const std::string&) {};
        form->Hooks().RunTextDialog = [](TAddTextForm&) -> bool {
            ADD_FAILURE() << "the text dialog opened";
            return false;
        };
        form->resize(1000, 800);
        form->show();
        QApplication::processEvents();
    }

    TAddTextForm& dialog() { return *Parts(*form).AddTextForm; }
    QScrollBar* vbar() {
        return testing::Find<QScrollArea>(form, "ScrollBox1")->verticalScrollBar();
    }
    QScrollBar* hbar() {
        return testing::Find<QScrollArea>(form, "ScrollBox1")->horizontalScrollBar();
    }
    void wheel(QWidget* target, int delta) {
        QWheelEvent e(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &e);
    }
};

TEST_F(ToolWindow, TheTextDialogEnablesOkForATextAndTakesAltReturnAndEscape) {
    TAddTextForm& d = dialog();
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Text hinzufügen"));
    EXPECT_EQ(d.size(), QSize(399, 266));
    EXPECT_EQ(d.Memo1->geometry(), QRect(8, 24, 377, 137));
    EXPECT_EQ(d.Label1->text(), "Text:");
    EXPECT_EQ(d.NewFontBtn->text(), QString::fromUtf8("Schriftart wählen..."));
    EXPECT_EQ(d.CancelBtn->text(), "Abbrechen");
    EXPECT_TRUE(d.OkBtn->isDefault());
    EXPECT_FALSE(d.OkBtn->isEnabled());
    for (const char* name : {"Label1", "Memo1", "NewFontBtn", "OkBtn", "CancelBtn"})
        EXPECT_NE(d.findChild<QWidget*>(name), nullptr) << name;

    d.show();
    QApplication::processEvents();
    EXPECT_TRUE(d.Memo1->hasFocus());
    EXPECT_FALSE(d.OkBtn->isEnabled());
    QTest::keyClicks(d.Memo1, "ab");
    EXPECT_TRUE(d.OkBtn->isEnabled());
    QTest::keyClick(d.Memo1, Qt::Key_Return);           // a new line, not the default button
    d.Memo1->insertPlainText(QString::fromUtf8("Ωc"));  // typed outside the 8-bit code page
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.Text(), u"ab\r\nΩc");
    d.Memo1->clear();
    EXPECT_FALSE(d.OkBtn->isEnabled());

    QTest::keyClick(d.Memo1, Qt::Key_Return, Qt::ControlModifier);  // Ctrl is not Alt
    EXPECT_TRUE(d.isVisible());
    d.Memo1->clear();
    QTest::keyClick(d.Memo1, Qt::Key_Return, Qt::AltModifier);  // OK, though the text is empty
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Text(), u"");

    d.show();
    QApplication::processEvents();
    QTest::keyClick(d.Memo1, Qt::Key_Escape);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Rejected);
}

TEST_F(ToolWindow, AddedTextsTakeTheMemoAndTheChoosersFontAndTheMemoIsNeverCleared) {
    testing::Find<QAction>(form, "TextTexthinzufgen1")->trigger();
    form->Hooks().RunTextDialog = [](TAddTextForm& d) {
        d.show();
        QTest::keyClicks(d.Memo1, "Hallo");
        QTest::keyClick(d.Memo1, Qt::Key_Return);
        QTest::keyClicks(d.Memo1, "Welt");
        d.OkBtn->click();
        return d.result() == QDialog::Accepted;
    };
    QTest::mouseClick(testing::Find<TPaintBox>(form, "PaintBox1"), Qt::LeftButton, {},
                      QPoint(105, 55));
    ASSERT_EQ(Parts(*form).Session->Drawing().Texts.Count(), 1u);
    const TTextElement& t = Parts(*form).Session->Drawing().Texts.At(0);
    EXPECT_EQ(WideView(t.Text), u"Hallo\r\nWelt");
    EXPECT_NEAR(t.X1, 26.458, 5e-4);
    EXPECT_NEAR(t.Y1, 13.229, 5e-4);
    // The chooser's font at start: Arial, 10 points, regular, the window-text colour, and
    // the ANSI character set with the default pitch.
    EXPECT_EQ(AnsiView(t.FontName), "Arial");
    EXPECT_EQ(t.FontSize, 10);
    EXPECT_EQ(static_cast<std::uint32_t>(t.Color), 0x80000008u);
    EXPECT_EQ(t.Charset, 0);
    EXPECT_EQ(t.Pitch, 0);
    EXPECT_EQ(t.Style, 0);
    EXPECT_TRUE(form->windowTitle().endsWith("*]"));

    // The second dialog opens with the first text, OK enabled; a chosen font becomes the
    // chooser's and the memo's.
    bool okEnabled = false;
    TextFontChoice asked;
    dialog().ChooseFont = [&](const TextFontChoice& current) -> std::optional<TextFontChoice> {
        asked = current;
        return TextFontChoice{"Courier New", 14, 0x0000FF, 1, 2, fsBold};
    };
    form->Hooks().RunTextDialog = [&](TAddTextForm& d) {
        d.show();
        okEnabled = d.OkBtn->isEnabled();
        d.NewFontBtn->click();
        EXPECT_EQ(d.Memo1->font().family(), "Courier New");
        EXPECT_TRUE(d.Memo1->font().bold());
        d.OkBtn->click();
        return d.result() == QDialog::Accepted;
    };
    QTest::mouseClick(testing::Find<TPaintBox>(form, "PaintBox1"), Qt::RightButton, {},
                      QPoint(305, 55));
    EXPECT_TRUE(okEnabled);
    EXPECT_EQ(asked, TextFontChoice{});
    ASSERT_EQ(Parts(*form).Session->Drawing().Texts.Count(), 2u);
    EXPECT_EQ(WideView(Parts(*form).Session->Drawing().Texts.At(1).Text), u"Hallo\r\nWelt");
    EXPECT_EQ(AnsiView(Parts(*form).Session->Drawing().Texts.At(1).FontName), "Courier New");
    EXPECT_EQ(Parts(*form).Session->Drawing().Texts.At(1).FontSize, 14);
    EXPECT_EQ(Parts(*form).FontDialog1.face, "Courier New");
}

TEST(FontChooser, AConfirmedFontKeepsTheFaceItShowedAndGivesANewFaceTheDefaultCharacterSet) {
    const TextFontChoice current{"Arial", 10, static_cast<std::int32_t>(0x80000008u), 204, 1, 0};
    // "Arial" shows as the face that stands in for it; confirmed so, it stays Arial with the
    // character set and pitch it had.
    QFont shown("Liberation Sans");
    shown.setPointSizeF(11.5);
    shown.setBold(true);
    shown.setUnderline(true);
    TextFontChoice f = FontChoiceFrom(shown, 0x0000FF, current, "Liberation Sans");
    EXPECT_EQ(f, (TextFontChoice{"Arial", 12, 0x0000FF, 204, 1, fsBold | fsUnderline}));

    QFont serif("Liberation Serif");
    serif.setPointSize(9);
    serif.setItalic(true);
    serif.setStrikeOut(true);
    f = FontChoiceFrom(serif, 0x0000FF, current, "Liberation Sans");
    EXPECT_EQ(f, (TextFontChoice{"Liberation Serif", 9, 0x0000FF, 1, 0, fsItalic | fsStrikeOut}));

    f = FontChoiceFrom(QFont("Liberation Mono", 10), current.color, current, "Liberation Sans");
    EXPECT_EQ(f.charset, 1);
    EXPECT_EQ(f.pitch, 2);  // a fixed-pitch face
}

TEST_F(ToolWindow, ChangingATextLoadsItIntoTheDialogAfterTheSheetsMeasuredIt) {
    TTextElement& t = *Parts(*form).Session->Drawing().AppendText();
    t.X1 = 30, t.Y1 = 30;
    t.Text = NewWideBuffer(u"Mittelpunkt");
    t.FontName = NewAnsiBuffer("Arial");
    t.FontSize = 12, t.Color = 0x00AA00, t.Charset = 204, t.Pitch = 1, t.Style = fsItalic;
    form->SetChanged();
    testing::Find<QAction>(form, "TextTextndern1")
        ->trigger();  // repaints: the sheets measure the text
    QApplication::processEvents();
    ASSERT_GT(Parts(*form).Session->Drawing().Texts.At(0).X2, 40.0);

    QString memo;
    form->Hooks().RunTextDialog = [&](TAddTextForm& d) {
        d.show();
        memo = d.Memo1->toPlainText();
        d.OkBtn->click();
        return d.result() == QDialog::Accepted;
    };
    const int px = static_cast<int>(Round(32 * form->PixelsPerMm())) + 5;
    QTest::mouseMove(testing::Find<TPaintBox>(form, "PaintBox1"), QPoint(px, px));
    ASSERT_TRUE(Parts(*form).Gesture.Hover.Valid);
    QTest::mouseClick(testing::Find<TPaintBox>(form, "PaintBox1"), Qt::LeftButton, {},
                      QPoint(px, px));
    EXPECT_EQ(memo, "Mittelpunkt");
    const TTextElement& changed = Parts(*form).Session->Drawing().Texts.At(0);
    EXPECT_EQ(WideView(changed.Text), u"Mittelpunkt");
    EXPECT_EQ(changed.Charset, 204);  // kept through a change that left the font alone
    EXPECT_EQ(changed.Pitch, 1);
    EXPECT_EQ(changed.Color, 0x00AA00);
    EXPECT_EQ(Parts(*form).FontDialog1.face, "Arial");
    EXPECT_EQ(Parts(*form).FontDialog1.size, 12);
}

TEST_F(ToolWindow, AWheelNotchScrollsTwentyPixelsWhateverHasTheFocus) {
    testing::Find<QSpinBox>(form, "PageAnz")->setValue(2);
    QApplication::processEvents();
    ASSERT_GT(vbar()->maximum(), 100);
    testing::Find<QSpinBox>(form, "zoomed")->setFocus();
    wheel(testing::Find<QSpinBox>(form, "zoomed"), -120);  // down, over the zoom field
    EXPECT_EQ(vbar()->value(), 20);
    EXPECT_EQ(testing::Find<QSpinBox>(form, "zoomed")->value(), 100);
    wheel(testing::Find<TPaintBox>(form, "PaintBox1"), -60);  // half a notch: nothing yet
    EXPECT_EQ(vbar()->value(), 20);
    wheel(testing::Find<TPaintBox>(form, "PaintBox1"), -60);
    EXPECT_EQ(vbar()->value(), 40);
    wheel(testing::Find<QDoubleSpinBox>(form, "StrichEd"),
          360);  // three notches up, stopped at the top
    EXPECT_EQ(vbar()->value(), 0);
    EXPECT_EQ(hbar()->value(), 0);
    EXPECT_DOUBLE_EQ(testing::Find<QDoubleSpinBox>(form, "StrichEd")->value(), 0.1);
}

TEST_F(ToolWindow, APencilStrokeBecomesLinesThatTheSheetsShowAfterTheRelease) {
    for (QAction* a :
         {testing::Find<QAction>(form, "Lineal2"), testing::Find<QAction>(form, "Winkelmesser2"),
          testing::Find<QAction>(form, "Zirkel2")})
        a->setChecked(false);
    testing::Find<QAction>(form, "Bleistift1")->trigger();
    testing::Find<QDoubleSpinBox>(form, "StrichEd")->setValue(1);
    QImage before(794, 1123, QImage::Format_RGB32);
    Parts(*form).View.RenderSheet(before, 0);  // the sheet kept as an image
    QTest::mousePress(testing::Find<TPaintBox>(form, "PaintBox1"), Qt::LeftButton, {},
                      QPoint(105, 105));
    QTest::mouseMove(testing::Find<TPaintBox>(form, "PaintBox1"), QPoint(155, 105));
    QApplication::processEvents();
    QTest::mouseMove(testing::Find<TPaintBox>(form, "PaintBox1"), QPoint(205, 155));
    QTest::mouseRelease(testing::Find<TPaintBox>(form, "PaintBox1"), Qt::LeftButton, {},
                        QPoint(205, 155));
    ASSERT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 2u);
    EXPECT_DOUBLE_EQ(Parts(*form).Session->Drawing().Elements.At(1).X1,
                     Parts(*form).Session->Drawing().Elements.At(0).X2);
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.At(1).Width, 1);
    EXPECT_TRUE(form->windowTitle().endsWith("*]"));

    // No cycle ran, yet the sheet's picture has the stroke: a picture of the sheet taken now
    // (for a print, say) must not be the one kept from before.
    QImage sheet(794, 1123, QImage::Format_RGB32);
    Parts(*form).View.RenderSheet(sheet, 0);
    EXPECT_EQ(sheet.pixelColor(125, 100), QColor(Qt::black));
    EXPECT_EQ(before.pixelColor(125, 100), QColor(Qt::white));
    QImage screen = testing::Find<TPaintBox>(form, "PaintBox1")->grab().toImage();
    EXPECT_EQ(screen.pixelColor(130, 105), QColor(Qt::black));

    testing::Find<QAction>(form, "ObjekteLetzesObjektlschen1")
        ->trigger();  // the stroke's last segment only
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 1u);
}

TEST_F(ToolWindow, AHighlightThatOutlivedItsEntryDoesNothing) {
    TDrawElement& e = *Parts(*form).Session->Drawing().AppendElement();
    e.Kind = ekLine, e.Width = 0.5, e.X1 = 20, e.Y1 = 20, e.X2 = 60, e.Y2 = 20;
    form->SetChanged();
    testing::Find<QAction>(form, "ObjekteLschen1")->trigger();
    const int y = static_cast<int>(Round(20 * form->PixelsPerMm())) + 5;
    form->PaintBox1MouseMove(150, y);
    ASSERT_TRUE(Parts(*form).Gesture.Hover.Valid);
    Parts(*form).Session->Drawing().NewAll();  // replaced behind the highlight's back
    form->PaintBox1MouseDown(MouseButton::Left, 150, y);
    testing::Find<QAction>(form, "ObjekteVerschieben1")->trigger();
    form->PaintBox1MouseDown(MouseButton::Left, 150, y);
    form->PaintBox1MouseMove(170, y);
    form->PaintBox1MouseUp(MouseButton::Left, 170, y);
    EXPECT_FALSE(Parts(*form).Gesture.Elements.Dragging);
    EXPECT_FALSE(form->Changed());

    // The same for texts: no dialog, nothing deleted or moved.
    Parts(*form).Gesture.Hover.Valid = true;
    Parts(*form).Gesture.Hover.Index = 0;
    for (QAction* mode : {testing::Find<QAction>(form, "TextTextndern1"),
                          testing::Find<QAction>(form, "TextTextlschen1"),
                          testing::Find<QAction>(form, "TextVerschieben1")}) {
        mode->trigger();
        form->PaintBox1MouseDown(MouseButton::Left, 150, y);
        form->PaintBox1MouseUp(MouseButton::Left, 150, y);
    }
    EXPECT_FALSE(Parts(*form).Gesture.Text.Dragging);
    EXPECT_FALSE(form->Changed());
}

TEST_F(ToolWindow, AZoomClickCentresThePressedPoint) {
    testing::Find<QAction>(form, "Zoom1")->trigger();
    QTest::mouseClick(testing::Find<TPaintBox>(form, "PaintBox1"), Qt::LeftButton, {},
                      QPoint(505, 405));
    EXPECT_EQ(testing::Find<QSpinBox>(form, "zoomed")->value(), 150);
    EXPECT_EQ(testing::Find<TPaintBox>(form, "PaintBox1")->size(), QSize(1201, 1694));
    const auto expected = [](double target, QScrollBar* bar) {
        return std::clamp(static_cast<int>(Round(target)), 0, bar->maximum());
    };
    EXPECT_EQ(
        hbar()->value(),
        expected(750 - testing::Find<QScrollArea>(form, "ScrollBox1")->width() / 2.0, hbar()));
    EXPECT_EQ(
        vbar()->value(),
        expected(600 - testing::Find<QScrollArea>(form, "ScrollBox1")->height() / 2.0, vbar()));
    EXPECT_GT(vbar()->value(), 0);
    EXPECT_FALSE(Parts(*form).View.PaintSuspended);
}

}  // namespace
}  // namespace tervasko
