#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <functional>
#include <span>
#include <vector>

#include "tools/toolhost.h"
#include "tools/touch.h"

class QTouchEvent;

namespace tervasko {

// What the paint box asks of its window: the sheets painted into a rectangle of the box, the
// pointer's press, move and release in paint-box pixels, and a key pressed while the box has
// the keyboard focus (Qt's key and modifiers; true when the key was taken).
struct PaintBoxClient {
    std::function<void(QPainter& painter, const QRect& area)> Paint;
    std::function<void(MouseButton button, int x, int y)> Down;
    std::function<void(int x, int y)> Move;
    std::function<void(MouseButton button, int x, int y)> Up;
    std::function<bool(int key, Qt::KeyboardModifiers modifiers)> Key;
};

// What the paint box hands on of fingers and pen: the fingers of each touch event (paint-box
// pixels) with whether the pen is near the screen or touching it, a touch sequence the system
// took away, and the pen's press, move and release as the mouse's.
struct PaintBoxTouchClient {
    std::function<void(std::span<const TouchPoint> points, bool penNear, bool penDown)> Touch;
    std::function<void()> TouchCancel;
    std::function<void(MouseButton button, int x, int y)> PenDown;
    std::function<void(int x, int y)> PenMove;
    std::function<void(MouseButton button, int x, int y)> PenUp;
};

// The drawing surface inside the scroll box: shows the sheets and passes pointer events on.
// A click gives it the keyboard focus (tabbing never does, so the fields keep their order);
// the keys it does not take go on to the scroll box.
class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(PaintBoxClient client, QWidget* parent = nullptr);
    // From then on the box takes touch-screen and pen events itself: no mouse event is made
    // of them. Without it Qt turns them into the mouse's.
    void SetTouchClient(PaintBoxTouchClient touch);

    // How long after the pen's last sign while hovering it counts as near, in milliseconds,
    // where the system tells no leaving of its proximity.
    static constexpr int kPenNearMs = 1000;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void tabletEvent(QTabletEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PaintBoxClient client_;
    PaintBoxTouchClient touch_;
    std::vector<TouchPoint> points_;  // kept between events: a move allocates nothing
    bool penInProximity_ = false, penDown_ = false;
    QElapsedTimer penSeen_;

    bool penNear() const;
    bool takeTouch(QTouchEvent* event);
};

}  // namespace tervasko
