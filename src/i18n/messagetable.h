#pragma once

// The numbered texts that code looks up directly, and the program's one translation table
// for code that does not hold it. All strings are UTF-8.

#include <array>
#include <string>
#include <string_view>

namespace tervasko {

class TranslationTable;

// German source texts by number; an empty entry means the number carries no text.
inline constexpr std::array<std::string_view, 10> MessageTable = {
    "",
    "Bitte schließen Sie das Programm und starten Sie es erneut!",  // 1: restart request
    "Morvane Tervasko 1.0",  // 2: product title, caption of message boxes
    "",
    "",
    "",
    "unbenannt.tvk",  // 6: name of an untitled drawing in the title
    "Zeichnung",      // 7: primed only
    "Die Datei ist noch nicht gespeichert. Wollen Sie jetzt speichern?",  // 8
    "Speichern",  // 9: caption of the unsaved-changes question
};

// The German text of message n; empty when n has none.
constexpr std::string_view MessageSource(int n) {
    return n >= 1 && n < static_cast<int>(MessageTable.size()) ? MessageTable[n]
                                                               : std::string_view();
}

// The table that the main window opened, for the rest of the program. The main window owns
// it and sets it here at creation (and back to nullptr before it goes away). With none set,
// texts come back unchanged and messages in German.
void SetProgramTranslations(TranslationTable* table);
TranslationTable* ProgramTranslations();

std::string TranslateText(std::string_view source);
void GetMessageText(int n, std::string& text);

}  // namespace tervasko
