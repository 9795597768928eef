#pragma once

#include <string>
#include <type_traits>
#include <utility>
#include <variant>
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
    NoStateFolder,  // neither XDG_STATE_HOME nor HOME names a folder for recovery copies
    // The shipped translations at start-up.
    TranslationsColumnCount,      // Args: line, its columns, the columns of the first line
    TranslationsTooManyColumns,   // Args: line, its columns, the most the table has
    TranslationsNoSource,         // Args: line
    TranslationsCorrectUnlisted,  // Args: line (an earlier translation of a text not listed)
    // The translation table "translate.dbf".
    TableFileEmpty,
    TableHeaderIncomplete,
    TableHeaderInvalid,
    TableRowsMissing,
    TableRowsBeyondHeader,
    TableRecordLengthMismatch,
    TableNoSourceColumn,
    TableReadOnly,
    TextNotStorable,  // too long for its column, or characters outside Windows-1252
    TableSetAside,    // not a failure told as one: an unfinished table (File) was renamed to
                      // Args[0] and a new one takes its place
    Cancelled,        // the user stopped it (a Progress said stop); nothing was changed
    SheetTooSmall,    // Args: width, height, the smallest side (mm)
    NotEnoughSpace,   // Args: the size it would take, the free space (e.g. "10.2 GB")
    // Parts of a drawing file's chunk area that a read dropped; no failures: the drawing is
    // read from the rest.
    ChunkAreaUnknown,   // Args: the bytes after the extension block
    ChunkAreaVersion,   // Args: the version, the bytes dropped
    ChunkAreaTail,      // Args: the bytes at the end that hold no chunk
    ChunkPastEnd,       // Args: the tag, its length, the bytes left after its head
    SetSquareDamaged,   // wrong length or a value that is no number
    SetSquareRepeated,  // a later set square chunk
    // The worksheet: a PDF beneath the sheets.
    WorksheetRepeated,       // a later worksheet chunk
    WorksheetChunkTooLarge,  // Args: its bytes, the most (MiB)
    WorksheetDamaged,        // its reason follows as an error of its own
    WorksheetTooLarge,       // Args: the most (MiB)
    WorksheetNoPdf,
    WorksheetBroken,
    WorksheetEncrypted,
    WorksheetNoPages,
    WorksheetPageSize,  // Args: the page, its width and height (mm), the least and most (mm)
    WorksheetPagesCut,  // Args: the pages it has, the pages taken
    Other,              // words of a library's own in SystemText, shown as they are
    // The command-line exporter's own, never shown in the window (and so not translated).
    NeedsGuiApplication,
    NoSuchSheet,            // Args: the drawing's sheets, the sheet asked for
    NoSecondSheet,          // Args: the sheet asked for (the drawing has one)
    SheetTooLargeToExport,  // Args: the largest side (mm)
    PictureTooLarge,        // Args: width, height (px), resolution (dpi), the most pixels
    ResolutionOutOfRange,   // Args: the least and the most dpi
    OptionNeedsNumber,      // Args: the option
    NumberOutOfRange,       // Args: the option, the least, the most, the text given
    NumberBelowOne,         // Args: the option, the text given
    UnknownOption,          // Args: the option
    DpiWithSize,
    NeedsTwoFiles,
    UnknownOutputType,      // Args: the extension, the known ones
    OnlyForPictures,        // the picture options with another output
    Interrupted,            // Args: the signal that stopped it, e.g. "SIGINT"
    SheetTooSmallToExport,  // Args: the smallest side (mm)
};

// The part a sentence begins with, naming the file.
enum class ErrorLead {
    None,         // the detail alone
    CannotOpen,   // the file could not be read
    NotADrawing,  // the file was read but holds no drawing
    CannotSave,
    CannotCreate,
    CannotWrite,
    CannotDelete,
    CannotSetAside,             // a file kept under another name stays where it was
    CannotInstallTranslations,  // the shipped translations could not go into the table
    CannotSetTableAside,        // an unfinished table could not be renamed out of the way
};

// [[nodiscard]]: a function that can fail returns its Error (empty on success), and a caller
// that drops it fails the build.
struct [[nodiscard]] Error {
    ErrorLead Lead = ErrorLead::None;
    ErrorCode Code = ErrorCode::None;
    std::string File;
    int SystemError = 0;     // errno for ErrorCode::System
    std::string SystemText;  // the system's own words for it
    std::vector<std::string> Args;

    // True when it holds a failure: `if (Error failed = Save(...)) return failed;`.
    explicit operator bool() const { return Code != ErrorCode::None; }
};

// A value, or the Error that kept it from being made. Holds exactly one of them: an empty
// Error handed in is a fault of the caller's and becomes ErrorCode::Other ("no reason
// given"), so a failure can never pass for success. value() and the operators are only for a
// result that is ok().
template <class T>
class [[nodiscard]] Result {
    static_assert(!std::is_same_v<T, Error>, "an Error alone is returned as an Error");

public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : state_(std::in_place_index<1>, std::move(error)) {
        Error& held = std::get<1>(state_);
        if (!held) {
            held.Code = ErrorCode::Other;
            held.SystemText = "no reason given";
        }
    }

    bool ok() const { return state_.index() == 0; }
    // The failure; an empty Error when the result is ok.
    const Error& error() const {
        static const Error kNone;
        return ok() ? kNone : std::get<1>(state_);
    }
    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

private:
    std::variant<T, Error> state_;
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
