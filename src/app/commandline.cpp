#include "app/commandline.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "i18n/messagetable.h"

namespace tervasko {

StartRequest ParseCommandLine(const QStringList& args) {
    StartRequest r;
    QStringList files;
    bool options = true;
    for (const QString& a : args) {
        if (options && a == QLatin1String("--")) {
            options = false;
        } else if (options && (a == QLatin1String("--help") || a == QLatin1String("-h"))) {
            r.help = true;
        } else if (options && (a == QLatin1String("--version") || a == QLatin1String("-v"))) {
            r.version = true;
        } else if (options && a.size() > 1 && a.startsWith(QLatin1Char('-'))) {
            if (r.problem.empty()) {
                r.problem = "Die Befehlszeile enthält eine unbekannte Angabe.";
                r.problemDetail = QLatin1Char('"') + a + QLatin1Char('"');
            }
        } else if (!a.isEmpty()) {
            files.append(a.startsWith(QLatin1String("file://")) ? QUrl(a).toLocalFile() : a);
        }
    }
    if (r.problem.empty() && files.size() > 1) {
        r.problem = "Es kann nur eine Zeichnung auf einmal geöffnet werden.";
        r.problemDetail = files.join(QLatin1Char('\n'));
    }
    // After a mistake no drawing is opened: the window starts empty.
    if (r.problem.empty() && files.size() == 1) r.file = files.front();
    return r;
}

QString CommandLineUsage() {
    return QStringLiteral(
        "Usage: tervasko [DRAWING.tvk | WORKSHEET.pdf]\n"
        "\n"
        "Starts Tervasko and opens DRAWING once the window is up. Without it the window shows\n"
        "an empty drawing. A PDF file becomes the worksheet of a new, untitled drawing: its\n"
        "pages lie beneath the sheets at true scale.\n"
        "\n"
        "Options:\n"
        "  --help     this text\n"
        "  --version  the program's version\n"
        "\n"
        "The settings and the translation table live beside the program when it runs from a\n"
        "folder of its own that it may write to, otherwise in $XDG_CONFIG_HOME/tervasko\n"
        "(~/.config/tervasko).\n");
}

QString VersionLine() {
    return QStringLiteral("tervasko " TERVASKO_VERSION "\n");
}

void RunStartRequest(const StartActions& window, const StartRequest& request) {
    if (!request.problem.empty()) {
        window.ShowError(TranslateText(request.problem) + "\n\n" +
                         request.problemDetail.toStdString() + "\n\n" +
                         TranslateText("Aufruf: tervasko [ZEICHNUNG.tvk]"));
        return;
    }
    // The full path, as the open dialog gives it: the title shows it, and a later save or the
    // recent files must not depend on the folder the program was started from.
    if (!request.file) return;
    const QFileInfo file(*request.file);
    const std::string path = QDir::cleanPath(file.absoluteFilePath()).toStdString();
    if (file.suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0 &&
        window.StartOnWorksheet)
        window.StartOnWorksheet(path);
    else
        window.LoadDrawing(path);
}

}  // namespace tervasko
