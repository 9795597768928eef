#include "app/paintbox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
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
std::optional<MouseButton> buttonOf(const QMouseEvent* event) {
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

}  // namespace tervasko
