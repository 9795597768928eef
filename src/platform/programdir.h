#pragma once

#include <string>

namespace tervasko {

// Directory of the running program file, always ending in '/', whatever the working
// directory is. "options.dat" and "translate.dbf" live there.
std::string ProgramDir();

}  // namespace tervasko
