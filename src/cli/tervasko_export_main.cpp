#include <QString>
#include <QtGlobal>
#include <iostream>

#include "cli/exportcli.h"

namespace {

// The exporter reports its own failures, one line each. Qt's notes about the session it runs
// in (no runtime folder, no display) say nothing about the output and are left out; what Qt
// reports as critical or fatal still shows.
void qtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(&qtMessages);
    std::vector<std::string> args(argv + 1, argv + argc);
    return tervasko::RunExportCommand(args, std::cout, std::cerr);
}
