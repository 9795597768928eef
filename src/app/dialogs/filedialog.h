#pragma once

// The program's file dialogs. Every one of them refuses a file in a folder that does not
// exist, as the open dialog refuses a file that does not exist: it says so and stays open,
// so a path that cannot be written never leaves the dialog.

#include <QFileDialog>
#include <QString>
#include <functional>
#include <optional>
#include <string>

namespace tervasko {

// Said when the chosen file lies in a folder that does not exist; the folder follows on a
// line of its own.
inline constexpr const char* kFolderMissingText =
    "Dieser Ordner existiert nicht. Bitte prüfen Sie den Pfad.";

// Whether the folder that `path` names a file in exists (a relative path counts from the
// working folder).
bool FolderExists(const QString& path);
// The folder of `path`, as the refusal names it.
QString FolderOf(const QString& path);
// The refusal for a file in that path: the translated text and the folder.
std::string FolderMissingMessage(const QString& path);

// How a file dialog runs and how it refuses; tests replace both so that nothing waits for a
// person.
struct FileDialogRunner {
    // Runs the dialog modally and returns its result: exec() unless replaced.
    std::function<int(QFileDialog& dialog)> Exec;
    // Tells why the chosen file was refused, over the dialog: a warning box unless replaced.
    std::function<void(QWidget* dialog, const std::string& text)> Refuse;

    FileDialogRunner();
};

// Qt's own file dialog (not the desktop's, so that it speaks the program's language and its
// refusals are the program's), refusing a file in a folder that does not exist.
class TFileDialog : public QFileDialog {
    Q_OBJECT
public:
    // `runner` must outlive the dialog.
    TFileDialog(QWidget* parent, const FileDialogRunner& runner);

    void accept() override;

private:
    const FileDialogRunner& runner_;
};

// Runs the dialog until it is cancelled or gives a file in a folder that exists; the file,
// or nullopt when cancelled. A dialog that closed with a file in a missing folder all the
// same (one whose accept was not this program's) is refused and shown again.
std::optional<QString> RunFileDialog(TFileDialog& dialog, const FileDialogRunner& runner);

}  // namespace tervasko
