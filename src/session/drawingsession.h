#pragma once

#include <QObject>
#include <QUndoStack>
#include <functional>
#include <memory>

#include "document/drawingedit.h"
#include "document/drawmodel.h"
#include "session/settingsmodel.h"

namespace tervasko {

// The drawing's history: every change of the drawing is a step that can be taken back and
// made again (Qt's undo stack). A step stores what changed, never a copy of the drawing.
// The stack's clean state is the state last saved or loaded, so the changed mark follows
// the history: taking steps back to that state clears it. Moving or turning an instrument
// is no step: instruments are tools, not content.
class DrawingSession : public QObject {
    Q_OBJECT
public:
    // Steps kept at most; the oldest are forgotten first.
    static constexpr int kHistoryLimit = 1000;

    explicit DrawingSession(TDrawing& drawing, QObject* parent = nullptr);

    TDrawing& Drawing() { return drawing_; }
    // The settings that travel with the drawing, and the inch switch.
    SettingsModel Settings;
    QUndoStack& History() { return history_; }

    // A change of the drawing's lists or sheet size, already made; `step` names it in
    // German, as the menus do.
    void Record(std::unique_ptr<DrawingEdit> edit, const char* step);
    // A change of a value outside the drawing's lists (the page count), already made:
    // `apply` sets the value of either side, false for before and true for after.
    void RecordValue(const char* step, std::function<void(bool after)> apply);

    // Bytes the steps hold beyond themselves (records taken back or removed).
    std::size_t HeldBytes() const;

    // A new or loaded drawing: the history starts afresh, clean.
    void Restart();
    // A drawing no file holds as it is (a restored recovery copy): the history starts afresh
    // with no state that counts as saved.
    void RestartUnsaved();
    // The drawing was saved: this state is the clean one.
    void MarkSaved();

    // Takes the last step back, or makes the next one again; nothing while a gesture that
    // changes the drawing is under way.
    void Undo();
    void Redo();
    std::function<bool()> Busy;

signals:
    // A step was taken back or made again: the drawing or a value changed under the window.
    void Restored();

private:
    TDrawing& drawing_;
    QUndoStack history_;
};

}  // namespace tervasko
