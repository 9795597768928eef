// What the translation table adds to the program's start: opening the shipped table and
// building its index, against creating and showing the whole main window (which does it too).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/mainUnit.h"
#include "i18n/translationtable.h"

namespace tervasko {
namespace {

// A program folder holding a copy of the shipped table, as an installed program has it.
struct ProgramFolder {
    std::filesystem::path dir;
    ProgramFolder() {
        dir = std::filesystem::temp_directory_path() /
              ("tervasko-startup-" + std::to_string(getpid()));
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

// Creating and showing the main window: German (0), or English (1), where the first show
// also translates every window.
void BM_MainWindowStart(benchmark::State& state) {
    const std::uint8_t language[4] = {static_cast<std::uint8_t>(state.range(0)), 0, 0, 0};
    {
        std::ofstream options(folder().dir / "options.dat", std::ios::binary);
        options.write(reinterpret_cast<const char*>(language), sizeof language);
    }
    for (auto _ : state) {
        TMainForm form(folder().dir.string());
        form.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(form.windowTitle().size());
    }
}
BENCHMARK(BM_MainWindowStart)->ArgName("language")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tervasko
