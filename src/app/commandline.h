#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>

namespace tervasko {

// What the program was asked for on its command line: "tervasko [DRAWING.tvk]", the way a
// file manager or a desktop entry starts it; a file named "*.pdf" is a worksheet, and the
// window starts a new drawing on it. Qt's own options (-platform, -style, ...) have
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

// What a start request needs of the window that has been shown.
struct StartActions {
    // Reads the drawing as "Öffnen..." reads the file chosen in its dialog (the same messages
    // when it cannot be read, which leave the empty drawing).
    std::function<void(const std::string& path)> LoadDrawing;
    std::function<void(const std::string& text)> ShowError;
    // Puts the PDF file beneath the sheets of the new, untitled drawing the window starts
    // with, as "Arbeitsblatt einfügen..." does (the same messages when it cannot be).
    std::function<void(const std::string& path)> StartOnWorksheet;
};

// Runs the request: the drawing is read, or the mistake is told.
void RunStartRequest(const StartActions& window, const StartRequest& request);

}  // namespace tervasko
