#pragma once

// The translation table's file access, on top of shapelib's DBF functions. Internal to the
// i18n library: nothing outside it sees shapelib.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tervasko::dbf {

// What is wrong with a file that is not a usable table; the texts are the program's German
// source texts, translated when shown.
inline constexpr std::string_view kEmptyFile = "Die Datei ist leer.";
inline constexpr std::string_view kHeaderIncomplete = "Der Dateikopf ist unvollständig.";
inline constexpr std::string_view kHeaderInvalid = "Der Dateikopf ist ungültig.";
inline constexpr std::string_view kRowsMissing =
    "Die Datei enthält weniger Zeilen, als ihr Kopf angibt.";
inline constexpr std::string_view kRowsBeyondHeader =
    "Die Datei enthält mehr Zeilen, als ihr Kopf angibt.";
inline constexpr std::string_view kRecordLengthMismatch =
    "Die Satzlänge passt nicht zu den Spalten.";
inline constexpr std::string_view kNoSourceColumn =
    "Die Spalte language1 fehlt oder ist keine Textspalte.";

enum class Access { Writable, ReadOnly };

struct OpenResult;

// One open .dbf file. Every change is committed to the file before the call returns, so the
// file is a complete table after each of them. After a failed write the handle stops writing
// altogether (a row whose data did not reach the disk is never counted in the header) and
// the table is reopened read-only.
class Table {
public:
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // Opens an existing file after checking its header in full (header length, terminator,
    // record length against the fields) and against the file's size. A file that holds fewer
    // rows than its header claims is opened read-only with the rows it holds; one that holds
    // more complete rows than its header counts is opened read-only with the rows the header
    // counts, since appending would overwrite the others; a file whose layout cannot be
    // trusted is not opened. `wanted` ReadOnly never writes.
    static OpenResult Open(const std::string& path, Access wanted);

    // Creates a new empty table of `columns` character columns named prefix1, prefix2, ...
    // of `width` bytes, marked as Windows-1252. The file appears complete or not at all,
    // and an existing file is never replaced. Returns false with the system's reason.
    static bool Create(const std::string& path, std::string_view prefix, int columns, int width,
                       std::string* error);

    bool ReadOnly() const { return readOnly_; }
    int RowCount() const { return rows_; }
    int FieldCount() const;
    // Index of the character column with this name (case-insensitive), or -1.
    int CharField(std::string_view name) const;
    int FieldWidth(int field) const;

    // Rows count from 0 here. False when the row could not be read.
    bool IsDeleted(int row, bool& deleted);
    // The field's bytes without the blanks around them; false when the row could not be read.
    bool ReadString(int row, int field, std::string& out);

    // Appends a row with the given fields (the others blank) and commits it. Every value must
    // fit its field. Returns the new row's index, or -1 with the reason in *error.
    int AppendRow(const std::vector<std::pair<int, std::string>>& fields, std::string* error);
    // Replaces one field of an existing row and commits it.
    bool WriteString(int row, int field, std::string_view bytes, std::string* error);

private:
    struct Handle;
    explicit Table(std::unique_ptr<Handle> handle, bool readOnly, int rows);
    bool commit(std::string* error);
    void fallBackToReading();

    std::unique_ptr<Handle> handle_;
    std::string path_;
    bool readOnly_;
    int rows_;
};

struct OpenResult {
    std::unique_ptr<Table> table;  // null when the file cannot be used at all
    // Why the file is not fully usable: one of the texts above, or the system's reason
    // when the file could not be opened. Empty when the file was opened as asked or when it
    // is merely write-protected.
    std::string problem;
    bool damaged = false;  // the file's content is at fault, not its permissions
};

}  // namespace tervasko::dbf
