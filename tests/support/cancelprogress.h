#pragma once

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include "app/dialogs/workprogress.h"

namespace tervasko::testing {

// While it lives, long work shows its progress dialog at once, and the first dialog that
// shows is cancelled as the user does it: with a click on its "Abbrechen" button, from the
// events the work lets through while it runs.
class CancelProgressDialog {
public:
    explicit CancelProgressDialog(bool cancel = true) : cancel_(cancel) {
        WorkProgress::SetDefaultDelay(0);
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] { look(); });
        timer_.start();
    }
    ~CancelProgressDialog() { WorkProgress::SetDefaultDelay(WorkProgress::kDefaultDelayMs); }
    CancelProgressDialog(const CancelProgressDialog&) = delete;
    CancelProgressDialog& operator=(const CancelProgressDialog&) = delete;

    // A progress dialog was seen, modal, with this label and an "Abbrechen" button.
    bool Seen() const { return seen_; }
    QString Label() const { return label_; }
    bool Modal() const { return modal_; }
    bool Clicked() const { return clicked_; }

private:
    void look() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QProgressDialog*>(w);
            if (!dialog || !dialog->isVisible()) continue;
            seen_ = true;
            label_ = dialog->labelText();
            modal_ = dialog->isModal();
            if (!cancel_ || clicked_) continue;
            for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
                if (b->text() == "Abbrechen") {
                    b->click();
                    clicked_ = true;
                }
            }
        }
    }

    bool cancel_;
    QTimer timer_;
    bool seen_ = false, modal_ = false, clicked_ = false;
    QString label_;
};

}  // namespace tervasko::testing
