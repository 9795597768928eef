// Where the time of loading a very large drawing goes, phase by phase, as the window meets
// them: reading the file (the element records straight into their list, their boxes worked
// out on the way), the same with a progress listening, the sheets' index taking the elements
// into its bands (the first paint asks for it), the snap grid of every element (the first
// snap asks for it), and giving the memory of the drawing replaced back.
//
// One benchmark per process; the file (88 bytes an element) is written to the temp folder
// first and removed afterwards:
//   bench_loadphases --benchmark_filter='BM_LoadPhases/12000000'
// Counters, in seconds: read_s, read_with_progress_s, bands_s, snap_s, free_s; file_MiB.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "document/drawingfile.h"
#include "support/largedrawing.h"
#include "tools/snapindex.h"

namespace tervasko {
namespace {

class CountingProgress final : public Progress {
public:
    bool Report(std::uint64_t, std::uint64_t) override {
        ++reports;
        return true;
    }
    long reports = 0;
};

template <class F>
double seconds(F&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_LoadPhases(benchmark::State& state) {
    const int lines = static_cast<int>(state.range(0));
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("loadphases_bench_" + std::to_string(::getpid()) + ".tvk"))
                                 .string();
    {
        TDrawing d;
        benchsupport::FillLargeDrawing(d, 10, lines);
        DrawingSettings s;
        s.PageCount = 10;
        if (const Error error = WriteDrawingFile(path, d, s))
            state.SkipWithError(EnglishText(error).c_str());
    }
    const auto fail = [&](const Error& error) {
        if (error) state.SkipWithError(EnglishText(error).c_str());
    };
    double read = 0, readWithProgress = 0, bands = 0, snap = 0, freed = 0;
    long reports = 0;
    for (auto _ : state) {
        auto d = std::make_unique<TDrawing>();
        DrawingSettings s;
        read = seconds([&] { fail(ReadDrawingFile(path, *d, s)); });
        bands = seconds([&] { benchmark::DoNotOptimize(d->ElementsNear(0, 10)); });
        SnapIndex index;
        snap = seconds([&] { index.Build(*d); });
        // A second load replaces the first drawing, as opening another file does.
        CountingProgress progress;
        auto second = std::make_unique<TDrawing>();
        readWithProgress = seconds(
            [&] { fail(ReadDrawingFile(path, *second, s, SheetSizeCheck::Keep, &progress)); });
        reports = progress.reports;
        freed = seconds([&] { d.reset(); });
    }
    std::filesystem::remove(path);
    state.counters["read_s"] = read;
    state.counters["read_with_progress_s"] = readWithProgress;
    state.counters["reports"] = static_cast<double>(reports);
    state.counters["bands_s"] = bands;
    state.counters["snap_s"] = snap;
    state.counters["free_s"] = freed;
    state.counters["file_MiB"] = lines * 88.0 / (1024 * 1024);
}
BENCHMARK(BM_LoadPhases)->Arg(2000000)->Arg(12000000)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace tervasko
