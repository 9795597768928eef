#include "platform/error.h"

#include <cstring>

namespace tervasko {
namespace {

const char* englishDetail(ErrorCode code) {
    switch (code) {
        case ErrorCode::None:
            return "";
        case ErrorCode::System:
            return "%S";
        case ErrorCode::NotRegularFile:
            return "Not a regular file";
        case ErrorCode::FileTooLarge:
            return "The file is larger than %1";
        case ErrorCode::FileChanged:
            return "The file changed while it was read";
        case ErrorCode::WriteProtected:
            return "The file is write-protected";
        case ErrorCode::NoFileName:
            return "No file name";
        case ErrorCode::FileNotOpen:
            return "File is not open";
        case ErrorCode::OutOfMemory:
            return "there is not enough memory";
        case ErrorCode::OutOfMemoryToRead:
            return "there is not enough memory to read it";
        case ErrorCode::EmptyOrEndsInElementCount:
            return "the file is empty or ends inside the element count";
        case ErrorCode::ElementCountTooLarge:
            return "the element count %1 is larger than the file can hold: it ends inside element "
                   "record %2 of %3";
        case ErrorCode::OutOfMemoryForElements:
            return "there is not enough memory for %1 elements";
        case ErrorCode::EndsInTextCount:
            return "the file ends inside the text count";
        case ErrorCode::EndsInTextRecord:
            return "the file ends inside text record %1 of %2";
        case ErrorCode::OutOfMemoryForTexts:
            return "there is not enough memory for %1 texts";
        case ErrorCode::EndsInText:
            return "the file ends inside the text of text record %1 of %2";
        case ErrorCode::EndsInFontName:
            return "the file ends inside the font name of text record %1 of %2";
        case ErrorCode::OutOfMemoryForStrings:
            return "there is not enough memory for the texts";
        case ErrorCode::EndsInSettings:
            return "the file ends inside the settings block";
        case ErrorCode::SettingsNotANumber:
            return "the settings block holds a value that is not a number";
        case ErrorCode::EndsInExtension:
            return "the file ends inside the extension block";
        case ErrorCode::ExtensionNotANumber:
            return "the extension block holds a value that is not a number";
        case ErrorCode::SheetNotPositive:
            return "the extension block holds a sheet size that is not positive";
        case ErrorCode::SheetTooLarge:
            return "\"%F\" has a sheet of %1 x %2 mm; a sheet can be at most %3 mm wide and high";
        case ErrorCode::PrinterCannotOpen:
            return "The printer cannot be opened";
        case ErrorCode::PrinterRefusedJob:
            return "The printer did not take the job";
        case ErrorCode::Other:
            return "%S";
    }
    return "";
}

const char* englishLead(ErrorLead lead) {
    switch (lead) {
        case ErrorLead::None:
            return "%D";
        case ErrorLead::CannotOpen:
            return "Cannot open \"%F\": %D";
        case ErrorLead::NotADrawing:
            return "\"%F\" is not a readable drawing: %D";
        case ErrorLead::CannotSave:
            return "Cannot save \"%F\": %D";
        case ErrorLead::CannotCreate:
            return "Cannot create \"%F\": %D";
        case ErrorLead::CannotWrite:
            return "Cannot write \"%F\": %D";
    }
    return "%D";
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
    const std::string detail = FillIn(englishDetail(error.Code), error, {});
    return FillIn(englishLead(error.Lead), error, detail);
}

const char* GermanDetail(ErrorCode code) {
    switch (code) {
        case ErrorCode::None:
            return "";
        case ErrorCode::System:
            return "%S";
        case ErrorCode::NotRegularFile:
            return "Das ist keine gewöhnliche Datei.";
        case ErrorCode::FileTooLarge:
            return "Die Datei ist größer als %1.";
        case ErrorCode::FileChanged:
            return "Die Datei hat sich beim Lesen verändert.";
        case ErrorCode::WriteProtected:
            return "Die Datei ist schreibgeschützt.";
        case ErrorCode::NoFileName:
            return "Es fehlt ein Dateiname.";
        case ErrorCode::FileNotOpen:
            return "Die Datei ist nicht geöffnet.";
        case ErrorCode::OutOfMemory:
            return "Es ist nicht genug Speicher frei.";
        case ErrorCode::OutOfMemoryToRead:
            return "Es ist nicht genug Speicher frei, um sie zu lesen.";
        case ErrorCode::EmptyOrEndsInElementCount:
            return "Die Datei ist leer oder endet in der Anzahl der Elemente.";
        case ErrorCode::ElementCountTooLarge:
            return "Die Anzahl der Elemente (%1) ist größer, als die Datei fassen kann: Sie endet "
                   "im "
                   "Elementdatensatz %2 von %3.";
        case ErrorCode::OutOfMemoryForElements:
            return "Für %1 Elemente ist nicht genug Speicher frei.";
        case ErrorCode::EndsInTextCount:
            return "Die Datei endet in der Anzahl der Texte.";
        case ErrorCode::EndsInTextRecord:
            return "Die Datei endet im Textdatensatz %1 von %2.";
        case ErrorCode::OutOfMemoryForTexts:
            return "Für %1 Texte ist nicht genug Speicher frei.";
        case ErrorCode::EndsInText:
            return "Die Datei endet im Text des Textdatensatzes %1 von %2.";
        case ErrorCode::EndsInFontName:
            return "Die Datei endet im Schriftnamen des Textdatensatzes %1 von %2.";
        case ErrorCode::OutOfMemoryForStrings:
            return "Für die Texte ist nicht genug Speicher frei.";
        case ErrorCode::EndsInSettings:
            return "Die Datei endet im Block der Einstellungen.";
        case ErrorCode::SettingsNotANumber:
            return "Der Block der Einstellungen enthält einen Wert, der keine Zahl ist.";
        case ErrorCode::EndsInExtension:
            return "Die Datei endet im Erweiterungsblock.";
        case ErrorCode::ExtensionNotANumber:
            return "Der Erweiterungsblock enthält einen Wert, der keine Zahl ist.";
        case ErrorCode::SheetNotPositive:
            return "Der Erweiterungsblock enthält eine Blattgröße, die nicht positiv ist.";
        case ErrorCode::SheetTooLarge:
            return "„%F“ hat ein Blatt von %1 x %2 mm; ein Blatt darf höchstens %3 mm breit und "
                   "hoch sein.";
        case ErrorCode::PrinterCannotOpen:
            return "Der Drucker kann nicht geöffnet werden.";
        case ErrorCode::PrinterRefusedJob:
            return "Der Drucker hat den Auftrag nicht angenommen.";
        case ErrorCode::Other:
            return "%S";
    }
    return "";
}

const char* GermanLead(ErrorLead lead) {
    switch (lead) {
        case ErrorLead::None:
            return "%D";
        case ErrorLead::CannotOpen:
            return "„%F“ kann nicht geöffnet werden: %D";
        case ErrorLead::NotADrawing:
            return "„%F“ ist keine lesbare Zeichnung: %D";
        case ErrorLead::CannotSave:
            return "„%F“ kann nicht gespeichert werden: %D";
        case ErrorLead::CannotCreate:
            return "„%F“ kann nicht angelegt werden: %D";
        case ErrorLead::CannotWrite:
            return "„%F“ kann nicht geschrieben werden: %D";
    }
    return "%D";
}

}  // namespace tervasko
