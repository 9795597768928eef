#include "app/dialogs/messagebox.h"

#include <QFontMetrics>
#include <QLabel>

namespace tervasko {

QFont InterfaceFont() {
    QFont f;
    f.setFamily(QStringLiteral("MS Sans Serif"));
    f.setPointSize(8);
    return f;
}

void KeepAccentsInside(QMessageBox& box) {
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (!label) return;
    const QString firstLine = label->text().section(QLatin1Char('\n'), 0, 0);
    if (firstLine.isEmpty()) return;
    const QFontMetrics metrics(label->font());
    // The ink of the first line above its baseline, beyond the line's ascent.
    const int above = -metrics.tightBoundingRect(firstLine).top() - metrics.ascent();
    const QMargins m = label->contentsMargins();
    if (above > m.top()) label->setContentsMargins(m.left(), above, m.right(), m.bottom());
}

QMessageBox::StandardButton ShowMessageBox(QWidget* owner, QMessageBox::Icon icon,
                                           const std::string& caption, const std::string& text,
                                           QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, QString::fromStdString(caption), QString::fromStdString(text), buttons,
                    owner);
    box.setFont(InterfaceFont());
    KeepAccentsInside(box);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace tervasko
