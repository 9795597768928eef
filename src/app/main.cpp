#include <QApplication>
#include <QFont>
#include <QMessageBox>

#include "app/mainUnit.h"
#include "app/recovery.h"
#include "platform/systemmessage.h"

namespace {

// The record lists' out-of-memory message, untranslated, owned by no window.
void showStopMessage(const std::string& text) {
    QMessageBox box(QMessageBox::Critical, QString(), QString::fromStdString(text), QMessageBox::Ok);
    box.exec();
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
    // Work that a crash or a kill cut short is offered back before anything else.
    tervasko::OfferRecovery(form);
    return QApplication::exec();
}
