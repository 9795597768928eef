#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <string>

#include "app/dialogs/filedialog.h"

namespace tervasko {

class TMainForm;

// The questions and file choices of the file commands. The window fills them with its
// dialogs; tests put in their answers.
struct FileDialogService {
    enum class Answer { Yes, No, Cancel };
    // The unsaved-changes question.
    std::function<Answer()> AskSave;
    // The open dialog, the drawing's save dialog and the DXF save dialog: the chosen path,
    // nullopt when cancelled.
    std::function<std::optional<std::string>()> OpenDialog1;
    std::function<std::optional<std::string>()> SaveDialog1;
    std::function<std::optional<std::string>()> SaveDialog3;
    // How those three file dialogs run and refuse a file in a folder that does not exist.
    FileDialogRunner Runner;
};

// "Neu", "Öffnen...", "Speichern", "Speichern unter...", "Als DXF Datei exportieren..." and
// the close guard, each protecting unsaved work with the same three-way question.
class TFileCommands : public QObject {
    Q_OBJECT
public:
    explicit TFileCommands(TMainForm& form);

    FileDialogService Dialogs;

    bool SaveFile();
    // Whether the window may close now.
    bool FormCloseQuery();
    // Reads a drawing into the window; on failure tells the user and changes nothing.
    bool OpenFile();
    bool LoadDrawing(const std::string& path);
    // A drawing named outside the open dialog (dropped on the window, chosen from the recent
    // files): the unsaved-changes question as for "Öffnen...", then the file is read.
    bool OpenPath(const std::string& path);
    // Asks about unsaved work before the drawing is replaced; false when the user keeps it.
    bool MayReplaceDrawing();

    // Told the path of every drawing opened or saved successfully (the recent files).
    std::function<void(const std::string& path)> FileUsed;

public slots:
    void Neu1Click();
    void ffnen1Click();
    void Speichern1Click();
    void Speichernunter1Click();
    void DXFExportActionClick();

private:
    bool saveTo(const std::string& path);
    void installDialogs();

    TMainForm& form_;
    std::string lastSaveDialogPath_;
};

}  // namespace tervasko
