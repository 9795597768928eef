#pragma once

#include <QObject>
#include <QUndoStack>
#include <memory>
#include <string>
#include <vector>

#include "document/drawingedit.h"
#include "document/drawmodel.h"
#include "platform/error.h"
#include "platform/progress.h"
#include "session/settingsmodel.h"
#include "session/toolchoice.h"
#include "tools/gesturestate.h"
#include "tools/snapindex.h"
#include "worksheet/worksheet.h"

namespace tervasko {

// The drawing's history: every change of the drawing is a step that can be taken back and
// made again (Qt's undo stack). A step stores what changed, never a copy of the drawing.
// The stack's clean state is the state last saved or loaded, and it is the only source of
// the changed mark: taking steps back to that state clears it. Moving or turning an
// instrument is no step: instruments are tools, not content.
class DrawingSession : public QObject {
    Q_OBJECT
public:
    // Steps kept at most; the oldest are forgotten first.
    static constexpr int kHistoryLimit = 1000;

    explicit DrawingSession(QObject* parent = nullptr);
    ~DrawingSession() override;

    // The drawing the session holds; the window and the tools reach it through here.
    TDrawing& Drawing() { return drawing_; }
    const TDrawing& Drawing() const { return drawing_; }
    // The file the drawing was last read from or saved to; empty while untitled.
    const std::string& FileName() const { return drawing_.FileName; }
    // The changed mark: the history stands elsewhere than at the state that counts as saved,
    // or there is none (a restored recovery copy). cleanChanged tells each change of it.
    bool Changed() const { return !history_.isClean(); }
    // The settings that travel with the drawing, and the inch switch. A change of the page
    // count is a step of its own (a loaded one is none).
    SettingsModel Settings;
    // The pointer tools' state between events.
    GestureState Gesture;
    // The active tool and each tool's mode, as the tool menu shows them.
    ToolChoice Tool;
    // The snap points of the drawing, built when a snap is first looked for; every step made,
    // taken back or made again and every new or loaded drawing invalidates it.
    SnapIndex Snap;
    QUndoStack& History() { return history_; }

    // A change of the drawing's lists, already made; `step` names it in German, as the menus
    // do.
    void Record(std::unique_ptr<DrawingEdit> edit, const char* step);
    // The sheet size in inches, set as a step ("Seite einrichten"); false when it is the size
    // the drawing has. Sizes set in a row are one step.
    bool SetSheetSize(double widthInch, double heightInch);

    // The worksheet: `bytes` of a PDF file that CheckWorksheet took, with its `pages` sizes
    // and page count, beneath the sheets; the sheet size becomes the first page's, the page
    // count the number of pages (at most kMaxWorksheetPages); it replaces any worksheet and is
    // shown. One step ("Arbeitsblatt einfügen").
    void InsertWorksheet(WorksheetBytes bytes, const WorksheetInfo& info);
    // Takes the worksheet away, one step ("Arbeitsblatt entfernen"); false when there is none.
    bool RemoveWorksheet();

    // Bytes the steps hold beyond themselves (records taken back or removed).
    std::size_t HeldBytes() const;

    // A new or loaded drawing: the history starts afresh, clean.
    void Restart();
    // A drawing no file holds as it is (a restored recovery copy): the history starts afresh
    // with no state that counts as saved.
    void RestartUnsaved();
    // The drawing was saved: this state is the clean one.
    void MarkSaved();

    // The file commands' work, without their questions and dialogs (the window asks those).
    // New: an empty, untitled drawing with a fresh history; placement, sheet and settings
    // stay.
    void New();
    // Reads a drawing and its settings; only when the file was read whole do the drawing,
    // the settings (one Assigned) and the file name change and the history start afresh.
    // Otherwise nothing changes and *error says why. When part of the file's chunk area had
    // to be dropped, *dropped says what, and the history starts with no state that counts as
    // saved: the drawing no longer matches its file.
    bool Load(const std::string& path, Error* error, Progress* progress = nullptr,
              std::vector<Error>* dropped = nullptr);
    // Saves under `path`, which becomes the file name; the saved state is the clean one.
    // On failure the drawing stays changed and *error says why.
    bool SaveAs(const std::string& path, Error* error);
    bool ExportDxf(const std::string& path, Error* error, Progress* progress = nullptr);

    // The window's title: "<base> - [<file or untitled>]", with a star while changed. The
    // two words are the window's, in its language.
    void SetTitleTexts(std::string base, std::string untitled);
    std::string Title() const;

    // Takes the last step back, or makes the next one again. Refused (false) while a gesture
    // holds the pointer: its release would act on a drawing that moved under it. A curve
    // waiting for its next click is dropped first, its clicks belonging to the drawing as it
    // was. False as well when there is no step, or when the step could not be carried out
    // (StepFailed).
    bool Undo();
    bool Redo();

signals:
    // A step was taken back or made again: the drawing or a value changed under the window.
    void Restored();
    // The changed mark came or went (clean: it went).
    void cleanChanged(bool clean);
    // The step named `step` (in German) could not be taken back (`undoing`) or made again,
    // for lack of memory. The drawing stays as it was before the attempt and the history is
    // dropped; the mark stays as it was.
    void StepFailed(bool undoing, const QString& step);

private:
    friend class SessionStep;
    bool move(bool undoing);
    // Runs `change` on the history with the mark's announcement held back, then tells the
    // mark once if it differs from the last one told.
    template <typename F>
    void holdingMark(F change);
    void tellMark();
    void pageCountChanged();

    // Before the history: its steps point into the drawing, so they go first.
    TDrawing drawing_;
    QUndoStack history_;
    std::string titleBase_, untitled_;
    bool toldClean_ = true;
    bool holdMark_ = false;
    // The page count as the history knows it, and whether a step is putting it back (no new
    // step then).
    int pageCount_ = 0;
    bool restoring_ = false;
    // Set by a step that could not be carried out.
    bool failed_ = false;
};

}  // namespace tervasko
