#include "app/wraprow.h"

#include <QEvent>
#include <algorithm>

namespace tervasko {

WrapRow::WrapRow(int minHeight, QMargins margins, int gap, int minGap, QWidget* parent)
    : QWidget(parent), minHeight_(minHeight), margins_(margins), gap_(gap), minGap_(minGap) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void WrapRow::AddGroup(QWidget* group) {
    group->setParent(this);
    groups_.append(group);
    relayout();
}

QSize WrapRow::sizeHint() const {
    int width = margins_.left() + margins_.right();
    for (const QWidget* g : groups_) width += g->sizeHint().width() + gap_;
    if (!groups_.isEmpty()) width -= gap_;
    return {width, heightForWidth(width)};
}

// The widest group must fit on a line of its own.
QSize WrapRow::minimumSizeHint() const {
    int widest = 0;
    for (const QWidget* g : groups_) widest = std::max(widest, g->sizeHint().width());
    const int width = widest + margins_.left() + margins_.right();
    return {width, heightForWidth(width)};
}

int WrapRow::heightForWidth(int width) const {
    return arrange(width, false);
}

int WrapRow::arrange(int width, bool place) const {
    const int right = width - margins_.right();
    int top = margins_.top();
    int i = 0;
    while (i < groups_.size()) {
        // The groups of this line: at least one, however narrow the row.
        int end = i, x = margins_.left(), lineHeight = 0, widths = 0;
        while (end < groups_.size()) {
            const QSize s = groups_[end]->sizeHint();
            if (end > i && x + s.width() > right) break;
            x += s.width() + minGap_;
            widths += s.width();
            lineHeight = std::max(lineHeight, s.height());
            ++end;
        }
        if (place) {
            // The full gap where the line has room for it, less where it has not.
            const int gaps = end - i - 1;
            const int room = right - margins_.left() - widths;
            const int gap = gaps > 0 ? std::clamp(room / gaps, minGap_, gap_) : 0;
            x = margins_.left();
            for (int k = i; k < end; ++k) {
                const QSize s = groups_[k]->sizeHint();
                groups_[k]->setGeometry(x, top + (lineHeight - s.height()) / 2, s.width(),
                                        s.height());
                x += s.width() + gap;
            }
        }
        top += lineHeight + (end < groups_.size() ? minGap_ : 0);
        i = end;
    }
    const int height = top + margins_.bottom();
    if (height >= minHeight_) return height;
    if (place) {  // one short line: centred in the row as a whole
        const int shift = (minHeight_ - height) / 2;
        for (QWidget* g : groups_) g->move(g->x(), g->y() + shift);
    }
    return minHeight_;
}

void WrapRow::relayout() {
    const int height = arrange(width(), true);
    if (height != this->height() || minimumHeight() != height) {
        setFixedHeight(height);
        updateGeometry();
    }
}

// A group's contents changed size (a translated label, another font): the lines follow.
bool WrapRow::event(QEvent* event) {
    if (event->type() == QEvent::LayoutRequest) {
        relayout();
        updateGeometry();
    }
    return QWidget::event(event);
}

void WrapRow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout();
}

}  // namespace tervasko
