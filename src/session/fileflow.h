#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/progress.h"

namespace tervasko {

class DrawingSession;

// The questions, file choices and failure reports of the file commands. The window fills
// them with its dialogs and message boxes; tests put in their answers.
struct FileQuestions {
    enum class Answer { Yes, No, Cancel };
    // Which command failed, for the report's first sentence.
    enum class Failure {
        Open,
        Save,
        SaveFolderMissing,  // the chosen file's folder does not exist; no Error
        ExportDxf,
    };
    // The unsaved-changes question.
    std::function<Answer()> AskSave;
    // The open dialog, the drawing's save dialog and the DXF save dialog: the chosen path,
    // nullopt when cancelled.
    std::function<std::optional<std::string>()> OpenDialog1;
    std::function<std::optional<std::string>()> SaveDialog1;
    std::function<std::optional<std::string>()> SaveDialog3;
    // A command failed on `path`; `error` says why. A command the user stopped in its
    // progress is not reported.
    std::function<void(Failure what, const std::string& path, const Error& error)> Report;
    // A drawing was read from `path`, but what `dropped` names of its file could not be; the
    // drawing is shown without it, as unsaved. None, or nullptr, tells nobody.
    std::function<void(const std::string& path, const std::vector<Error>& dropped)> Warn;
    // What reading a drawing (Open) or writing the DXF file (ExportDxf) on `path` tells how
    // far it has come and asks whether to go on; none, or nullptr, for work without a sign.
    std::function<std::unique_ptr<Progress>(Failure what, const std::string& path)> ProgressOf;
};

// The file commands' flow over the session: "Neu", "Öffnen...", a drawing named from
// outside (dropped, recent files, command line), "Speichern", "Speichern unter...", the
// DXF export and the close guard. Unsaved work is protected by the same three-way question
// everywhere; every question and report goes through FileQuestions.
class FileFlow {
public:
    FileFlow(DrawingSession& session, FileQuestions& questions);

    // After "Neu" or a drawing read: the window shows the new drawing's values.
    std::function<void()> Replaced;
    // The drawing now matches its file (or is new) and the history is clean: the window shows
    // the file's name. A drawing read with part of its file dropped comes here unsaved.
    std::function<void()> Settled;
    // Told the path of every drawing opened or saved successfully (the recent files).
    std::function<void(const std::string& path)> FileUsed;

    // "Neu": an empty, untitled drawing, after the question while work is unsaved.
    void New();
    // "Öffnen...": the question, then the open dialog, then the file is read.
    bool Open();
    // A drawing named outside the open dialog: the question, then the file is read.
    bool OpenPath(const std::string& path);
    // Reads a drawing; on failure reports it and changes nothing.
    bool Load(const std::string& path);
    // "Speichern": under the drawing's name, or the save dialog's while untitled.
    bool Save();
    // "Speichern unter...": always the save dialog.
    bool SaveAs();
    bool ExportDxf();
    // Asks about unsaved work before the drawing is replaced or the window closes; false
    // when the user keeps it.
    bool MayReplaceDrawing();

private:
    bool saveTo(const std::string& path);
    void settle();

    DrawingSession& session_;
    FileQuestions& questions_;
};

}  // namespace tervasko
