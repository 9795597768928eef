#include "app/paintbox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTabletEvent>
#include <QTouchEvent>
#include <optional>

namespace tervasko {

TPaintBox::TPaintBox(PaintBoxClient client, QWidget* parent)
    : QWidget(parent), client_(std::move(client)) {
    setObjectName("PaintBox1");
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    // Everything is painted by the sheets or left to the scroll box's background.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TPaintBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // A damaged area of several pieces (an instrument moved on every sheet) is painted piece
    // by piece rather than as the rectangle around all of them.
    const QRegion& region = event->region();
    if (region.rectCount() <= 1) {
        client_.Paint(painter, event->rect());
        return;
    }
    for (const QRect& r : region) client_.Paint(painter, r);
}

namespace {

// The three buttons the tools know; the others (a mouse's back and forward buttons and the
// like) are left alone.
std::optional<MouseButton> buttonOf(const QSinglePointEvent* event) {
    switch (event->button()) {
        case Qt::LeftButton:
            return MouseButton::Left;
        case Qt::RightButton:
            return MouseButton::Right;
        case Qt::MiddleButton:
            return MouseButton::Middle;
        default:
            return std::nullopt;
    }
}

}  // namespace

void TPaintBox::mousePressEvent(QMouseEvent* event) {
    const auto button = buttonOf(event);
    if (!button) return;
    const QPoint p = event->position().toPoint();
    client_.Down(*button, p.x(), p.y());
}

// Only the left button keeps the pointer: with another button held, what happens outside the
// visible paint box does not reach it, so such a gesture outlives a release out there.
void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (!(event->buttons() & Qt::LeftButton) && !visibleRegion().contains(p)) return;
    client_.Move(p.x(), p.y());
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* event) {
    const auto button = buttonOf(event);
    if (!button) return;
    const QPoint p = event->position().toPoint();
    if (*button != MouseButton::Left && !visibleRegion().contains(p)) return;
    client_.Up(*button, p.x(), p.y());
}

void TPaintBox::keyPressEvent(QKeyEvent* event) {
    if (client_.Key && client_.Key(event->key(), event->modifiers())) return;
    QWidget::keyPressEvent(event);  // ignores it: the scroll box has its turn
}

void TPaintBox::SetTouchClient(PaintBoxTouchClient touch) {
    touch_ = std::move(touch);
    setAttribute(Qt::WA_AcceptTouchEvents, static_cast<bool>(touch_.Touch));
    // The pen's proximity is told to the application, not to a widget.
    if (touch_.PenDown && qApp) qApp->installEventFilter(this);
}

bool TPaintBox::penNear() const {
    return penInProximity_ || penDown_ || (penSeen_.isValid() && penSeen_.elapsed() < kPenNearMs);
}

bool TPaintBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::TabletEnterProximity) penInProximity_ = true;
    if (event->type() == QEvent::TabletLeaveProximity) {
        penInProximity_ = false;
        penSeen_.invalidate();
    }
    return QWidget::eventFilter(watched, event);
}

bool TPaintBox::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            if (takeTouch(static_cast<QTouchEvent*>(event))) return true;
            break;
        case QEvent::TouchCancel:
            if (!touch_.TouchCancel) break;
            touch_.TouchCancel();
            event->accept();
            return true;
        default:
            break;
    }
    return QWidget::event(event);
}

// Touch screens only: a touchpad's fingers stay the mouse's.
bool TPaintBox::takeTouch(QTouchEvent* event) {
    if (!touch_.Touch || !event->device() ||
        event->device()->type() != QInputDevice::DeviceType::TouchScreen)
        return false;
    points_.clear();
    for (const QEventPoint& point : event->points()) {
        TouchPoint::State state = TouchPoint::State::Moved;
        switch (point.state()) {
            case QEventPoint::State::Pressed:
                state = TouchPoint::State::Pressed;
                break;
            case QEventPoint::State::Released:
                state = TouchPoint::State::Released;
                break;
            case QEventPoint::State::Stationary:
                state = TouchPoint::State::Stationary;
                break;
            default:
                break;
        }
        points_.push_back({point.id(), point.position().x(), point.position().y(), state});
    }
    touch_.Touch(points_, penNear(), penDown_);
    event->accept();
    return true;
}

// The pen's tip is the left button, its barrel buttons the others; pressure is ignored.
void TPaintBox::tabletEvent(QTabletEvent* event) {
    if (!touch_.PenDown) {
        event->ignore();  // Qt makes the mouse's events of it
        return;
    }
    event->accept();
    const QPoint p = event->position().toPoint();
    switch (event->type()) {
        case QEvent::TabletPress:
            if (const auto button = buttonOf(event)) {
                penDown_ = true;
                touch_.PenDown(*button, p.x(), p.y());
            }
            break;
        case QEvent::TabletMove:
            penSeen_.start();
            if (penDown_ || visibleRegion().contains(p)) touch_.PenMove(p.x(), p.y());
            break;
        case QEvent::TabletRelease:
            if (const auto button = buttonOf(event)) {
                penDown_ = event->buttons() != Qt::NoButton;
                penSeen_.start();
                touch_.PenUp(*button, p.x(), p.y());
            }
            break;
        default:
            break;
    }
}

}  // namespace tervasko
