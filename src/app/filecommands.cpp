#include "app/filecommands.h"

#include <QFileDialog>
#include <QMessageBox>

#include "app/dialogs/errortext.h"
#include "app/dialogs/messagebox.h"
#include "app/mainUnit.h"
#include "app/translate/translateunit.h"
#include "document/drawingfile.h"
#include "export/dxfwriter.h"
#include "i18n/messagetable.h"
#include "session/drawingsession.h"

namespace tervasko {
namespace {

QString q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// An empty, untitled drawing; placement, sheet and pen settings stay.
void newAll(TMainForm& form) {
    form.Gesture.Hover.Valid = false;  // nothing highlighted names an entry any more
    form.Session->New();
    form.SetUnChanged();
}

}  // namespace

TFileCommands::TFileCommands(TMainForm& form) : QObject(&form), form_(form) {
    installDialogs();
}

void TFileCommands::installDialogs() {
    // The filters belong to the window, so that its translation finds them with the rest.
    auto* drawings = new TFileFilter("OpenDialog1", "Zeichnungen (*.tvk)|*.tvk", &form_);
    auto* drawingsSave = new TFileFilter("SaveDialog1", "Zeichnungen (*.tvk)|*.tvk", &form_);
    auto* dxf = new TFileFilter("SaveDialog3", "DXF-Dateien (*.dxf)|*.dxf", &form_);
    Dialogs.AskSave = [this] {
        std::string text, caption;
        GetMessageText(8, text);
        GetMessageText(9, caption);
        const auto answer =
            ShowMessageBox(&form_, QMessageBox::Question, caption, text,
                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Yes) return FileDialogService::Answer::Yes;
        if (answer == QMessageBox::No) return FileDialogService::Answer::No;
        return FileDialogService::Answer::Cancel;
    };
    const auto run = [this](QFileDialog::AcceptMode mode, const TFileFilter* filter,
                            const char* suffix, bool confirmOverwrite,
                            const std::string& start) -> std::optional<std::string> {
        TFileDialog dialog(&form_, Dialogs.Runner);
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
}

bool TFileCommands::saveTo(const std::string& path) {
    // A file name whose folder is missing is never taken: the drawing keeps the name it had.
    if (!FolderExists(q(path))) {
        form_.ShowError(TranslateText("Die Zeichnung konnte nicht gespeichert werden.") + "\n\n" +
                        FolderMissingMessage(q(path)));
        return false;
    }
    Error error;
    if (!form_.Session->SaveAs(path, &error)) {
        // The star stays: the drawing is still unsaved.
        form_.ShowError(TranslateText("Die Zeichnung konnte nicht gespeichert werden.") + "\n\n" +
                        DescribeError(error));
        return false;
    }
    form_.SetUnChanged();
    if (FileUsed) FileUsed(path);
    return true;
}

bool TFileCommands::SaveFile() {
    if (!form_.Drawing.FileName.empty()) return saveTo(form_.Drawing.FileName);
    const auto path = Dialogs.SaveDialog1();
    if (!path) return false;
    return saveTo(*path);
}

void TFileCommands::Speichern1Click() {
    SaveFile();
}

void TFileCommands::Speichernunter1Click() {
    if (const auto path = Dialogs.SaveDialog1()) saveTo(*path);
}

void TFileCommands::Neu1Click() {
    if (form_.Changed()) {
        switch (Dialogs.AskSave()) {
            case FileDialogService::Answer::Yes:
                if (SaveFile()) newAll(form_);
                break;
            case FileDialogService::Answer::No:
                newAll(form_);
                break;
            case FileDialogService::Answer::Cancel:
                break;
        }
    } else {
        newAll(form_);
    }
    form_.PaintBox1Paint();
}

bool TFileCommands::LoadDrawing(const std::string& path) {
    Error error;
    if (!form_.Session->Load(path, &error)) {
        // The drawing on screen and its file name stay as they were.
        form_.ShowError(TranslateText("Die Zeichnung konnte nicht geöffnet werden.") + "\n\n" +
                        DescribeError(error));
        form_.PaintBox1Paint();
        return false;
    }
    form_.Gesture.Hover.Valid = false;
    form_.UpdateEds();
    form_.SetUnChanged();
    form_.PaintBox1Paint();
    if (FileUsed) FileUsed(path);
    return true;
}

bool TFileCommands::OpenFile() {
    const auto path = Dialogs.OpenDialog1();
    if (!path) {
        form_.PaintBox1Paint();
        return false;
    }
    return LoadDrawing(*path);
}

bool TFileCommands::MayReplaceDrawing() {
    if (!form_.Changed()) return true;
    switch (Dialogs.AskSave()) {
        case FileDialogService::Answer::Yes:
            return SaveFile();
        case FileDialogService::Answer::No:
            return true;
        case FileDialogService::Answer::Cancel:
            return false;
    }
    return false;
}

// Unsaved work is asked about before the open dialog, as for "Neu".
void TFileCommands::ffnen1Click() {
    if (MayReplaceDrawing()) OpenFile();
}

bool TFileCommands::OpenPath(const std::string& path) {
    if (!MayReplaceDrawing()) return false;
    return LoadDrawing(path);
}

void TFileCommands::DXFExportActionClick() {
    const auto path = Dialogs.SaveDialog3();
    if (!path) return;
    Error error;
    if (!form_.Session->ExportDxf(*path, &error))
        form_.ShowError(TranslateText("Die DXF-Datei konnte nicht geschrieben werden.") + "\n\n" +
                        DescribeError(error));
}

// Closing asks the same question as replacing the drawing.
bool TFileCommands::FormCloseQuery() {
    return MayReplaceDrawing();
}

}  // namespace tervasko
