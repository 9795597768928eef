// The interface translation walk over windows built here and over the real main window.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <set>

#include "app/datafolder.h"
#include "app/dialogs/errortext.h"
#include "app/dialogs/filedialog.h"
#include "app/filecommands.h"
#include "app/mainUnit.h"
#include "app/translate/TranslateFUnit.h"
#include "app/translate/languagecommands.h"
#include "app/translate/translateunit.h"
#include "document/drawingfile.h"
#include "document/options.h"
#include "support/find.h"
#include "support/mainformparts.h"
#include "translate/translatetest.h"

namespace tervasko {
namespace {

using test::q;

class WalkTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    TranslationTable table;

    void SetUp() override { ASSERT_TRUE(table.Open(dir.path())); }
};

TEST_F(WalkTest, EveryKindOfTextIsReplacedByItsTranslation) {
    const std::vector<std::vector<std::string>> rows = {
        {"Fenster", "Window"},
        {"Zoom:", "Zoom to:"},
        {"Lineal", "Ruler"},
        {"Zirkel", "Compass"},
        {"Farbe...", "Colour..."},
        {"Neu", "New"},
        {"Ansicht", "View"},
        {"Datei", "File"},
        {"Speichern", "Save"},
        {"Beenden", "Quit"},
        {"Öffnen...", "Open..."},
        {"Ende", "End"},
        {"Hand", "Pan"},
        {"Zoll", "Inch"},
        {"Deutsch", "German"},
        {"Italiano", "Italian"},
        {"Breite:", "Width:"},
        {"Höhe:", "Height:"},
        {"Text:", "Text to show:"},
        {"Zeichnungen (*.tvk)|*.tvk", "Drawings (*.tvk)|*.tvk"},
        {"Bilder (*.bmp)", "Pictures (*.bmp)"},
        {"Zeile eins", "Line one"},
        {"Zeile zwei", "Line two"},
        {"Suchen", "Search"},
    };
    for (const auto& row : rows) ASSERT_TRUE(table.AppendRow(row).ok()) << row[0];
    table.SetActiveLanguage(1);

    QDialog window;
    window.setWindowTitle(q("Fenster"));
    auto* label = new QLabel(q("  Zoom: "), &window);
    auto* check = new QCheckBox(q("Lineal"), &window);
    auto* radio = new QRadioButton(q("Zirkel"), &window);
    auto* button = new QPushButton(q("Farbe..."), &window);
    button->setToolTip(q("Neu"));
    auto* group = new QGroupBox(q("Ansicht"), &window);
    group->setToolTip(q("Zoll"));
    auto* bar = new QMenuBar(&window);
    QMenu* menu = bar->addMenu(q("Datei"));
    QAction* item = menu->addAction(q("Speichern"));
    item->setStatusTip(q("Neu"));
    item->setToolTip(q("Neu"));
    menu->addSeparator();
    QAction* ownTip = menu->addAction(q("Öffnen..."));
    ownTip->setToolTip(q("Ende"));
    QAction* plain = menu->addAction(q("Beenden"));
    auto* tools = new QToolBar(&window);
    QAction* hand = tools->addAction(q("Hand"));
    auto* spin = new QSpinBox(&window);
    spin->setValue(7);
    spin->setToolTip(q("Zoll"));
    auto* combo = new QComboBox(&window);
    combo->addItems({q("Deutsch"), q("English"), q("Italiano")});
    combo->setCurrentIndex(2);
    auto* grid = new QTableWidget(1, 2, &window);
    grid->setHorizontalHeaderLabels({q("Breite:"), q("Höhe:")});
    auto* tree = new QTreeWidget(&window);
    tree->setHeaderLabels({q("Text:"), q("Zoll")});
    auto* files = new QFileDialog(&window);
    files->setOption(QFileDialog::DontUseNativeDialog);
    files->setNameFilters({q("Bilder (*.bmp)")});
    auto* filter = new TFileFilter(q("SaveDialog1"), q("Zeichnungen (*.tvk)|*.tvk"), &window);
    auto* memo = new QPlainTextEdit(q("Zeile eins\nZeile zwei\n"), &window);
    auto* edit = new QLineEdit(q("Suchen"), &window);

    TranslateApplication({&window}, table);

    EXPECT_EQ(window.windowTitle(), q("Window"));
    EXPECT_EQ(label->text(), q("  Zoom to: "));  // the blanks around a text stay
    EXPECT_EQ(check->text(), q("Ruler"));
    EXPECT_EQ(radio->text(), q("Compass"));
    EXPECT_EQ(button->text(), q("Colour..."));
    EXPECT_EQ(button->toolTip(), q("New"));
    EXPECT_EQ(group->title(), q("View"));
    EXPECT_EQ(group->toolTip(), q("Inch"));
    EXPECT_EQ(menu->title(), q("File"));
    EXPECT_EQ(item->text(), q("Save"));
    EXPECT_EQ(item->statusTip(), q("New"));
    EXPECT_EQ(item->toolTip(), q("New"));
    EXPECT_EQ(ownTip->text(), q("Open..."));
    EXPECT_EQ(ownTip->toolTip(), q("End"));
    EXPECT_EQ(plain->text(), q("Quit"));
    EXPECT_EQ(plain->toolTip(), q("Quit"));  // still the caption's
    EXPECT_EQ(hand->text(), q("Pan"));
    EXPECT_EQ(spin->toolTip(), q("Inch"));
    EXPECT_EQ(spin->value(), 7);
    EXPECT_EQ(combo->itemText(0), q("German"));
    EXPECT_EQ(combo->itemText(1), q("English"));
    EXPECT_EQ(combo->itemText(2), q("Italian"));
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), q("Width:"));
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), q("Height:"));
    EXPECT_EQ(tree->headerItem()->text(0), q("Text to show:"));
    EXPECT_EQ(tree->headerItem()->text(1), q("Inch"));
    EXPECT_EQ(files->nameFilters(), QStringList{q("Pictures (*.bmp)")});
    EXPECT_EQ(filter->Filter(), q("Drawings (*.tvk)|*.tvk"));
    EXPECT_EQ(filter->NameFilters(), QStringList{q("Drawings (*.tvk)")});
    EXPECT_EQ(FindFileFilter(&window, q("SaveDialog1")), filter);
    EXPECT_EQ(memo->toPlainText(), q("Line one\nLine two\n"));
    EXPECT_EQ(edit->text(), q("Search"));

    // Only the separator and the texts the table lacked were added; nothing of Qt's own
    // parts (the spin box's number, the file dialog's buttons) reached the table.
    const std::set<std::string> added = [&] {
        const auto v = test::SourcesFrom(table, static_cast<int>(rows.size()) + 1);
        return std::set<std::string>(v.begin(), v.end());
    }();
    EXPECT_EQ(added, (std::set<std::string>{"-", "English"}));
}

// Levels one after the other; in each, the objects from the last created to the first.
TEST_F(WalkTest, UnknownTextsAreAppendedInWalkOrderOnce) {
    table.SetActiveLanguage(1);
    QWidget first;
    first.setWindowTitle(q("Erstes"));
    new QLabel(q("L1"), &first);
    auto* panel = new QWidget(&first);
    new QLabel(q("P1"), panel);
    auto* button = new QPushButton(q("P2"), panel);
    button->setToolTip(q("P2 Hinweis"));
    new QLabel(q("  L2 "), &first);
    new QLabel(q("   "), &first);  // all blanks: left alone
    auto* menu = new QMenu(q("M"), &first);
    menu->addAction(q("M1"));
    menu->addSeparator();
    QWidget second;
    second.setWindowTitle(q("Zweites"));
    new QLabel(q("Z1"), &second);

    TranslateApplication({&first, &second, panel, &second}, table);  // panel: reached in first
    const std::vector<std::string> expected = {"Zweites", "Erstes", "Z1", "L2",         "L1", "-",
                                               "M1",      "M",      "P2", "P2 Hinweis", "P1"};
    EXPECT_EQ(test::SourcesFrom(table, 1), expected);

    // A window made later, walked on its own: its caption first.
    // Qt's standard buttons are Qt's own texts, which Qt's translation gives the language.
    QDialog later;
    later.setWindowTitle(q("Später"));
    new QLabel(q("L1"), &later);
    new QLabel(q("S1"), &later);
    new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &later);
    TranslateComponents(&later, table);
    TranslateApplication({&first, &second}, table);
    std::vector<std::string> more = expected;
    more.push_back("Später");
    more.push_back("S1");
    EXPECT_EQ(test::SourcesFrom(table, 1), more);
}

TEST(FileFilters, DescriptionsAndPatternsBecomeQtNameFilters) {
    const struct {
        const char* filter;
        QStringList expected;
    } cases[] = {
        {"Zeichnungen (*.tvk)|*.tvk", {q("Zeichnungen (*.tvk)")}},
        {"Bilder|*.bmp;*.png|Alle Dateien|*.*", {q("Bilder (*.bmp *.png)"), q("Alle Dateien (*)")}},
        {"Disegni (*.old)|*.tvk", {q("Disegni (*.old) (*.tvk)")}},
        {"|*.dxf", {q("(*.dxf)")}},
        {"Ohne Muster|", {q("Ohne Muster (*)")}},
        {"Nur Text", {}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(NameFiltersFrom(q(c.filter)), c.expected) << c.filter;
}

// Every text of the main window (captions, hints, titles, filters) as it shows now.
std::vector<QString> ShownTexts(QObject* root) {
    std::vector<QString> texts;
    auto add = [&texts](const QString& t) {
        if (!t.isEmpty()) texts.push_back(t);
    };
    QList<QObject*> objects = root->findChildren<QObject*>();
    objects.append(root);
    for (QObject* o : objects) {
        if (auto* a = qobject_cast<QAction*>(o)) {
            add(a->text());
            add(a->toolTip());
            add(a->statusTip());
        } else if (auto* f = qobject_cast<TFileFilter*>(o)) {
            add(f->Filter());
        } else if (auto* w = qobject_cast<QWidget*>(o)) {
            if (w->isWindow()) add(w->windowTitle());
            add(w->toolTip());
            if (auto* l = qobject_cast<QLabel*>(w)) add(l->text());
            if (auto* b = qobject_cast<QAbstractButton*>(w)) add(b->text());
            if (auto* m = qobject_cast<QMenu*>(w)) add(m->title());
        }
    }
    return texts;
}

// A program folder holding the shipped table and the options of the language under test.
class ShippedStartTest : public ::testing::TestWithParam<int> {
protected:
    testing::TempDir dir;
    void SetUp() override {
        test::InstallShipped(dir.path() + "/");
        ASSERT_FALSE(SaveOptions(dir.path() + "/", GetParam()));
    }
};

TEST_P(ShippedStartTest, NoGermanTextIsLeftWhereTheShippedTableHasATranslation) {
    const int language = GetParam();
    TMainForm form(dir.path());
    TranslationTable& table = *Parts(form).Translations;
    auto* editor = new TTranslateForm(table, &form);
    const int shippedRows = table.RowCount();
    // The first show's part of the start: messages primed in German, then the saved language
    // and the walk over the windows.
    table.PrimeMessages();
    table.SetActiveLanguage(LoadOptions(Parts(form).ProgramDir));
    ASSERT_EQ(table.ActiveLanguage(), language);
    TranslateApplication({&form}, table);

    for (const QString& shown : ShownTexts(&form)) {
        const std::string text = shown.toStdString();
        const int row = table.FindRow(text);
        if (row == 0) continue;
        const std::string translation = table.Cell(row, language);
        EXPECT_TRUE(translation.empty() || translation == text) << "still German: " << text;
    }
    EXPECT_EQ(table.RowCount(), shippedRows)
        << "interface texts missing from data/translations.tsv, first: "
        << table.Cell(shippedRows + 1, 0);

    // What a person sees first, in the table's words.
    EXPECT_EQ(testing::Find<QAction>(form, "Neu1")->text().toStdString(),
              table.Cell(table.FindRow("Neu"), language));
    EXPECT_EQ(testing::Find<QAction>(form, "N5")->toolTip().toStdString(),
              table.Cell(table.FindRow("Neu"), language));
    EXPECT_EQ(editor->windowTitle().toStdString(),
              table.Cell(table.FindRow("Übersetzen"), language));
    EXPECT_EQ(editor->BackBtn->text().toStdString(),
              table.Cell(table.FindRow("Zurück..."), language));
    EXPECT_TRUE(editor->FilterEdit->text().isEmpty());
}

// A failed open reads whole in the user's language: the lead sentence, the file's part and
// the reason, the system's reasons too; and every sentence an error can make is shipped.
TEST_P(ShippedStartTest, FileErrorsReadWholeInTheActiveLanguage) {
    const int language = GetParam();
    TMainForm form(dir.path());
    TranslationTable& table = *Parts(form).Translations;
    table.PrimeMessages();
    table.SetActiveLanguage(language);
    const auto in = [&](const char* german) { return table.Cell(table.FindRow(german), language); };

    for (int c = static_cast<int>(ErrorCode::System); c < static_cast<int>(ErrorCode::Other); ++c) {
        const auto code = static_cast<ErrorCode>(c);
        if (code == ErrorCode::System) continue;
        EXPECT_FALSE(in(GermanDetail(code)).empty()) << GermanDetail(code);
    }
    for (int l = static_cast<int>(ErrorLead::CannotOpen);
         l <= static_cast<int>(ErrorLead::CannotSetTableAside); ++l)
        EXPECT_FALSE(in(GermanLead(static_cast<ErrorLead>(l))).empty())
            << GermanLead(static_cast<ErrorLead>(l));

    std::vector<std::string> shown;
    form.Hooks().ShowError = [&](const std::string& text) { shown.push_back(text); };
    const std::string broken = dir.path() + "/broken.tvk", missing = dir.path() + "/missing.tvk";
    testing::writeBytes(broken, {0, 0, 0, 0, 2, 0, 0, 0});  // no elements, two texts, then nothing
    Parts(form).FileCommands->LoadDrawing(broken);
    Parts(form).FileCommands->LoadDrawing(missing);
    ASSERT_EQ(shown.size(), 2u);
    const std::string lead = in("Die Zeichnung konnte nicht geöffnet werden.");
    const auto fill = [](std::string text, const std::string& file, const std::string& detail) {
        text.replace(text.find("%F"), 2, file);
        text.replace(text.find("%D"), 2, detail);
        return text;
    };
    std::string detail = in("Die Datei endet im Textdatensatz %1 von %2.");
    detail.replace(detail.find("%1"), 2, "1");
    detail.replace(detail.find("%2"), 2, "2");
    EXPECT_EQ(shown[0],
              lead + "\n\n" + fill(in("„%F“ ist keine lesbare Zeichnung: %D"), broken, detail));
    EXPECT_EQ(shown[1], lead + "\n\n" +
                            fill(in("„%F“ kann nicht geöffnet werden: %D"), missing,
                                 in("Die Datei oder der Ordner existiert nicht.")));
}

// The start-up problems of the data folder read in the user's language too: a shipped file
// that cannot be parsed, and a table beside the program that cannot be copied.
TEST_P(ShippedStartTest, DataFolderProblemsReadInTheActiveLanguage) {
    const int language = GetParam();
    TMainForm form(dir.path());
    TranslationTable& table = *Parts(form).Translations;
    table.PrimeMessages();
    table.SetActiveLanguage(language);
    const auto in = [&](const char* german) { return table.Cell(table.FindRow(german), language); };
    const auto fill = [](std::string text, const std::string& key, const std::string& value) {
        text.replace(text.find(key), key.size(), value);
        return text;
    };

    testing::TempDir shared, data;
    const std::string tsv = shared.file("translations.tsv");
    const std::string rows = "Datei\tFile\tFile\nNeu\tNew\n";
    testing::writeBytes(tsv, std::vector<std::uint8_t>(rows.begin(), rows.end()));
    auto problems = PrepareDataFolder(data.path(), data.path(), shared.path());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].Code, ErrorCode::TranslationsColumnCount);
    EXPECT_EQ(problems[0].Args, (std::vector<std::string>{"2", "2", "3"}));
    const std::string malformed =
        fill(fill(fill(in("Die mitgelieferten Übersetzungen sind fehlerhaft: Zeile %1 hat %2 "
                          "Spalten statt %3."),
                       "%1", "2"),
                  "%2", "2"),
             "%3", "3");
    EXPECT_EQ(DescribeError(problems[0]),
              fill(fill(in("„%F“ kann nicht geöffnet werden: %D"), "%F", tsv), "%D", malformed));

    // The table beside the program is a folder: it cannot be read, so nothing is copied.
    testing::TempDir program;
    ASSERT_EQ(::mkdir(TranslationTable::TablePath(program.path() + "/").c_str(), 0700), 0);
    problems = PrepareDataFolder(data.path(), program.path(), "");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].Lead, ErrorLead::CannotOpen);
    EXPECT_EQ(problems[0].Code, ErrorCode::System);
    EXPECT_EQ(DescribeError(problems[0]),
              fill(fill(in("„%F“ kann nicht geöffnet werden: %D"), "%F",
                        TranslationTable::TablePath(program.path() + "/")),
                   "%D", in("Das ist ein Ordner.")));
}

INSTANTIATE_TEST_SUITE_P(EnglishAndItalian, ShippedStartTest, ::testing::Values(1, 2));

TEST(ShippedTexts, TheMessagesOfEditorLanguageCommandsAndFileDialogsAreTranslated) {
    testing::TempDir dir;
    test::InstallShipped(dir.path() + "/");
    TranslationTable table;
    ASSERT_TRUE(table.Open(dir.path()));
    for (const char* text : {kTableReadOnlyText, kCannotStoreText, kDeleteRowQuestion,
                             kCannotSaveLanguageText, kFolderMissingText}) {
        const int row = table.FindRow(text);
        ASSERT_GT(row, 0) << text;
        EXPECT_FALSE(table.Cell(row, 1).empty()) << text;
        EXPECT_FALSE(table.Cell(row, 2).empty()) << text;
    }
}

}  // namespace
}  // namespace tervasko
