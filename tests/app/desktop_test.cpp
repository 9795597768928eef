// The ways a drawing reaches the window besides the open dialog: the command line, a drop,
// the recent files.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QUrl>
#include <cstdlib>
#include <filesystem>

#include "app/commandline.h"
#include "app/datafolder.h"
#include "app/dropopen.h"
#include "app/filecommands.h"
#include "app/mainUnit.h"
#include "app/recentfiles.h"
#include "app/settingsfile.h"
#include "document/drawingfile.h"
#include "i18n/shippedtranslations.h"
#include "i18n/translationtable.h"
#include "session/drawingsession.h"
#include "support/find.h"
#include "support/mainformparts.h"
#include "support/tempdir.h"

namespace tervasko {
namespace {

using Answer = FileDialogService::Answer;

// A drawing with `lines` lines, saved at `path`.
void writeDrawing(const std::string& path, int lines) {
    TDrawing d;
    for (int i = 0; i < lines; ++i) {
        TDrawElement* e = d.AppendElement();
        e->Kind = ekLine;
        e->X1 = 10, e->Y1 = 10 + i, e->X2 = 50, e->Y2 = 10 + i;
    }
    Error error = WriteDrawingFile(path, d, DrawingSettings{});
    ASSERT_FALSE(error) << EnglishText(error);
}

class DesktopTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    std::unique_ptr<TMainForm> form;
    std::vector<std::string> errors;
    std::vector<Answer> answers;
    int questions = 0;

    void SetUp() override { makeForm(); }

    void makeForm() {
        form = std::make_unique<TMainForm>(dir.path());
        form->Hooks().ShowError = [this](const std::string& text) { errors.push_back(text); };
        form->show();
        QApplication::processEvents();
        FileDialogService& d = Parts(*form).FileCommands->Dialogs;
        d.AskSave = [this] {
            ++questions;
            if (answers.empty()) {
                ADD_FAILURE() << "an unexpected question";
                return Answer::Cancel;
            }
            const Answer a = answers.front();
            answers.erase(answers.begin());
            return a;
        };
        d.SaveDialog1 = [] { return std::optional<std::string>(); };
    }
    std::string drawing(const std::string& name, int lines) {
        const std::string path = dir.file(name);
        writeDrawing(path, lines);
        return path;
    }
    void change() {
        Parts(*form).Session->Drawing().AppendElement()->Kind = ekLine;
        Parts(*form).Session->Record(ElementsAppended(elements() - 1, 1), "Linie");
    }
    std::uint32_t elements() const { return Parts(*form).Session->Drawing().Elements.Count(); }
    QStringList recent() const { return Parts(*form).RecentFiles->Files(); }
};

// --- the command line ----------------------------------------------------------------------

TEST(CommandLine, OneFileOpensAndEverythingElseIsAMistakeOrAnAnswer) {
    const struct {
        QStringList args;
        std::optional<QString> file;
        bool help, version;
        const char* problem;
    } cases[] = {
        {{}, std::nullopt, false, false, ""},
        {{"a.tvk"}, "a.tvk", false, false, ""},
        {{"file:///tmp/my%20drawing.tvk"}, "/tmp/my drawing.tvk", false, false, ""},
        {{"--", "-odd.tvk"}, "-odd.tvk", false, false, ""},
        {{"-"}, "-", false, false, ""},  // a file of that name, as other programs take it
        {{"a.tvk", "b.tvk"}, std::nullopt, false, false, "nur eine Zeichnung"},
        {{"--frobnicate", "a.tvk"}, std::nullopt, false, false, "unbekannte Angabe"},
        {{"-x"}, std::nullopt, false, false, "unbekannte Angabe"},
        {{"--help"}, std::nullopt, true, false, ""},
        {{"a.tvk", "--version"}, "a.tvk", false, true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const StartRequest r = ParseCommandLine(c.args);
        EXPECT_EQ(r.file, c.file);
        EXPECT_EQ(r.help, c.help);
        EXPECT_EQ(r.version, c.version);
        if (*c.problem)
            EXPECT_NE(r.problem.find(c.problem), std::string::npos) << r.problem;
        else
            EXPECT_TRUE(r.problem.empty()) << r.problem;
    }
    const StartRequest several = ParseCommandLine({"a.tvk", "b.tvk"});
    EXPECT_TRUE(several.problemDetail.contains("a.tvk") && several.problemDetail.contains("b.tvk"));
}

TEST_F(DesktopTest, ACommandLineDrawingOpensAsAfterTheOpenDialog) {
    const std::string good = drawing("good.tvk", 3);
    // Named relative to the folder the program starts in.
    const QString startFolder = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(dir.path())));
    form->RunStartRequest(ParseCommandLine({"./good.tvk"}));
    QDir::setCurrent(startFolder);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(elements(), 3u);
    EXPECT_EQ(Parts(*form).Session->Drawing().FileName, good);
    EXPECT_TRUE(form->windowTitle().endsWith("good.tvk]"));
    EXPECT_EQ(recent(), QStringList{QString::fromStdString(good)});
}

TEST_F(DesktopTest, ABrokenOrMissingCommandLineDrawingIsToldAndLeavesTheEmptyDrawing) {
    const std::string broken = dir.file("broken.tvk");
    {
        const std::string whole = drawing("whole.tvk", 2);
        auto bytes = testing::readBytes(whole);
        bytes.resize(bytes.size() / 2);
        testing::writeBytes(broken, bytes);
    }
    for (const std::string& path : {broken, dir.file("missing.tvk")}) {
        SCOPED_TRACE(path);
        makeForm();
        errors.clear();
        form->RunStartRequest(ParseCommandLine({QString::fromStdString(path)}));
        ASSERT_EQ(errors.size(), 1u);
        // The open command's own message, naming the file.
        EXPECT_EQ(errors[0].rfind("Die Zeichnung konnte nicht geöffnet werden.", 0), 0u)
            << errors[0];
        EXPECT_NE(errors[0].find(path), std::string::npos) << errors[0];
        EXPECT_EQ(elements(), 0u);
        EXPECT_TRUE(Parts(*form).Session->Drawing().FileName.empty());
        EXPECT_FALSE(form->Changed());
        EXPECT_TRUE(recent().isEmpty());
    }
}

TEST_F(DesktopTest, SeveralFilesOrAnUnknownOptionAreToldAndNothingIsOpened) {
    const std::string a = drawing("a.tvk", 1), b = drawing("b.tvk", 2);
    const struct {
        QStringList args;
        const char* says;
    } cases[] = {
        {{QString::fromStdString(a), QString::fromStdString(b)}, "Es kann nur eine Zeichnung"},
        {{"--bogus", QString::fromStdString(a)},
         "Die Befehlszeile enthält eine unbekannte Angabe."},
    };
    for (const auto& c : cases) {
        errors.clear();
        form->RunStartRequest(ParseCommandLine(c.args));
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].rfind(c.says, 0), 0u) << errors[0];
        EXPECT_NE(errors[0].find("tervasko [ZEICHNUNG.tvk]"), std::string::npos) << errors[0];
        EXPECT_EQ(elements(), 0u);
    }
}

// --- drops ----------------------------------------------------------------------------------

// Sends a drag over the window and drops it; true when the window took it.
bool drop(QWidget& target, const QList<QUrl>& urls, const QString& text = {}) {
    QMimeData data;
    if (!urls.isEmpty()) data.setUrls(urls);
    if (!text.isEmpty()) data.setText(text);
    const QPointF at(100, 100);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &dropped);
    QApplication::processEvents();  // the file is read once the drag has ended
    return dropped.isAccepted();
}

TEST_F(DesktopTest, OnlyASingleLocalDrawingIsTaken) {
    const std::string a = drawing("a.tvk", 1), b = drawing("B.TVK", 2);
    const QUrl url = QUrl::fromLocalFile(QString::fromStdString(a));
    EXPECT_FALSE(drop(*form, {url, QUrl::fromLocalFile(QString::fromStdString(b))}));
    EXPECT_FALSE(drop(*form, {QUrl::fromLocalFile(QString::fromStdString(dir.file("x.dxf")))}));
    EXPECT_FALSE(drop(*form, {QUrl("https://example.org/a.tvk")}));
    EXPECT_FALSE(drop(*form, {}, QString::fromStdString(a)));
    EXPECT_EQ(elements(), 0u);

    EXPECT_TRUE(drop(*form, {QUrl::fromLocalFile(QString::fromStdString(b))}));  // any case
    EXPECT_EQ(elements(), 2u);
    EXPECT_EQ(Parts(*form).Session->Drawing().FileName, b);
}

TEST_F(DesktopTest, ADropAsksAboutUnsavedWorkFirst) {
    const QUrl url = QUrl::fromLocalFile(QString::fromStdString(drawing("a.tvk", 4)));
    change();
    answers = {Answer::Cancel};
    drop(*form, {url});
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(elements(), 1u);  // the own work stays
    EXPECT_TRUE(form->Changed());

    answers = {Answer::No};
    drop(*form, {url});
    EXPECT_EQ(questions, 2);
    EXPECT_EQ(elements(), 4u);
    EXPECT_FALSE(form->Changed());

    // A drawing dropped on a child (the sheets) reaches the window as well.
    change();
    answers = {Answer::No};
    const QUrl other = QUrl::fromLocalFile(QString::fromStdString(drawing("b.tvk", 2)));
    QMimeData data;
    data.setUrls({other});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &dropped);
    QApplication::processEvents();
    EXPECT_EQ(elements(), 2u);
}

// --- recent files ---------------------------------------------------------------------------

TEST(RecentFileList, NewestFirstEachOnceAtMostEight) {
    QStringList list;
    for (int i = 1; i <= 10; ++i) list = WithRecentFile(list, QStringLiteral("/d/%1.tvk").arg(i));
    ASSERT_EQ(list.size(), kMaxRecentFiles);
    EXPECT_EQ(list.front(), "/d/10.tvk");
    EXPECT_EQ(list.back(), "/d/3.tvk");
    // Named again, in another spelling of the same path: moved to the front, not repeated.
    list = WithRecentFile(list, "/d/x/../5.tvk");
    EXPECT_EQ(list.size(), kMaxRecentFiles);
    EXPECT_EQ(list.front(), "/d/5.tvk");
    EXPECT_EQ(list.count("/d/5.tvk"), 1);
    EXPECT_EQ(list.at(1), "/d/10.tvk");
    EXPECT_EQ(list.back(), "/d/3.tvk");
}

TEST_F(DesktopTest, TheRecentMenuSitsBeforeTheLastSeparatorAndBeenden) {
    QMenu* datei = form->findChild<QMenu*>("Datei1");
    ASSERT_NE(datei, nullptr);
    const QList<QAction*> items = datei->actions();
    ASSERT_GE(items.size(), 3);
    EXPECT_EQ(items.at(items.size() - 1), testing::Find<QAction>(form, "Beenden1"));
    EXPECT_TRUE(items.at(items.size() - 2)->isSeparator());
    EXPECT_EQ(items.at(items.size() - 3),
              testing::Find<QMenu>(form, "DateiZuletztgeffnet1")->menuAction());
    EXPECT_EQ(items.at(items.size() - 4), testing::Find<QAction>(form, "Druckereinrichten1"));
    EXPECT_EQ(testing::Find<QMenu>(form, "DateiZuletztgeffnet1")->title(),
              QString::fromUtf8("Zuletzt geöffnet"));
    EXPECT_FALSE(testing::Find<QMenu>(form, "DateiZuletztgeffnet1")
                     ->menuAction()
                     ->isEnabled());  // nothing yet
}

TEST_F(DesktopTest, OpenedAndSavedDrawingsAreListedNewestFirstAndKeptForTheNextRun) {
    const std::string a = drawing("a.tvk", 1), b = drawing("b.tvk", 2);
    Parts(*form).FileCommands->Dialogs.OpenDialog1 = [&] { return std::optional<std::string>(a); };
    Parts(*form).FileCommands->ffnen1Click();
    Parts(*form).FileCommands->LoadDrawing(b);
    Parts(*form).FileCommands->LoadDrawing(dir.file("missing.tvk"));  // a failure is not listed
    const std::string saved = dir.file("saved.tvk");
    Parts(*form).FileCommands->Dialogs.SaveDialog1 = [&] {
        return std::optional<std::string>(saved);
    };
    Parts(*form).FileCommands->Speichernunter1Click();
    const QStringList expected = {QString::fromStdString(saved), QString::fromStdString(b),
                                  QString::fromStdString(a)};
    EXPECT_EQ(recent(), expected);
    EXPECT_TRUE(testing::Find<QMenu>(form, "DateiZuletztgeffnet1")->menuAction()->isEnabled());
    ASSERT_NE(Parts(*form).RecentFiles->Item(2), nullptr);
    EXPECT_EQ(Parts(*form).RecentFiles->Item(0)->text(), "&1 " + QString::fromStdString(saved));
    EXPECT_EQ(Parts(*form).RecentFiles->Item(2)->text(), "&3 " + QString::fromStdString(a));
    EXPECT_EQ(Parts(*form).RecentFiles->Item(3), nullptr);

    // Kept in the settings file beside options.dat, which stays as it was (none here).
    EXPECT_TRUE(std::filesystem::exists(dir.file(kSettingsFileName)));
    EXPECT_FALSE(std::filesystem::exists(dir.file("options.dat")));
    makeForm();
    EXPECT_EQ(recent(), expected);
    Parts(*form).RecentFiles->Item(2)->trigger();
    EXPECT_EQ(elements(), 1u);
    EXPECT_EQ(Parts(*form).Session->Drawing().FileName, a);
    EXPECT_EQ(recent().front(), QString::fromStdString(a));
}

// "Fangen" is the last item of the view menu, after a separator; off at start, and the
// state it is given is there again in the next run, both ways.
TEST_F(DesktopTest, TheSnapSwitchEndsTheViewMenuStartsOffAndIsRemembered) {
    QMenu* ansicht = form->findChild<QMenu*>("Ansicht1");
    ASSERT_NE(ansicht, nullptr);
    const QList<QAction*> items = ansicht->actions();
    ASSERT_GE(items.size(), 2);
    ASSERT_EQ(items.back(), testing::Find<QAction>(form, "AnsichtFangen1"));
    EXPECT_TRUE(items.at(items.size() - 2)->isSeparator());
    EXPECT_EQ(testing::Find<QAction>(form, "AnsichtFangen1")->objectName(), "AnsichtFangen1");
    EXPECT_EQ(testing::Find<QAction>(form, "AnsichtFangen1")->text(), "Fangen");
    EXPECT_TRUE(testing::Find<QAction>(form, "AnsichtFangen1")->isCheckable());
    EXPECT_FALSE(testing::Find<QAction>(form, "AnsichtFangen1")->isChecked());
    EXPECT_FALSE(form->SnapOn());

    testing::Find<QAction>(form, "AnsichtFangen1")->trigger();
    EXPECT_TRUE(form->SnapOn());
    makeForm();
    EXPECT_TRUE(testing::Find<QAction>(form, "AnsichtFangen1")->isChecked());
    EXPECT_TRUE(form->SnapOn());
    EXPECT_FALSE(std::filesystem::exists(dir.file("options.dat")));

    testing::Find<QAction>(form, "AnsichtFangen1")->trigger();
    makeForm();
    EXPECT_FALSE(testing::Find<QAction>(form, "AnsichtFangen1")->isChecked());
}

TEST_F(DesktopTest, TwoWindowsShareOneListAndLoseNoEntry) {
    const std::string a = drawing("a.tvk", 1), b = drawing("b.tvk", 2);
    TMainForm other(dir.path());
    other.show();
    QApplication::processEvents();
    Parts(*form).FileCommands->LoadDrawing(a);
    Parts(other).FileCommands->LoadDrawing(b);
    const QStringList both = {QString::fromStdString(b), QString::fromStdString(a)};
    EXPECT_EQ(Parts(other).RecentFiles->Files(), both);
    emit testing::Find<QMenu>(form, "DateiZuletztgeffnet1")
        ->aboutToShow();  // the menu is opened in the first window
    EXPECT_EQ(recent(), both);
    EXPECT_EQ(Parts(*form).RecentFiles->Item(1)->text(), "&2 " + QString::fromStdString(a));
}

TEST_F(DesktopTest, ARecentDrawingThatIsGoneIsToldAndLeavesTheList) {
    const std::string a = drawing("a.tvk", 1), b = drawing("b.tvk", 2);
    Parts(*form).FileCommands->LoadDrawing(a);
    Parts(*form).FileCommands->LoadDrawing(b);
    change();
    std::filesystem::remove(a);
    Parts(*form).RecentFiles->Item(1)->trigger();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("gibt es nicht mehr"), std::string::npos) << errors[0];
    EXPECT_NE(errors[0].find(a), std::string::npos) << errors[0];
    EXPECT_EQ(questions, 0);  // nothing to decide about for a file that is not there
    EXPECT_EQ(recent(), QStringList{QString::fromStdString(b)});
    EXPECT_TRUE(form->Changed());
    EXPECT_EQ(Parts(*form).RecentFiles->Item(1), nullptr);
    makeForm();
    EXPECT_EQ(recent(), QStringList{QString::fromStdString(b)});

    // An existing one asks about unsaved work as "Öffnen..." does.
    change();
    answers = {Answer::Cancel};
    Parts(*form).RecentFiles->Item(0)->trigger();
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(elements(), 1u);

    Parts(*form).RecentFiles->ClearItem->trigger();
    EXPECT_TRUE(recent().isEmpty());
    EXPECT_FALSE(testing::Find<QMenu>(form, "DateiZuletztgeffnet1")->menuAction()->isEnabled());
}

TEST_F(DesktopTest, FileNamesInTheRecentMenuAreNeverTranslatedOrAddedToTheTable) {
    const std::string a = drawing("Datei.tvk", 1);
    Parts(*form).FileCommands->LoadDrawing(a);
    // A start in English with the shipped table: the walk translates the menus, the list
    // comes after it.
    const char* source = std::getenv("TERVASKO_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    form.reset();
    EXPECT_TRUE(PrepareDataFolder(dir.path(), dir.path(), std::string(source) + "/data").empty());
    const std::uint8_t english[4] = {1, 0, 0, 0};
    testing::writeBytes(dir.file("options.dat"), {english, english + 4});
    makeForm();
    EXPECT_EQ(form->findChild<QMenu*>("Datei1")->title(), "File");
    EXPECT_EQ(testing::Find<QMenu>(form, "DateiZuletztgeffnet1")->title(), "Recent Files");
    EXPECT_EQ(Parts(*form).RecentFiles->ClearItem->text(), "Clear List");
    EXPECT_EQ(Parts(*form).RecentFiles->Item(0)->text(), "&1 " + QString::fromStdString(a));
    EXPECT_EQ(Parts(*form).Translations->FindRow("&1 " + a), 0);
    EXPECT_EQ(Parts(*form).Translations->FindRow(a), 0);
}

}  // namespace
}  // namespace tervasko

namespace tervasko {
namespace {

// --- the data folder of an installed program -----------------------------------------------

std::string englishOf(const std::string& folder, const std::string& source) {
    TranslationTable table;
    table.Open(folder);
    const int row = table.FindRow(source);
    return row == 0 ? "(no row)" : table.Cell(row, 1);
}

void setEnglish(const std::string& folder, const std::string& source, const std::string& text) {
    TranslationTable table;
    table.Open(folder);
    const int row = table.FindRow(source);
    ASSERT_NE(row, 0);
    ASSERT_FALSE(table.SetCell(row, 1, text));
}

void writeText(const std::string& path, const std::string& text) {
    testing::writeBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

TEST(DataFolderPreparation, ATableBesideTheProgramIsCopiedOnceAndNeverReplaced) {
    testing::TempDir program, data;
    std::vector<ShippedRow> rows = {{1, {"Probe", "Test", "Prova"}}};
    const Result<InstallReport> installed = InstallShippedTranslations(rows, program.path() + "/");
    ASSERT_TRUE(installed.ok()) << EnglishText(installed.error());

    EXPECT_TRUE(PrepareDataFolder(data.path(), program.path(), "").empty());
    EXPECT_EQ(englishOf(data.path() + "/", "Probe"), "Test");
    setEnglish(data.path() + "/", "Probe", "Mine");
    EXPECT_TRUE(PrepareDataFolder(data.path(), program.path(), "").empty());
    EXPECT_EQ(englishOf(data.path() + "/", "Probe"), "Mine");
}

TEST(DataFolderPreparation, ShippedTranslationsAreMergedOnceForEveryVersion) {
    testing::TempDir shared, data;
    const std::string tsv = shared.file("translations.tsv");
    const std::string folder = data.path() + "/";
    writeText(tsv, "Datei\tFile\tFile\n");
    EXPECT_TRUE(PrepareDataFolder(folder, folder, shared.path()).empty());
    EXPECT_EQ(englishOf(folder, "Datei"), "File");
    EXPECT_EQ(englishOf(folder, "Neu"), "(no row)");

    // The user's choices stand while the shipped file is the same, even an emptied cell.
    setEnglish(folder, "Datei", "");
    EXPECT_TRUE(PrepareDataFolder(folder, folder, shared.path()).empty());
    EXPECT_EQ(englishOf(folder, "Datei"), "");

    // An upgrade brings what the table lacks and changes nothing the user wrote.
    writeText(tsv, "Datei\tFile\tFile\nNeu\tNew\tNuovo\nSpeichern\tSave\tSalva\n");
    setEnglish(folder, "Datei", "My file");
    EXPECT_TRUE(PrepareDataFolder(folder, folder, shared.path()).empty());
    EXPECT_EQ(englishOf(folder, "Datei"), "My file");
    EXPECT_EQ(englishOf(folder, "Neu"), "New");
    EXPECT_EQ(englishOf(folder, "Speichern"), "Save");

    // A broken shipped file is reported; the table stays as it was.
    writeText(tsv, "Datei\tFile\nNeu\n\n\n");
    const auto problems = PrepareDataFolder(folder, folder, shared.path());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].File, tsv);
    EXPECT_EQ(problems[0].Code, ErrorCode::TranslationsColumnCount);
    EXPECT_EQ(EnglishText(problems[0]),
              "Cannot open \"" + tsv +
                  "\": the shipped translations are malformed: line 2 has 1 columns instead of 2");
    EXPECT_EQ(englishOf(folder, "Datei"), "My file");
}

}  // namespace
}  // namespace tervasko
