// Lookup rules of the translation table: blanks, exact matches, appending, languages,
// messages and the index.

#include "i18n/translationtable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "i18n/i18ntest.h"
#include "i18n/messagetable.h"
#include "platform/cp1252.h"

namespace tervasko {
namespace {

using test::LanguageColumns;
using test::ReadBytes;
using test::ScratchDir;
using test::WriteRawTable;

std::string Cp(std::string_view utf8) {
    return Utf16ToCp1252(Utf8ToUtf16(utf8));
}

class LookupTest : public ::testing::Test {
protected:
    // Rows of UTF-8 cells, written as the table stores them; rows listed in `deleted` are
    // marked deleted.
    void OpenWith(const std::vector<std::vector<std::string>>& rows,
                  const std::vector<int>& deleted = {}) {
        std::vector<std::vector<std::string>> stored;
        for (const auto& row : rows) {
            stored.emplace_back();
            for (const auto& cell : row) stored.back().push_back(Cp(cell));
        }
        WriteRawTable(dir.table(), LanguageColumns(), stored, deleted);
        ASSERT_TRUE(table.Open(dir.path()));
        ASSERT_FALSE(table.ReadOnly());
        ASSERT_TRUE(table.Problems().empty());
    }

    std::vector<std::string> Sources() {
        std::vector<std::string> sources;
        for (int r = 1; r <= table.RowCount(); ++r) sources.push_back(table.Cell(r, 0));
        return sources;
    }

    ScratchDir dir;
    TranslationTable table;
};

TEST_F(LookupTest, UnknownTextIsReturnedAndAppendedOnce) {
    ASSERT_TRUE(table.Open(dir.path()));  // creates the empty table
    EXPECT_EQ(table.TranslateText("Datei"), "Datei");
    ASSERT_EQ(table.RowCount(), 1);
    EXPECT_EQ(table.Cell(1, 0), "Datei");
    for (int language = 1; language < TranslationTable::kLanguageCount; ++language)
        EXPECT_EQ(table.Cell(1, language), "") << language;

    // Found again, with or without blanks around it: the entry added by the first lookup.
    EXPECT_EQ(table.TranslateText("Datei"), "Datei");
    EXPECT_EQ(table.TranslateText("  Datei "), "  Datei ");
    EXPECT_EQ(table.RowCount(), 1);
}

TEST_F(LookupTest, BlanksAroundTheSourceArePutAroundTheTrimmedTranslation) {
    OpenWith({{"Zoom:", "\t Zoom level:\r\n", "Zoom:"}});
    table.SetActiveLanguage(1);
    const std::pair<const char*, const char*> cases[] = {
        {"  Zoom:  ", "  Zoom level:  "},
        {"Zoom:", "Zoom level:"},
        {" Zoom:", " Zoom level:"},
        {"Zoom:   ", "Zoom level:   "},
    };
    for (const auto& [source, expected] : cases) EXPECT_EQ(table.TranslateText(source), expected);
    table.SetActiveLanguage(0);
    EXPECT_EQ(table.TranslateText("  Zoom:  "), "  Zoom:  ");
    EXPECT_EQ(table.RowCount(), 1);
}

TEST_F(LookupTest, MatchIsExactAndCaseSensitive) {
    OpenWith({{"Datei", "File"}});
    table.SetActiveLanguage(1);
    for (const char* near : {"datei", "DATEI", "Date", "Datei.", "Da tei", "Datei\t"})
        EXPECT_EQ(table.TranslateText(near), near);
    // Only blanks are taken off a source; a tab is part of the text.
    EXPECT_EQ(table.RowCount(), 7);
    EXPECT_EQ(table.FindRow("Datei\t"), 7);
    EXPECT_EQ(table.FindRow("DATEI"), 3);
    EXPECT_EQ(table.TranslateText("Datei"), "File");
}

TEST_F(LookupTest, EmptyAndAllBlankTextsAreReturnedAndNotStored) {
    ASSERT_TRUE(table.Open(dir.path()));
    for (const char* text : {"", " ", "    "}) EXPECT_EQ(table.TranslateText(text), text);
    EXPECT_EQ(table.RowCount(), 0);
}

TEST_F(LookupTest, MissingTranslationOrColumnLeavesTheGermanText) {
    OpenWith({{"Neu", "New", ""}});
    const std::pair<int, const char*> cases[] = {
        {0, "Neu"}, {1, "New"}, {2, "Neu"}, {18, "Neu"}, {19, "Neu"}, {-1, "Neu"}, {250, "Neu"},
    };
    for (const auto& [language, expected] : cases) {
        table.SetActiveLanguage(language);
        EXPECT_EQ(table.TranslateText("Neu"), expected) << language;
    }
    EXPECT_EQ(table.RowCount(), 1);
}

TEST_F(LookupTest, TextsThatCannotBeStoredComeBackUnchangedAndAreNotAppended) {
    ASSERT_TRUE(table.Open(dir.path()));
    const std::string tooLong(256, 'x');
    const std::string withZero("Da\0tei", 6);
    for (const std::string& text :
         {std::string("Zirkel \u2713"), std::string("\u0394"), std::string("\xff\xfe"), tooLong,
          " " + tooLong + " ", withZero})
        EXPECT_EQ(table.TranslateText(text), text);
    EXPECT_EQ(table.RowCount(), 0);

    // The limit counts stored bytes: 255 umlauts are 510 bytes of UTF-8 but fit.
    const std::string longest(255, 'x');
    std::string umlauts;
    for (int i = 0; i < 255; ++i) umlauts += "\u00e4";
    for (const std::string& text :
         {longest, "  " + longest + "  ", umlauts, std::string("\u20ac 5")})
        EXPECT_EQ(table.TranslateText(text), text);
    EXPECT_EQ(Sources(), (std::vector<std::string>{longest, umlauts, "\u20ac 5"}));
}

TEST_F(LookupTest, TranslationsComeBackAsUtf8) {
    OpenWith(
        {{"\u00d6ffnen...", "Open...", "Apri..."}, {"Zeichnung", "Drawing", "Disegno \u00e8"}});
    table.SetActiveLanguage(2);
    EXPECT_EQ(table.TranslateText("\u00d6ffnen..."), "Apri...");
    EXPECT_EQ(table.TranslateText("Zeichnung"), "Disegno \u00e8");
}

TEST_F(LookupTest, MessagesAreLookedUpByNumber) {
    OpenWith({{"unbenannt.tvk", "untitled.tvk"}});
    for (int n : {-1, 0, 3, 4, 5, 10, 12}) {
        std::string text = "as passed in";
        table.GetMessageText(n, text);
        EXPECT_EQ(text, "as passed in") << n;
        std::string empty;
        table.GetMessageText(n, empty);
        EXPECT_EQ(empty, "") << n;
    }
    std::string title;
    table.GetMessageText(2, title);
    EXPECT_EQ(title, "Morvane Tervasko 1.0");

    table.SetActiveLanguage(1);
    std::string name;
    table.GetMessageText(6, name);
    EXPECT_EQ(name, "untitled.tvk");
}

TEST_F(LookupTest, PrimingPutsEveryMessageIntoTheTableInNumberOrder) {
    ASSERT_TRUE(table.Open(dir.path()));
    table.PrimeMessages();
    table.PrimeMessages();
    EXPECT_EQ(Sources(), (std::vector<std::string>{
                             std::string(MessageTable[1]), std::string(MessageTable[2]),
                             std::string(MessageTable[6]), std::string(MessageTable[7]),
                             std::string(MessageTable[8]), std::string(MessageTable[9])}));
}

TEST_F(LookupTest, ProgramWideLookupsWorkWithAndWithoutATable) {
    SetProgramTranslations(nullptr);
    std::string text = "kept";
    GetMessageText(12, text);
    EXPECT_EQ(text, "kept");
    GetMessageText(9, text);
    EXPECT_EQ(text, "Speichern");
    EXPECT_EQ(TranslateText(" Datei"), " Datei");

    OpenWith({{"Speichern", "Save"}, {"Datei", "File"}});
    table.SetActiveLanguage(1);
    SetProgramTranslations(&table);
    GetMessageText(9, text);
    EXPECT_EQ(text, "Save");
    EXPECT_EQ(TranslateText(" Datei"), " File");
    SetProgramTranslations(nullptr);
}

TEST_F(LookupTest, IndexLeavesOutDeletedRowsAndEmptySources) {
    OpenWith({{"Datei", "File"}, {"", "Orphan"}, {"Neu", "New"}}, {0});
    std::uint32_t entries = 0;
    for (int b = 0; b < 256; ++b)
        entries += table.IndexBucket(static_cast<unsigned char>(b)).Count();
    EXPECT_EQ(entries, 1u);

    table.SetActiveLanguage(1);
    EXPECT_EQ(table.TranslateText("Neu"), "New");
    EXPECT_EQ(table.TranslateText("Datei"), "Datei");  // the deleted row does not answer
    EXPECT_EQ(table.RowCount(), 4);
    EXPECT_EQ(table.Cell(4, 0), "Datei");
    EXPECT_EQ(table.TranslateText("Orphan"), "Orphan");
}

std::vector<std::string> BucketTexts(const TranslationBucket& bucket) {
    std::vector<std::string> texts;
    for (std::uint32_t i = 0; i < bucket.Count(); ++i) texts.emplace_back(bucket.At(i).Text);
    return texts;
}

TEST_F(LookupTest, BucketsAreSortedByUnsignedBytesAndNewTextsGoLast) {
    OpenWith({{"Ab"}, {"A\u00e4", "A-umlaut"}, {"Az"}, {"A"}, {"AB"}, {"Aa"}, {"B"}});
    EXPECT_EQ(BucketTexts(table.IndexBucket('A')),
              (std::vector<std::string>{"A", "AB", "Aa", "Ab", "Az", Cp("A\u00e4")}));

    table.SetActiveLanguage(1);
    EXPECT_EQ(table.TranslateText("A0"), "A0");
    EXPECT_EQ(BucketTexts(table.IndexBucket('A')).back(), "A0");
    EXPECT_EQ(table.TranslateText("A\u00e4"), "A-umlaut");
    EXPECT_EQ(table.FindRow("A0"), 8);
    EXPECT_EQ(table.RowCount(), 8);
}

TEST(SortIndexBucket, SortsAnyBucketByUnsignedBytes) {
    std::mt19937 random(7);
    const char alphabet[] = {'a', 'b', 'A', '\x80', '\xe4', '\xff'};
    for (int size : {1, 2, 3, 17, 1000}) {
        TTranslationEntry* current = nullptr;
        TranslationBucket bucket(&current);
        std::vector<std::string> texts;
        for (int i = 0; i < size; ++i) {
            std::string text(1 + random() % 4, ' ');
            for (char& c : text) c = alphabet[random() % sizeof alphabet];
            texts.push_back(text);
            TTranslationEntry* entry = bucket.Append();
            entry->Text = new char[text.size() + 1];
            std::memcpy(entry->Text, text.c_str(), text.size() + 1);
            entry->RecNo = i + 1;
        }
        SortIndexBucket(bucket, 0, static_cast<std::int32_t>(bucket.Count()) - 1);

        std::vector<std::string> sorted = BucketTexts(bucket);
        std::sort(texts.begin(), texts.end(), [](const std::string& a, const std::string& b) {
            return std::strcmp(a.c_str(), b.c_str()) < 0;
        });
        EXPECT_EQ(sorted, texts) << size;
        // Each entry kept its own record number through the exchanges.
        std::vector<bool> seen(static_cast<std::size_t>(size), false);
        for (std::uint32_t i = 0; i < bucket.Count(); ++i) seen[bucket.At(i).RecNo - 1] = true;
        EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](bool s) { return s; }));
        for (std::uint32_t i = 0; i < bucket.Count(); ++i) delete[] bucket.At(i).Text;
    }
}

TEST(NoTable, LookupsReturnTheirSourceAndTheProblemIsReportedOnce) {
    ScratchDir dir;
    TranslationTable table;
    int reports = 0;
    table.SetProblemHandler([&](const TableProblem&) { ++reports; });
    EXPECT_FALSE(table.Open(dir.file("missing/folder/")));
    EXPECT_FALSE(table.HasTable());
    EXPECT_TRUE(table.ReadOnly());
    table.SetActiveLanguage(1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(table.TranslateText(" Datei "), " Datei ");
    std::string title;
    table.GetMessageText(2, title);
    EXPECT_EQ(title, "Morvane Tervasko 1.0");
    EXPECT_EQ(table.RowCount(), 0);

    EXPECT_EQ(reports, 1);
    ASSERT_EQ(table.Problems().size(), 1u);
    EXPECT_EQ(table.Problems()[0].kind, TableProblem::Kind::CannotCreate);
    const std::string message = table.Describe(table.Problems()[0]);
    EXPECT_NE(message.find(dir.file("missing/folder/translate.dbf")), std::string::npos);
    EXPECT_NE(message.find("No such file or directory"), std::string::npos);
}

TEST(NoTable, ProblemMessagesAreTranslatedWhenTheTableHasThem) {
    ScratchDir dir;
    TranslationTable table;
    table.Open(dir.path());
    const TableProblem problem{
        TableProblem::Kind::DamagedReadOnly,
        WithLead(Failure(ErrorCode::TableFileEmpty), ErrorLead::None, "/x/translate.dbf")};
    const std::string german = table.Describe(problem);
    EXPECT_EQ(german.rfind("Die \u00dcbersetzungstabelle ist besch\u00e4digt", 0), 0u) << german;
    EXPECT_EQ(table.RowCount(), 0);  // describing appends nothing

    ASSERT_TRUE(table.AppendRow({std::string(TableProblemTexts()[3]), "Damaged, read only."}).ok());
    ASSERT_TRUE(table.AppendRow({"Die Datei ist leer.", "The file is empty."}).ok());
    table.SetActiveLanguage(1);
    EXPECT_EQ(table.Describe(problem), "Damaged, read only.\n/x/translate.dbf\nThe file is empty.");
}

TEST(ReadOnlyOpen, TranslatesKnownTextsAndWritesNothing) {
    ScratchDir dir;
    {
        TranslationTable writer;
        ASSERT_TRUE(writer.Open(dir.path()));
        ASSERT_EQ(writer.AppendRow({"Datei", "File"}).value(), 1);
    }
    const std::string before = ReadBytes(dir.table());
    TranslationTable table;
    ASSERT_TRUE(table.Open(dir.path(), true));
    EXPECT_TRUE(table.ReadOnly());
    EXPECT_TRUE(table.Problems().empty());
    table.SetActiveLanguage(1);
    EXPECT_EQ(table.TranslateText("Datei"), "File");
    EXPECT_EQ(table.TranslateText("Unbekannt"), "Unbekannt");
    EXPECT_EQ(table.AppendRow({"Neu", "New"}).error().Code, ErrorCode::TableReadOnly);
    EXPECT_EQ(table.SetCell(1, 1, "Document").Code, ErrorCode::TableReadOnly);
    table.Close();
    EXPECT_EQ(ReadBytes(dir.table()), before);

    ScratchDir empty;
    TranslationTable none;
    EXPECT_FALSE(none.Open(empty.path(), true));  // read-only never creates
    EXPECT_FALSE(std::filesystem::exists(empty.table()));
}

}  // namespace
}  // namespace tervasko
