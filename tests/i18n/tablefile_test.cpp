// The table file: what we write is a dBase table other readers understand, rows reach the
// disk at once, a user's table is never damaged, and files that are damaged or protected
// are handled without a crash and without touching their bytes.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "i18n/i18ntest.h"
#include "i18n/translationtable.h"

namespace tervasko {
namespace {

using test::CommandResult;
using test::LanguageColumns;
using test::RawColumn;
using test::ReadBytes;
using test::RunCommand;
using test::ScratchDir;
using test::ShellQuote;
using test::WriteBytes;
using test::WriteRawTable;

constexpr std::size_t kHeaderLength = 32 + 19 * 32 + 1;
constexpr std::size_t kRecordLength = 1 + 19 * 255;

// Reads a table with dbfread, a reader that shares no code with ours, and prints its
// columns, language driver and the first three columns of every row.
const char* const kDbfreadScript = R"(
import sys, dbfread
t = dbfread.DBF(sys.argv[1], encoding='cp1252', char_decode_errors='strict')
print('fields', ' '.join('%s:%s:%d' % (f.name, f.type, f.length) for f in t.fields))
print('driver', t.header.language_driver)
print('rows', len(t))
for r in t:
    print('row', '|'.join(r['language%d' % k] for k in (1, 2, 3)))
)";

CommandResult Dbfread(const std::string& path) {
    return RunCommand("PYTHONIOENCODING=utf-8 /usr/bin/python3 -c " + ShellQuote(kDbfreadScript) +
                      " " + ShellQuote(path) + " 2>&1");
}

TEST(TableFile, WhatWeWriteIsReadByAnIndependentReader) {
    ScratchDir dir;
    TranslationTable table;
    ASSERT_TRUE(table.Open(dir.path()));
    EXPECT_EQ(table.TranslateText("\u00d6ffnen..."), "\u00d6ffnen...");
    EXPECT_EQ(table.TranslateText(" Schlie\u00dfen"), " Schlie\u00dfen");
    ASSERT_FALSE(table.SetCell(1, 1, "Open..."));
    ASSERT_FALSE(table.SetCell(1, 2, "Apri..."));

    // Read while our table is still open: every change is on disk already.
    std::string expectedFields = "fields";
    for (int k = 1; k <= 19; ++k) expectedFields += " language" + std::to_string(k) + ":C:255";
    const CommandResult read = Dbfread(dir.table());
    ASSERT_EQ(read.status, 0) << read.output;
    EXPECT_EQ(read.output, expectedFields +
                               "\n"
                               "driver 3\n"
                               "rows 2\n"
                               "row \u00d6ffnen...|Open...|Apri...\n"
                               "row Schlie\u00dfen||\n");
    EXPECT_EQ(ReadBytes(dir.table()).size(), kHeaderLength + 2 * kRecordLength + 1);
}

TEST(TableFile, AppendingKeepsEveryExistingRowByteForByte) {
    ScratchDir dir;
    // A user's table with three columns of its own widths; used as it is.
    WriteRawTable(dir.table(),
                  {{"LANGUAGE1", 'C', 40}, {"Language2", 'C', 30}, {"language3", 'C', 20}},
                  {{"Datei", "File", "File"}, {"Neu", "New", "Nuovo"}});
    const std::string before = ReadBytes(dir.table());
    const std::size_t headerLength = 32 + 3 * 32 + 1;

    TranslationTable table;
    ASSERT_TRUE(table.Open(dir.path()));
    EXPECT_FALSE(table.ReadOnly());
    table.SetActiveLanguage(2);
    EXPECT_EQ(table.TranslateText("Neu"), "Nuovo");
    table.SetActiveLanguage(3);
    EXPECT_EQ(table.TranslateText("Neu"), "Neu");
    EXPECT_EQ(ReadBytes(dir.table()), before);  // lookups of known texts write nothing

    const std::string tooWide(41, 'x');
    EXPECT_EQ(table.TranslateText(tooWide), tooWide);  // wider than this table's column
    EXPECT_EQ(table.TranslateText("Zirkel"), "Zirkel");
    table.Close();
    const std::string after = ReadBytes(dir.table());
    const std::size_t rowsEnd = headerLength + 2 * (1 + 40 + 30 + 20);
    EXPECT_EQ(after.substr(32, rowsEnd - 32), before.substr(32, rowsEnd - 32));
    EXPECT_EQ(after.size(), before.size() + 1 + 40 + 30 + 20);
    EXPECT_EQ(static_cast<unsigned char>(after[4]), 3);  // row count in the header
}

TEST(TableFile, TableAppearsCompleteWhenCreated) {
    ScratchDir dir;
    TranslationTable table;
    ASSERT_TRUE(table.Open(dir.dir()));
    // Nothing left behind but the table, and it is complete before the first row.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"translate.dbf"});
    const CommandResult read = Dbfread(dir.table());
    ASSERT_EQ(read.status, 0) << read.output;
    EXPECT_NE(read.output.find("rows 0\n"), std::string::npos) << read.output;
}

// A table of two rows with English texts, as the program writes it.
std::string ValidTable() {
    ScratchDir dir;
    {
        TranslationTable table;
        table.Open(dir.path());
        EXPECT_TRUE(table.AppendRow({"Datei", "File"}).ok());
        EXPECT_TRUE(table.AppendRow({"Neu", "New"}).ok());
    }
    return ReadBytes(dir.table());
}

std::string Patched(std::string bytes, std::size_t at, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

std::string RandomBytes(std::size_t size, unsigned seed, std::string prefix = {}) {
    std::mt19937 random(seed);
    std::string bytes = prefix;
    while (bytes.size() < size) bytes.push_back(static_cast<char>(random() & 0xFF));
    return bytes;
}

std::string RawTableBytes(const std::vector<RawColumn>& columns,
                          const std::vector<std::vector<std::string>>& rows) {
    ScratchDir dir;
    WriteRawTable(dir.table(), columns, rows);
    return ReadBytes(dir.table());
}

struct BrokenCase {
    const char* name;
    std::function<std::string()> bytes;
    bool readable;  // the rows can still be read (read-only); otherwise no table
    const char* detail;
};

TEST(TableFile, DamagedFilesAreReportedOnceAndNeverWritten) {
    const std::string valid = ValidTable();
    const BrokenCase cases[] = {
        {"zero bytes", [] { return std::string(); }, false, "Die Datei ist leer."},
        {"header cut short", [&] { return valid.substr(0, 20); }, false,
         "Der Dateikopf ist unvollst\u00e4ndig."},
        {"field descriptors cut short", [&] { return valid.substr(0, 300); }, false,
         "Der Dateikopf ist unvollst\u00e4ndig."},
        {"header length beyond the file", [&] { return Patched(valid, 8, 0xFFFF, 2); }, false,
         "Der Dateikopf ist unvollst\u00e4ndig."},
        {"header length without a field", [&] { return Patched(valid, 8, 40, 2); }, false,
         "Der Dateikopf ist ung\u00fcltig."},
        {"record count larger than the file", [&] { return Patched(valid, 4, 1000, 4); }, true,
         "Die Datei enth\u00e4lt weniger Zeilen, als ihr Kopf angibt."},
        {"last row cut short", [&] { return valid.substr(0, valid.size() - 100); }, true,
         "Die Datei enth\u00e4lt weniger Zeilen, als ihr Kopf angibt."},
        {"record count with the top bit set", [&] { return Patched(valid, 4, 0x80000001u, 4); },
         false, "Der Dateikopf ist ung\u00fcltig."},
        {"record length longer than the fields",
         [&] { return Patched(valid, 10, kRecordLength + 1, 2); }, false,
         "Die Satzl\u00e4nge passt nicht zu den Spalten."},
        {"record length shorter than the fields",
         [&] { return Patched(valid, 10, kRecordLength - 1, 2); }, false,
         "Die Satzl\u00e4nge passt nicht zu den Spalten."},
        // Appending at the declared end would overwrite the second row.
        {"more rows than the header counts", [&] { return Patched(valid, 4, 1, 4); }, true,
         "Die Datei enth\u00e4lt mehr Zeilen, als ihr Kopf angibt."},
        {"header length one byte longer", [&] { return Patched(valid, 8, kHeaderLength + 1, 2); },
         false, "Der Dateikopf ist ung\u00fcltig."},
        {"header length one field shorter",
         [&] { return Patched(valid, 8, kHeaderLength - 32, 2); }, false,
         "Der Dateikopf ist ung\u00fcltig."},
        {"header terminator not 0x0D", [&] { return Patched(valid, kHeaderLength - 1, ' ', 1); },
         false, "Der Dateikopf ist ung\u00fcltig."},
        {"record length zero", [&] { return Patched(valid, 10, 0, 2); }, false,
         "Der Dateikopf ist ung\u00fcltig."},
        {"columns of another layout",
         [] {
             return RawTableBytes({{"NAME", 'C', 20}, {"VALUE", 'N', 10}}, {{"Datei", "1"}});
         },
         false, "Die Spalte language1 fehlt oder ist keine Textspalte."},
        {"numeric source column",
         [] {
             return RawTableBytes({{"language1", 'N', 10}, {"language2", 'C', 20}}, {{"1", "x"}});
         },
         false, "Die Spalte language1 fehlt oder ist keine Textspalte."},
        {"random bytes", [] { return RandomBytes(10000, 1); }, false, nullptr},
        {"random fields behind a plausible header",
         [&] { return RandomBytes(20000, 2, valid.substr(0, 32)); }, false, nullptr},
    };
    for (const BrokenCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        const std::string bytes = c.bytes();
        WriteBytes(dir.table(), bytes);

        TranslationTable table;
        int reports = 0;
        table.SetProblemHandler([&](const TableProblem&) { ++reports; });
        EXPECT_EQ(table.Open(dir.path()), c.readable);
        EXPECT_TRUE(table.ReadOnly());
        table.SetActiveLanguage(1);
        EXPECT_EQ(table.TranslateText("Datei"), c.readable ? "File" : "Datei");
        for (int i = 0; i < 3; ++i) EXPECT_EQ(table.TranslateText("Unbekannt"), "Unbekannt");
        EXPECT_EQ(table.AppendRow({"Neu", "New"}).error().Code, ErrorCode::TableReadOnly);
        table.Close();

        EXPECT_EQ(ReadBytes(dir.table()), bytes);
        EXPECT_EQ(reports, 1);
        ASSERT_EQ(table.Problems().size(), 1u);
        const TableProblem& problem = table.Problems()[0];
        EXPECT_EQ(problem.kind, c.readable ? TableProblem::Kind::DamagedReadOnly
                                           : TableProblem::Kind::DamagedUnused);
        if (c.detail) {
            EXPECT_STREQ(GermanDetail(problem.error.Code), c.detail);
        }
        EXPECT_EQ(problem.error.File, dir.table());
    }
}

TEST(TableFile, AFolderInPlaceOfTheTableIsReported) {
    ScratchDir dir;
    std::filesystem::create_directory(dir.table());
    TranslationTable table;
    EXPECT_FALSE(table.Open(dir.path()));
    ASSERT_EQ(table.Problems().size(), 1u);
    EXPECT_EQ(table.Problems()[0].kind, TableProblem::Kind::CannotOpen);
    EXPECT_EQ(table.Problems()[0].error.SystemError, EISDIR);
    EXPECT_EQ(table.Describe(table.Problems()[0]),
              "Die \u00dcbersetzungstabelle kann nicht ge\u00f6ffnet werden. Das Programm bleibt "
              "unübersetzt.\n" +
                  dir.table() + "\nIs a directory");
    EXPECT_TRUE(std::filesystem::is_directory(dir.table()));
}

// A write that fails half-way (the file-size limit stands in for a full disk) leaves the
// rows before it intact and the header counting only them.
TEST(TableFile, FailedAppendIsReportedOnceAndLeavesAValidTable) {
    ScratchDir dir;
    TranslationTable table;
    ASSERT_TRUE(table.Open(dir.path()));
    int reports = 0;
    table.SetProblemHandler([&](const TableProblem&) { ++reports; });

    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old;
    limited.rlim_cur = kHeaderLength + kRecordLength + 1 + kRecordLength / 2;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const std::string first = table.TranslateText("Eins");
    const std::string second = table.TranslateText("Zwei");
    const bool readOnlyAfter = table.ReadOnly();
    const std::string third = table.TranslateText("Drei");
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(first, "Eins");
    EXPECT_EQ(second, "Zwei");
    EXPECT_EQ(third, "Drei");
    EXPECT_TRUE(readOnlyAfter);
    EXPECT_EQ(reports, 1);
    ASSERT_EQ(table.Problems().size(), 1u);
    EXPECT_EQ(table.Problems()[0].kind, TableProblem::Kind::CannotWrite);
    EXPECT_EQ(table.FindRow("Eins"), 1);
    table.Close();

    TranslationTable reopened;
    ASSERT_TRUE(reopened.Open(dir.path()));
    EXPECT_FALSE(reopened.ReadOnly());
    EXPECT_TRUE(reopened.Problems().empty());
    EXPECT_EQ(reopened.RowCount(), 1);
    EXPECT_EQ(reopened.Cell(1, 0), "Eins");
    EXPECT_EQ(reopened.TranslateText("Zwei"), "Zwei");  // the next run adds it properly
    EXPECT_EQ(reopened.RowCount(), 2);
    reopened.Close();
    const CommandResult read = Dbfread(dir.table());
    ASSERT_EQ(read.status, 0) << read.output;
    EXPECT_NE(read.output.find("rows 2\nrow Eins||\nrow Zwei||\n"), std::string::npos)
        << read.output;
}

// Root ignores file modes, so protected tables are tried as the unprivileged user "nobody"
// through a small program that opens a table and translates its arguments.
class UnprivilegedTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "setpriv is not installed";
        chmod(dir.path().c_str(), 0755);
    }

    CommandResult Probe(const std::vector<std::string>& texts) {
        std::string command = "/usr/bin/setpriv --reuid=65534 --regid=65534 --clear-groups " +
                              ShellQuote(TERVASKO_TABLE_PROBE) + " " + ShellQuote(dir.dir()) + " 1";
        for (const std::string& t : texts) command += " " + ShellQuote(t);
        return RunCommand(command + " 2>&1");
    }

    void MakeTable() {
        TranslationTable table;
        ASSERT_TRUE(table.Open(dir.path()));
        ASSERT_EQ(table.AppendRow({"Datei", "File"}).value(), 1);
    }

    ScratchDir dir;
};

TEST_F(UnprivilegedTest, ReadOnlyTableTranslatesAndAppendsNothing) {
    MakeTable();
    chmod(dir.table().c_str(), 0644);
    const std::string before = ReadBytes(dir.table());
    const CommandResult r = Probe({"Datei", " Unbekannt "});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "table=1 readonly=1 problems=\nFile\n Unbekannt \n");
    EXPECT_EQ(ReadBytes(dir.table()), before);
}

TEST_F(UnprivilegedTest, WritableTableInAProtectedFolderGrows) {
    MakeTable();
    chmod(dir.table().c_str(), 0666);
    const CommandResult r = Probe({"Datei", "Neu"});
    EXPECT_EQ(r.output, "table=1 readonly=0 problems=\nFile\nNeu\n");
    TranslationTable table;
    ASSERT_TRUE(table.Open(dir.path()));
    EXPECT_EQ(table.FindRow("Neu"), 2);
}

TEST_F(UnprivilegedTest, UnreadableTableOrUncreatableTableMeansNoTable) {
    const CommandResult missing = Probe({"Datei"});
    EXPECT_EQ(missing.output, "table=0 readonly=1 problems=CannotCreate\nDatei\n");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

    MakeTable();
    chmod(dir.table().c_str(), 0600);
    const CommandResult unreadable = Probe({"Datei"});
    EXPECT_EQ(unreadable.output, "table=0 readonly=1 problems=CannotOpen\nDatei\n");
}

}  // namespace
}  // namespace tervasko
