#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "document/drawingfile.h"
#include "document/recovery.h"

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
};

// Keeps a recovery copy of the window's drawing while it has unsaved changes: written at
// most every kIntervalMs and only after a change, from the event loop (never inside a
// pointer handler), the disk work on a thread of its own. The copy goes when the drawing is
// saved, discarded or replaced, and when the window closes normally.
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
    // Waits for the writer; the reason when the last copy could not be written.
    Error Flush() { return store_.Flush(); }

    const std::string& CopyPath() const { return store_.CopyPath(); }
    bool Pending() const { return dirty_; }

    // The question whether to restore a copy (a message box unless replaced); true = yes.
    std::function<bool(const std::string& question)> AskRestore;

    const RecoveryWindow& Window() const { return form_; }

private:
    RecoveryWindow form_;
    RecoveryStore store_;
    QTimer timer_;
    bool dirty_ = false;
};

// At start: offers the newest copy that a program ended without closing left behind,
// naming the drawing's file and the time of the copy. Restored, the drawing is titled or
// untitled as it was and marked changed; declined, the copy is deleted and the next one is
// offered. A damaged copy is reported, set aside and never holds up the start. Returns
// whether a drawing was restored.
bool OfferRecovery(TRecoveryKeeper& keeper, const std::string& folder = RecoveryFolder());

}  // namespace tervasko
