// What the translation table adds to the program's start: opening the shipped table and
// building its index, against creating and showing the whole main window (which does it too).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "app/mainUnit.h"
#include "i18n/translationtable.h"

namespace tervasko {
namespace {

// A program folder holding a copy of the shipped table, as an installed program has it.
struct ProgramFolder {
    std::filesystem::path dir;
    ProgramFolder() {
        dir = std::filesystem::temp_directory_path() / ("tervasko-startup-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        std::filesystem::copy_file(std::filesystem::path(TERVASKO_BIN_DIR) / "translate.dbf",
                                   dir / "translate.dbf",
                                   std::filesystem::copy_options::overwrite_existing);
    }
    ~ProgramFolder() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

const ProgramFolder& folder() {
    static ProgramFolder f;
    return f;
}

void BM_TranslationTableAtStart(benchmark::State& state) {
    for (auto _ : state) {
        TranslationTable table;
        table.Open(folder().dir.string());
        table.PrimeMessages();
        benchmark::DoNotOptimize(table.RowCount());
    }
}
BENCHMARK(BM_TranslationTableAtStart)->Unit(benchmark::kMillisecond);

void BM_MainWindowStart(benchmark::State& state) {
    for (auto _ : state) {
        TMainForm form(folder().dir.string());
        form.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(form.windowTitle().size());
    }
}
BENCHMARK(BM_MainWindowStart)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tervasko

