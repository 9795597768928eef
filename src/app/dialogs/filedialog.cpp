#include "app/dialogs/filedialog.h"

#include <QDir>
#include <QFileInfo>

#include "app/dialogs/messagebox.h"
#include "i18n/messagetable.h"

namespace tervasko {

QString FolderOf(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absolutePath());
}

bool FolderExists(const QString& path) {
    if (path.isEmpty()) return false;
    return QFileInfo(QFileInfo(path).absolutePath()).isDir();
}

std::string FolderMissingMessage(const QString& path) {
    return TranslateText(kFolderMissingText) + "\n" + FolderOf(path).toStdString();
}

FileDialogRunner::FileDialogRunner()
    : Exec([](QFileDialog& dialog) { return dialog.exec(); }),
      Refuse([](QWidget* dialog, const std::string& text) {
          std::string caption;
          GetMessageText(2, caption);
          ShowMessageBox(dialog, QMessageBox::Warning, caption, text);
      }) {}

TFileDialog::TFileDialog(QWidget* parent, const FileDialogRunner& runner)
    : QFileDialog(parent), runner_(runner) {
    setOption(QFileDialog::DontUseNativeDialog);
}

void TFileDialog::accept() {
    const QStringList files = selectedFiles();
    // A name that is a folder opens it; Qt's own handling does that.
    if (!files.isEmpty() && !QFileInfo(files.constFirst()).isDir() &&
        !FolderExists(files.constFirst())) {
        runner_.Refuse(this, FolderMissingMessage(files.constFirst()));
        return;
    }
    QFileDialog::accept();
}

std::optional<QString> RunFileDialog(TFileDialog& dialog, const FileDialogRunner& runner) {
    for (;;) {
        dialog.setResult(QDialog::Rejected);
        if (runner.Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        const QString file = dialog.selectedFiles().constFirst();
        if (FolderExists(file)) return file;
        runner.Refuse(&dialog, FolderMissingMessage(file));
    }
}

}  // namespace tervasko
