#pragma once

#include <QWidget>

namespace tervasko {

// A row of groups (a label with its field, say) that keeps every group at the size its
// contents ask for and starts a new line where the next group would not fit, so that no
// label is ever cut, whatever the language, font or scale. Its height follows its width:
// one line as long as the groups fit, never less than `minHeight` pixels, each line's groups
// centred on the line.
class WrapRow : public QWidget {
    Q_OBJECT
public:
    // margins: around the lines; gap: between groups on a line, which shrinks down to
    // minGap before a group goes to the next line (pixels).
    WrapRow(int minHeight, QMargins margins, int gap, int minGap, QWidget* parent = nullptr);

    // Adds a group at the end of the row; the row owns it.
    void AddGroup(QWidget* group);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Places the groups for `width` (when `place`); returns the height it takes.
    int arrange(int width, bool place) const;
    void relayout();

    QList<QWidget*> groups_;
    int minHeight_;
    QMargins margins_;
    int gap_;
    int minGap_;
};

}  // namespace tervasko
