#pragma once

// The translation table's file access, on top of shapelib's DBF functions. Internal to the
// i18n library: nothing outside it sees shapelib.
//
// A table is used where it lies, every change written into the file at once (lookups that
// append a text, the translation editor), or read whole into memory, changed there and put
// in place of the file in one step through SafeFileWriter (installing the shipped
// translations: many changes that must all arrive or none).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/error.h"

namespace tervasko::dbf {

enum class Access { Writable, ReadOnly };

struct OpenResult;
struct HeaderCheck;

// What a look at a file's header found, without opening it as a table.
struct Inspection {
    Error problem;              // as OpenResult::problem
    bool damaged = false;       // the file's content is at fault
    bool rowsReadable = false;  // its layout can be trusted: its rows can be read
    std::uint64_t size = 0;     // the file's length in bytes
};

// One open .dbf file. Every change is committed to the file before the call returns, so the
// file is a complete table after each of them: a row is written first, then the end mark
// behind it, and only then the header that counts it. When a write fails, the bytes the
// change had overwritten go back and the file gets its old length, so the table on disk is
// what it was before; the handle stops writing altogether and is reopened read-only.
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
    // The same checks for a table read whole into memory: changes stay there until Save.
    // A missing file is a new empty table of `columns` columns as Create makes it.
    static OpenResult OpenInMemory(const std::string& path, std::string_view prefix, int columns,
                                   int width);
    // Puts a table held in memory in place of its file, completely or not at all (nothing
    // for a table on disk, whose changes are there already).
    Error Save();
    // Looks at a file's header and size as Open does.
    static Inspection Inspect(const std::string& path);

    // Creates a new empty table of `columns` character columns named prefix1, prefix2, ...
    // of `width` bytes, marked as Windows-1252. The file appears complete or not at all,
    // and an existing file is never replaced. A failure holds the system's reason.
    static Error Create(const std::string& path, std::string_view prefix, int columns, int width);

    bool ReadOnly() const { return readOnly_; }
    int RowCount() const { return rows_; }
    int FieldCount() const;
    // Index of the character column with this name (case-insensitive), or -1.
    int CharField(std::string_view name) const;
    int FieldWidth(int field) const;

    // Rows count from 0 here. Whether the row is marked deleted; a failure when it could not
    // be read.
    Result<bool> IsDeleted(int row);
    // The field's bytes without the blanks around them.
    Result<std::string> ReadString(int row, int field);

    // Appends a row with the given fields (the others blank) and commits it. Every value must
    // fit its field. Returns the new row's index.
    Result<int> AppendRow(const std::vector<std::pair<int, std::string>>& fields);
    // Replaces one field of an existing row and commits it.
    Error WriteString(int row, int field, std::string_view bytes);

private:
    struct Handle;
    explicit Table(std::unique_ptr<Handle> handle, bool readOnly, int rows);
    static OpenResult adopt(std::unique_ptr<Handle> handle, const std::string& path,
                            const HeaderCheck& check, bool readOnly);
    Error change(const std::function<void()>& put);
    void fallBackToReading();

    std::unique_ptr<Handle> handle_;
    std::string path_;
    bool readOnly_;
    int rows_;
};

struct OpenResult {
    std::unique_ptr<Table> table;  // null when the file cannot be used at all
    // Why the file is not fully usable: its layout (the Table... codes), or the system's
    // reason when the file could not be opened. Empty when the file was opened as asked or
    // when it is merely write-protected.
    Error problem;
    bool damaged = false;  // the file's content is at fault, not its permissions
};

}  // namespace tervasko::dbf
