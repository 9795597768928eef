#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <string>

#include "platform/progress.h"

class QProgressDialog;
class QWidget;

namespace tervasko {

// The window's side of long work (opening, exporting, printing), which runs on the window's
// thread and reports through Progress: until the work has taken `delayMs` the window only
// keeps repainting (no input is taken, so nothing the work reads can change under it); after
// that a modal progress dialog shows how far it has come, with "Abbrechen", and the window
// behind it still repaints. Cancelling answers the work's next report with false; the work
// then stops and leaves nothing behind.
//
// The clock starts at the first report, so the object may be made before the questions that
// precede the work. While one exists, the program is busy: the main window refuses to close
// (a close asked for by the desktop is not an input event and would reach it otherwise).
class WorkProgress final : public Progress {
public:
    static constexpr int kDefaultDelayMs = 500;

    // The dialog's label is the command (its German text, translated only when the dialog
    // shows, so quick work looks nothing up) above what it works on (a file's name). A
    // negative delay takes the program's (see SetDefaultDelay).
    WorkProgress(QWidget* owner, std::string command, std::string target, int delayMs = -1);
    ~WorkProgress() override;
    WorkProgress(const WorkProgress&) = delete;
    WorkProgress& operator=(const WorkProgress&) = delete;

    bool Report(std::uint64_t done, std::uint64_t total) override;

    bool Cancelled() const { return cancelled_; }
    // Whether any long work reports to a WorkProgress now.
    static bool Busy();
    // The delay of every WorkProgress made from now on without one of its own; tests set 0
    // to see the dialog of work that is quick.
    static void SetDefaultDelay(int delayMs);

private:
    void showDialog();

    QPointer<QWidget> owner_;
    std::string command_, target_;
    int delayMs_;
    QElapsedTimer clock_;
    qint64 lastPump_ = -1;
    QPointer<QProgressDialog> dialog_;
    bool cancelled_ = false;
};

}  // namespace tervasko
