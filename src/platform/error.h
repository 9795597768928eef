#pragma once

#include <string>
#include <vector>

namespace tervasko {

// What went wrong, as the core knows it: a code, the file, the system's reason and the
// values that belong in the sentence. It becomes a sentence only where it is shown: in
// English for the command line and the tests (EnglishText), in the user's language in the
// window, which looks each sentence up in the translation table.
enum class ErrorCode {
    None,
    System,          // the system's reason: SystemError (errno) and SystemText
    NotRegularFile,  // a pipe, a device or a folder where a file belongs
    FileTooLarge,    // Args: the limit, e.g. "1024 MB"
    FileChanged,     // it grew or shrank while it was read
    WriteProtected,
    NoFileName,
    FileNotOpen,
    OutOfMemory,
    OutOfMemoryToRead,
    // A drawing file that cannot be read.
    EmptyOrEndsInElementCount,
    ElementCountTooLarge,    // Args: the count, the record it ends in, the count again
    OutOfMemoryForElements,  // Args: the count
    EndsInTextCount,
    EndsInTextRecord,     // Args: record, count
    OutOfMemoryForTexts,  // Args: the count
    EndsInText,           // Args: record, count
    EndsInFontName,       // Args: record, count
    OutOfMemoryForStrings,
    EndsInSettings,
    SettingsNotANumber,
    EndsInExtension,
    ExtensionNotANumber,
    SheetNotPositive,
    SheetTooLarge,  // Args: width, height, the largest side (mm)
    PrinterCannotOpen,
    PrinterRefusedJob,
    // A recovery copy that cannot be used.
    NotARecoveryCopy,
    EndsInDrawingName,
    DrawingNameBroken,
    // The shipped translations at start-up.
    TranslationsMalformed,     // Args: the parser's words (line and fault)
    TranslationsNotInstalled,  // Args: the reason
    Other,                     // words of a library's own in SystemText, shown as they are
};

// The part a sentence begins with, naming the file.
enum class ErrorLead {
    None,         // the detail alone
    CannotOpen,   // the file could not be read
    NotADrawing,  // the file was read but holds no drawing
    CannotSave,
    CannotCreate,
    CannotWrite,
};

struct Error {
    ErrorLead Lead = ErrorLead::None;
    ErrorCode Code = ErrorCode::None;
    std::string File;
    int SystemError = 0;     // errno for ErrorCode::System
    std::string SystemText;  // the system's own words for it
    std::vector<std::string> Args;

    explicit operator bool() const { return Code != ErrorCode::None; }
};

// An error of the system's (errno).
Error SystemFailure(int err);
Error Failure(ErrorCode code, std::vector<std::string> args = {});
// Words of a library's own that have no code here.
Error OtherFailure(std::string words);
// The same error as seen by a file operation on `file`.
Error WithLead(Error error, ErrorLead lead, const std::string& file);

// `text` with %F the file, %D `detail`, %S the system's words and %1 ... %9 the values.
std::string FillIn(const std::string& text, const Error& error, const std::string& detail);

// The English sentence: the lead with the file, then the detail.
std::string EnglishText(const Error& error);

// The detail's German sentence with %1, %2, ... for its values, as the translation table
// holds it; and the lead's, with %F for the file and %D for the detail.
const char* GermanDetail(ErrorCode code);
const char* GermanLead(ErrorLead lead);

}  // namespace tervasko
