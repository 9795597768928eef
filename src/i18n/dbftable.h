#pragma once

// The translation table's file access, on top of shapelib's DBF functions. Internal to the
// i18n library: nothing outside it sees shapelib.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/error.h"

namespace tervasko::dbf {

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
    Error commit();
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
