#pragma once

// The translations that come with the program: a UTF-8 text file (data/translations.tsv),
// one text per line, its columns separated by tabs in the table's order (German source,
// English, Italian, ...). Lines that are empty or begin with '#' are ignored. A line whose
// source text begins with '!' lists translations shipped earlier for that source (without the
// '!'), which the source's own row corrects; it belongs to that row.

#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace tervasko {

struct ShippedRow {
    int line = 0;                    // in the source file, from 1
    std::vector<std::string> texts;  // UTF-8; texts[0] is the German source text
    // Translations shipped before for the same source, now corrected: one list of the
    // row's columns for every '!' line.
    std::vector<std::vector<std::string>> earlier = {};
};

// Every row must have as many columns as the first one (1 … 19); a malformed line stops the
// parse with a failure naming it.
Result<std::vector<ShippedRow>> ParseShippedTranslations(std::string_view source);

struct InstallReport {
    bool created = false;  // the table did not exist and was made
    int rowsAdded = 0;     // source texts the table lacked
    int cellsFilled = 0;   // translations written into empty cells of existing rows, or over
                           // an earlier shipped translation
};

// Brings the shipped rows into the table at `location` (a directory or a .dbf path): creates
// it when missing, appends the rows whose source text it lacks, fills translation cells
// that are empty and corrects cells that still hold a translation shipped earlier. Nothing
// else the table holds is changed or removed, so a table that a user extended keeps every
// row and every translation of the user's. The merged table replaces the old one in one
// step, complete or not at all. Fails when the table cannot be written, with the lead
// CannotInstallTranslations naming the table and the reason; the table is then as it was.
Result<InstallReport> InstallShippedTranslations(const std::vector<ShippedRow>& rows,
                                                 const std::string& location);

}  // namespace tervasko
