#pragma once

#include <functional>
#include <string>

class QWidget;

namespace tervasko {

// Shows a message the user must read (a failure or a refusal). Every text that reaches it
// has been translated.
using ShowMessageFn = std::function<void(const std::string& text)>;

// A warning box owned by `parent`, captioned with the program's title (message 2).
ShowMessageFn MessageBoxOwnedBy(QWidget* parent);

// The German texts of the output commands' messages; each is looked up with TranslateText
// when shown.
inline constexpr const char* kNoPrinterText = "Es ist kein Drucker eingerichtet.";
inline constexpr const char* kNoSuchSheetText = "Diese Seite gibt es in der Zeichnung nicht.";
inline constexpr const char* kPageCountLabel = "Seitenanzahl:";  // the main window's label
inline constexpr const char* kPictureTooLargeText =
    "Das Bild wäre zu groß. Bitte wählen Sie weniger DPI.";
inline constexpr const char* kSheetTooLargeText =
    "Das Blatt darf höchstens 5000 mm breit und hoch sein.";
inline constexpr const char* kCannotSaveText = "Die Datei konnte nicht gespeichert werden:";
inline constexpr const char* kPrintFailedText = "Der Druck ist fehlgeschlagen:";

}  // namespace tervasko
