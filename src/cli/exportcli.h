#pragma once

#include <atomic>
#include <ostream>
#include <string>
#include <vector>

namespace tervasko {

// Exit codes of tervasko-export.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // input unreadable or broken, output not written
inline constexpr int kExitUsage = 2;   // wrong arguments or unknown output type

// Stopped by a signal: 128 + the signal's number (130 for SIGINT, 143 for SIGTERM).
inline constexpr int kExitSignalBase = 128;

// What the exporter shows of how far it has come, and how it learns that it is to stop.
struct ExportControl {
    // A terminal: one line there, rewritten in place, tells what is being read or written
    // and how far it has come, and is wiped when the work ends. None when nullptr.
    std::ostream* progress = nullptr;
    // Holds a signal's number once the export is to stop (a signal handler sets it): the
    // exporter then stops as soon as it next looks, writes nothing, leaves an old output as
    // it was and no temporary file, and exits with kExitSignalBase + that number.
    const std::atomic<int>* stop = nullptr;
};

// Runs the exporter on its arguments (without the program name). Messages go to err as one
// line each, naming the file and the problem; help goes to out.
int RunExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const ExportControl& control = {});

}  // namespace tervasko
