#pragma once

// The translations that come with the program: a UTF-8 text file (data/translations.tsv),
// one text per line, its columns separated by tabs in the table's order (German source,
// English, Italian, ...). Lines that are empty or begin with '#' are ignored.

#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace tervasko {

struct ShippedRow {
    int line = 0;                    // in the source file, from 1
    std::vector<std::string> texts;  // UTF-8; texts[0] is the German source text
};

// Every row must have as many columns as the first one (1 … 19); a malformed line stops the
// parse with a failure naming it.
Result<std::vector<ShippedRow>> ParseShippedTranslations(std::string_view source);

struct InstallReport {
    bool created = false;  // the table did not exist and was made
    int rowsAdded = 0;     // source texts the table lacked
    int cellsFilled = 0;   // translations written into empty cells of existing rows
};

// Brings the shipped rows into the table at `location` (a directory or a .dbf path): creates
// it when missing, appends the rows whose source text it lacks and fills translation cells
// that are empty. Nothing the table already holds is changed or removed, so a table that a
// user extended keeps every row and every translation. Fails when the table cannot be
// written, with the lead CannotInstallTranslations naming the table and the reason.
Result<InstallReport> InstallShippedTranslations(const std::vector<ShippedRow>& rows,
                                                 const std::string& location);

}  // namespace tervasko
