#pragma once

// The translation table "translate.dbf": German source texts in column language1, their
// translations in language2 … language19, looked up text by text at run time. Texts not yet
// in the table are appended as they are met, so the table lists everything that wants a
// translation.
//
// Encodings: every std::string and std::string_view in this interface is UTF-8. The table
// itself stores Windows-1252; the conversion happens here. TTranslationEntry::Text is the one
// exception: it holds the stored Windows-1252 bytes.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "document/dynaarray.h"
#include "platform/error.h"

namespace tervasko {

namespace dbf {
class Table;
struct OpenResult;
}  // namespace dbf

// One row of the table in the lookup index.
struct TTranslationEntry {
    char* Text;          // the row's source text, Windows-1252, zero-terminated; owned
    std::int32_t RecNo;  // the row's record number in the file, counted from 1
};
static_assert(std::is_trivially_copyable_v<TTranslationEntry>);

using TranslationBucket = TDynaArray<TTranslationEntry>;

// Sorts entries lo … hi of one bucket by Text, bytes compared as unsigned values, a prefix
// before the longer text.
void SortIndexBucket(TranslationBucket& bucket, std::int32_t lo, std::int32_t hi);

// Something that keeps the table from working as it should. The program shows it to the
// user once; the table goes on in the safest way it can (see Kind).
struct TableProblem {
    enum class Kind {
        CannotCreate,     // no table: the file is missing and cannot be made
        CannotOpen,       // no table: the file cannot be opened at all
        DamagedUnused,    // no table: the file's layout cannot be trusted
        DamagedReadOnly,  // the file is damaged but its rows are readable: read-only
        CannotWrite,      // a row could not be added; read-only from then on
        CannotRead,       // a row could not be read; its text stays untranslated
    };
    Kind kind;
    Error error;  // what is wrong, with the table's file in File
};

class TranslationTable {
public:
    static constexpr int kLanguageCount = 19;  // columns language1 … language19
    static constexpr int kColumnWidth = 255;   // bytes per column in a table we create
    static constexpr std::string_view kFileName = "translate.dbf";

    // A table object with no table behind it: every lookup returns its source text.
    TranslationTable();
    ~TranslationTable();
    TranslationTable(const TranslationTable&) = delete;
    TranslationTable& operator=(const TranslationTable&) = delete;

    // Called once for every problem, when it happens (Open reports problems of the file).
    using ProblemHandler = std::function<void(const TableProblem&)>;
    void SetProblemHandler(ProblemHandler handler) { problemHandler_ = std::move(handler); }
    // Every problem so far, in order, for a window that comes up after they happened.
    const std::vector<TableProblem>& Problems() const { return problems_; }
    // The problem as a message in the active language, for a message box or status line.
    std::string Describe(const TableProblem& problem);

    // Opens the table at `location`, a directory (the file is kFileName in it) or the path of
    // a ".dbf" file; creates it with the 19 columns when it is missing; opens it read-only
    // when it cannot be written; then builds the index. A damaged file is never written:
    // it is read when its rows can be trusted and ignored otherwise. Returns HasTable().
    // With readOnly set, nothing is created or written (tools that only read the table).
    bool Open(const std::string& location, bool readOnly = false);
    // Opens the table as Open does, but reads it whole into memory (a missing table is a new
    // empty one there): every change stays in memory until Save puts the changed table in
    // place of the file, complete or not at all. For many changes that belong together.
    bool OpenInMemory(const std::string& location);
    // Writes a table opened in memory back to its file. Nothing for a table on disk.
    Error Save();
    void Close();
    // The file that Open(location) uses.
    static std::string TablePath(const std::string& location);

    bool HasTable() const;
    // TranslationReadOnly: no row can be added. Also true when there is no table.
    bool ReadOnly() const;
    const std::string& Path() const { return path_; }

    // Reads the table once and builds the index. Open calls it.
    void BuildTranslationIndex();

    // The text in the active language, with the source's leading and trailing blanks. Texts
    // not in the table are returned unchanged and appended (unless read-only). Texts that
    // cannot be stored faithfully are returned unchanged and not appended: those with
    // characters outside Windows-1252, invalid UTF-8, a zero byte, or longer than the source
    // column (255 bytes) once trimmed.
    std::string TranslateText(std::string_view source);

    // text := the translated message n of the MessageTable; for a number without a message,
    // text is left as it was.
    void GetMessageText(int n, std::string& text);
    // Looks up every message once so that all of them are in the table.
    void PrimeMessages();

    // The column lookups read: 0 = German (language1) … 18 (language19).
    int ActiveLanguage() const { return activeLanguage_; }
    void SetActiveLanguage(int language) { activeLanguage_ = language; }

    // Row access for the translation editor and for installing the shipped translations.
    // Rows are record numbers from 1; language is 0 … 18 as above.
    int RowCount() const;
    // Whether the table has a character column for this language.
    bool HasLanguageColumn(int language) const { return fieldFor(language) >= 0; }
    // The record number of the row whose source text is exactly `source` (as the lookup
    // finds it, without appending), or 0.
    int FindRow(std::string_view source);
    // One cell, trimmed; empty when the row or column does not exist.
    std::string Cell(int recNo, int language);
    // Appends a row: cells[k] goes to language k + 1. Returns its record number; fails when
    // the table is read-only, a text cannot be stored or the write fails.
    Result<int> AppendRow(const std::vector<std::string>& cells);
    // Writes one cell and commits it. Changes to the source column reach lookups after the
    // next Open, since the index keeps the texts it was built from.
    Error SetCell(int recNo, int language, std::string_view text);

    // The index bucket of source texts that begin with this byte (Windows-1252).
    const TranslationBucket& IndexBucket(unsigned char firstByte) const {
        return *index_[firstByte];
    }

private:
    bool adopt(dbf::OpenResult opened);
    std::string lookup(std::string_view source, bool mayAppend);
    int findCore(const std::string& core);
    void addToIndex(const std::string& text, std::int32_t recNo);
    void freeIndex();
    int fieldFor(int language) const;
    void report(TableProblem::Kind kind, Error error);

    std::unique_ptr<dbf::Table> table_;
    std::string path_;
    int sourceField_ = -1;
    std::size_t sourceWidth_ = 0;
    std::array<int, kLanguageCount> languageFields_{};
    int activeLanguage_ = 0;

    // TranslationIndex: one bucket per first byte; all share one owner variable.
    TTranslationEntry* currentEntry_ = nullptr;
    std::array<std::unique_ptr<TranslationBucket>, 256> index_;

    ProblemHandler problemHandler_;
    std::vector<TableProblem> problems_;
    bool readFailureReported_ = false;
};

// A table that an earlier version began and never finished: its header is not whole and the
// file ends before any row could begin, so it holds nothing of anybody's. Such a file is
// renamed beside itself to "translate.dbf.damaged" (or "translate.dbf.damaged-2", -3, ...:
// the first name that is free; nothing is overwritten), so that a new table can take its
// place. Returns the new name, or an empty text when the file at `path` is no such table (it
// is missing, whole, or damaged in a way that may hold rows a user wrote: those are kept
// where they are and refused as before); fails when the file could not be renamed.
Result<std::string> SetAsideUnfinishedTable(const std::string& path);

// Every German text that the table itself may show (in Describe), so the shipped
// translations can be checked to cover them.
std::vector<std::string_view> TableProblemTexts();

}  // namespace tervasko
