#include "app/paintbox.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "app/mainUnit.h"

namespace tervasko {

TPaintBox::TPaintBox(TMainForm& form, QWidget* parent) : QWidget(parent), form_(form) {
    setObjectName("PaintBox1");
    setMouseTracking(true);
    // Everything is painted by the sheets or left to the scroll box's background.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TPaintBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    form_.View.Paint(painter, event->rect());
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    form_.PaintBox1MouseMove(p.x(), p.y());
}

}  // namespace tervasko
