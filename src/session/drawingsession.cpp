#include "session/drawingsession.h"

#include "document/drawingfile.h"
#include "export/dxfwriter.h"

namespace tervasko {
namespace {

// A step whose change is already made when it is pushed: the stack's first redo does
// nothing.
class Step : public QUndoCommand {
public:
    Step(const char* name, std::function<void(bool redo)> apply,
         std::shared_ptr<DrawingEdit> edit = {})
        : QUndoCommand(QString::fromUtf8(name)), apply_(std::move(apply)), edit_(std::move(edit)) {}

    std::size_t Bytes() const { return edit_ ? edit_->Bytes() : 0; }

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
    std::shared_ptr<DrawingEdit> edit_;
    bool first_ = true;
};

}  // namespace

DrawingSession::DrawingSession(QObject* parent) : QObject(parent) {
    history_.setUndoLimit(kHistoryLimit);
}

void DrawingSession::Record(std::unique_ptr<DrawingEdit> edit, const char* step) {
    std::shared_ptr<DrawingEdit> held(std::move(edit));
    DrawingEdit* e = held.get();
    const auto apply = [this, e](bool redo) {
        if (redo)
            e->Redo(drawing_);
        else
            e->Undo(drawing_);
        Snap.Invalidate();
        emit Restored();
    };
    Snap.Invalidate();
    history_.push(new Step(step, apply, std::move(held)));
}

void DrawingSession::RecordValue(const char* step, std::function<void(bool)> apply) {
    history_.push(new Step(step, [this, apply = std::move(apply)](bool after) {
        apply(after);
        Snap.Invalidate();
        emit Restored();
    }));
}

std::size_t DrawingSession::HeldBytes() const {
    std::size_t bytes = 0;
    for (int i = 0; i < history_.count(); ++i)
        if (const auto* step = dynamic_cast<const Step*>(history_.command(i)))
            bytes += step->Bytes();
    return bytes;
}

void DrawingSession::New() {
    drawing_.NewAll();
    Restart();
}

bool DrawingSession::Load(const std::string& path, Error* error) {
    DrawingSettings settings = Settings.Values();
    if (Error failed = ReadDrawingFile(path, drawing_, settings, SheetSizeCheck::Refuse)) {
        if (error) *error = std::move(failed);
        return false;
    }
    Settings.Assign(settings);
    Restart();
    return true;
}

bool DrawingSession::SaveAs(const std::string& path, Error* error) {
    drawing_.FileName = path;
    if (Error failed = SaveTheFile(drawing_, Settings.Values())) {
        if (error) *error = std::move(failed);
        return false;
    }
    MarkSaved();
    return true;
}

bool DrawingSession::ExportDxf(const std::string& path, Error* error) {
    Error failed = savedxfArc(path, drawing_, Settings.PageCount());
    if (failed && error) *error = failed;
    return !failed;
}

void DrawingSession::SetTitleTexts(std::string base, std::string untitled) {
    titleBase_ = std::move(base);
    untitled_ = std::move(untitled);
}

std::string DrawingSession::Title() const {
    const std::string name = drawing_.FileName.empty() ? untitled_ : drawing_.FileName;
    return titleBase_ + " - [" + name + (drawing_.Changed ? "*]" : "]");
}

void DrawingSession::Restart() {
    Snap.Invalidate();
    history_.clear();
}

void DrawingSession::RestartUnsaved() {
    Snap.Invalidate();
    history_.clear();
    history_.resetClean();
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
