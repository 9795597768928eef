// The translation editor: search, posting changes, the navigator, and a read-only table.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include "app/translate/TranslateFUnit.h"
#include "i18n/i18ntest.h"
#include "support/find.h"
#include "translate/translatetest.h"

namespace tervasko {
namespace {

using test::q;

const std::vector<std::vector<std::string>> kRows = {
    {"Datei", "File", "File"},
    {"Speichern", "Save", "Salva"},
    {"Speichern unter...", "Save as...", "Salva con nome..."},
    {"Übersetzen...", "Translate...", "Traduci..."},
    {"Neu", "New", "Nuovo"},
    // The editor's own messages, so that they come in English.
    {kDeleteRowQuestion, "Delete row?"},
    {kTableReadOnlyText, "The translation table is read-only. It cannot be changed."},
    {kCannotStoreText, "The text cannot be saved."},
};

std::vector<std::string> AllSources() {
    std::vector<std::string> texts;
    for (const auto& row : kRows) texts.push_back(row[0]);
    return texts;
}

class EditorTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    TranslationTable table;
    std::unique_ptr<TTranslateForm> form;
    std::vector<std::string> messages;
    bool answer = true;

    void SetUp() override {
        {
            TranslationTable maker;
            ASSERT_TRUE(maker.Open(dir.path()));
            for (const auto& row : kRows) ASSERT_TRUE(maker.AppendRow(row).ok());
        }
        Open(false);
    }

    void Open(bool readOnly) {
        form.reset();
        ASSERT_TRUE(table.Open(dir.path(), readOnly));
        table.SetActiveLanguage(1);
        form = std::make_unique<TTranslateForm>(table);
        form->ShowMessage = [this](const std::string& text) { messages.push_back(text); };
        form->Confirm = [this](const std::string& question) {
            messages.push_back(question);
            return answer;
        };
        form->show();
        QApplication::processEvents();
    }

    TTranslationModel& model() { return *form->DataSource1; }

    std::vector<std::string> GridSources() {
        std::vector<std::string> texts;
        for (int r = 0; r < model().rowCount(); ++r) texts.push_back(model().Text(r, 0));
        return texts;
    }

    void Search(const char* text) {
        form->FilterEdit->setText(q(text));
        form->FilterBtnClick();
    }

    void Click(TDBNavigator::Button b) { form->DBNavigator1->button(b)->click(); }

    // Types into the grid's cell editor, as a person does, without leaving the cell.
    void TypeIntoCell(int row, int language, const char* text) {
        const QModelIndex cell = model().index(row, model().Column(language));
        form->DBGrid1->setCurrentIndex(cell);
        if (!form->DBGrid1->Editor()) form->DBGrid1->edit(cell);
        auto* editor = qobject_cast<QLineEdit*>(form->DBGrid1->Editor());
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        editor->insert(q(text));
    }
};

TEST_F(EditorTest, ShowsEveryRowAndColumnWithTheSourceOfTheCurrentRow) {
    EXPECT_EQ(model().columnCount(), 19);
    EXPECT_EQ(GridSources(), AllSources());
    EXPECT_EQ(form->DBEdit1->text(), q("Datei"));
    Click(TDBNavigator::Last);
    EXPECT_EQ(form->DBEdit1->text(), q(kCannotStoreText));
    Click(TDBNavigator::Prior);
    EXPECT_EQ(form->DBEdit1->text(), q(kTableReadOnlyText));
    Click(TDBNavigator::First);
    EXPECT_EQ(form->CurrentRow(), 0);
    EXPECT_TRUE(messages.empty());
}

TEST_F(EditorTest, SearchNarrowsToRowsContainingTheTextInAnyColumnCaseOfAToZOnly) {
    const struct {
        const char* text;
        std::vector<std::string> rows;
    } cases[] = {
        {"speich", {"Speichern", "Speichern unter...", kCannotStoreText}},  // "gespeichert"
        {"SALVA CON", {"Speichern unter..."}},                              // another column
        {"über", {}},                                                       // ü keeps its case
        {"Übersetzen", {"Übersetzen..."}},
        {"fil", {"Datei"}},
        {"", AllSources()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Search(c.text);
        EXPECT_EQ(GridSources(), c.rows);
        EXPECT_EQ(form->Filtered(), *c.text != '\0');
        EXPECT_EQ(form->DBEdit1->text().toStdString(), c.rows.empty() ? "" : c.rows[0]);
    }
}

TEST_F(EditorTest, ClosingInAnyWayEndsTheSearch) {
    for (bool back : {true, false}) {
        SCOPED_TRACE(back);
        Search("neu");
        ASSERT_EQ(GridSources().size(), 1u);
        if (back)
            form->BackBtnClick();
        else
            form->close();
        EXPECT_FALSE(form->isVisible());
        EXPECT_FALSE(form->Filtered());
        form->show();
        QApplication::processEvents();
        EXPECT_EQ(GridSources().size(), kRows.size());
    }
}

TEST_F(EditorTest, BackPostsWhatIsStillBeingTypedAndLookupsUseItAtOnce) {
    TypeIntoCell(0, 1, "Document");
    EXPECT_EQ(table.Cell(1, 1), "File");  // not posted yet
    form->BackBtnClick();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(table.Cell(1, 1), "Document");
    EXPECT_EQ(table.TranslateText("Datei"), "Document");

    // The source field edits column language1 of the current row; posting writes it.
    form->show();
    QApplication::processEvents();
    form->SetCurrentRow(4);
    form->DBEdit1->selectAll();
    QTest::keyClicks(form->DBEdit1, q("Neu!"));
    EXPECT_EQ(model().Text(4, 0), "Neu!");
    Click(TDBNavigator::Post);
    EXPECT_EQ(table.Cell(5, 0), "Neu!");
    EXPECT_TRUE(messages.empty());
}

TEST_F(EditorTest, LeavingAChangedRowPostsItAndCancelDropsAChange) {
    TypeIntoCell(1, 2, "Salvare");
    Click(TDBNavigator::Next);
    EXPECT_EQ(table.Cell(2, 2), "Salvare");

    TypeIntoCell(2, 1, "Keep me not");
    Click(TDBNavigator::Cancel);
    EXPECT_EQ(model().Text(2, 1), "Save as...");
    form->close();
    EXPECT_EQ(table.Cell(3, 1), "Save as...");
}

TEST_F(EditorTest, InsertAppendsARowDeleteEmptiesOneAfterAsking) {
    Click(TDBNavigator::Insert);
    TypeIntoCell(model().rowCount() - 1, 0, "Zirkel");
    TypeIntoCell(model().rowCount() - 1, 1, "Compass");
    Click(TDBNavigator::Post);
    const int added = static_cast<int>(kRows.size()) + 1;
    ASSERT_EQ(table.RowCount(), added);
    EXPECT_EQ(table.Cell(added, 0), "Zirkel");
    EXPECT_EQ(table.TranslateText("Zirkel"), "Compass");

    Click(TDBNavigator::Insert);  // left empty: nothing is added
    Click(TDBNavigator::Post);
    EXPECT_EQ(table.RowCount(), added);
    EXPECT_EQ(model().rowCount(), added);

    form->SetCurrentRow(1);
    answer = false;
    Click(TDBNavigator::Delete);
    EXPECT_EQ(messages, std::vector<std::string>{"Delete row?"});
    EXPECT_EQ(table.Cell(2, 0), "Speichern");
    answer = true;
    Click(TDBNavigator::Delete);
    for (int language = 0; language < 3; ++language) EXPECT_EQ(table.Cell(2, language), "");
    EXPECT_EQ(table.TranslateText("Speichern"), "Speichern");  // no translation any more
    EXPECT_EQ(form->DBEdit1->text(), q("Speichern unter..."));
    Click(TDBNavigator::Refresh);
    std::vector<std::string> left = AllSources();
    left.erase(left.begin() + 1);
    left.push_back("Zirkel");
    EXPECT_EQ(GridSources(), left);
}

TEST_F(EditorTest, ATextTheTableCannotHoldIsRefusedAndTheWindowStaysOpen) {
    TypeIntoCell(0, 1, "\xe6\x96\x87\xe4\xbb\xb6");  // not in Windows-1252
    form->BackBtnClick();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("The text cannot be saved", 0), 0u) << messages[0];
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(table.Cell(1, 1), "File");
    Click(TDBNavigator::Cancel);
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(table.Cell(1, 1), "File");
}

TEST_F(EditorTest, AReadOnlyTableRefusesEveryChangeWithAMessage) {
    Open(true);
    const std::string refusal = "The translation table is read-only. It cannot be changed.";
    EXPECT_EQ(testing::Find<QStatusBar>(form, "StatusBar1")->currentMessage().toStdString(),
              refusal);
    EXPECT_TRUE(form->DBEdit1->isReadOnly());
    EXPECT_FALSE(model().flags(model().index(0, 1)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model().setData(model().index(0, 1), q("Document"), Qt::EditRole));

    for (TDBNavigator::Button b :
         {TDBNavigator::Insert, TDBNavigator::Delete, TDBNavigator::Edit}) {
        messages.clear();
        Click(b);
        EXPECT_EQ(messages, std::vector<std::string>{refusal}) << b;
    }
    form->BackBtnClick();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(table.RowCount(), static_cast<int>(kRows.size()));
    EXPECT_EQ(table.Cell(1, 1), "File");
}

// A row flagged deleted in the file (as another dBase program leaves it) answers no lookup,
// so the editor does not offer it: not in the grid, not in a search, not to the navigator.
TEST(EditorDeletedRows, RowsFlaggedDeletedInTheFileAreNotOffered) {
    testing::TempDir dir;
    test::WriteRawTable(dir.file("translate.dbf"), test::LanguageColumns(),
                        {{"Datei", "File"}, {"Speichern", "Save"}, {"Neu", "New"}}, {1});
    TranslationTable table;
    ASSERT_TRUE(table.Open(dir.path()));
    table.SetActiveLanguage(1);
    TTranslateForm form(table);
    std::vector<std::string> messages;
    form.ShowMessage = [&](const std::string& text) { messages.push_back(text); };
    form.Confirm = [&](const std::string& text) {
        messages.push_back(text);
        return true;
    };
    form.show();
    QApplication::processEvents();
    TTranslationModel& model = *form.DataSource1;
    const auto shown = [&] {
        std::vector<std::pair<int, std::string>> rows;
        for (int r = 0; r < model.rowCount(); ++r)
            rows.emplace_back(model.RecNo(r), model.Text(r, 1));
        return rows;
    };
    using Rows = std::vector<std::pair<int, std::string>>;
    EXPECT_EQ(shown(), (Rows{{1, "File"}, {3, "New"}}));
    form.DBNavigator1->button(TDBNavigator::Last)->click();
    EXPECT_EQ(form.DBEdit1->text(), q("Neu"));

    form.FilterEdit->setText(q("save"));
    form.FilterBtnClick();
    EXPECT_EQ(model.rowCount(), 0);
    form.FilterEdit->clear();
    form.FilterBtnClick();

    // The lookup does not find the deleted row either: it appends the text anew, and that
    // row is the one the editor offers.
    EXPECT_EQ(table.TranslateText("Speichern"), "Speichern");
    form.DBNavigator1->button(TDBNavigator::Refresh)->click();
    EXPECT_EQ(shown(), (Rows{{1, "File"}, {3, "New"}, {4, ""}}));
    EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace tervasko
