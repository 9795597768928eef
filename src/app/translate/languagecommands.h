#pragma once

// The "Sprache" menu: the three language commands and "Übersetzen...". A new language
// shows at the next start; lookups made after the command use it at once.

#include <QList>
#include <functional>
#include <string>

class QAction;
class QDialog;
class QWidget;

namespace tervasko {

class TranslationTable;
class TTranslateForm;

// The message box and the modal window of the commands; tests replace them so that nothing
// waits for a person.
struct LanguageDialogs {
    // An information message box owned by `owner` with an OK button.
    std::function<void(QWidget* owner, const std::string& text, const std::string& caption)>
        Information;
    // A warning message box owned by `owner` with an OK button.
    std::function<void(QWidget* owner, const std::string& text, const std::string& caption)>
        Warning;
    // Shows a window modally and returns its result when it closes.
    std::function<int(QDialog& dialog)> ShowModal;

    LanguageDialogs();  // message boxes and exec()
};

// The languages of the menu items "Deutsch", "English", "Italiano".
inline constexpr int kGerman = 0;
inline constexpr int kEnglish = 1;
inline constexpr int kItalian = 2;

// The restart request (message 1, caption message 2) in the active language.
void RestartMessage(TranslationTable& table, QWidget* owner, const LanguageDialogs& dialogs);

// Said when the chosen language cannot be written to "options.dat".
inline constexpr const char* kCannotSaveLanguageText =
    "Die Spracheinstellung kann nicht gespeichert werden. Beim nächsten Start erscheint das "
    "Programm in der bisherigen Sprache.";

// A language command: unless `loadingOptions` is set, checks `item`, makes `language` the
// active one (for the program's lookups and for Qt's own texts), writes it to "options.dat" in
// `programDir` and asks for a restart in the new language. When the file cannot be written, a
// restart would not bring the language: the user is told that instead.
void LanguageCommand(int language, QAction* item, bool loadingOptions, TranslationTable& table,
                     const std::string& programDir, QWidget* owner, const LanguageDialogs& dialogs);

// "Übersetzen...": every column of the editor's grid 300 pixels wide, the editor shown
// modally, then the restart request.
void TranslateCommand(TTranslateForm& form, TranslationTable& table, QWidget* owner,
                      const LanguageDialogs& dialogs);

}  // namespace tervasko
