// Fingers and pen on the real window: touch events built in the process as a touch screen
// sends them, pen events sent to the paint box.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabletEvent>
#include <QTest>
#include <cmath>

#include "app/mainUnit.h"
#include "app/paintbox.h"
#include "session/drawingsession.h"
#include "support/find.h"
#include "support/mainformparts.h"
#include "support/mainwindow.h"

namespace tervasko {
namespace {

class TouchWindow : public testing::MainWindowTest {
protected:
    void SetUp() override {
        testing::MainWindowTest::SetUp();
        box = testing::Find<TPaintBox>(form, "PaintBox1");
        if (!screen) screen = QTest::createTouchDevice();
        if (!pen)
            pen = new QPointingDevice(
                "pen", 7, QInputDevice::DeviceType::Stylus, QPointingDevice::PointerType::Pen,
                QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 2, {},
                {}, qApp);
        testing::Find<QAction>(form, "Bleistift1")->trigger();
    }
    static inline QPointingDevice* screen = nullptr;
    // The devices live as long as the application: Qt keeps a list of them.
    static inline QPointingDevice* pen = nullptr;
    TPaintBox* box = nullptr;

    TDrawing& drawing() { return Parts(*form).Session->Drawing(); }
    double s() const { return form->PixelsPerMm(); }
    // The paint-box pixel of a sheet-relative point of the first sheet.
    QPoint px(double x, double y) const {
        return QPoint(static_cast<int>(std::lround(x * s() + 5)),
                      static_cast<int>(std::lround(y * s() + 5)));
    }
    QTest::QTouchEventWidgetSequence fingers() { return QTest::touchEvent(box, screen); }
    void penEvent(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
        QTabletEvent e(type, pen, QPointF(at), QPointF(box->mapToGlobal(at)), held ? 0.5 : 0, 0, 0,
                       0, 0, 0, Qt::NoModifier, button, held);
        QApplication::sendEvent(box, &e);
    }
    void penStroke(QPoint from, QPoint to) {
        penEvent(QEvent::TabletPress, from, Qt::LeftButton, Qt::LeftButton);
        penEvent(QEvent::TabletMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
        penEvent(QEvent::TabletMove, to, Qt::NoButton, Qt::LeftButton);
        penEvent(QEvent::TabletRelease, to, Qt::LeftButton, Qt::NoButton);
    }
    bool starred() const { return form->windowTitle().endsWith("*]"); }
};

TEST_F(TouchWindow, AFingerSlidesTheRulerWithThePencilChosenAndDrawsNothing) {
    fingers().press(0, px(100, 95));
    fingers().move(0, px(100, 95) + QPoint(38, -19));
    EXPECT_TRUE(Parts(*form).Gesture.Busy());
    fingers().release(0, px(100, 95) + QPoint(76, -38));
    const InstrumentPlacement& p = drawing().Placement;
    EXPECT_NEAR(p.LinealX, 10 + 76 / s(), 1e-9);
    EXPECT_NEAR(p.LinealY, 90 - 38 / s(), 1e-9);
    // No mouse press was made of the finger: the pencil drew nothing.
    EXPECT_EQ(drawing().Elements.Count(), 0u);
    EXPECT_FALSE(starred());
    EXPECT_FALSE(Parts(*form).Gesture.Busy());
}

TEST_F(TouchWindow, TwoFingersTurnTheSetSquareAboutAStillFinger) {
    testing::Find<QAction>(form, "Geodreieck2")->trigger();  // shown
    const QPoint still = px(105, 170), from = px(145, 170);
    const QPoint to = still + QPoint(0, from.x() - still.x());  // a quarter turn clockwise
    auto hand = QTest::touchEvent(box, screen, false);
    hand.press(0, still).press(1, from).commit();
    hand.stationary(0).move(1, still + QPoint(120, 50)).commit();
    hand.stationary(0).move(1, to).commit();
    hand.release(0, still).release(1, to).commit();
    const InstrumentPlacement& p = drawing().Placement;
    EXPECT_NEAR(p.GeoAngle, 90, 1e-9);
    // The zero mark (105, 160) went round the finger at (105, 170) (pixels, as the finger).
    const double fx = (still.x() - 5) / s(), fy = (still.y() - 5) / s();
    EXPECT_NEAR(p.GeoX, fx - (160 - fy), 1e-9);
    EXPECT_NEAR(p.GeoY, fy + (105 - fx), 1e-9);
    EXPECT_EQ(drawing().Elements.Count(), 0u);
}

TEST_F(TouchWindow, TwoFingersZoomAboutThePointBetweenThem) {
    QScrollArea* scroll = testing::Find<QScrollArea>(form, "ScrollBox1");
    const QPoint a = px(60, 150), b = px(100, 150);
    fingers().press(0, a).press(1, b);
    // Twice the spread, the midpoint kept on the screen: the paint box moves under the fingers.
    const QPoint m = (a + b) / 2;
    const QPoint a2 = m - (b - a), b2 = m + (b - a);
    fingers().move(0, a2).move(1, b2);
    EXPECT_EQ(Parts(*form).Session->Settings.Zoom(), 200);
    const QPoint h(scroll->horizontalScrollBar()->value(), scroll->verticalScrollBar()->value());
    // The drawing point that was under the midpoint (80, 150 mm) is under it again.
    const QPointF shown = QPointF(m + h - QPoint(5, 5)) / form->PixelsPerMm();
    EXPECT_NEAR(shown.x(), 80, 1.5 / form->PixelsPerMm());
    EXPECT_NEAR(shown.y(), 150, 1.5 / form->PixelsPerMm());
    fingers().release(0, a2 - h).release(1, b2 - h);
    EXPECT_FALSE(Parts(*form).Gesture.Busy());
    EXPECT_EQ(drawing().Placement, InstrumentPlacement{});
}

TEST_F(TouchWindow, ThePenDrawsAlongTheRulerAFingerHolds) {
    fingers().press(0, px(150, 95));
    penStroke(px(40, 80), px(120, 70));
    ASSERT_EQ(drawing().Elements.Count(), 1u);
    const TDrawElement& e = drawing().Elements.At(0);
    EXPECT_EQ(e.Kind, ekLine);
    EXPECT_EQ(e.Y1, 90);
    EXPECT_EQ(e.Y2, 90);
    EXPECT_NEAR(e.X1, 40, 1 / s());
    EXPECT_NEAR(e.X2, 120, 1 / s());
    EXPECT_TRUE(starred());
    // The history waits while the finger holds the ruler; then the line is one step.
    EXPECT_FALSE(Parts(*form).Session->Undo());
    fingers().release(0, px(150, 95));
    EXPECT_TRUE(Parts(*form).Session->Undo());
    EXPECT_EQ(drawing().Elements.Count(), 0u);
    EXPECT_EQ(drawing().Placement, InstrumentPlacement{});

    // The pen alone draws with the chosen tool: the pencil's two segments.
    penStroke(px(40, 200), px(60, 210));
    ASSERT_EQ(drawing().Elements.Count(), 2u);
    EXPECT_NEAR(drawing().Elements.At(0).X1, 40, 1 / s());
    EXPECT_NEAR(drawing().Elements.At(0).Y1, 200, 1 / s());
}

TEST_F(TouchWindow, APalmIsIgnoredDuringAPenStroke) {
    QScrollArea* scroll = testing::Find<QScrollArea>(form, "ScrollBox1");
    scroll->verticalScrollBar()->setValue(100);
    QTabletEvent near(QEvent::TabletEnterProximity, pen, QPointF(), QPointF(), 0, 0, 0, 0, 0, 0,
                      Qt::NoModifier, Qt::NoButton, Qt::NoButton);
    QApplication::sendEvent(qApp, &near);
    // A palm lands beside the pen before it touches, then the stroke, the palm dragging.
    const QPoint palm = px(150, 120) + QPoint(0, 100);
    fingers().press(3, palm);
    fingers().move(3, palm - QPoint(0, 20));
    penEvent(QEvent::TabletPress, px(40, 110) + QPoint(0, 100), Qt::LeftButton, Qt::LeftButton);
    fingers().move(3, palm - QPoint(40, 60));
    penEvent(QEvent::TabletMove, px(60, 115) + QPoint(0, 100), Qt::NoButton, Qt::LeftButton);
    fingers().release(3, palm - QPoint(40, 60));
    penEvent(QEvent::TabletRelease, px(60, 115) + QPoint(0, 100), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(scroll->verticalScrollBar()->value(), 100);
    EXPECT_EQ(scroll->horizontalScrollBar()->value(), 0);
    ASSERT_EQ(drawing().Elements.Count(), 1u);  // the pen's stroke, nothing of the palm
    EXPECT_NEAR(drawing().Elements.At(0).X1, 40, 1 / s());
    EXPECT_EQ(drawing().Placement, InstrumentPlacement{});

    QTabletEvent gone(QEvent::TabletLeaveProximity, pen, QPointF(), QPointF(), 0, 0, 0, 0, 0, 0,
                      Qt::NoModifier, Qt::NoButton, Qt::NoButton);
    QApplication::sendEvent(qApp, &gone);
    // The pen away, a finger pans again.
    fingers().press(4, palm);
    fingers().move(4, palm - QPoint(0, 30));
    fingers().release(4, palm - QPoint(0, 30));
    EXPECT_EQ(scroll->verticalScrollBar()->value(), 130);
}

TEST_F(TouchWindow, ATouchGripEndsWithEscapeAChangeOfToolAndNew) {
    fingers().press(0, px(100, 95));
    fingers().move(0, px(120, 95));
    EXPECT_TRUE(form->CancelGestureUnderWay());
    EXPECT_EQ(drawing().Placement, InstrumentPlacement{});
    fingers().move(0, px(140, 95));  // the finger still down moves nothing
    fingers().release(0, px(140, 95));
    EXPECT_EQ(drawing().Placement, InstrumentPlacement{});

    fingers().press(1, px(50, 50));  // the protractor
    fingers().move(1, px(70, 50));
    testing::Find<QAction>(form, "Hand1")->trigger();
    EXPECT_EQ(drawing().Placement, InstrumentPlacement{});
    EXPECT_FALSE(Parts(*form).Gesture.Busy());
    fingers().release(1, px(70, 50));
    EXPECT_EQ(drawing().Elements.Count(), 0u);

    // New ends the fingers' hold as well; they move nothing in the new drawing.
    fingers().press(2, px(100, 95));
    fingers().move(2, px(110, 95));
    testing::Find<QAction>(form, "Neu1")->trigger();
    EXPECT_FALSE(Parts(*form).Gesture.Busy());
    fingers().move(2, px(130, 95));
    fingers().release(2, px(130, 95));
    EXPECT_EQ(drawing().Placement, InstrumentPlacement{});
}

}  // namespace
}  // namespace tervasko
