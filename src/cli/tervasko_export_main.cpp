#include <unistd.h>

#include <QString>
#include <QtGlobal>
#include <atomic>
#include <csignal>
#include <iostream>

#include "cli/exportcli.h"

namespace {

// The exporter reports its own failures, one line each. Qt's notes about the session it runs
// in (no runtime folder, no display) say nothing about the output and are left out; what Qt
// reports as critical or fatal still shows.
void qtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << "\n";
}

std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

// An interrupt or a request to end asks the export to stop, which then writes nothing and
// ends by itself; a second one ends the program at once (the handler is reset).
void askToStop(int signal) {
    stopSignal.store(signal);
}

void stopOn(int signal) {
    struct sigaction action {};
    action.sa_handler = &askToStop;
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    stopOn(SIGINT);
    stopOn(SIGTERM);
    qInstallMessageHandler(&qtMessages);
    std::vector<std::string> args(argv + 1, argv + argc);
    tervasko::ExportControl control;
    control.stop = &stopSignal;
    if (::isatty(STDERR_FILENO)) control.progress = &std::cerr;
    return tervasko::RunExportCommand(args, std::cout, std::cerr, control);
}
