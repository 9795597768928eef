#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/dialogs/filedialog.h"
#include "session/fileflow.h"

class QWidget;

namespace tervasko {

class DrawingSession;

// What the file commands need of their window.
struct FileCommandsClient {
    // The parent of the dialogs, the message boxes and the file filters (the window's
    // translation finds the filters there).
    QWidget* Window = nullptr;
    DrawingSession* Session = nullptr;
    std::function<void()> Replaced;       // a new drawing came: the fields take its placement
    std::function<void()> Settled;        // the drawing matches its file: no star, no copy
    std::function<void()> Repaint;        // the paint cycle
    std::function<void()> CancelGesture;  // ends every gesture under way
    std::function<void(const std::string& text)> ShowError;
};

// The window's side of the file commands: their questions, dialogs and failure reports,
// with the window's dialogs and message boxes, over the session's FileFlow.
struct FileDialogService : FileQuestions {
    // How the three file dialogs run and refuse a file in a folder that does not exist.
    FileDialogRunner Runner;
};

// "Neu", "Öffnen...", "Speichern", "Speichern unter...", "Als DXF Datei exportieren..." and
// the close guard: thin forwards to the session's flow, with the repaint after each.
class TFileCommands : public QObject {
    Q_OBJECT
public:
    explicit TFileCommands(FileCommandsClient client);
    ~TFileCommands() override;

    FileDialogService Dialogs;
    FileFlow& Flow() { return *flow_; }

    bool SaveFile();
    // Whether the window may close now.
    bool FormCloseQuery();
    // Reads a drawing into the window; on failure tells the user and changes nothing.
    bool LoadDrawing(const std::string& path);
    // A drawing named outside the open dialog (dropped on the window, chosen from the recent
    // files): the unsaved-changes question as for "Öffnen...", then the file is read.
    bool OpenPath(const std::string& path);

public slots:
    void Neu1Click();
    void ffnen1Click();
    void Speichern1Click();
    void Speichernunter1Click();
    void DXFExportActionClick();

private:
    void installDialogs();

    FileCommandsClient client_;
    std::unique_ptr<FileFlow> flow_;
    std::string lastSaveDialogPath_;
};

}  // namespace tervasko
