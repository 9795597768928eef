#include "app/dialogs/outputmessages.h"

#include <QMessageBox>
#include <QPointer>

#include "i18n/messagetable.h"

namespace tervasko {

ShowMessageFn MessageBoxOwnedBy(QWidget* parent) {
    return [owner = QPointer<QWidget>(parent)](const std::string& text) {
        std::string caption;
        GetMessageText(2, caption);
        QMessageBox::warning(owner.data(), QString::fromStdString(caption), QString::fromStdString(text));
    };
}

}  // namespace tervasko
