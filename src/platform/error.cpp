#include "platform/error.h"

#include <cstring>
#include <iterator>

namespace tervasko {
namespace {

// Each sentence in English (the command line's, and the tests') and in German (the program's
// own, which the translation table turns into the user's language), in the order of the codes.
struct Sentence {
    const char* english;
    const char* german;
};

constexpr Sentence kDetails[] = {
    // None
    {"", ""},
    // System
    {"%S", "%S"},
    // NotRegularFile
    {"Not a regular file", "Das ist keine gewöhnliche Datei."},
    // FileTooLarge
    {"The file is larger than %1", "Die Datei ist größer als %1."},
    // FileChanged
    {"The file changed while it was read", "Die Datei hat sich beim Lesen verändert."},
    // WriteProtected
    {"The file is write-protected", "Die Datei ist schreibgeschützt."},
    // NoFileName
    {"No file name", "Es fehlt ein Dateiname."},
    // FileNotOpen
    {"File is not open", "Die Datei ist nicht geöffnet."},
    // OutOfMemory
    {"there is not enough memory", "Es ist nicht genug Speicher frei."},
    // OutOfMemoryToRead
    {"there is not enough memory to read it", "Es ist nicht genug Speicher frei, um sie zu lesen."},
    // EmptyOrEndsInElementCount
    {"the file is empty or ends inside the element count",
     "Die Datei ist leer oder endet in der Anzahl der Elemente."},
    // ElementCountTooLarge
    {"the element count %1 is larger than the file can hold: it ends inside element record %2 "
     "of %3",
     "Die Anzahl der Elemente (%1) ist größer, als die Datei fassen kann: Sie endet im "
     "Elementdatensatz %2 von %3."},
    // OutOfMemoryForElements
    {"there is not enough memory for %1 elements",
     "Für %1 Elemente ist nicht genug Speicher frei."},
    // EndsInTextCount
    {"the file ends inside the text count", "Die Datei endet in der Anzahl der Texte."},
    // EndsInTextRecord
    {"the file ends inside text record %1 of %2", "Die Datei endet im Textdatensatz %1 von %2."},
    // OutOfMemoryForTexts
    {"there is not enough memory for %1 texts", "Für %1 Texte ist nicht genug Speicher frei."},
    // EndsInText
    {"the file ends inside the text of text record %1 of %2",
     "Die Datei endet im Text des Textdatensatzes %1 von %2."},
    // EndsInFontName
    {"the file ends inside the font name of text record %1 of %2",
     "Die Datei endet im Schriftnamen des Textdatensatzes %1 von %2."},
    // OutOfMemoryForStrings
    {"there is not enough memory for the texts", "Für die Texte ist nicht genug Speicher frei."},
    // EndsInSettings
    {"the file ends inside the settings block", "Die Datei endet im Block der Einstellungen."},
    // SettingsNotANumber
    {"the settings block holds a value that is not a number",
     "Der Block der Einstellungen enthält einen Wert, der keine Zahl ist."},
    // EndsInExtension
    {"the file ends inside the extension block", "Die Datei endet im Erweiterungsblock."},
    // ExtensionNotANumber
    {"the extension block holds a value that is not a number",
     "Der Erweiterungsblock enthält einen Wert, der keine Zahl ist."},
    // SheetNotPositive
    {"the extension block holds a sheet size that is not positive",
     "Der Erweiterungsblock enthält eine Blattgröße, die nicht positiv ist."},
    // SheetTooLarge
    {"\"%F\" has a sheet of %1 x %2 mm; a sheet can be at most %3 mm wide and high",
     "„%F“ hat ein Blatt von %1 x %2 mm; ein Blatt darf höchstens %3 mm breit und hoch "
     "sein."},
    // PrinterCannotOpen
    {"The printer cannot be opened", "Der Drucker kann nicht geöffnet werden."},
    // PrinterRefusedJob
    {"The printer did not take the job", "Der Drucker hat den Auftrag nicht angenommen."},
    // NotARecoveryCopy
    {"it is no recovery copy", "Das ist keine Wiederherstellungskopie."},
    // EndsInDrawingName
    {"it ends inside the drawing's name", "Sie endet im Namen der Zeichnung."},
    // DrawingNameBroken
    {"the drawing's name is broken", "Der Name der Zeichnung ist beschädigt."},
    // NoStateFolder
    {"there is no folder for recovery copies: neither XDG_STATE_HOME nor HOME is set",
     "Es gibt keinen Ordner für Wiederherstellungskopien: Weder XDG_STATE_HOME noch HOME ist "
     "gesetzt."},
    // TranslationsColumnCount
    {"the shipped translations are malformed: line %1 has %2 columns instead of %3",
     "Die mitgelieferten Übersetzungen sind fehlerhaft: Zeile %1 hat %2 Spalten statt %3."},
    // TranslationsTooManyColumns
    {"the shipped translations are malformed: line %1 has %2 columns, at most %3 are possible",
     "Die mitgelieferten Übersetzungen sind fehlerhaft: Zeile %1 hat %2 Spalten, möglich sind "
     "höchstens %3."},
    // TranslationsNoSource
    {"the shipped translations are malformed: line %1 has no German source text",
     "Die mitgelieferten Übersetzungen sind fehlerhaft: Zeile %1 hat keinen deutschen "
     "Ausgangstext."},
    // TranslationsCorrectUnlisted
    {"the shipped translations are malformed: line %1 corrects a text they do not list",
     "Die mitgelieferten Übersetzungen sind fehlerhaft: Zeile %1 berichtigt einen Text, den sie "
     "nicht enthalten."},
    // TableFileEmpty
    {"The file is empty", "Die Datei ist leer."},
    // TableHeaderIncomplete
    {"The file's header is incomplete", "Der Dateikopf ist unvollständig."},
    // TableHeaderInvalid
    {"The file's header is invalid", "Der Dateikopf ist ungültig."},
    // TableRowsMissing
    {"The file holds fewer rows than its header says",
     "Die Datei enthält weniger Zeilen, als ihr Kopf angibt."},
    // TableRowsBeyondHeader
    {"The file holds more rows than its header says",
     "Die Datei enthält mehr Zeilen, als ihr Kopf angibt."},
    // TableRecordLengthMismatch
    {"The record length does not match the columns", "Die Satzlänge passt nicht zu den Spalten."},
    // TableNoSourceColumn
    {"The column language1 is missing or is not a text column",
     "Die Spalte language1 fehlt oder ist keine Textspalte."},
    // TableReadOnly
    {"The translation table is read-only. It cannot be changed.",
     "Die Übersetzungstabelle ist schreibgeschützt. Änderungen sind nicht möglich."},
    // TextNotStorable
    {"The text cannot be saved: it is longer than 255 characters or contains characters that "
     "the translation table cannot hold.",
     "Der Text kann nicht gespeichert werden: Er ist länger als 255 Zeichen oder enthält "
     "Zeichen, die die Übersetzungstabelle nicht aufnehmen kann."},
    // TableSetAside
    {"The translation table \"%F\" was incomplete. It was renamed to \"%1\", and a new table "
     "takes its place.",
     "Die Übersetzungstabelle „%F“ war unvollständig. Sie wurde in „%1“ umbenannt, und eine "
     "neue Tabelle tritt an ihre Stelle."},
    // Cancelled
    {"stopped by the user; nothing was changed",
     "Vom Benutzer abgebrochen; es wurde nichts verändert."},
    // SheetTooSmall
    {"\"%F\" has a sheet of %1 x %2 mm; a sheet must be at least %3 mm wide and high",
     "„%F“ hat ein Blatt von %1 x %2 mm; ein Blatt muss mindestens %3 mm breit und hoch "
     "sein."},
    // NotEnoughSpace
    {"the file would take about %1, and only %2 are free there",
     "Die Datei würde etwa %1 belegen, frei sind dort nur %2."},
    // ChunkAreaUnknown
    {"the %1 bytes after the extension block are in no known form and were dropped",
     "Die %1 Bytes nach dem Erweiterungsblock haben keine bekannte Form und wurden verworfen."},
    // ChunkAreaVersion
    {"the additions after the extension block have version %1, which this program cannot "
     "read; their %2 bytes were dropped",
     "Die Ergänzungen nach dem Erweiterungsblock haben die Version %1, die dieses Programm "
     "nicht lesen kann; ihre %2 Bytes wurden verworfen."},
    // ChunkAreaTail
    {"the last %1 bytes of the file are no addition this program can read and were dropped",
     "Die letzten %1 Bytes der Datei sind keine lesbare Ergänzung und wurden verworfen."},
    // ChunkPastEnd
    {"the addition \"%1\" claims %2 bytes, but only %3 are left; it and everything after it "
     "were dropped",
     "Die Ergänzung „%1“ gibt %2 Bytes an, es sind aber nur noch %3 übrig; sie und alles "
     "danach wurden verworfen."},
    // SetSquareDamaged
    {"the set square's entry is damaged and was dropped; the set square is at its start-up "
     "place, hidden",
     "Der Eintrag des Geodreiecks ist beschädigt und wurde verworfen; das Geodreieck liegt an "
     "seinem Startplatz und ist ausgeblendet."},
    // SetSquareRepeated
    {"the set square's entry appears more than once; only the first was read",
     "Der Eintrag des Geodreiecks kommt mehrmals vor; nur der erste wurde gelesen."},
    // WorksheetRepeated
    {"the worksheet appears more than once; only the first was read",
     "Das Arbeitsblatt kommt mehrmals vor; nur das erste wurde gelesen."},
    // WorksheetChunkTooLarge
    {"the worksheet of %1 bytes is larger than %2 MiB and was dropped",
     "Das Arbeitsblatt mit %1 Bytes ist größer als %2 MiB und wurde verworfen."},
    // WorksheetDamaged
    {"the worksheet cannot be shown and was dropped; the next message says why",
     "Das Arbeitsblatt kann nicht gezeigt werden und wurde verworfen; die nächste Meldung "
     "nennt den Grund."},
    // WorksheetTooLarge
    {"the file is larger than %1 MiB, too large for a worksheet",
     "Die Datei ist größer als %1 MiB und zu groß für ein Arbeitsblatt."},
    // WorksheetNoPdf
    {"the file is no PDF file", "Die Datei ist keine PDF-Datei."},
    // WorksheetBroken
    {"the PDF file is damaged", "Die PDF-Datei ist beschädigt."},
    // WorksheetEncrypted
    {"the PDF file is protected by a password or encrypted",
     "Die PDF-Datei ist durch ein Kennwort geschützt oder verschlüsselt."},
    // WorksheetNoPages
    {"the PDF file has no pages", "Die PDF-Datei hat keine Seiten."},
    // WorksheetPageSize
    {"page %1 of the PDF file is %2 x %3 mm; a page must be at least %4 mm and at most %5 mm "
     "wide and high",
     "Seite %1 der PDF-Datei ist %2 x %3 mm groß; eine Seite muss mindestens %4 mm und "
     "höchstens %5 mm breit und hoch sein."},
    // WorksheetPagesCut
    {"the PDF file has %1 pages; only the first %2 lie beneath the sheets",
     "Die PDF-Datei hat %1 Seiten; nur die ersten %2 liegen unter den Blättern."},
    // Other
    {"%S", "%S"},
    // NeedsGuiApplication
    {"pictures and PDF need a graphical Qt application, and another kind is running",
     "Bilder und PDF brauchen eine grafische Qt-Anwendung, und es läuft eine andere Art."},
    // NoSuchSheet
    {"\"%F\" has %1 sheets; there is no sheet %2",
     "„%F“ hat %1 Blätter; ein Blatt %2 gibt es nicht."},
    // NoSecondSheet
    {"\"%F\" has 1 sheet; there is no sheet %1", "„%F“ hat 1 Blatt; ein Blatt %1 gibt es nicht."},
    // SheetTooLargeToExport
    {"\"%F\": the sheet is larger than %1 mm, too large to export",
     "„%F“: Das Blatt ist größer als %1 mm und zu groß für die Ausgabe."},
    // PictureTooLarge
    {"\"%F\": a picture of %1 x %2 pixels at %3 dpi is too large (at most %4 pixels)",
     "„%F“: Ein Bild von %1 x %2 Pixeln bei %3 dpi ist zu groß (höchstens %4 Pixel)."},
    // ResolutionOutOfRange
    {"\"%F\": the resolution must lie between %1 and %2 dpi",
     "„%F“: Die Auflösung muss zwischen %1 und %2 dpi liegen."},
    // OptionNeedsNumber
    {"%1 needs a number; see tervasko-export --help",
     "%1 braucht eine Zahl; siehe tervasko-export --help"},
    // NumberOutOfRange
    {"%1 needs a whole number from %2 to %3, not \"%4\"",
     "%1 braucht eine ganze Zahl von %2 bis %3, nicht „%4“."},
    // NumberBelowOne
    {"%1 needs a whole number from 1 up, not \"%2\"",
     "%1 braucht eine ganze Zahl ab 1, nicht „%2“."},
    // UnknownOption
    {"unknown option \"%1\"; see tervasko-export --help",
     "Unbekannte Option „%1“; siehe tervasko-export --help"},
    // DpiWithSize
    {"--dpi and --size exclude each other; see tervasko-export --help",
     "--dpi und --size schließen einander aus; siehe tervasko-export --help"},
    // NeedsTwoFiles
    {"expected a drawing and an output file; see tervasko-export --help",
     "Erwartet werden eine Zeichnung und eine Ausgabedatei; siehe tervasko-export --help"},
    // UnknownOutputType
    {"\"%F\": unknown output type \"%1\" (known: %2)",
     "„%F“: Unbekannte Ausgabeart „%1“ (bekannt: %2)."},
    // OnlyForPictures
    {"\"%F\": --dpi and --sheet apply only to .bmp, .png and .svg pictures",
     "„%F“: --dpi und --sheet gelten nur für Bilder (.bmp, .png und .svg)."},
    // Interrupted
    {"\"%F\": stopped by %1; nothing was written",
     "„%F“: Durch %1 abgebrochen; es wurde nichts geschrieben."},
    // SheetTooSmallToExport
    {"\"%F\": the sheet is smaller than %1 mm, too small to export",
     "„%F“: Das Blatt ist kleiner als %1 mm und zu klein für die Ausgabe."},
};
static_assert(std::size(kDetails) == static_cast<std::size_t>(ErrorCode::SheetTooSmallToExport) + 1,
              "a sentence for every code");

constexpr Sentence kLeads[] = {
    // None
    {"%D", "%D"},
    // CannotOpen
    {"Cannot open \"%F\": %D", "„%F“ kann nicht geöffnet werden: %D"},
    // NotADrawing
    {"\"%F\" is not a readable drawing: %D", "„%F“ ist keine lesbare Zeichnung: %D"},
    // CannotSave
    {"Cannot save \"%F\": %D", "„%F“ kann nicht gespeichert werden: %D"},
    // CannotCreate
    {"Cannot create \"%F\": %D", "„%F“ kann nicht angelegt werden: %D"},
    // CannotWrite
    {"Cannot write \"%F\": %D", "„%F“ kann nicht geschrieben werden: %D"},
    // CannotDelete
    {"Cannot delete \"%F\": %D", "„%F“ kann nicht gelöscht werden: %D"},
    // CannotSetAside
    {"Cannot set \"%F\" aside: %D", "„%F“ kann nicht beiseitegelegt werden: %D"},
    // CannotInstallTranslations
    {"The shipped translations could not be installed into \"%F\": %D",
     "Die mitgelieferten Übersetzungen konnten nicht in „%F“ eingerichtet werden: %D"},
    // CannotSetTableAside
    {"The translation table \"%F\" is incomplete and cannot be moved aside: %D",
     "Die Übersetzungstabelle „%F“ ist unvollständig und kann nicht beiseitegelegt werden: %D"},
};
static_assert(std::size(kLeads) == static_cast<std::size_t>(ErrorLead::CannotSetTableAside) + 1,
              "a sentence for every lead");

const Sentence& detailOf(ErrorCode code) {
    return kDetails[static_cast<std::size_t>(code)];
}
const Sentence& leadOf(ErrorLead lead) {
    return kLeads[static_cast<std::size_t>(lead)];
}

}  // namespace

Error SystemFailure(int err) {
    Error e;
    e.Code = ErrorCode::System;
    e.SystemError = err;
    e.SystemText = std::strerror(err);
    return e;
}

Error Failure(ErrorCode code, std::vector<std::string> args) {
    Error e;
    e.Code = code;
    e.Args = std::move(args);
    return e;
}

Error OtherFailure(std::string words) {
    Error e;
    e.Code = ErrorCode::Other;
    e.SystemText = std::move(words);
    return e;
}

Error WithLead(Error error, ErrorLead lead, const std::string& file) {
    error.Lead = lead;
    error.File = file;
    return error;
}

std::string FillIn(const std::string& text, const Error& error, const std::string& detail) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'F')
            out += error.File;
        else if (c == 'D')
            out += detail;
        else if (c == 'S')
            out += error.SystemText;
        else if (c >= '1' && c <= '9' && static_cast<std::size_t>(c - '1') < error.Args.size())
            out += error.Args[static_cast<std::size_t>(c - '1')];
        else {
            out += '%';
            out += c;
        }
    }
    return out;
}

std::string EnglishText(const Error& error) {
    const std::string detail = FillIn(detailOf(error.Code).english, error, {});
    return FillIn(leadOf(error.Lead).english, error, detail);
}

const char* GermanDetail(ErrorCode code) {
    return detailOf(code).german;
}

const char* GermanLead(ErrorLead lead) {
    return leadOf(lead).german;
}

}  // namespace tervasko
