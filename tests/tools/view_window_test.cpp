// The view on the real window: what a resize leaves on the screen, highlights as large as
// their text at the screen's resolution, the hand tool, mouse buttons the tools do not know,
// gestures that outlive a release outside the paint box, and decimal fields that keep their
// values.
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
#include "support/mainwindow.h"
#include "tools/texts.h"

namespace tervasko {
namespace {

class ViewWindow : public testing::MainWindowTest {
protected:
    QImage screen() {
        QApplication::processEvents();
        return form->PaintBox1->grab().toImage();
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
        QMouseEvent e(type, at, form->PaintBox1->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(form->PaintBox1, &e);
    }
};

TEST_F(ViewWindow, AZoomChangeShowsAFreshPictureNotTheOldPreviewOrHoverDot) {
    // A curve preview showing on the sheet buffer, then a new zoom from the field.
    form->Kurven1->trigger();
    QTest::mouseClick(form->PaintBox1, Qt::LeftButton, {}, QPoint(105, 105));
    QTest::mouseClick(form->PaintBox1, Qt::LeftButton, {}, QPoint(305, 205));
    QTest::mouseMove(form->PaintBox1, QPoint(205, 305));
    screen();
    form->zoomed->setValue(50);
    const QImage afterZoom = screen();
    EXPECT_EQ(afterZoom, freshScreen());

    // The dot of the line-across hover, then a new page count.
    QTest::mouseClick(form->PaintBox1, Qt::LeftButton, {}, QPoint(150, 150));  // ends the curve
    form->LinealQuerzumLinealzeichnen1->trigger();
    QTest::mouseMove(form->PaintBox1, QPoint(100, 300));
    screen();
    form->PageAnz->setValue(2);
    const QImage afterPages = screen();
    EXPECT_EQ(afterPages, freshScreen());
}

// Also run at 144 dpi (see the CMake file): the highlight follows the screen's resolution.
TEST_F(ViewWindow, ATextHighlightCoversItsTextExactly) {
    for (QAction* a : {form->Lineal2, form->Winkelmesser2, form->Zirkel2}) a->setChecked(false);
    TTextElement& t = *form->Drawing.AppendText();
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

    form->TextTextlschen1->trigger();
    const double s = form->PixelsPerMm();
    QTest::mouseMove(form->PaintBox1,
                     QPoint(5 + static_cast<int>(22 * s), 5 + static_cast<int>(22 * s)));
    ASSERT_TRUE(form->Gesture.Hover.Valid);
    const QRect red = boxOf(screen(), Qt::red, inside);
    EXPECT_EQ(red, black) << "dpi " << form->PaintBox1->logicalDpiX();
}

TEST_F(ViewWindow, TheHandDragsTheViewByThePointersWay) {
    form->zoomed->setValue(150);
    QApplication::processEvents();
    QScrollBar* h = form->ScrollBox1->horizontalScrollBar();
    QScrollBar* v = form->ScrollBox1->verticalScrollBar();
    ASSERT_GE(h->maximum(), 100);
    form->Hand1->trigger();
    QTest::mousePress(form->PaintBox1, Qt::LeftButton, {}, QPoint(600, 400));
    QTest::mouseMove(form->PaintBox1, QPoint(500, 370));  // 100 left, 30 up
    EXPECT_EQ(h->value(), 100);
    EXPECT_EQ(v->value(), 30);
    // The paint box moved under the pointer: the same screen place is now 100 further right.
    QTest::mouseMove(form->PaintBox1, QPoint(600, 400));
    EXPECT_EQ(h->value(), 100);
    QTest::mouseRelease(form->PaintBox1, Qt::LeftButton, {}, QPoint(600, 400));
    EXPECT_FALSE(form->Gesture.Pan.Panning);
}

TEST_F(ViewWindow, BackAndForwardButtonsDoNothingInAnyTool) {
    form->Zoom1->trigger();
    for (Qt::MouseButton b : {Qt::BackButton, Qt::ForwardButton}) {
        sendButton(QEvent::MouseButtonPress, b, {300, 300}, b);
        sendButton(QEvent::MouseButtonRelease, b, {300, 300}, Qt::NoButton);
    }
    EXPECT_EQ(form->zoomed->value(), 100);

    form->Bleistift1->trigger();
    sendButton(QEvent::MouseButtonPress, Qt::BackButton, {300, 300}, Qt::BackButton);
    QTest::mouseMove(form->PaintBox1, QPoint(350, 320));
    sendButton(QEvent::MouseButtonRelease, Qt::BackButton, {350, 320}, Qt::NoButton);
    EXPECT_EQ(form->Drawing.Elements.Count(), 0u);

    // Their release does not end a left-button gesture either.
    form->LinealVerschieben1->trigger();
    sendButton(QEvent::MouseButtonPress, Qt::LeftButton, {300, 300}, Qt::LeftButton);
    sendButton(QEvent::MouseButtonRelease, Qt::ForwardButton, {310, 300}, Qt::LeftButton);
    EXPECT_TRUE(form->Gesture.Ruler.Drag.Sliding);
    sendButton(QEvent::MouseButtonRelease, Qt::LeftButton, {320, 300}, Qt::NoButton);
    EXPECT_FALSE(form->Gesture.Ruler.Drag.Sliding);
    EXPECT_NEAR(form->Drawing.Placement.LinealX, 10 + 20 / form->PixelsPerMm(), 1e-12);
}

TEST_F(ViewWindow, ARightButtonSlideOutlivesAReleaseOutsideThePaintBox) {
    const QRect visible = form->PaintBox1->visibleRegion().boundingRect();
    sendButton(QEvent::MouseButtonPress, Qt::RightButton, {300, 300}, Qt::RightButton);
    sendButton(QEvent::MouseButtonRelease, Qt::RightButton, visible.bottomRight() + QPoint(40, 40),
               Qt::NoButton);
    EXPECT_TRUE(form->Gesture.Ruler.Drag.Sliding);
    // With no button held, the ruler goes on following the pointer over the paint box.
    sendButton(QEvent::MouseMove, Qt::NoButton, {330, 310}, Qt::NoButton);
    EXPECT_NEAR(form->Drawing.Placement.LinealX, 10 + 30 / form->PixelsPerMm(), 1e-12);
    EXPECT_NEAR(form->Drawing.Placement.LinealY, 90 + 10 / form->PixelsPerMm(), 1e-12);
    sendButton(QEvent::MouseButtonRelease, Qt::LeftButton, {340, 310}, Qt::NoButton);
    EXPECT_FALSE(form->Gesture.Ruler.Drag.Sliding);
}

TEST_F(ViewWindow, DecimalFieldsKeepEveryValueAndTakeMoreThanTwoDecimals) {
    // A pen width and an eraser width from a drawing file go back into the file unchanged.
    TDrawing d;
    DrawingSettings settings;
    settings.PenWidth = 0.125;
    settings.EraserWidth = 2.345;
    const std::string in = dir.path() + "in.tvk", out = dir.path() + "out.tvk";
    ASSERT_TRUE(WriteDrawingFile(in, d, settings, nullptr));
    ASSERT_TRUE(form->FileCommands->LoadDrawing(in));
    EXPECT_EQ(form->StrichEd->value(), 0.125);
    EXPECT_EQ(form->RadierEd->value(), 2.345);
    EXPECT_EQ(form->StrichEd->text(), QLocale().toString(0.125, 'f', 3));
    form->FileCommands->Dialogs.SaveDialog1 = [&] { return std::optional<std::string>(out); };
    form->FileCommands->Speichernunter1Click();
    TDrawing back;
    DrawingSettings read;
    ASSERT_TRUE(ReadDrawingFile(out, back, read, nullptr));
    EXPECT_EQ(read.PenWidth, 0.125);
    EXPECT_EQ(read.EraserWidth, 2.345);

    // A ruler turned to 33.4567 degrees and stepped by the spin button.
    form->Drawing.Placement.LinealAngle = 33.4567;
    form->UpdateEds();
    form->linwed->stepUp();
    EXPECT_EQ(form->Drawing.Placement.LinealAngle, 33.4567 + 1);
    EXPECT_EQ(form->linwed->text(), QLocale().toString(34.4567, 'f', 4));

    // Typed with five decimals.
    form->LinXEd->selectAll();
    QTest::keyClicks(form->LinXEd, QLocale().toString(12.34567, 'f', 5));
    EXPECT_EQ(form->Drawing.Placement.LinealX, 12.34567);
}

}  // namespace
}  // namespace tervasko
