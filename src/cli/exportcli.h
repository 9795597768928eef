#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tervasko {

// Exit codes of tervasko-export.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // input unreadable or broken, output not written
inline constexpr int kExitUsage = 2;   // wrong arguments or unknown output type

// Runs the exporter on its arguments (without the program name). Messages go to err as one
// line each, naming the file and the problem; help goes to out.
int RunExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tervasko
