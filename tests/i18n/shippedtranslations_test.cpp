// The translations shipped in data/translations.tsv and their installation into a table.

#include "i18n/shippedtranslations.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "i18n/i18ntest.h"
#include "i18n/messagetable.h"
#include "i18n/translationtable.h"
#include "platform/cp1252.h"

namespace tervasko {
namespace {

using test::LanguageColumns;
using test::ReadBytes;
using test::ScratchDir;
using test::WriteRawTable;

std::vector<ShippedRow> ShippedRows() {
    const char* sourceDir = std::getenv("TERVASKO_SOURCE_DIR");
    EXPECT_NE(sourceDir, nullptr);
    const std::string path = std::string(sourceDir ? sourceDir : ".") + "/data/translations.tsv";
    const std::string text = ReadBytes(path);
    EXPECT_FALSE(text.empty()) << path;
    Result<std::vector<ShippedRow>> rows = ParseShippedTranslations(text);
    EXPECT_TRUE(rows.ok()) << EnglishText(rows.error());
    return rows.ok() ? std::move(rows).value() : std::vector<ShippedRow>{};
}

TEST(ShippedTranslations, EveryTextHasAnEnglishAndAnItalianTranslationThatFitsTheTable) {
    const std::vector<ShippedRow> rows = ShippedRows();
    ASSERT_FALSE(rows.empty());
    std::set<std::string> sources;
    for (const ShippedRow& row : rows) {
        SCOPED_TRACE("line " + std::to_string(row.line) + ": " + row.texts[0]);
        ASSERT_EQ(row.texts.size(), 3u);
        EXPECT_TRUE(sources.insert(row.texts[0]).second) << "listed twice";
        for (const std::string& text : row.texts) {
            EXPECT_FALSE(text.empty());
            EXPECT_EQ(text.find_first_not_of(' '), 0u) << "blank in front of: " << text;
            EXPECT_NE(text.back(), ' ') << "blank behind: " << text;
            bool lossy = false;
            const std::string stored = Utf16ToCp1252(Utf8ToUtf16(text), '?', &lossy);
            EXPECT_FALSE(lossy) << "not storable as Windows-1252: " << text;
            EXPECT_LE(stored.size(), 255u) << text;
        }
    }
    for (int n = 1; n < static_cast<int>(MessageTable.size()); ++n) {
        if (!MessageTable[n].empty()) {
            EXPECT_TRUE(sources.count(std::string(MessageTable[n]))) << "message " << n;
        }
    }
    for (std::string_view text : TableProblemTexts())
        EXPECT_TRUE(sources.count(std::string(text))) << text;
    EXPECT_TRUE(sources.count("-")) << "menu separator";
}

TEST(ShippedTranslations, MalformedLinesAreRejectedByNumber) {
    const Result<std::vector<ShippedRow>> rows =
        ParseShippedTranslations("# comment\n\nNeu\tNew\tNuovo\r\n");
    ASSERT_TRUE(rows.ok()) << EnglishText(rows.error());
    ASSERT_EQ(rows->size(), 1u);
    EXPECT_EQ((*rows)[0].line, 3);
    EXPECT_EQ((*rows)[0].texts, (std::vector<std::string>{"Neu", "New", "Nuovo"}));

    const std::string twenty(19, '\t');
    const struct {
        std::string source;
        ErrorCode code;
        std::vector<std::string> args;
    } malformed[] = {
        {"Neu\tNew\tNuovo\nDatei\tFile\n", ErrorCode::TranslationsColumnCount, {"2", "2", "3"}},
        {"Neu\tNew\n\tOrphan\n", ErrorCode::TranslationsNoSource, {"2"}},
        {"# 20 columns\nNeu" + twenty + "\n",
         ErrorCode::TranslationsTooManyColumns,
         {"2", "20", "19"}},
        // A correction must name a text the file lists.
        {"Zoll\tinches\tpollici\n!Zol\tInches\tPollici\n",
         ErrorCode::TranslationsCorrectUnlisted,
         {"2"}},
    };
    for (const auto& c : malformed) {
        const Error error = ParseShippedTranslations(c.source).error();
        EXPECT_EQ(error.Code, c.code) << EnglishText(error);
        EXPECT_EQ(error.Args, c.args) << EnglishText(error);
    }
}

TEST(ShippedTranslations, InstallingCreatesTheTableThatTranslatesTheProgram) {
    const std::vector<ShippedRow> rows = ShippedRows();
    ScratchDir dir;
    const Result<InstallReport> installed = InstallShippedTranslations(rows, dir.dir());
    ASSERT_TRUE(installed.ok()) << EnglishText(installed.error());
    const InstallReport& report = *installed;
    EXPECT_TRUE(report.created);
    EXPECT_EQ(report.rowsAdded, static_cast<int>(rows.size()));

    TranslationTable table;
    ASSERT_TRUE(table.Open(dir.path()));
    EXPECT_EQ(table.RowCount(), static_cast<int>(rows.size()));
    table.SetActiveLanguage(1);
    EXPECT_EQ(table.TranslateText("Datei"), "File");
    EXPECT_EQ(table.TranslateText("\u00d6ffnen..."), "Open...");
    table.SetActiveLanguage(2);
    EXPECT_EQ(table.TranslateText("Zeichnungen (*.tvk)|*.tvk"), "Disegni (*.tvk)|*.tvk");
    std::string restart;
    table.GetMessageText(1, restart);
    EXPECT_EQ(restart, "Chiudere il programma e riavviarlo.");
    EXPECT_EQ(table.RowCount(), static_cast<int>(rows.size()));  // nothing was missing
}

TEST(ShippedTranslations, InstallingIntoAUsersTableKeepsEverythingItHolds) {
    ScratchDir dir;
    WriteRawTable(dir.table(), LanguageColumns(),
                  {{"Mein Text", "My text"}, {"Datei", "Document", ""}, {"Neu", "", "Nuovo!"}});
    const std::vector<ShippedRow> rows = {
        {1, {"Datei", "File", "File"}},
        {2, {"Neu", "New", "Nuovo"}},
        {3, {"Zirkel", "Compass", "Compasso"}},
    };
    Result<InstallReport> installed = InstallShippedTranslations(rows, dir.dir());
    ASSERT_TRUE(installed.ok()) << EnglishText(installed.error());
    EXPECT_FALSE(installed->created);
    EXPECT_EQ(installed->rowsAdded, 1);
    EXPECT_EQ(installed->cellsFilled, 2);

    TranslationTable table;
    ASSERT_TRUE(table.Open(dir.path()));
    const std::vector<std::vector<std::string>> expected = {
        {"Mein Text", "My text", ""},
        {"Datei", "Document", "File"},
        {"Neu", "New", "Nuovo!"},
        {"Zirkel", "Compass", "Compasso"},
    };
    ASSERT_EQ(table.RowCount(), 4);
    for (int r = 1; r <= 4; ++r)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(table.Cell(r, k), expected[r - 1][k]) << r << "," << k;
    table.Close();

    // A second install finds nothing to do and changes no byte.
    const std::string before = ReadBytes(dir.table());
    installed = InstallShippedTranslations(rows, dir.dir());
    ASSERT_TRUE(installed.ok()) << EnglishText(installed.error());
    EXPECT_EQ(installed->rowsAdded + installed->cellsFilled, 0);
    EXPECT_EQ(ReadBytes(dir.table()), before);
}

TEST(ShippedTranslations, ADamagedTableIsLeftAloneAndExplained) {
    ScratchDir dir;
    test::WriteBytes(dir.table(), "not a table");
    const Error error =
        InstallShippedTranslations({{1, {"Datei", "File", "File"}}}, dir.dir()).error();
    EXPECT_EQ(error.Lead, ErrorLead::CannotInstallTranslations);
    EXPECT_EQ(error.Code, ErrorCode::TableHeaderIncomplete);
    EXPECT_EQ(EnglishText(error), "The shipped translations could not be installed into \"" +
                                      dir.table() + "\": The file's header is incomplete");
    EXPECT_EQ(ReadBytes(dir.table()), "not a table");
}

}  // namespace
}  // namespace tervasko
