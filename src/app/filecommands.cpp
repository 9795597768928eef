#include "app/filecommands.h"

#include <QFileDialog>
#include <QMessageBox>

#include "app/dialogs/errortext.h"
#include "app/dialogs/messagebox.h"
#include "app/dialogs/workprogress.h"
#include "app/translate/translateunit.h"
#include "i18n/messagetable.h"
#include "session/drawingsession.h"

namespace tervasko {
namespace {

constexpr std::string_view kPartDropped =
    "Die Zeichnung wurde geöffnet, aber ein Teil der Datei konnte nicht gelesen werden und "
    "fehlt nun:";

QString q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

TFileCommands::TFileCommands(FileCommandsClient client)
    : QObject(client.Window),
      client_(std::move(client)),
      flow_(std::make_unique<FileFlow>(*client_.Session, Dialogs)) {
    installDialogs();
    flow_->Replaced = [this] { client_.Replaced(); };
    flow_->Settled = [this] { client_.Settled(); };
}

TFileCommands::~TFileCommands() = default;

void TFileCommands::installDialogs() {
    // The filters belong to the window, so that its translation finds them with the rest.
    auto* drawings = new TFileFilter("OpenDialog1", "Zeichnungen (*.tvk)|*.tvk", client_.Window);
    auto* drawingsSave =
        new TFileFilter("SaveDialog1", "Zeichnungen (*.tvk)|*.tvk", client_.Window);
    auto* dxf = new TFileFilter("SaveDialog3", "DXF-Dateien (*.dxf)|*.dxf", client_.Window);
    Dialogs.AskSave = [this] {
        std::string text, caption;
        GetMessageText(8, text);
        GetMessageText(9, caption);
        const auto answer =
            ShowMessageBox(client_.Window, QMessageBox::Question, caption, text,
                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Yes) return FileDialogService::Answer::Yes;
        if (answer == QMessageBox::No) return FileDialogService::Answer::No;
        return FileDialogService::Answer::Cancel;
    };
    const auto run = [this](QFileDialog::AcceptMode mode, const TFileFilter* filter,
                            const char* suffix, bool confirmOverwrite,
                            const std::string& start) -> std::optional<std::string> {
        TFileDialog dialog(client_.Window, Dialogs.Runner);
        dialog.setNameFilters(filter->NameFilters());
        dialog.setAcceptMode(mode);
        dialog.setDefaultSuffix(suffix);
        dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                           : QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
        if (!start.empty()) dialog.selectFile(q(start));
        const auto path = RunFileDialog(dialog, Dialogs.Runner);
        if (!path) return std::nullopt;
        return path->toStdString();
    };
    Dialogs.OpenDialog1 = [run, drawings] {
        return run(QFileDialog::AcceptOpen, drawings, "tvk", false, {});
    };
    Dialogs.SaveDialog1 = [this, run, drawingsSave] {
        auto path = run(QFileDialog::AcceptSave, drawingsSave, "tvk", true, lastSaveDialogPath_);
        if (path) lastSaveDialogPath_ = *path;
        return path;
    };
    // The DXF dialog does not ask before overwriting.
    Dialogs.SaveDialog3 = [run, dxf] {
        return run(QFileDialog::AcceptSave, dxf, "dxf", false, {});
    };
    Dialogs.ProgressOf = [this](FileQuestions::Failure what,
                                const std::string& path) -> std::unique_ptr<Progress> {
        const char* command =
            what == FileQuestions::Failure::Open ? "Öffnen..." : "Als DXF Datei exportieren...";
        return std::make_unique<WorkProgress>(client_.Window, command, path);
    };
    Dialogs.Report = [this](FileQuestions::Failure what, const std::string& path,
                            const Error& error) {
        using Failure = FileQuestions::Failure;
        const char* lead = what == Failure::Open ? "Die Zeichnung konnte nicht geöffnet werden."
                           : what == Failure::ExportDxf
                               ? "Die DXF-Datei konnte nicht geschrieben werden."
                               : "Die Zeichnung konnte nicht gespeichert werden.";
        client_.ShowError(TranslateText(lead) + "\n\n" +
                          (what == Failure::SaveFolderMissing ? FolderMissingMessage(q(path))
                                                              : DescribeError(error)));
    };
    Dialogs.Warn = [this](const std::string& path, const std::vector<Error>& dropped) {
        std::string text = TranslateText(kPartDropped) + "\n" + path + "\n";
        for (const Error& each : dropped) text += "\n" + DescribeError(each);
        client_.ShowError(text);
    };
}

bool TFileCommands::SaveFile() {
    return flow_->Save();
}

void TFileCommands::Speichern1Click() {
    flow_->Save();
}

void TFileCommands::Speichernunter1Click() {
    flow_->SaveAs();
}

// A gesture under way belongs to the drawing about to go: it ends before anything is asked.
void TFileCommands::Neu1Click() {
    client_.CancelGesture();
    flow_->New();
    client_.Repaint();
}

bool TFileCommands::LoadDrawing(const std::string& path) {
    const bool read = flow_->Load(path);
    client_.Repaint();
    return read;
}

void TFileCommands::ffnen1Click() {
    client_.CancelGesture();
    flow_->Open();
    client_.Repaint();
}

bool TFileCommands::OpenPath(const std::string& path) {
    client_.CancelGesture();
    const bool read = flow_->OpenPath(path);
    client_.Repaint();
    return read;
}

void TFileCommands::DXFExportActionClick() {
    flow_->ExportDxf();
}

bool TFileCommands::FormCloseQuery() {
    return flow_->MayReplaceDrawing();
}

}  // namespace tervasko
