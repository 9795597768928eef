#include "session/drawingsession.h"

#include <algorithm>
#include <utility>

#include "document/drawingfile.h"
#include "export/dxfwriter.h"

namespace tervasko {

// A step whose change is already made when it is pushed: the stack's first redo does
// nothing. A change that cannot be carried out leaves everything as it was and tells the
// session, which drops the history once the stack is done with the step.
class SessionStep : public QUndoCommand {
public:
    SessionStep(DrawingSession& session, const char* name)
        : QUndoCommand(QString::fromUtf8(name)), session_(session) {}

    virtual std::size_t Bytes() const { return 0; }

    void undo() override { run(false); }
    void redo() override {
        if (first_) {
            first_ = false;
            return;
        }
        run(true);
    }

protected:
    // False when the change could not be made; nothing changed then.
    virtual bool apply(bool redo) = 0;
    // The page count lives in the settings; putting it back must not make a step of its own.
    void putPageCount(int pages) {
        session_.restoring_ = true;
        session_.Settings.SetPageCount(pages);
        session_.restoring_ = false;
    }
    DrawingSession& session_;

private:
    void run(bool redo) {
        if (!apply(redo)) {
            session_.failed_ = true;
            return;
        }
        session_.Snap.Invalidate();
        emit session_.Restored();
    }

    bool first_ = true;
};

namespace {

// Stack ids of the steps that merge with one of their kind right before them.
enum MergeId { kPageCountId = 1, kSheetSizeId };

class EditStep : public SessionStep {
public:
    EditStep(DrawingSession& session, const char* name, std::unique_ptr<DrawingEdit> edit)
        : SessionStep(session, name), edit_(std::move(edit)) {}

    std::size_t Bytes() const override { return edit_->Bytes(); }

protected:
    bool apply(bool redo) override {
        return redo ? edit_->Redo(session_.Drawing()) : edit_->Undo(session_.Drawing());
    }

private:
    std::unique_ptr<DrawingEdit> edit_;
};

// A value typed or spun in one field, from `before` to `after`. Changes of the same field in
// a row are one step; a run that ends where it began is none.
template <typename Value, int Id>
class FieldStep : public SessionStep {
public:
    FieldStep(DrawingSession& session, const char* name, Value before, Value after)
        : SessionStep(session, name), before_(before), after_(after) {}

    int id() const override { return Id; }
    bool mergeWith(const QUndoCommand* other) override {
        after_ = static_cast<const FieldStep*>(other)->after_;
        setObsolete(after_ == before_);
        return true;
    }

protected:
    Value before_, after_;
};

class PageCountStep : public FieldStep<int, kPageCountId> {
public:
    using FieldStep::FieldStep;

protected:
    bool apply(bool redo) override {
        putPageCount(redo ? after_ : before_);
        return true;
    }
};

struct SheetSize {
    double width, height;  // inches
    bool operator==(const SheetSize&) const = default;
};

class SheetSizeStep : public FieldStep<SheetSize, kSheetSizeId> {
public:
    using FieldStep::FieldStep;

protected:
    bool apply(bool redo) override {
        const SheetSize& size = redo ? after_ : before_;
        session_.Drawing().PageWidthInch = size.width;
        session_.Drawing().PageHeightInch = size.height;
        return true;
    }
};

// The worksheet with the sheet size and page count it brought, before and after: one step.
struct WorksheetState {
    WorksheetBytes bytes;
    double width, height;  // inches
    int pages;
};

class WorksheetStep : public SessionStep {
public:
    WorksheetStep(DrawingSession& session, const char* name, WorksheetState before,
                  WorksheetState after)
        : SessionStep(session, name), before_(std::move(before)), after_(std::move(after)) {}

    // The bytes are shared with the drawing while it holds them; the step holds them alone
    // once they are taken back or removed.
    std::size_t Bytes() const override {
        std::size_t bytes = 0;
        for (const WorksheetState* s : {&before_, &after_})
            if (s->bytes && s->bytes != session_.Drawing().Worksheet) bytes += s->bytes->size();
        return bytes;
    }

    // The change itself, made before the step is pushed.
    void Make() { put(after_); }

private:
    void put(const WorksheetState& state) {
        TDrawing& drawing = session_.Drawing();
        drawing.Worksheet = state.bytes;
        drawing.PageWidthInch = state.width;
        drawing.PageHeightInch = state.height;
        putPageCount(state.pages);
        if (state.bytes) session_.Settings.SetWorksheetShown(true);
    }

    bool apply(bool redo) override {
        put(redo ? after_ : before_);
        return true;
    }

    WorksheetState before_, after_;
};

}  // namespace

DrawingSession::DrawingSession(QObject* parent) : QObject(parent) {
    history_.setUndoLimit(kHistoryLimit);
    pageCount_ = Settings.PageCount();
    connect(&history_, &QUndoStack::cleanChanged, this, [this] {
        if (!holdMark_) tellMark();
    });
    // Connected before anyone else can be: the step is made before the window hears of the
    // change, so the window sees the history it belongs to.
    connect(&Settings, &SettingsModel::Changed, this, [this](SettingsModel::Setting which) {
        if (which == SettingsModel::Setting::PageCount) pageCountChanged();
    });
    connect(&Settings, &SettingsModel::Assigned, this,
            [this] { pageCount_ = Settings.PageCount(); });
}

DrawingSession::~DrawingSession() {
    // The stack clears itself as it goes and would announce a clean state nobody has.
    history_.blockSignals(true);
}

void DrawingSession::pageCountChanged() {
    const int before = pageCount_, after = Settings.PageCount();
    pageCount_ = after;
    if (restoring_ || before == after) return;
    Snap.Invalidate();
    history_.push(new PageCountStep(*this, "Seitenanzahl ändern", before, after));
}

void DrawingSession::Record(std::unique_ptr<DrawingEdit> edit, const char* step) {
    Snap.Invalidate();
    history_.push(new EditStep(*this, step, std::move(edit)));
}

bool DrawingSession::SetSheetSize(double widthInch, double heightInch) {
    const SheetSize before{drawing_.PageWidthInch, drawing_.PageHeightInch};
    const SheetSize after{widthInch, heightInch};
    if (before == after) return false;
    drawing_.PageWidthInch = widthInch;
    drawing_.PageHeightInch = heightInch;
    Snap.Invalidate();
    history_.push(new SheetSizeStep(*this, "Seite einrichten", before, after));
    return true;
}

void DrawingSession::InsertWorksheet(WorksheetBytes bytes, const WorksheetInfo& info) {
    WorksheetState before{drawing_.Worksheet, drawing_.PageWidthInch, drawing_.PageHeightInch,
                          Settings.PageCount()};
    WorksheetState after = before;
    after.bytes = std::move(bytes);
    if (!info.pages.empty()) {
        after.width = info.pages.front().widthMm / MmPerInch;
        after.height = info.pages.front().heightMm / MmPerInch;
    }
    after.pages = std::clamp(info.pageCount, 1, kMaxWorksheetPages);
    auto* step =
        new WorksheetStep(*this, "Arbeitsblatt einfügen", std::move(before), std::move(after));
    step->Make();
    Snap.Invalidate();
    history_.push(step);
}

bool DrawingSession::RemoveWorksheet() {
    if (!drawing_.Worksheet) return false;
    WorksheetState before{drawing_.Worksheet, drawing_.PageWidthInch, drawing_.PageHeightInch,
                          Settings.PageCount()};
    WorksheetState after = before;
    after.bytes = nullptr;
    auto* step =
        new WorksheetStep(*this, "Arbeitsblatt entfernen", std::move(before), std::move(after));
    step->Make();
    history_.push(step);
    return true;
}

std::size_t DrawingSession::HeldBytes() const {
    std::size_t bytes = 0;
    for (int i = 0; i < history_.count(); ++i)
        bytes += static_cast<const SessionStep*>(history_.command(i))->Bytes();
    return bytes;
}

template <typename F>
void DrawingSession::holdingMark(F change) {
    holdMark_ = true;
    change();
    holdMark_ = false;
    tellMark();
}

void DrawingSession::tellMark() {
    const bool clean = history_.isClean();
    if (clean == toldClean_) return;
    toldClean_ = clean;
    emit cleanChanged(clean);
}

void DrawingSession::New() {
    drawing_.NewAll();
    // The other instruments stay where they lie; the set square starts afresh with every new
    // drawing, at its start-up place and hidden, as a drawing file without it brings it.
    const InstrumentPlacement start;
    drawing_.Placement.GeoX = start.GeoX;
    drawing_.Placement.GeoY = start.GeoY;
    drawing_.Placement.GeoAngle = start.GeoAngle;
    Settings.SetSetSquareShown(false);
    Settings.SetWorksheetShown(true);
    Restart();
}

bool DrawingSession::Load(const std::string& path, Error* error, Progress* progress,
                          std::vector<Error>* dropped) {
    DrawingSettings settings = Settings.Values();
    std::vector<Error> lost;
    if (Error failed =
            ReadDrawingFile(path, drawing_, settings, SheetSizeCheck::Refuse, progress, &lost)) {
        if (error) *error = std::move(failed);
        return false;
    }
    if (drawing_.Worksheet) {
        const Result<WorksheetInfo> sheet = CheckWorksheet(*drawing_.Worksheet);
        if (!sheet.ok()) {
            drawing_.Worksheet.reset();
            lost.push_back(Failure(ErrorCode::WorksheetDamaged));
            lost.push_back(sheet.error());
        }
    }
    Settings.Assign(settings);
    Settings.SetWorksheetShown(true);
    if (lost.empty())
        Restart();
    else
        RestartUnsaved();
    if (dropped) *dropped = std::move(lost);
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

bool DrawingSession::ExportDxf(const std::string& path, Error* error, Progress* progress) {
    Error failed = savedxfArc(path, drawing_, Settings.PageCount(), progress);
    if (failed && error) *error = failed;
    return !failed;
}

void DrawingSession::SetTitleTexts(std::string base, std::string untitled) {
    titleBase_ = std::move(base);
    untitled_ = std::move(untitled);
}

std::string DrawingSession::Title() const {
    const std::string name = drawing_.FileName.empty() ? untitled_ : drawing_.FileName;
    return titleBase_ + " - [" + name + (Changed() ? "*]" : "]");
}

void DrawingSession::Restart() {
    Snap.Invalidate();
    pageCount_ = Settings.PageCount();
    // An empty stack is left as it is by clear(), even one with no clean state.
    holdingMark([this] {
        history_.clear();
        history_.setClean();
    });
}

void DrawingSession::RestartUnsaved() {
    Snap.Invalidate();
    pageCount_ = Settings.PageCount();
    // Cleared, the stack is clean for a moment: no one is told of that.
    holdingMark([this] {
        history_.clear();
        history_.resetClean();
    });
}

void DrawingSession::MarkSaved() {
    history_.setClean();
}

bool DrawingSession::Undo() {
    return move(true);
}

bool DrawingSession::Redo() {
    return move(false);
}

bool DrawingSession::move(bool undoing) {
    if (Gesture.Busy()) return false;
    if (undoing ? !history_.canUndo() : !history_.canRedo()) return false;
    if (Gesture.Pending()) Gesture.Forget();
    const QString step = undoing ? history_.undoText() : history_.redoText();
    const bool wasClean = history_.isClean();
    failed_ = false;
    holdingMark([&] {
        if (undoing)
            history_.undo();
        else
            history_.redo();
        if (!failed_) return;
        // The drawing is still as it was before the attempt, which the stack has moved past:
        // no step of it fits any more. The drawing matches its file exactly when it did
        // before.
        history_.clear();
        if (wasClean)
            history_.setClean();
        else
            history_.resetClean();
    });
    if (!failed_) return true;
    failed_ = false;
    Snap.Invalidate();
    emit StepFailed(undoing, step);
    emit Restored();
    return false;
}

}  // namespace tervasko
