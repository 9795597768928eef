// Writes that fail at any step, as on a full disk: a change of the table, a merge of the
// shipped translations and the setting aside of an unfinished table leave every file as it
// was, and the table still opens for writing.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "i18n/i18ntest.h"
#include "i18n/shippedtranslations.h"
#include "i18n/translationtable.h"
#include "support/diskfull.h"

namespace tervasko {
namespace {

using test::ReadBytes;
using test::ScratchDir;
using test::WriteBytes;
using testing::DiskFullFrom;
using testing::FailEveryStep;

// Every file in the folder with its bytes: temporary files left behind show here too.
std::vector<std::pair<std::string, std::string>> Files(const ScratchDir& dir) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        files.emplace_back(entry.path().filename().string(), ReadBytes(entry.path().string()));
    std::sort(files.begin(), files.end());
    return files;
}

// The program's table of two rows with English texts.
std::string TwoRowTable() {
    ScratchDir dir;
    {
        TranslationTable table;
        EXPECT_TRUE(table.Open(dir.path()));
        EXPECT_TRUE(table.AppendRow({"Datei", "File"}).ok());
        EXPECT_TRUE(table.AppendRow({"Neu", "New"}).ok());
    }
    return ReadBytes(dir.table());
}

TEST(FailedWrites, AChangeOfTheTableThatFailsAtAnyStepLeavesItAsItWas) {
    const std::string before = TwoRowTable();
    struct Change {
        const char* name;
        std::function<bool(TranslationTable&)> run;
        std::vector<std::vector<std::string>> after;  // the rows once it succeeded
    };
    const Change changes[] = {
        {"a looked-up text is appended",
         [](TranslationTable& t) {
             t.TranslateText("Zirkel");
             return t.FindRow("Zirkel") == 3;
         },
         {{"Datei", "File"}, {"Neu", "New"}, {"Zirkel", ""}}},
        {"a row with a translation is appended",
         [](TranslationTable& t) {
             return t.AppendRow({"Zirkel", "Compass"}).ok();
         },
         {{"Datei", "File"}, {"Neu", "New"}, {"Zirkel", "Compass"}}},
        // The last row is followed by the end mark, which is written with it.
        {"a cell of the last row is written",
         [](TranslationTable& t) { return !t.SetCell(2, 1, "New!"); },
         {{"Datei", "File"}, {"Neu", "New!"}}},
        {"a cell of the first row is written",
         [](TranslationTable& t) { return !t.SetCell(1, 1, "File!"); },
         {{"Datei", "File!"}, {"Neu", "New"}}},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        ScratchDir dir;
        std::unique_ptr<TranslationTable> opened;
        const auto attempt = [&] {
            WriteBytes(dir.table(), before);
            opened = std::make_unique<TranslationTable>();
            EXPECT_TRUE(opened->Open(dir.path()));
            return change.run(*opened);
        };
        const auto failed = [&] {
            TranslationTable& table = *opened;
            EXPECT_TRUE(table.ReadOnly());
            ASSERT_EQ(table.Problems().size(), 1u);
            EXPECT_EQ(table.Problems()[0].kind, TableProblem::Kind::CannotWrite);
            EXPECT_EQ(table.Problems()[0].error.SystemError, ENOSPC);
            table.Close();
            EXPECT_EQ(ReadBytes(dir.table()), before);
            TranslationTable reopened;
            EXPECT_TRUE(reopened.Open(dir.path()));
            EXPECT_FALSE(reopened.ReadOnly());
            EXPECT_TRUE(reopened.Problems().empty());
            EXPECT_EQ(reopened.RowCount(), 2);
        };
        const auto succeeded = [&] {
            opened.reset();
            TranslationTable reopened;
            EXPECT_TRUE(reopened.Open(dir.path()));
            EXPECT_TRUE(reopened.Problems().empty());
            ASSERT_EQ(reopened.RowCount(), static_cast<int>(change.after.size()));
            for (int r = 1; r <= reopened.RowCount(); ++r)
                for (int k = 0; k < 2; ++k)
                    EXPECT_EQ(reopened.Cell(r, k), change.after[r - 1][k]) << r << "," << k;
        };
        const std::set<WriteStep> kinds = FailEveryStep(attempt, failed, succeeded);
        EXPECT_EQ(kinds, std::set<WriteStep>{WriteStep::Write});
    }
}

// The record, the end mark and the header are written in this order, each only when the one
// before it is whole.
TEST(FailedWrites, AnAppendedRowIsCountedOnlyOnceItIsWhole) {
    const std::string before = TwoRowTable();
    ScratchDir dir;
    WriteBytes(dir.table(), before);
    std::vector<std::size_t> sizes;
    // Writes are counted, none fails: one for the record, one for the end mark, one for
    // the header.
    struct Counting : WriteFaults {
        std::vector<std::size_t>* sizes;
        int Before(WriteStep, std::size_t& bytes) override {
            sizes->push_back(bytes);
            return 0;
        }
    } counting;
    counting.sizes = &sizes;
    TranslationTable table;
    ASSERT_TRUE(table.Open(dir.path()));
    SetWriteFaults(&counting);
    table.TranslateText("Zirkel");
    SetWriteFaults(nullptr);
    EXPECT_EQ(sizes, (std::vector<std::size_t>{1 + 19 * 255, 1, 32}));
}

std::vector<ShippedRow> Shipped() {
    return {{1, {"Datei", "File", "File"}},
            {2, {"Neu", "New", "Nuovo"}},
            {3, {"Zirkel", "Compass", "Compasso"}}};
}

TEST(FailedWrites, AMergeThatFailsAtAnyStepLeavesTheTableAsItWas) {
    // A user's table: a row of the user's, and an English text of the user's for "Datei".
    std::string usersTable;
    {
        ScratchDir dir;
        TranslationTable table;
        ASSERT_TRUE(table.Open(dir.path()));
        ASSERT_TRUE(table.AppendRow({"Mein Text", "My text"}).ok());
        ASSERT_TRUE(table.AppendRow({"Datei", "Document"}).ok());
        table.Close();
        usersTable = ReadBytes(dir.table());
    }
    for (const bool missing : {false, true}) {
        SCOPED_TRACE(missing ? "no table yet" : "a user's table");
        ScratchDir dir;
        std::vector<std::pair<std::string, std::string>> before;
        const auto attempt = [&] {
            std::filesystem::remove(dir.table());
            if (!missing) WriteBytes(dir.table(), usersTable);
            before = Files(dir);
            const Result<InstallReport> installed =
                InstallShippedTranslations(Shipped(), dir.dir());
            if (!installed.ok()) {
                EXPECT_EQ(installed.error().Lead, ErrorLead::CannotInstallTranslations);
                EXPECT_EQ(installed.error().SystemError, ENOSPC);
            }
            return installed.ok();
        };
        const auto failed = [&] {
            EXPECT_EQ(Files(dir), before);
            if (missing) return;
            TranslationTable table;
            EXPECT_TRUE(table.Open(dir.path()));
            EXPECT_FALSE(table.ReadOnly());
            EXPECT_TRUE(table.Problems().empty());
        };
        const auto succeeded = [&] {
            TranslationTable table;
            ASSERT_TRUE(table.Open(dir.path()));
            EXPECT_TRUE(table.Problems().empty());
            EXPECT_EQ(table.RowCount(), missing ? 3 : 4);
            EXPECT_EQ(table.Cell(table.FindRow("Datei"), 1), missing ? "File" : "Document");
            EXPECT_EQ(table.Cell(table.FindRow("Zirkel"), 2), "Compasso");
            EXPECT_EQ(Files(dir).size(), 1u);
        };
        const std::set<WriteStep> kinds = FailEveryStep(attempt, failed, succeeded);
        EXPECT_EQ(kinds, (std::set<WriteStep>{WriteStep::Create, WriteStep::Write, WriteStep::Sync,
                                              WriteStep::Name}));
    }
}

// --- unfinished tables ------------------------------------------------------------------------

std::string Patched(std::string bytes, std::size_t at, unsigned value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
    return bytes;
}

std::string EmptyTable() {
    ScratchDir dir;
    TranslationTable table;
    EXPECT_TRUE(table.Open(dir.path()));
    table.Close();
    return ReadBytes(dir.table());
}

TEST(UnfinishedTables, OnlyATableThatNeverHeldARowIsSetAside) {
    const std::string empty = EmptyTable();
    const std::string rows = TwoRowTable();
    struct Case {
        const char* name;
        std::string bytes;
        bool setAside;
    };
    const Case cases[] = {
        {"no bytes", "", true},
        {"header cut short", empty.substr(0, 20), true},
        {"field descriptors cut short", empty.substr(0, 300), true},
        {"header length field 4", Patched(empty, 8, 4), true},
        {"header without its terminator", empty.substr(0, empty.size() - 2), true},
        // Rows that may be a user's stay where they are, refused as damaged.
        {"header length field 4 before rows", Patched(rows, 8, 4), false},
        {"rows missing", rows.substr(0, rows.size() - 100), false},
        {"more rows than the header counts", Patched(rows, 4, 1), false},
        {"a whole empty table", empty, false},
        {"a whole table", rows, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        WriteBytes(dir.table(), c.bytes);
        const Result<std::string> aside = SetAsideUnfinishedTable(dir.table());
        ASSERT_TRUE(aside.ok()) << EnglishText(aside.error());
        if (!c.setAside) {
            EXPECT_EQ(*aside, "");
            EXPECT_EQ(
                Files(dir),
                (std::vector<std::pair<std::string, std::string>>{{"translate.dbf", c.bytes}}));
            continue;
        }
        EXPECT_EQ(*aside, dir.table() + ".damaged");
        EXPECT_EQ(
            Files(dir),
            (std::vector<std::pair<std::string, std::string>>{{"translate.dbf.damaged", c.bytes}}));
    }
    ScratchDir none;
    const Result<std::string> missing = SetAsideUnfinishedTable(none.table());
    ASSERT_TRUE(missing.ok());
    EXPECT_EQ(*missing, "");
}

TEST(UnfinishedTables, ATableSetAsideNeverReplacesOneSetAsideBefore) {
    ScratchDir dir;
    WriteBytes(dir.table() + ".damaged", "first");
    WriteBytes(dir.table() + ".damaged-2", "second");
    WriteBytes(dir.table(), "third");
    const Result<std::string> aside = SetAsideUnfinishedTable(dir.table());
    ASSERT_TRUE(aside.ok()) << EnglishText(aside.error());
    EXPECT_EQ(*aside, dir.table() + ".damaged-3");
    EXPECT_EQ(Files(dir), (std::vector<std::pair<std::string, std::string>>{
                              {"translate.dbf.damaged", "first"},
                              {"translate.dbf.damaged-2", "second"},
                              {"translate.dbf.damaged-3", "third"}}));
}

TEST(UnfinishedTables, ARenameThatFailsIsReportedAndMovesNothing) {
    ScratchDir dir;
    WriteBytes(dir.table(), "half");
    DiskFullFrom disk(1);
    const Result<std::string> aside = SetAsideUnfinishedTable(dir.table());
    ASSERT_FALSE(aside.ok());
    EXPECT_EQ(aside.error().Lead, ErrorLead::CannotSetTableAside);
    EXPECT_EQ(aside.error().File, dir.table());
    EXPECT_EQ(EnglishText(aside.error()),
              "The translation table \"" + dir.table() +
                  "\" is incomplete and cannot be moved aside: " + "No space left on device");
    EXPECT_EQ(Files(dir),
              (std::vector<std::pair<std::string, std::string>>{{"translate.dbf", "half"}}));
}

}  // namespace
}  // namespace tervasko
