#include "session/drawingsession.h"

namespace tervasko {
namespace {

// A step whose change is already made when it is pushed: the stack's first redo does
// nothing.
class Step : public QUndoCommand {
public:
    Step(const char* name, std::function<void(bool redo)> apply)
        : QUndoCommand(QString::fromUtf8(name)), apply_(std::move(apply)) {}

    void undo() override { apply_(false); }
    void redo() override {
        if (first_) {
            first_ = false;
            return;
        }
        apply_(true);
    }

private:
    std::function<void(bool)> apply_;
    bool first_ = true;
};

}  // namespace

DrawingSession::DrawingSession(TDrawing& drawing, QObject* parent)
    : QObject(parent), drawing_(drawing) {
    history_.setUndoLimit(kHistoryLimit);
}

void DrawingSession::Record(std::unique_ptr<DrawingEdit> edit, const char* step) {
    std::shared_ptr<DrawingEdit> held(std::move(edit));
    history_.push(new Step(step, [this, held](bool redo) {
        if (redo)
            held->Redo(drawing_);
        else
            held->Undo(drawing_);
        emit Restored();
    }));
}

void DrawingSession::RecordValue(const char* step, std::function<void(bool)> apply) {
    history_.push(new Step(step, [this, apply = std::move(apply)](bool after) {
        apply(after);
        emit Restored();
    }));
}

void DrawingSession::Restart() {
    history_.clear();
}

void DrawingSession::MarkSaved() {
    history_.setClean();
}

void DrawingSession::Undo() {
    if (Busy && Busy()) return;
    history_.undo();
}

void DrawingSession::Redo() {
    if (Busy && Busy()) return;
    history_.redo();
}

}  // namespace tervasko
