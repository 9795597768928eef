#pragma once

#include <QWidget>
#include <functional>

#include "tools/toolhost.h"

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

// The drawing surface inside the scroll box: shows the sheets and passes pointer events on.
// A click gives it the keyboard focus (tabbing never does, so the fields keep their order);
// the keys it does not take go on to the scroll box.
class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(PaintBoxClient client, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    PaintBoxClient client_;
};

}  // namespace tervasko
