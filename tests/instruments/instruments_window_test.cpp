// The instruments on the real window, driven by mouse events as a user drives them.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLocale>
#include <QTest>
#include <cmath>

#include "app/mainUnit.h"
#include "app/measurefield.h"
#include "app/paintbox.h"
#include "session/drawingsession.h"
#include "support/find.h"
#include "support/mainformparts.h"
#include "support/mainwindow.h"

namespace tervasko {
namespace {

class InstrumentWindow : public testing::MainWindowTest {
protected:
    void drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(testing::Find<TPaintBox>(form, "PaintBox1"), button, {}, from);
        QTest::mouseMove(testing::Find<TPaintBox>(form, "PaintBox1"), (from + to) / 2);
        QTest::mouseMove(testing::Find<TPaintBox>(form, "PaintBox1"), to);
        QTest::mouseRelease(testing::Find<TPaintBox>(form, "PaintBox1"), button, {}, to);
    }
    bool starred() const { return form->windowTitle().endsWith("*]"); }
};

TEST_F(InstrumentWindow, RulerLineAlongAndSlide) {
    testing::Find<QAction>(form, "LinealAnLinealentlangzeichnen1")->trigger();
    EXPECT_TRUE(testing::Find<QAction>(form, "Lineal1")->isChecked());
    drag({194, 383}, {459, 305});
    ASSERT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 1u);
    const TDrawElement& e = Parts(*form).Session->Drawing().Elements.At(0);
    EXPECT_DOUBLE_EQ(e.X1, 50.006);
    EXPECT_DOUBLE_EQ(e.X2, 120.12);
    EXPECT_DOUBLE_EQ(e.Y2, 90);
    EXPECT_TRUE(starred());

    Parts(*form).Session->MarkSaved();
    testing::Find<QAction>(form, "LinealVerschieben1")->trigger();
    drag({300, 300}, {338, 300});
    // The field holds the new place exactly, not rounded to what it shows.
    EXPECT_EQ(testing::Find<QDoubleSpinBox>(form, "LinXEd")->value(),
              Parts(*form).Session->Drawing().Placement.LinealX);
    EXPECT_NEAR(testing::Find<QDoubleSpinBox>(form, "LinXEd")->value(), 10 + 38 * 25.39995 / 96,
                1e-12);
    EXPECT_FALSE(starred());  // moving an instrument changes no drawing
}

TEST_F(InstrumentWindow, ProtractorTurnAndDegreeMark) {
    testing::Find<QAction>(form, "WinkelmesserDrehen1")->trigger();
    drag({270, 155}, {194, 305});
    EXPECT_NEAR(testing::Find<QDoubleSpinBox>(form, "WinkWEd")->value(), 117.132, 1e-3);
    EXPECT_EQ(testing::Find<QDoubleSpinBox>(form, "WinkWEd")->value(),
              Parts(*form).Session->Drawing().Placement.WinkelAngle);
    EXPECT_FALSE(starred());

    Parts(*form).Session->Drawing().Placement.WinkelAngle = 0;
    testing::Find<QAction>(form, "WinkelmesserGradzahlmitBleistiftmarkieren1")->trigger();
    drag({270, 155}, {308, 125});
    ASSERT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 1u);
    EXPECT_DOUBLE_EQ(Parts(*form).Session->Drawing().Elements.At(0).X1, 81.298);
    EXPECT_TRUE(starred());
}

TEST_F(InstrumentWindow, CompassSpanArcAndCircleCommand) {
    testing::Find<QAction>(form, "ZirkelZirkelspanne1")->trigger();
    drag({605, 305}, {605, 305});
    EXPECT_NEAR(testing::Find<QDoubleSpinBox>(form, "ZirksEd")->value(), 30.65026, 1e-5);

    testing::Find<QDoubleSpinBox>(form, "ZirksEd")
        ->setValue(40);  // typed: the span goes back to 40 mm
    testing::Find<QAction>(form, "ZirkelKreisbogenzeichnen1")->trigger();
    drag({705, 194}, {572, 325});
    ASSERT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 1u);
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.At(0).Kind, ekArc);
    EXPECT_DOUBLE_EQ(Parts(*form).Session->Drawing().Elements.At(0).X1, 110);
    EXPECT_TRUE(starred());

    testing::Find<QAction>(form, "ZirkelKreiszeichnen1")->trigger();
    ASSERT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 2u);
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.At(1).Kind, ekCircle);
    EXPECT_TRUE(testing::Find<QAction>(form, "ZirkelKreisbogenzeichnen1")
                    ->isChecked());  // a command, not a mode
}

// The set square at its start place (zero mark at 105, 160 mm): paint-box pixel
// 5 + mm * 96 / 25.4. A line along its long edge is a step of the history; a turn moves the
// field and is none.
TEST_F(InstrumentWindow, SetSquareLineAlongItsLongEdgeAndTurn) {
    testing::Find<QAction>(form, "Geodreieck2")->trigger();
    testing::Find<QAction>(form, "GeodreieckAnderlangenKanteentlangzeichnen1")->trigger();
    EXPECT_TRUE(testing::Find<QAction>(form, "Geodreieck1")->isChecked());
    // From about 20 mm left of the zero mark to beyond the +80 end, 12 mm below the edge.
    drag({327, 655}, {740, 650});
    const TDrawing& drawing = Parts(*form).Session->Drawing();
    ASSERT_EQ(drawing.Elements.Count(), 1u);
    EXPECT_NEAR(drawing.Elements.At(0).X1, 85.196, 0.14);
    EXPECT_DOUBLE_EQ(drawing.Elements.At(0).X2, 185);
    EXPECT_DOUBLE_EQ(drawing.Elements.At(0).Y1, 160);
    EXPECT_DOUBLE_EQ(drawing.Elements.At(0).Y2, 160);
    EXPECT_TRUE(starred());
    testing::Find<QAction>(form, "Rueckgaengig1")->trigger();
    EXPECT_EQ(drawing.Elements.Count(), 0u);

    testing::Find<QAction>(form, "GeodreieckDrehen1")->trigger();
    // From straight right of the zero mark (401.85, 609.72) to straight below it: a quarter
    // turn clockwise.
    drag({502, 609}, {402, 710});
    EXPECT_NEAR(std::remainder(drawing.Placement.GeoAngle - 90, 360), 0, 0.6);
    EXPECT_EQ(testing::Find<QDoubleSpinBox>(form, "GeoWEd")->value(), drawing.Placement.GeoAngle);
    EXPECT_EQ(drawing.Elements.Count(), 0u);
    // No step was made: the line taken back can still be made again.
    EXPECT_TRUE(testing::Find<QAction>(form, "Wiederholen1")->isEnabled());
}

TEST_F(InstrumentWindow, MeasureFieldFollowsTheGestureInTheUsersLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const auto* field = form->findChild<QLabel*>("StatusMeasure");
    ASSERT_NE(field, nullptr);
    QWidget* box = form->findChild<QWidget*>("PaintBox1");
    form->findChild<QAction*>("ZirkelZirkelspanne1")->trigger();
    QTest::mousePress(box, Qt::LeftButton, {}, {605, 305});
    EXPECT_EQ(field->text().toStdString(), "Radius: 30,65 mm");
    QTest::mouseRelease(box, Qt::LeftButton, {}, {605, 305});
    form->findChild<QAction*>("AnsichtZollAngabenfrdasLineal1")->trigger();
    QTest::mouseMove(box, {600, 300});
    EXPECT_EQ(field->text().toStdString(), "Radius: 1,21 Zoll");
    form->findChild<QAction*>("LinealVerschieben1")->trigger();
    QTest::mouseMove(box, {300, 300});
    EXPECT_EQ(field->text().toStdString(), "");
    QLocale::setDefault(before);
}

TEST(MeasurementText, WordsUnitsAndSeparator) {
    using K = Measurement::Kind;
    const struct {
        Measurement m;
        bool inches;
        char separator;
        const char* text;
    } cases[] = {
        {{K::None, 5, 5}, false, ',', ""},
        {{K::RulerAngle, 0, -0.001}, false, ',', "Winkel: 0,00\u00b0"},
        {{K::ProtractorDegree, 0, 359.996}, false, '.', "Winkel: 360.00\u00b0"},
        {{K::GuideLength, 70.114, 0}, false, ',', "L\u00e4nge: 70,11 mm"},
        {{K::GuideLength, 25.39995 * 2, 0}, true, ',', "L\u00e4nge: 2,00 Zoll"},
        {{K::Arc, 40, 90.126}, false, ',', "Radius: 40,00 mm, Winkel: 90,13\u00b0"},
        {{K::Line, 50, 0}, false, '.', "Linie, L\u00e4nge: 50.00 mm"},
        {{K::Circle, 20, 0}, false, ',', "Kreis, Radius: 20,00 mm"},
        {{K::ArcElement, 40, 0}, false, ',', "Bogen, Radius: 40,00 mm"},
        {{K::Curve, 15.7098, 0}, false, ',', "Kurve, L\u00e4nge: 15,71 mm"},
    };
    for (const auto& c : cases) EXPECT_EQ(MeasurementText(c.m, c.inches, c.separator), c.text);
}

}  // namespace
}  // namespace tervasko
