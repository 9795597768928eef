// The "Sprache" menu's commands: options file, restart request, and the editor's opening.

#include "app/translate/languagecommands.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QDialog>
#include <QWidget>

#include "app/translate/TranslateFUnit.h"
#include "document/options.h"
#include "translate/translatetest.h"

namespace tervasko {
namespace {

using test::q;

struct Shown {
    QWidget* owner;
    std::string text;
    std::string caption;
};

class LanguageCommandTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    TranslationTable table;
    QWidget window;
    QActionGroup group{nullptr};
    QAction* items[3] = {};
    std::vector<Shown> shown;
    std::vector<std::string> events;
    LanguageDialogs dialogs;

    void SetUp() override {
        test::InstallShipped(programDir());
        ASSERT_TRUE(table.Open(dir.path()));
        const char* names[] = {"Deutsch", "English", "Italiano"};
        for (int i = 0; i < 3; ++i) {
            items[i] = new QAction(q(names[i]), &window);
            items[i]->setCheckable(true);
            group.addAction(items[i]);
        }
        items[0]->setChecked(true);
        dialogs.Information = [this](QWidget* owner, const std::string& text,
                                     const std::string& caption) {
            shown.push_back({owner, text, caption});
            events.push_back("message");
        };
        dialogs.Warning = [this](QWidget* owner, const std::string& text,
                                 const std::string& caption) {
            shown.push_back({owner, text, caption});
            events.push_back("warning");
        };
    }

    std::string programDir() const { return dir.path() + "/"; }
    std::vector<std::uint8_t> options() const {
        return testing::readBytes(dir.file("options.dat"));
    }
};

TEST_F(LanguageCommandTest, ChoosingALanguageChecksItAsksForARestartInItAndSavesIt) {
    const struct {
        int language;
        const char* restart;
    } cases[] = {
        {kItalian, "Chiudere il programma e riavviarlo."},
        {kEnglish, "Please close the program and start it again."},
        {kGerman, "Bitte schließen Sie das Programm und starten Sie es erneut!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        shown.clear();
        LanguageCommand(c.language, items[c.language], false, table, programDir(), &window,
                        dialogs);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(items[i]->isChecked(), i == c.language);
        EXPECT_EQ(table.ActiveLanguage(), c.language);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].owner, &window);
        EXPECT_EQ(shown[0].text, c.restart);
        EXPECT_EQ(shown[0].caption, "Morvane Tervasko 1.0");
        EXPECT_EQ(options(),
                  (std::vector<std::uint8_t>{static_cast<std::uint8_t>(c.language), 0, 0, 0}));
    }
}

TEST_F(LanguageCommandTest, WhileTheOptionsAreLoadedTheCommandDoesNothing) {
    ASSERT_FALSE(SaveOptions(programDir(), kItalian));
    LanguageCommand(kEnglish, items[kEnglish], true, table, programDir(), &window, dialogs);
    EXPECT_TRUE(items[kGerman]->isChecked());
    EXPECT_EQ(table.ActiveLanguage(), kGerman);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(options(), (std::vector<std::uint8_t>{2, 0, 0, 0}));
}

TEST_F(LanguageCommandTest, ALanguageThatCannotBeSavedIsToldInsteadOfTheRestartRequest) {
    const std::string nowhere = dir.file("missing") + "/";
    LanguageCommand(kEnglish, items[kEnglish], false, table, nowhere, &window, dialogs);
    EXPECT_EQ(events, std::vector<std::string>{"warning"});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text,
              "The language setting cannot be saved. At the next start the program "
              "will appear in the previous language.\n" +
                  nowhere + "options.dat\nThe file or folder does not exist.");
    EXPECT_EQ(shown[0].caption, "Morvane Tervasko 1.0");
    EXPECT_EQ(table.ActiveLanguage(), kEnglish);  // lookups use it from now on all the same
}

TEST_F(LanguageCommandTest, TranslateOpensTheEditorWithWideColumnsThenAsksForARestart) {
    table.SetActiveLanguage(kEnglish);
    TTranslateForm editor(table, &window);
    std::vector<int> widthsShown;
    dialogs.ShowModal = [&](QDialog& dialog) {
        EXPECT_EQ(&dialog, &editor);
        events.push_back("editor");
        editor.show();
        for (int c = 0; c < editor.DataSource1->columnCount(); ++c)
            widthsShown.push_back(editor.DBGrid1->columnWidth(c));
        editor.DBGrid1->setColumnWidth(1, 40);  // the user narrows a column
        editor.BackBtnClick();
        return editor.result();
    };
    for (int opening = 0; opening < 2; ++opening) {
        SCOPED_TRACE(opening);
        events.clear();
        shown.clear();
        widthsShown.clear();
        TranslateCommand(editor, table, &window, dialogs);
        EXPECT_EQ(events, (std::vector<std::string>{"editor", "message"}));
        EXPECT_EQ(widthsShown, std::vector<int>(19, 300));
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, "Please close the program and start it again.");
        EXPECT_FALSE(editor.isVisible());
    }
}

}  // namespace
}  // namespace tervasko
