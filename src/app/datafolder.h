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
// removed until then. The copy and the merge each replace the table in one step, so one that
// fails leaves the table as it was. A table that an earlier version left unfinished is
// renamed beside itself (SetAsideUnfinishedTable) and made anew; that is reported with the
// code TableSetAside, to be told in the window (IsToldInWindow). Returns what went wrong, one
// error each, to be described in the user's language once the window knows it; the program
// starts anyway (the window reports a table it cannot use).
std::vector<Error> PrepareDataFolder(const std::string& dataDir, const std::string& programDir,
                                     const std::string& sharedDir);

// Whether the user must see this problem of PrepareDataFolder in a message box: a table that
// was set aside, or one that could not be.
bool IsToldInWindow(const Error& problem);

}  // namespace tervasko
