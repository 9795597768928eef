// The view on the real window: what a resize leaves on the screen, highlights as large as
// their text at the screen's resolution, the hand tool, mouse buttons the tools do not know,
// gestures that outlive a release outside the paint box, and decimal fields that keep their
// values; an instrument drag repaints only the instruments' area, to the same pixels.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>

#include "app/filecommands.h"
#include "app/mainUnit.h"
#include "app/paintbox.h"
#include "document/drawingfile.h"
#include "platform/numeric.h"
#include "session/drawingsession.h"
#include "support/find.h"
#include "support/mainformparts.h"
#include "support/mainwindow.h"
#include "tools/texts.h"

namespace tervasko {
namespace {

class ViewWindow : public testing::MainWindowTest {
protected:
    QImage screen() {
        QApplication::processEvents();
        return testing::Find<TPaintBox>(form, "PaintBox1")->grab().toImage();
    }
    // The picture a fresh paint cycle shows now.
    QImage freshScreen() {
        form->PaintBox1Paint();
        return screen();
    }
    // The box of the pixels of one colour inside `area`.
    static QRect boxOf(const QImage& image, QColor colour, const QRect& area) {
        QRect box;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (image.pixelColor(x, y) == colour) box |= QRect(x, y, 1, 1);
        return box;
    }
    void sendButton(QEvent::Type type, Qt::MouseButton button, QPoint at, Qt::MouseButtons held) {
        QMouseEvent e(type, at, testing::Find<TPaintBox>(form, "PaintBox1")->mapToGlobal(at),
                      button, held, Qt::NoModifier);
        QApplication::sendEvent(testing::Find<TPaintBox>(form, "PaintBox1"), &e);
    }
};

TEST_F(ViewWindow, AZoomChangeShowsAFreshPictureNotTheOldPreviewOrHoverDot) {
    // A curve preview showing on the sheet buffer, then a new zoom from the field.
    testing::Find<QAction>(form, "Kurven1")->trigger();
    QTest::mouseClick(testing::Find<TPaintBox>(form, "PaintBox1"), Qt::LeftButton, {},
                      QPoint(105, 105));
    QTest::mouseClick(testing::Find<TPaintBox>(form, "PaintBox1"), Qt::LeftButton, {},
                      QPoint(305, 205));
    QTest::mouseMove(testing::Find<TPaintBox>(form, "PaintBox1"), QPoint(205, 305));
    screen();
    testing::Find<QSpinBox>(form, "zoomed")->setValue(50);
    const QImage afterZoom = screen();
    EXPECT_EQ(afterZoom, freshScreen());

    // The dot of the line-across hover, then a new page count.
    QTest::mouseClick(testing::Find<TPaintBox>(form, "PaintBox1"), Qt::LeftButton, {},
                      QPoint(150, 150));  // ends the curve
    testing::Find<QAction>(form, "LinealQuerzumLinealzeichnen1")->trigger();
    QTest::mouseMove(testing::Find<TPaintBox>(form, "PaintBox1"), QPoint(100, 300));
    screen();
    testing::Find<QSpinBox>(form, "PageAnz")->setValue(2);
    const QImage afterPages = screen();
    EXPECT_EQ(afterPages, freshScreen());
}

// Also run at 144 dpi (see the CMake file): the highlight follows the screen's resolution.
TEST_F(ViewWindow, AnInstrumentDragRepaintsItsAreaToTheSamePixelsAsAFullRepaint) {
    testing::Find<QSpinBox>(form, "PageAnz")->setValue(2);
    testing::Find<QDoubleSpinBox>(form, "WinkWEd")->setValue(33);  // a turned protractor
    QApplication::processEvents();
    struct Case {
        const char* name;
        QAction* action;
        QPoint from, to;
    };
    const Case cases[] = {
        {"ruler moved", testing::Find<QAction>(form, "LinealVerschieben1"), {300, 300}, {360, 420}},
        {"ruler turned", testing::Find<QAction>(form, "LinealDrehen1"), {400, 360}, {420, 300}},
        {"protractor moved",
         testing::Find<QAction>(form, "WinkelmesserVerschieben1"),
         {190, 190},
         {330, 300}},
        {"protractor turned",
         testing::Find<QAction>(form, "WinkelmesserDrehen1"),
         {270, 155},
         {194, 305}},
        {"compass moved",
         testing::Find<QAction>(form, "ZirkelVerschieben1"),
         {567, 189},
         {700, 330}},
        {"compass spanned",
         testing::Find<QAction>(form, "ZirkelZirkelspanne1"),
         {605, 305},
         {650, 250}},
    };
    QScrollBar* scroll = testing::Find<QScrollArea>(form, "ScrollBox1")->verticalScrollBar();
    // On the first sheet, then on the second, scrolled so that its top shows 100 pixels down.
    for (const int sheet : {0, 1}) {
        const int sheetTop = sheet * Parts(*form).View.Geometry.SheetHeightPx;
        scroll->setValue(std::max(0, sheetTop - 100));
        QApplication::processEvents();
        const QPoint offset(0, sheetTop);
        // The part of the paint box in view, as the screen holds it.
        QWidget* box = testing::Find<TPaintBox>(form, "PaintBox1");
        const QRect inView(
            box->mapFrom(testing::Find<QScrollArea>(form, "ScrollBox1")->viewport(), QPoint(0, 0)),
            testing::Find<QScrollArea>(form, "ScrollBox1")->viewport()->size());
        QImage shown(inView.size(), QImage::Format_RGB32);
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message() << c.name << " on sheet " << sheet + 1);
            box->render(&shown, QPoint(), QRegion(inView));
            const QImage before = shown;
            c.action->trigger();
            // Paints only what the cycle damaged over what the screen held.
            auto repaintDamage = [&] {
                ASSERT_TRUE(Parts(*form).View.LastDamage.has_value());
                const QRegion damaged = *Parts(*form).View.LastDamage & inView;
                box->render(&shown, damaged.boundingRect().topLeft() - inView.topLeft(), damaged);
            };
            QTest::mousePress(box, Qt::LeftButton, {}, c.from + offset);
            if (Parts(*form).View.LastDamage) repaintDamage();  // a press that jumps the compass
            for (int i = 1; i <= 3; ++i) {
                QTest::mouseMove(box, c.from + (c.to - c.from) * i / 3 + offset);
                repaintDamage();
            }
            QImage full(inView.size(), QImage::Format_RGB32);
            box->render(&full, QPoint(), QRegion(inView));
            QTest::mouseRelease(box, Qt::LeftButton, {}, c.to + offset);
            EXPECT_NE(shown, before);  // the drag showed something new
            EXPECT_EQ(shown, full);
        }
    }
}

TEST_F(ViewWindow, ATextHighlightCoversItsTextExactly) {
    for (QAction* a :
         {testing::Find<QAction>(form, "Lineal2"), testing::Find<QAction>(form, "Winkelmesser2"),
          testing::Find<QAction>(form, "Zirkel2")})
        a->setChecked(false);
    TTextElement& t = *Parts(*form).Session->Drawing().AppendText();
    t.Text = NewWideBuffer(u"iiiiiiiiii WWW");
    TextFontChoice font;
    font.size = 20;
    font.color = 0;  // black
    SetTextFont(t, font);
    t.X1 = 20, t.Y1 = 20, t.X2 = 20, t.Y2 = 20;
    form->SetChanged();
    const QImage plain = freshScreen();    // the sheets measure the text and keep its box
    const QRect inside(20, 20, 700, 400);  // within the sheet's frame
    const QRect black = boxOf(plain, Qt::black, inside);
    ASSERT_FALSE(black.isEmpty());

    testing::Find<QAction>(form, "TextTextlschen1")->trigger();
    const double s = form->PixelsPerMm();
    QTest::mouseMove(testing::Find<TPaintBox>(form, "PaintBox1"),
                     QPoint(5 + static_cast<int>(22 * s), 5 + static_cast<int>(22 * s)));
    ASSERT_TRUE(Parts(*form).Gesture.Hover.Valid);
    const QRect red = boxOf(screen(), Qt::red, inside);
    EXPECT_EQ(red, black) << "dpi " << testing::Find<TPaintBox>(form, "PaintBox1")->logicalDpiX();
}

TEST_F(ViewWindow, TheHandDragsTheViewByThePointersWay) {
    testing::Find<QSpinBox>(form, "zoomed")->setValue(150);
    QApplication::processEvents();
    QScrollBar* h = testing::Find<QScrollArea>(form, "ScrollBox1")->horizontalScrollBar();
    QScrollBar* v = testing::Find<QScrollArea>(form, "ScrollBox1")->verticalScrollBar();
    ASSERT_GE(h->maximum(), 100);
    testing::Find<QAction>(form, "Hand1")->trigger();
    QTest::mousePress(testing::Find<TPaintBox>(form, "PaintBox1"), Qt::LeftButton, {},
                      QPoint(600, 400));
    QTest::mouseMove(testing::Find<TPaintBox>(form, "PaintBox1"),
                     QPoint(500, 370));  // 100 left, 30 up
    EXPECT_EQ(h->value(), 100);
    EXPECT_EQ(v->value(), 30);
    // The paint box moved under the pointer: the same screen place is now 100 further right.
    QTest::mouseMove(testing::Find<TPaintBox>(form, "PaintBox1"), QPoint(600, 400));
    EXPECT_EQ(h->value(), 100);
    QTest::mouseRelease(testing::Find<TPaintBox>(form, "PaintBox1"), Qt::LeftButton, {},
                        QPoint(600, 400));
    EXPECT_FALSE(Parts(*form).Gesture.Pan.Panning);
}

TEST_F(ViewWindow, BackAndForwardButtonsDoNothingInAnyTool) {
    testing::Find<QAction>(form, "Zoom1")->trigger();
    for (Qt::MouseButton b : {Qt::BackButton, Qt::ForwardButton}) {
        sendButton(QEvent::MouseButtonPress, b, {300, 300}, b);
        sendButton(QEvent::MouseButtonRelease, b, {300, 300}, Qt::NoButton);
    }
    EXPECT_EQ(testing::Find<QSpinBox>(form, "zoomed")->value(), 100);

    testing::Find<QAction>(form, "Bleistift1")->trigger();
    sendButton(QEvent::MouseButtonPress, Qt::BackButton, {300, 300}, Qt::BackButton);
    QTest::mouseMove(testing::Find<TPaintBox>(form, "PaintBox1"), QPoint(350, 320));
    sendButton(QEvent::MouseButtonRelease, Qt::BackButton, {350, 320}, Qt::NoButton);
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 0u);

    // Their release does not end a left-button gesture either.
    testing::Find<QAction>(form, "LinealVerschieben1")->trigger();
    sendButton(QEvent::MouseButtonPress, Qt::LeftButton, {300, 300}, Qt::LeftButton);
    sendButton(QEvent::MouseButtonRelease, Qt::ForwardButton, {310, 300}, Qt::LeftButton);
    EXPECT_TRUE(Parts(*form).Gesture.Ruler.Drag.Sliding);
    sendButton(QEvent::MouseButtonRelease, Qt::LeftButton, {320, 300}, Qt::NoButton);
    EXPECT_FALSE(Parts(*form).Gesture.Ruler.Drag.Sliding);
    EXPECT_NEAR(Parts(*form).Session->Drawing().Placement.LinealX, 10 + 20 / form->PixelsPerMm(),
                1e-12);
}

TEST_F(ViewWindow, ARightButtonSlideOutlivesAReleaseOutsideThePaintBox) {
    const QRect visible =
        testing::Find<TPaintBox>(form, "PaintBox1")->visibleRegion().boundingRect();
    sendButton(QEvent::MouseButtonPress, Qt::RightButton, {300, 300}, Qt::RightButton);
    sendButton(QEvent::MouseButtonRelease, Qt::RightButton, visible.bottomRight() + QPoint(40, 40),
               Qt::NoButton);
    EXPECT_TRUE(Parts(*form).Gesture.Ruler.Drag.Sliding);
    // With no button held, the ruler goes on following the pointer over the paint box.
    sendButton(QEvent::MouseMove, Qt::NoButton, {330, 310}, Qt::NoButton);
    EXPECT_NEAR(Parts(*form).Session->Drawing().Placement.LinealX, 10 + 30 / form->PixelsPerMm(),
                1e-12);
    EXPECT_NEAR(Parts(*form).Session->Drawing().Placement.LinealY, 90 + 10 / form->PixelsPerMm(),
                1e-12);
    sendButton(QEvent::MouseButtonRelease, Qt::LeftButton, {340, 310}, Qt::NoButton);
    EXPECT_FALSE(Parts(*form).Gesture.Ruler.Drag.Sliding);
}

TEST_F(ViewWindow, DecimalFieldsKeepEveryValueAndTakeMoreThanTwoDecimals) {
    // A pen width and an eraser width from a drawing file go back into the file unchanged.
    TDrawing d;
    DrawingSettings settings;
    settings.PenWidth = 0.125;
    settings.EraserWidth = 2.345;
    const std::string in = dir.path() + "in.tvk", out = dir.path() + "out.tvk";
    ASSERT_FALSE(WriteDrawingFile(in, d, settings));
    ASSERT_TRUE(Parts(*form).FileCommands->LoadDrawing(in));
    EXPECT_EQ(testing::Find<QDoubleSpinBox>(form, "StrichEd")->value(), 0.125);
    EXPECT_EQ(testing::Find<QDoubleSpinBox>(form, "RadierEd")->value(), 2.345);
    EXPECT_EQ(testing::Find<QDoubleSpinBox>(form, "StrichEd")->text(),
              QLocale().toString(0.125, 'f', 3));
    Parts(*form).FileCommands->Dialogs.SaveDialog1 = [&] {
        return std::optional<std::string>(out);
    };
    Parts(*form).FileCommands->Speichernunter1Click();
    TDrawing back;
    DrawingSettings read;
    ASSERT_FALSE(ReadDrawingFile(out, back, read));
    EXPECT_EQ(read.PenWidth, 0.125);
    EXPECT_EQ(read.EraserWidth, 2.345);

    // A ruler turned to 33.4567 degrees and stepped by the spin button.
    Parts(*form).Session->Drawing().Placement.LinealAngle = 33.4567;
    form->UpdateEds();
    testing::Find<QDoubleSpinBox>(form, "linwed")->stepUp();
    EXPECT_EQ(Parts(*form).Session->Drawing().Placement.LinealAngle, 33.4567 + 1);
    EXPECT_EQ(testing::Find<QDoubleSpinBox>(form, "linwed")->text(),
              QLocale().toString(34.4567, 'f', 4));

    // Typed with five decimals.
    testing::Find<QDoubleSpinBox>(form, "LinXEd")->selectAll();
    QTest::keyClicks(testing::Find<QDoubleSpinBox>(form, "LinXEd"),
                     QLocale().toString(12.34567, 'f', 5));
    EXPECT_EQ(Parts(*form).Session->Drawing().Placement.LinealX, 12.34567);
}

}  // namespace
}  // namespace tervasko
