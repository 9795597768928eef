#pragma once

// The program's own settings beyond the language: the recent files, the state of the shipped
// translations, and whatever switch comes next. One ini file, "tervasko.conf", in the folder
// of "options.dat" (whose four bytes stay as they are). Qt writes it through a temporary
// file, so a failed write never leaves half a file; an unwritable folder keeps the values
// for this run only.

#include <QSettings>
#include <memory>
#include <string>

namespace tervasko {

inline constexpr const char* kSettingsFileName = "tervasko.conf";
// Whether snapping is on (bool, off when missing).
inline constexpr const char* kSnapKey = "Snap";

// The settings file in `dataDir` (a folder, with or without the trailing '/').
std::unique_ptr<QSettings> OpenSettings(const std::string& dataDir);

}  // namespace tervasko
