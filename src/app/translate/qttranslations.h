#pragma once

// Qt's own texts (the standard buttons of message boxes, the file, colour, font, print and
// page setup dialogs) in the program's language rather than the system's.

#include <QString>

namespace tervasko {

// The language code of Qt's translation files for one of the program's languages ("de",
// "en", "it"); empty for a language Qt has no name for here.
QString QtLanguageCode(int language);

// Replaces the Qt translation installed before by Qt's translation for `language`, read from
// Qt's translations folder. Without a translation file Qt's texts stay in Qt's English.
// Returns whether a translation file was loaded.
bool LoadQtTranslations(int language);

}  // namespace tervasko
