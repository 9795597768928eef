// Peak memory of an SVG export of one large sheet, against the memory of the drawing itself:
// the file written as it is drawn (WriteSheetSvg) beside the whole document held as a string
// (SheetSvg), as every export did before it was streamed.
//
// Memory is read from /proc/self/status: VmRSS before and after the drawing is made gives
// the drawing's own memory (records, texts and the sheets' index); VmHWM, the peak, is reset
// through /proc/self/clear_refs before each export, so each export's peak is its own. Run
// alone, one benchmark per process, as the allocator may keep memory an earlier run freed:
//   svg_memory_bench --benchmark_filter='BM_SvgPeakMemory/12000000/0'
// Counters, in MiB: drawing (its own memory), peak_beyond (the export's peak above the
// process with the drawing made), and ratio = peak_beyond / drawing.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "export/output/sheetsvg.h"
#include "support/largedrawing.h"
#include "support/processmemory.h"

namespace tervasko {
namespace {

using benchsupport::ResetPeak;
using benchsupport::StatusKiB;

void BM_SvgPeakMemory(benchmark::State& state) {
    const int lines = static_cast<int>(state.range(0));
    const bool streamed = state.range(1) == 0;
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("svg_memory_bench_" + std::to_string(::getpid()) + ".svg"))
                                 .string();
    const long before = StatusKiB("VmRSS");
    TDrawing d;
    // One A4 sheet with all the lines on it: the whole drawing goes into one document.
    benchsupport::FillLargeDrawing(d, 1, lines);
    d.ElementBoxes();  // the sheets' index is the drawing's, too
    const long withDrawing = StatusKiB("VmRSS");
    if (!ResetPeak()) state.SkipWithError("cannot reset the peak through /proc/self/clear_refs");
    std::uintmax_t bytes = 0;
    for (auto _ : state) {
        if (streamed) {
            if (!WriteSheetSvg(path, d, 1, 0, {}).ok()) state.SkipWithError("export failed");
            bytes = std::filesystem::file_size(path);
        } else {
            const std::string svg = SheetSvg(d, 0, {});
            bytes = svg.size();
            benchmark::DoNotOptimize(svg.data());
        }
    }
    const long peak = StatusKiB("VmHWM");
    std::filesystem::remove(path);
    const double drawingMiB = (withDrawing - before) / 1024.0;
    const double beyondMiB = (peak - withDrawing) / 1024.0;
    state.counters["drawing_MiB"] = drawingMiB;
    state.counters["peak_beyond_MiB"] = beyondMiB;
    state.counters["ratio"] = drawingMiB > 0 ? beyondMiB / drawingMiB : 0;
    state.counters["svg_MiB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
    state.SetLabel(streamed ? "streamed to the file" : "held as a string");
}
// Second argument: 0 streamed to a file, 1 held as one string.
BENCHMARK(BM_SvgPeakMemory)
    ->ArgsProduct({{200000, 2000000, 12000000}, {0, 1}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tervasko
