#include <QApplication>
#include <QFont>

#include "app/dialogs/messagebox.h"
#include "app/mainUnit.h"
#include "platform/systemmessage.h"

namespace {

// The record lists' out-of-memory message, untranslated, owned by no window.
void showStopMessage(const std::string& text) {
    tervasko::ShowMessageBox(nullptr, QMessageBox::Critical, {}, text);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tervasko");
    // The interface font of the window; Liberation Sans looks closest where it is missing.
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
    tervasko::SetSystemMessageHandler(&showStopMessage);

    tervasko::TMainForm form;
    form.show();
    return QApplication::exec();
}
