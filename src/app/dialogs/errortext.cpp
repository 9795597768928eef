#include "app/dialogs/errortext.h"

#include <cerrno>

#include "i18n/messagetable.h"

namespace tervasko {

const char* GermanSystemReason(int err) {
    switch (err) {
        case ENOENT:
            return "Die Datei oder der Ordner existiert nicht.";
        case EACCES:
            return "Der Zugriff ist nicht erlaubt.";
        case EPERM:
            return "Der Vorgang ist nicht erlaubt.";
        case EROFS:
            return "Der Datenträger ist schreibgeschützt.";
        case ENOSPC:
            return "Auf dem Datenträger ist kein Platz mehr frei.";
        case EDQUOT:
            return "Das Speicherkontingent ist erschöpft.";
        case EFBIG:
            return "Die Datei wird zu groß.";
        case EISDIR:
            return "Das ist ein Ordner.";
        case ENOTDIR:
            return "Ein Teil des Pfades ist kein Ordner.";
        case EEXIST:
            return "Die Datei existiert bereits.";
        case ENAMETOOLONG:
            return "Der Dateiname ist zu lang.";
        case ELOOP:
            return "Der Pfad enthält zu viele Verknüpfungen.";
        case EIO:
            return "Beim Lesen oder Schreiben trat ein Ein-/Ausgabefehler auf.";
        case ENOMEM:
            return "Es ist nicht genug Speicher frei.";
        default:
            return nullptr;
    }
}

std::string DescribeError(const Error& error) {
    Error shown = error;
    if (error.Code == ErrorCode::System)
        if (const char* german = GermanSystemReason(error.SystemError))
            shown.SystemText = TranslateText(german);
    const std::string detail = FillIn(TranslateText(GermanDetail(error.Code)), shown, {});
    return FillIn(TranslateText(GermanLead(error.Lead)), shown, detail);
}

}  // namespace tervasko
