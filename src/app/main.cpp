#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

#include "app/commandline.h"
#include "app/datafolder.h"
#include "app/dialogs/errortext.h"
#include "app/dialogs/messagebox.h"
#include "app/mainUnit.h"
#include "app/recovery.h"
#include "platform/programdir.h"
#include "platform/systemmessage.h"

namespace {

// The record lists' out-of-memory message, untranslated, owned by no window.
void showStopMessage(const std::string& text) {
    tervasko::ShowMessageBox(nullptr, QMessageBox::Critical, {}, text);
}

}  // namespace

int main(int argc, char** argv) {
    // --help and --version need no display: they are answered before Qt starts.
    QStringList raw;
    for (int i = 1; i < argc; ++i) raw.append(QString::fromLocal8Bit(argv[i]));
    if (const tervasko::StartRequest early = tervasko::ParseCommandLine(raw);
        early.help || early.version) {
        const QString text = early.help ? tervasko::CommandLineUsage() : tervasko::VersionLine();
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName("Tervasko");
    QApplication::setDesktopFileName(
        "org.morvane.Tervasko");  // the window's icon and name in the desktop
    // Qt's own options (-platform, -style, ...) have been taken out of the arguments by now.
    const tervasko::StartRequest request =
        tervasko::ParseCommandLine(QApplication::arguments().mid(1));
    // The interface font of the window; Liberation Sans looks closest where it is missing.
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
    tervasko::SetSystemMessageHandler(&showStopMessage);

    const std::string programDir = tervasko::ProgramDir();
    const std::string sharedDir = tervasko::SharedDataDir(programDir);
    // The window's icon from the icon theme; an unpacked copy also looks beside its own share
    // folder, where the package puts the icons.
    if (!sharedDir.empty())
        QIcon::setThemeSearchPaths(QIcon::themeSearchPaths()
                                   << QString::fromStdString(sharedDir + "../icons"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.morvane.Tervasko")));
    const std::string dataDir = tervasko::DataDir();
    const auto problems = tervasko::PrepareDataFolder(dataDir, programDir, sharedDir);

    tervasko::TMainForm form(dataDir);
    form.show();
    // Told once the window has read the user's language; a translation table that was set
    // aside also in a message box, since the user may look for it.
    for (const tervasko::Error& problem : problems) {
        std::fprintf(stderr, "tervasko: %s\n", tervasko::DescribeError(problem).c_str());
        if (tervasko::IsToldInWindow(problem)) form.ShowError(tervasko::DescribeError(problem));
    }
    // Work that a crash or a kill cut short is offered back before anything else.
    form.OfferRecovery();
    // The drawing is read once the window is up, as after the open dialog.
    QTimer::singleShot(0, &form, [&form, &request] { form.RunStartRequest(request); });
    return QApplication::exec();
}
