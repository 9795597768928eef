#pragma once

#include <QWidget>

namespace tervasko {

class TMainForm;

// The drawing surface inside the scroll box: shows the sheets and passes pointer events on.
class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(TMainForm& form, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TMainForm& form_;
};

}  // namespace tervasko
