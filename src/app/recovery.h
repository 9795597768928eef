#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "app/dialogs/recoverycopiesdialog.h"
#include "document/drawingfile.h"
#include "document/recovery.h"

class QLabel;
class QStatusBar;
class QWidget;

namespace tervasko {

class DrawingSession;

// The window as the recovery copy needs it: the drawing and its settings to copy, and what a
// restored drawing asks of the window.
struct RecoveryWindow {
    QWidget* Window = nullptr;  // the parent of the question
    DrawingSession* Session = nullptr;
    std::function<DrawingSettings()> CurrentSettings;
    std::function<void(const DrawingSettings&)> ApplySettings;
    std::function<void()> UpdateEds;
    std::function<void()> SetChanged;
    std::function<void()> PaintBox1Paint;
    std::function<bool()> Changed;
    std::function<void(const std::string& text)> ShowError;
    QStatusBar* StatusBar = nullptr;  // shows the note while copies cannot be written
};

// Keeps a recovery copy of the window's drawing while it has unsaved changes: written at
// most every kIntervalMs and only after a change, from the event loop (never inside a
// pointer handler), the disk work on a thread of its own. The copy goes when the drawing is
// saved, discarded or replaced, and when the window closes normally.
//
// A copy that cannot be written (no folder, no permission, a full disk) is told once in a
// message box naming the folder and the reason, and the status bar keeps a short note
// ("RecoveryNote") until a copy is written again; the next failure after that is told again.
class TRecoveryKeeper : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 30000;
    static constexpr int kDragRetryMs = 1000;

    // folder: where copies live (RecoveryFolder() unless a test names another).
    explicit TRecoveryKeeper(RecoveryWindow window, const std::string& folder = RecoveryFolder());
    ~TRecoveryKeeper() override;

    // The drawing changed: a copy follows within kIntervalMs.
    void DrawingChanged();
    // The drawing has no unsaved changes any more: no copy is needed.
    void DrawingSettled();
    // Writes a copy now when something changed since the last one (the timer's work).
    void WriteCopy();
    // Waits for the writer; the reason when the last copy could not be written. Whether it was
    // written reaches the window with its next events.
    Error Flush() { return store_.Flush(); }

    const std::string& CopyPath() const { return store_.CopyPath(); }
    bool Pending() const { return dirty_; }

    // Runs the list of leftover copies modally (exec unless replaced); true when its choices
    // are to be carried out.
    std::function<bool(TRecoveryCopiesDialog& dialog)> RunCopiesDialog;

    const RecoveryWindow& Window() const { return form_; }

private:
    // On the window's thread: how the writer fared with the last copy.
    void copyWritten(const Error& failure);

    RecoveryWindow form_;
    RecoveryStore store_;
    QTimer timer_;
    QLabel* note_ = nullptr;  // in the status bar, shown while copies fail
    bool dirty_ = false;
    bool failing_ = false;  // told already; cleared by the next copy written
};

// At start: lists every copy that a program ended without closing left behind in one
// window, with the drawing's file, the time of the copy and whether it can be restored, and
// carries out the user's choice for each: one copy restored (the drawing titled or untitled as
// it was and marked changed), copies discarded, kept for the next start, or, damaged and
// kept, set aside. Cancelled, nothing is touched. What could not be done (a copy that cannot
// be deleted or set aside stays where it was) is told in one message. Returns whether a
// drawing was restored.
bool OfferRecovery(TRecoveryKeeper& keeper, const std::string& folder = RecoveryFolder());

}  // namespace tervasko
