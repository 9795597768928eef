// Start-up and lookup costs of the translation table: building the index from a table of
// 2,000 rows, and 10,000 lookups that find their text or do not.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "i18n/translationtable.h"

namespace {

constexpr int kRows = 2000;
constexpr int kLookups = 10000;

// Texts shaped like the program's: a capital (now and then an umlaut) and a few words, so
// that the buckets fill as unevenly as real German interface texts do.
std::vector<std::string> MakeTexts(int count, unsigned seed) {
    static const char* const kWords[] = {"datei",     "seite",       "zeichnen",    "lineal",
                                         "objekt",    "text",        "zoll",        "drucker",
                                         "speichern", "farbe",       "kreis",       "bogen",
                                         "winkel",    "\u00e4ndern", "l\u00f6schen"};
    static const char* const kStarts[] = {"A", "B", "D", "E", "F",      "G",     "H",
                                          "K", "L", "M", "N", "O",      "R",     "S",
                                          "T", "V", "W", "Z", "\u00c4", "\u00dc"};
    std::mt19937 random(seed);
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i) {
        std::string text = kStarts[random() % std::size(kStarts)];
        const int words = 1 + static_cast<int>(random() % 4);
        for (int w = 0; w < words; ++w)
            text += std::string(w ? " " : "") + kWords[random() % std::size(kWords)];
        text += " " + std::to_string(i);
        texts.push_back(text);
    }
    return texts;
}

class BenchTable {
public:
    BenchTable() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tervasko-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        dir_ = pattern;
        sources_ = MakeTexts(kRows, 1);
        tervasko::TranslationTable table;
        table.Open(dir_);
        for (const std::string& s : sources_)
            if (!table.AppendRow({s, "EN " + s, "IT " + s}).ok()) break;
    }
    ~BenchTable() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    const std::string& dir() const { return dir_; }
    const std::vector<std::string>& sources() const { return sources_; }

private:
    std::string dir_;
    std::vector<std::string> sources_;
};

const BenchTable& Table() {
    static const BenchTable table;
    return table;
}

void BM_BuildTranslationIndex(benchmark::State& state) {
    tervasko::TranslationTable table;
    table.Open(Table().dir(), true);
    for (auto _ : state) table.BuildTranslationIndex();
    state.counters["rows"] = table.RowCount();
}
BENCHMARK(BM_BuildTranslationIndex)->Unit(benchmark::kMillisecond);

// What start-up pays: validating and opening the file, then the index.
void BM_OpenTable(benchmark::State& state) {
    for (auto _ : state) {
        tervasko::TranslationTable table;
        benchmark::DoNotOptimize(table.Open(Table().dir()));
    }
}
BENCHMARK(BM_OpenTable)->Unit(benchmark::kMillisecond);

void RunLookups(benchmark::State& state, int language, const std::vector<std::string>& texts) {
    tervasko::TranslationTable table;
    table.Open(Table().dir(), true);  // read-only: texts not found are not appended
    table.SetActiveLanguage(language);
    for (auto _ : state) {
        for (int i = 0; i < kLookups; ++i)
            benchmark::DoNotOptimize(
                table.TranslateText(texts[static_cast<std::size_t>(i) % texts.size()]));
    }
    state.SetItemsProcessed(state.iterations() * kLookups);
}

std::vector<std::string> Shuffled(std::vector<std::string> texts) {
    std::shuffle(texts.begin(), texts.end(), std::mt19937(3));
    return texts;
}

void BM_Lookup10000FoundEnglish(benchmark::State& state) {
    RunLookups(state, 1, Shuffled(Table().sources()));
}
BENCHMARK(BM_Lookup10000FoundEnglish)->Unit(benchmark::kMillisecond);

void BM_Lookup10000FoundGerman(benchmark::State& state) {
    RunLookups(state, 0, Shuffled(Table().sources()));
}
BENCHMARK(BM_Lookup10000FoundGerman)->Unit(benchmark::kMillisecond);

void BM_Lookup10000NotFound(benchmark::State& state) {
    std::vector<std::string> missing;
    for (const std::string& s : Table().sources()) missing.push_back(s + "x");
    RunLookups(state, 1, Shuffled(missing));
}
BENCHMARK(BM_Lookup10000NotFound)->Unit(benchmark::kMillisecond);

// A text met for the first time in a writable table: the row is written and committed.
void BM_AppendNewText(benchmark::State& state) {
    char pattern[] = "/tmp/tervasko-bench-append-XXXXXX";
    if (!mkdtemp(pattern)) std::abort();
    {
        tervasko::TranslationTable table;
        table.Open(pattern);
        int n = 0;
        for (auto _ : state)
            benchmark::DoNotOptimize(table.TranslateText("Neuer Text " + std::to_string(n++)));
    }
    std::error_code ec;
    std::filesystem::remove_all(pattern, ec);
}
BENCHMARK(BM_AppendNewText)->Iterations(500)->Unit(benchmark::kMicrosecond);

}  // namespace
