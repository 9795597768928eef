#include "app/translate/languagecommands.h"

#include <QAction>
#include <QDialog>
#include <QMessageBox>

#include "app/dialogs/errortext.h"
#include "app/dialogs/messagebox.h"
#include "app/translate/TranslateFUnit.h"
#include "app/translate/qttranslations.h"
#include "document/options.h"
#include "i18n/translationtable.h"

namespace tervasko {

namespace {
constexpr int kEditorColumnWidth = 300;  // px
}

LanguageDialogs::LanguageDialogs()
    : Information([](QWidget* owner, const std::string& text, const std::string& caption) {
          ShowMessageBox(owner, QMessageBox::Information, caption, text);
      }),
      Warning([](QWidget* owner, const std::string& text, const std::string& caption) {
          ShowMessageBox(owner, QMessageBox::Warning, caption, text);
      }),
      ShowModal([](QDialog& dialog) { return dialog.exec(); }) {}

void RestartMessage(TranslationTable& table, QWidget* owner, const LanguageDialogs& dialogs) {
    std::string text;
    std::string caption;
    table.GetMessageText(1, text);
    table.GetMessageText(2, caption);
    dialogs.Information(owner, text, caption);
}

void LanguageCommand(int language, QAction* item, bool loadingOptions, TranslationTable& table,
                     const std::string& programDir, QWidget* owner,
                     const LanguageDialogs& dialogs) {
    if (loadingOptions) return;
    if (item) item->setChecked(true);
    table.SetActiveLanguage(language);
    LoadQtTranslations(language);
    const Error failed = SaveOptions(programDir, table.ActiveLanguage());
    if (!failed) {
        RestartMessage(table, owner, dialogs);
        return;
    }
    // The reason in the language just chosen, which this table already speaks.
    const char* german =
        failed.Code == ErrorCode::System ? GermanSystemReason(failed.SystemError) : nullptr;
    const std::string reason =
        german ? table.TranslateText(german)
               : FillIn(table.TranslateText(GermanDetail(failed.Code)), failed, {});
    std::string caption;
    table.GetMessageText(2, caption);
    dialogs.Warning(owner,
                    table.TranslateText(kCannotSaveLanguageText) + "\n" + programDir +
                        kOptionsFileName + "\n" + reason,
                    caption);
}

void TranslateCommand(TTranslateForm& form, TranslationTable& table, QWidget* owner,
                      const LanguageDialogs& dialogs) {
    for (int c = 0; c < form.DataSource1->columnCount(); ++c)
        form.DBGrid1->setColumnWidth(c, kEditorColumnWidth);
    dialogs.ShowModal(form);
    RestartMessage(table, owner, dialogs);
}

}  // namespace tervasko
