#include "app/recovery.h"

#include <QGuiApplication>
#include <QLabel>
#include <QStatusBar>
#include <optional>

#include "app/dialogs/errortext.h"
#include "i18n/messagetable.h"
#include "platform/safefile.h"
#include "session/drawingsession.h"

namespace tervasko {
namespace {

constexpr std::string_view kCannotWrite =
    "Die Wiederherstellungskopie kann nicht geschrieben werden. Bis das wieder gelingt, ist "
    "ungespeicherte Arbeit bei einem Absturz nicht geschützt. Ordner:";
constexpr std::string_view kNoCopyNote = "Keine Wiederherstellungskopie";
constexpr std::string_view kCopiesStay =
    "Diese Wiederherstellungskopien bleiben, wo sie sind, und werden beim nächsten Start "
    "wieder angezeigt:";

// A copy read whole and checked: its drawing decodes and can be shown.
struct CheckedCopy {
    std::vector<std::uint8_t> bytes;
    RecoveryHead head;
};

// headSeen: the head, when it could be read, even of a copy whose drawing cannot.
Result<CheckedCopy> readCopy(const RecoveryWindow& form, const std::string& path,
                             std::optional<RecoveryHead>* headSeen = nullptr) {
    Result<std::vector<std::uint8_t>> read = ReadWholeFile(path, kMaxDrawingFileSize + (1 << 16));
    if (!read.ok()) return read.error();
    CheckedCopy copy{std::move(read).value(), {}};
    Result<RecoveryHead> head = DecodeRecoveryHead(copy.bytes);
    if (!head.ok()) return WithLead(head.error(), ErrorLead::NotADrawing, path);
    copy.head = std::move(head).value();
    if (headSeen) *headSeen = copy.head;
    TDrawing scratch;
    DrawingSettings settings = form.CurrentSettings();
    if (Error failed = ReadDrawingBytes(copy.bytes.data() + copy.head.drawingOffset,
                                        copy.bytes.size() - copy.head.drawingOffset, path, scratch,
                                        settings, SheetSizeCheck::Refuse))
        return failed;
    return copy;
}

// A copy as the list shows it. Only the verdict is kept: forty copies of a large drawing
// are not held in memory at once, and the one restored is read again.
LeftoverCopy inspect(const RecoveryWindow& form, const RecoveryCopyInfo& info) {
    LeftoverCopy listed{info.path, {}, info.time, {}};
    std::optional<RecoveryHead> head;
    const Result<CheckedCopy> read = readCopy(form, info.path, &head);
    if (!read.ok()) listed.damage = DescribeError(read.error());
    if (head) {
        listed.drawingName = head->fileName;
        if (listed.drawingName.empty()) GetMessageText(6, listed.drawingName);
    }
    return listed;
}

bool restore(const RecoveryWindow& form, const std::string& path, const CheckedCopy& copy) {
    DrawingSettings settings = form.CurrentSettings();
    // Checked before; only memory can fail here, and the drawing stays then.
    if (ReadDrawingBytes(copy.bytes.data() + copy.head.drawingOffset,
                         copy.bytes.size() - copy.head.drawingOffset, path, form.Session->Drawing(),
                         settings, SheetSizeCheck::Refuse))
        return false;
    form.Session->Drawing().FileName = copy.head.fileName;
    form.Session->Gesture.Forget();
    form.ApplySettings(settings);
    form.UpdateEds();
    form.Session->RestartUnsaved();
    form.SetChanged();
    form.PaintBox1Paint();
    return true;
}

}  // namespace

TRecoveryKeeper::TRecoveryKeeper(RecoveryWindow window, const std::string& folder)
    : form_(std::move(window)), store_(folder) {
    timer_.setSingleShot(true);
    timer_.setInterval(kIntervalMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        // Not in the middle of a drag: the encoding takes a few milliseconds for a large
        // drawing, which a moving instrument would show.
        if (QGuiApplication::mouseButtons() != Qt::NoButton) {
            timer_.start(kDragRetryMs);
            return;
        }
        WriteCopy();
    });
    // The writer's thread only posts; the keeper outlives the writer, whose thread ends with
    // the store, a member of the keeper.
    store_.SetWrittenHandler([this](const Error& failure) {
        QMetaObject::invokeMethod(
            this, [this, failure] { copyWritten(failure); }, Qt::QueuedConnection);
    });
    if (form_.StatusBar) {
        note_ = new QLabel(form_.StatusBar);
        note_->setObjectName(QStringLiteral("RecoveryNote"));
        note_->hide();
        form_.StatusBar->addPermanentWidget(note_);
    }
    RunCopiesDialog = [](TRecoveryCopiesDialog& dialog) {
        return dialog.exec() == QDialog::Accepted;
    };
}

TRecoveryKeeper::~TRecoveryKeeper() = default;

void TRecoveryKeeper::DrawingChanged() {
    dirty_ = true;
    if (!timer_.isActive()) timer_.start();
}

void TRecoveryKeeper::DrawingSettled() {
    dirty_ = false;
    timer_.stop();
    store_.Remove();
}

void TRecoveryKeeper::WriteCopy() {
    if (!dirty_ || !form_.Changed()) return;
    dirty_ = false;
    try {
        // Serialising is a copy of the element block plus the texts; the disk is the
        // writer thread's.
        store_.Submit(EncodeRecoveryCopy(form_.Session->Drawing().FileName,
                                         form_.Session->Drawing(), form_.CurrentSettings()));
    } catch (const std::bad_alloc&) {
        dirty_ = true;  // tried again at the next change
    }
}

void TRecoveryKeeper::copyWritten(const Error& failure) {
    if (!failure) {
        failing_ = false;
        if (note_) note_->hide();
        return;
    }
    // Every timer tick of a full disk fails again; the user hears of it once.
    if (failing_) return;
    failing_ = true;
    std::string text = TranslateText(kCannotWrite) + "\n";
    if (!store_.Folder().empty()) text += store_.Folder() + "\n";
    text += "\n" + DescribeError(failure);
    if (note_) {
        note_->setText(QString::fromStdString(TranslateText(kNoCopyNote)));
        note_->setToolTip(QString::fromStdString(text));
        note_->show();
    }
    // Set first: the box waits in an event loop of its own, where the next failure may come.
    form_.ShowError(text);
}

bool OfferRecovery(TRecoveryKeeper& keeper, const std::string& folder) {
    const RecoveryWindow& form = keeper.Window();
    if (folder.empty()) return false;
    const std::vector<RecoveryCopyInfo> found = FindOrphanedRecoveryCopies(folder);
    if (found.empty()) return false;
    std::vector<LeftoverCopy> copies;
    copies.reserve(found.size());
    for (const RecoveryCopyInfo& info : found) copies.push_back(inspect(form, info));

    TRecoveryCopiesDialog dialog(copies, form.Window);
    if (!keeper.RunCopiesDialog(dialog)) return false;  // nothing is touched
    const std::vector<LeftoverChoice> choices = dialog.Choices();

    std::vector<std::string> failures;
    bool restored = false;
    // The restore first: this program's own copy should hold the work before anything goes.
    for (std::size_t i = 0; i < copies.size(); ++i) {
        if (choices[i] != LeftoverChoice::Restore || restored) continue;
        const std::string& path = copies[i].copyPath;
        // Read again: the list kept only the verdict.
        const Result<CheckedCopy> read = readCopy(form, path);
        if (!read.ok()) {
            failures.push_back(DescribeError(read.error()));
            continue;
        }
        if (!restore(form, path, *read)) {
            failures.push_back(DescribeError(
                WithLead(Failure(ErrorCode::OutOfMemoryToRead), ErrorLead::CannotOpen, path)));
            continue;
        }
        restored = true;
        // This program's own copy takes over before the old one goes.
        keeper.WriteCopy();
        // Where this program cannot write its copy, the old one stays: it is all that would
        // survive a crash of this program. The write's failure is told by the keeper.
        if (!keeper.Flush())
            if (Error failed = RemoveRecoveryCopy(path)) failures.push_back(DescribeError(failed));
    }
    for (std::size_t i = 0; i < copies.size(); ++i) {
        if (choices[i] == LeftoverChoice::Discard) {
            if (Error failed = RemoveRecoveryCopy(copies[i].copyPath))
                failures.push_back(DescribeError(failed));
        } else if (choices[i] == LeftoverChoice::Keep && !copies[i].damage.empty()) {
            const Result<std::string> aside = SetRecoveryCopyAside(copies[i].copyPath);
            if (!aside.ok()) failures.push_back(DescribeError(aside.error()));
        }
    }
    if (!failures.empty()) {
        std::string text = TranslateText(kCopiesStay);
        for (const std::string& failure : failures) text += "\n\n" + failure;
        form.ShowError(text);
    }
    return restored;
}

}  // namespace tervasko
