#include "app/recovery.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QMessageBox>
#include <cstdio>

#include "app/dialogs/errortext.h"
#include "i18n/messagetable.h"
#include "platform/safefile.h"
#include "session/drawingsession.h"

namespace tervasko {
namespace {

constexpr std::string_view kRestoreQuestion =
    "Das Programm wurde nicht ordnungsgemäß beendet. Es gibt eine Wiederherstellungskopie "
    "ungespeicherter Arbeit:";
constexpr std::string_view kRestoreAsk = "Wollen Sie die Zeichnung wiederherstellen?";
constexpr std::string_view kCopyDamaged =
    "Die Wiederherstellungskopie ist beschädigt und wird nicht benutzt. Sie wurde beiseitegelegt:";
constexpr std::string_view kCopyTime = "Stand der Kopie:";

std::string copyTime(std::time_t time) {
    return QDateTime::fromSecsSinceEpoch(time)
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
        .toStdString();
}

// A copy that cannot be used is kept under another name, so that nothing is thrown away,
// and is not offered again.
std::string setAside(const std::string& path) {
    const std::string aside = path + ".damaged";
    if (std::rename(path.c_str(), aside.c_str()) != 0) return path;
    RemoveRecoveryCopy(path);  // the lock file
    return aside;
}

// A copy read whole and checked: its drawing decodes and can be shown.
struct CheckedCopy {
    std::vector<std::uint8_t> bytes;
    RecoveryHead head;
};

Result<CheckedCopy> readCopy(const RecoveryWindow& form, const std::string& path) {
    Result<std::vector<std::uint8_t>> read = ReadWholeFile(path, kMaxDrawingFileSize + (1 << 16));
    if (!read.ok()) return read.error();
    CheckedCopy copy{std::move(read).value(), {}};
    Result<RecoveryHead> head = DecodeRecoveryHead(copy.bytes);
    if (!head.ok()) return head.error();
    copy.head = std::move(head).value();
    TDrawing scratch;
    DrawingSettings settings = form.CurrentSettings();
    if (Error failed = ReadDrawingBytes(copy.bytes.data() + copy.head.drawingOffset,
                                        copy.bytes.size() - copy.head.drawingOffset, path, scratch,
                                        settings, SheetSizeCheck::Refuse))
        return failed;
    return copy;
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
    AskRestore = [this](const std::string& question) {
        std::string caption;
        GetMessageText(2, caption);
        return QMessageBox::question(form_.Window, QString::fromStdString(caption),
                                     QString::fromStdString(question),
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
}

TRecoveryKeeper::~TRecoveryKeeper() = default;

void TRecoveryKeeper::DrawingChanged() {
    if (!store_.Active()) return;
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

bool OfferRecovery(TRecoveryKeeper& keeper, const std::string& folder) {
    const RecoveryWindow& form = keeper.Window();
    if (folder.empty()) return false;
    for (const RecoveryCopyInfo& info : FindOrphanedRecoveryCopies(folder)) {
        const Result<CheckedCopy> read = readCopy(form, info.path);
        if (!read.ok()) {
            const std::string aside = setAside(info.path);
            form.ShowError(TranslateText(kCopyDamaged) + "\n" + aside + "\n\n" +
                           DescribeError(read.error()));
            continue;
        }
        const CheckedCopy& copy = *read;
        std::string name = copy.head.fileName;
        if (name.empty()) GetMessageText(6, name);
        const std::string question = TranslateText(kRestoreQuestion) + "\n\n" + name + "\n" +
                                     TranslateText(kCopyTime) + " " + copyTime(info.time) + "\n\n" +
                                     TranslateText(kRestoreAsk);
        if (!keeper.AskRestore(question)) {
            RemoveRecoveryCopy(info.path);
            continue;
        }
        if (!restore(form, info.path, copy)) return false;  // the copy stays for the next start
        // This program's own copy takes over before the old one goes.
        keeper.WriteCopy();
        // Where this program cannot write its copy, the old one stays: it is all that would
        // survive a crash of this program.
        if (!keeper.Flush()) RemoveRecoveryCopy(info.path);
        return true;
    }
    return false;
}

}  // namespace tervasko
