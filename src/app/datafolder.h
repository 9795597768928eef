#pragma once

#include <string>
#include <vector>

#include "platform/error.h"

namespace tervasko {

inline constexpr const char* kShippedTranslationsName = "translations.tsv";

// Makes the folder of "options.dat" and "translate.dbf" ready before the window opens.
// When it is not the program's own folder (an installed program), a "translate.dbf" beside
// the program is copied there at the first start. When the program has a shared data folder,
// the shipped translations there are merged into the table: a missing table is made from
// them, a table of the user's only gains the rows and translations it lacks, and the merge
// runs again only after the shipped file changed (an upgrade), so rows a user removed stay
// removed until then. Returns what went wrong, one error each, to be described in the user's
// language once the window knows it; the program starts anyway (the window reports a table
// it cannot use).
std::vector<Error> PrepareDataFolder(const std::string& dataDir, const std::string& programDir,
                                     const std::string& sharedDir);

}  // namespace tervasko
