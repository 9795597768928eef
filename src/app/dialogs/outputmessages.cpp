#include "app/dialogs/outputmessages.h"

#include <QPointer>

#include "app/dialogs/messagebox.h"
#include "i18n/messagetable.h"

namespace tervasko {

ShowMessageFn MessageBoxOwnedBy(QWidget* parent) {
    return [owner = QPointer<QWidget>(parent)](const std::string& text) {
        std::string caption;
        GetMessageText(2, caption);
        ShowMessageBox(owner.data(), QMessageBox::Warning, caption, text);
    };
}

}  // namespace tervasko
