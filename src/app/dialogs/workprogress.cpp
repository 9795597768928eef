#include "app/dialogs/workprogress.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <algorithm>

#include "app/dialogs/messagebox.h"
#include "i18n/messagetable.h"

namespace tervasko {
namespace {

// Events are taken at most this often: enough for a window that is uncovered or resized to
// be drawn again at once, and rare enough to cost the work nothing measurable.
constexpr qint64 kPumpIntervalMs = 30;
// The dialog's bar counts in thousandths; the work's own units may exceed an int.
constexpr int kBarSteps = 1000;

int busyCount = 0;
int defaultDelayMs = WorkProgress::kDefaultDelayMs;

QString q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

WorkProgress::WorkProgress(QWidget* owner, std::string command, std::string target, int delayMs)
    : owner_(owner),
      command_(std::move(command)),
      target_(std::move(target)),
      delayMs_(delayMs < 0 ? defaultDelayMs : delayMs) {
    ++busyCount;
}

WorkProgress::~WorkProgress() {
    --busyCount;
    delete dialog_.data();
}

bool WorkProgress::Busy() {
    return busyCount > 0;
}

void WorkProgress::SetDefaultDelay(int delayMs) {
    defaultDelayMs = std::max(0, delayMs);
}

void WorkProgress::showDialog() {
    auto* dialog = new QProgressDialog(owner_.data());
    std::string caption;
    GetMessageText(2, caption);
    dialog->setWindowTitle(q(caption));
    dialog->setLabelText(q(TranslateText(command_) + "\n" + target_));
    dialog->setCancelButtonText(q(TranslateText("Abbrechen")));
    dialog->setFont(InterfaceFont());
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setMinimumDuration(0);
    dialog->setRange(0, kBarSteps);
    dialog->setValue(0);
    dialog->show();
    dialog_ = dialog;
}

bool WorkProgress::Report(std::uint64_t done, std::uint64_t total) {
    if (cancelled_) return false;
    if (!clock_.isValid()) clock_.start();
    const qint64 now = clock_.elapsed();
    if (lastPump_ >= 0 && now - lastPump_ < kPumpIntervalMs) return true;
    lastPump_ = now;

    if (!dialog_ && now >= delayMs_) showDialog();
    if (dialog_) {
        if (total == 0) {
            dialog_->setRange(0, 0);  // the amount is unknown: a busy bar
        } else {
            const double part = static_cast<double>(std::min(done, total)) / total;
            dialog_->setValue(static_cast<int>(part * kBarSteps));
        }
        // The dialog is modal: the window behind it takes no input, only paints.
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (!dialog_ || dialog_->wasCanceled()) cancelled_ = true;
    } else {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return !cancelled_;
}

}  // namespace tervasko
