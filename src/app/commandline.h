#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tervasko {

class TMainForm;

// What the program was asked for on its command line: "tervasko [DRAWING.tvk]", the way a
// file manager or a desktop entry starts it. Qt's own options (-platform, -style, ...) have
// been taken out by the application object before.
struct StartRequest {
    std::optional<QString> file;  // the drawing to open after the first show
    bool help = false;            // --help: the usage on standard output, no window
    bool version = false;         // --version
    // A mistake (several files, an unknown option): told in a message box once the window
    // is up, which then shows the empty drawing. The German lead sentence and the details.
    std::string problem;
    QString problemDetail;
};

// `args` without the program's name. "--" ends the options; a "file://" address names its
// local file.
StartRequest ParseCommandLine(const QStringList& args);

// The usage text for --help, and the line for --version.
QString CommandLineUsage();
QString VersionLine();

// Runs the request on a window that has been shown: the drawing is read as "Öffnen..." reads
// the file chosen in its dialog (the same messages when it cannot be read, which leave the
// empty drawing), or the mistake is told.
void RunStartRequest(TMainForm& form, const StartRequest& request);

}  // namespace tervasko
