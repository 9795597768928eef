// The translation table at start-up: the first copy into the data folder and the merge of
// the shipped translations either arrive whole or leave the table as it was, and a table an
// earlier version left unfinished is set aside and made anew.

#include "app/datafolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "i18n/shippedtranslations.h"
#include "i18n/translationtable.h"
#include "support/diskfull.h"
#include "support/tempdir.h"

namespace tervasko {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::DiskFullFrom;
using testing::FailEveryStep;
using testing::TempDir;

std::vector<std::string> Names(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string EnglishOf(const std::string& folder, const std::string& source) {
    TranslationTable table;
    if (!table.Open(folder)) return "(no table)";
    const int row = table.FindRow(source);
    return row == 0 ? "(no row)" : table.Cell(row, 1);
}

// A table beside the program with an English text for "Datei".
void MakeProgramTable(const TempDir& program) {
    const Result<InstallReport> made =
        InstallShippedTranslations({{1, {"Datei", "File", "File"}}}, program.path() + "/");
    ASSERT_TRUE(made.ok()) << EnglishText(made.error());
}

// What the first start of an earlier version left on a full disk: the header begun, its
// length field reading 4.
Bytes HalfTable() {
    Bytes bytes(32, 0);
    bytes[0] = 0x03;
    bytes[8] = 4;
    return bytes;
}

TEST(DataFolderAtStart, AHalfTableOfAnEarlierVersionIsSetAsideAndMadeAnew) {
    for (const bool installed : {true, false}) {
        SCOPED_TRACE(installed ? "copied from beside the program" : "merged from the shipped file");
        TempDir program, shared, data;
        MakeProgramTable(program);
        const std::string tsv = "Datei\tFile\tFile\n";
        testing::writeBytes(shared.file("translations.tsv"), Bytes(tsv.begin(), tsv.end()));
        const std::string programDir = installed ? program.path() : data.path();
        const std::string sharedDir = installed ? std::string() : shared.path();
        // The shipped file counts as merged already: the half table must be made anew anyway.
        ASSERT_TRUE(PrepareDataFolder(data.path(), programDir, sharedDir).empty());
        const std::string table = data.file("translate.dbf");
        testing::writeBytes(table, HalfTable());

        const std::vector<Error> problems = PrepareDataFolder(data.path(), programDir, sharedDir);
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_TRUE(IsToldInWindow(problems[0]));
        EXPECT_EQ(problems[0].Code, ErrorCode::TableSetAside);
        EXPECT_EQ(EnglishText(problems[0]), "The translation table \"" + table +
                                                "\" was incomplete. It was renamed to \"" + table +
                                                ".damaged\", and a new table takes its place.");
        EXPECT_EQ(testing::readBytes(table + ".damaged"), HalfTable());
        EXPECT_EQ(EnglishOf(data.path(), "Datei"), "File");
        EXPECT_TRUE(PrepareDataFolder(data.path(), programDir, sharedDir).empty());
    }
}

TEST(DataFolderAtStart, ADamagedTableThatMayHoldRowsStaysWhereItIs) {
    TempDir program, data;
    MakeProgramTable(program);
    const Bytes whole = testing::readBytes(program.file("translate.dbf"));
    const Bytes cut(whole.begin(), whole.end() - 100);  // the last row cut short
    testing::writeBytes(data.file("translate.dbf"), cut);
    EXPECT_TRUE(PrepareDataFolder(data.path(), program.path(), "").empty());
    EXPECT_EQ(Names(data), std::vector<std::string>{"translate.dbf"});
    EXPECT_EQ(testing::readBytes(data.file("translate.dbf")), cut);
    TranslationTable table;
    ASSERT_TRUE(table.Open(data.path()));
    EXPECT_TRUE(table.ReadOnly());
    ASSERT_EQ(table.Problems().size(), 1u);
    EXPECT_EQ(table.Problems()[0].kind, TableProblem::Kind::DamagedReadOnly);
}

TEST(DataFolderAtStart, AHalfTableThatCannotBeSetAsideIsToldAndLeftAlone) {
    TempDir program, data;
    MakeProgramTable(program);
    testing::writeBytes(data.file("translate.dbf"), HalfTable());
    DiskFullFrom disk(1);
    const std::vector<Error> problems = PrepareDataFolder(data.path(), program.path(), "");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(IsToldInWindow(problems[0]));
    EXPECT_EQ(problems[0].Lead, ErrorLead::CannotSetTableAside);
    EXPECT_EQ(problems[0].SystemError, ENOSPC);
    EXPECT_EQ(Names(data), std::vector<std::string>{"translate.dbf"});
    EXPECT_EQ(testing::readBytes(data.file("translate.dbf")), HalfTable());
}

TEST(DataFolderAtStart, AFirstCopyThatFailsAtAnyStepLeavesNoTable) {
    TempDir program, data;
    MakeProgramTable(program);
    const Bytes shipped = testing::readBytes(program.file("translate.dbf"));
    std::vector<Error> problems;
    const auto attempt = [&] {
        problems = PrepareDataFolder(data.path(), program.path(), "");
        return problems.empty();
    };
    const auto failed = [&] {
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0].Lead, ErrorLead::CannotCreate);
        EXPECT_EQ(problems[0].SystemError, ENOSPC);
        EXPECT_FALSE(IsToldInWindow(problems[0]));
        EXPECT_TRUE(Names(data).empty());
    };
    const auto succeeded = [&] {
        EXPECT_EQ(Names(data), std::vector<std::string>{"translate.dbf"});
        EXPECT_EQ(testing::readBytes(data.file("translate.dbf")), shipped);
    };
    EXPECT_EQ(FailEveryStep(attempt, failed, succeeded),
              (std::set<WriteStep>{WriteStep::Create, WriteStep::Write, WriteStep::Sync,
                                   WriteStep::Name}));
}

}  // namespace
}  // namespace tervasko
