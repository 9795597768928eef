#include "app/worksheetcommands.h"

#include <QAction>
#include <QFileDialog>
#include <QMenu>

#include "app/dialogs/errortext.h"
#include "app/dialogs/filedialog.h"
#include "app/translate/translateunit.h"
#include "i18n/messagetable.h"
#include "session/drawingsession.h"
#include "worksheet/worksheet.h"

namespace tervasko {
namespace {

QString q(const char* german) {
    return QString::fromStdString(TranslateText(german));
}

}  // namespace

TWorksheetCommands::TWorksheetCommands(WorksheetClient client, QMenu* file, QAction* after,
                                       QMenu* view, QAction* viewAfter)
    : QObject(client.Window), client_(std::move(client)) {
    const auto item = [](QMenu* menu, QAction* before, const char* name, const char* caption) {
        auto* a = new QAction(q(caption), menu);
        a->setObjectName(name);
        menu->insertAction(before, a);
        return a;
    };
    const QList<QAction*> fileItems = file->actions();
    const qsizetype at = fileItems.indexOf(after);
    QAction* next = at + 1 < fileItems.size() ? fileItems[at + 1] : nullptr;
    insert_ = item(file, next, "DateiArbeitsblatteinfuegen1", "Arbeitsblatt einfügen...");
    remove_ = item(file, next, "DateiArbeitsblattentfernen1", "Arbeitsblatt entfernen");
    const QList<QAction*> viewItems = view->actions();
    const qsizetype viewAt = viewItems.indexOf(viewAfter);
    view_ = item(view, viewAt + 1 < viewItems.size() ? viewItems[viewAt + 1] : nullptr,
                 "AnsichtArbeitsblatt1", "Arbeitsblatt");
    view_->setCheckable(true);

    auto* filter = new TFileFilter("OpenDialogPdf", "PDF-Dateien (*.pdf)|*.pdf", client_.Window);
    OpenDialog = [this, filter,
                  runner = std::make_shared<FileDialogRunner>()]() -> std::optional<std::string> {
        TFileDialog dialog(client_.Window, *runner);
        dialog.setNameFilters(filter->NameFilters());
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        const auto path = RunFileDialog(dialog, *runner);
        if (!path) return std::nullopt;
        return path->toStdString();
    };

    connect(insert_, &QAction::triggered, this, &TWorksheetCommands::Insert);
    connect(remove_, &QAction::triggered, this, &TWorksheetCommands::Remove);
    SettingsModel& settings = client_.Session->Settings;
    connect(view_, &QAction::triggered, this,
            [this, &settings](bool on) { settings.SetWorksheetShown(on); });
    connect(&settings, &SettingsModel::Changed, this, [this](SettingsModel::Setting which) {
        if (which != SettingsModel::Setting::WorksheetShown) return;
        showState();
        client_.Repaint();
    });
    connect(&settings, &SettingsModel::Assigned, this, &TWorksheetCommands::showState);
    connect(client_.Session, &DrawingSession::Restored, this, &TWorksheetCommands::showState);
    connect(file, &QMenu::aboutToShow, this, &TWorksheetCommands::showState);
    connect(view, &QMenu::aboutToShow, this, &TWorksheetCommands::showState);
    showState();
}

void TWorksheetCommands::showState() {
    const bool has = client_.Session->Drawing().Worksheet != nullptr;
    remove_->setEnabled(has);
    view_->setEnabled(has);
    view_->setChecked(has && client_.Session->Settings.WorksheetShown());
}

void TWorksheetCommands::Insert() {
    client_.CancelGesture();
    if (const std::optional<std::string> path = OpenDialog()) InsertPath(*path);
}

bool TWorksheetCommands::InsertPath(const std::string& path) {
    client_.CancelGesture();
    Result<WorksheetFile> read = ReadWorksheetFile(path);
    if (!read.ok()) {
        client_.ShowError(TranslateText("Das Arbeitsblatt konnte nicht eingefügt werden.") +
                          "\n\n" + DescribeError(read.error()));
        return false;
    }
    const WorksheetInfo info = read->info;
    client_.Session->InsertWorksheet(std::move(read->bytes), info);
    showState();
    client_.Repaint();
    if (info.pageCount > kMaxWorksheetPages)
        client_.ShowError(DescribeError(
            WithLead(Failure(ErrorCode::WorksheetPagesCut,
                             {std::to_string(info.pageCount), std::to_string(kMaxWorksheetPages)}),
                     ErrorLead::None, path)));
    return true;
}

void TWorksheetCommands::Remove() {
    client_.CancelGesture();
    if (!client_.Session->RemoveWorksheet()) return;
    showState();
    client_.Repaint();
}

}  // namespace tervasko
