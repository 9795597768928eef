// Peak memory of each export of one large sheet (DXF, SVG, PNG, PDF) beyond the memory of the
// drawing itself. Every export streams what it writes, so the peak should stay a small part
// of the drawing, and never above twice it.
//
// Memory is read from /proc/self/status: VmRSS before and after the drawing is made gives
// the drawing's own memory (records, texts and the sheets' index); VmHWM, the peak, is reset
// through /proc/self/clear_refs before the export, so the peak is the export's own. Run one
// benchmark per process, as the allocator may keep memory an earlier run freed:
//   export_memory_bench --benchmark_filter='BM_ExportPeakMemory/lines:2000000/format:0/'
// (format 0 DXF, 1 SVG, 2 PNG at 150 dpi, 3 PDF). Counters, in MiB: drawing (its own memory),
// peak_beyond (the export's peak above the process with the drawing made), file (the output's
// size), and ratio = peak_beyond / drawing.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "export/dxfwriter.h"
#include "export/output/sheetpages.h"
#include "export/output/sheetpicture.h"
#include "export/output/sheetsvg.h"
#include "support/largedrawing.h"
#include "support/processmemory.h"

namespace tervasko {
namespace {

using benchsupport::ResetPeak;
using benchsupport::StatusKiB;

enum Format { kDxf, kSvg, kPng, kPdf };
constexpr const char* kExtensions[] = {".dxf", ".svg", ".png", ".pdf"};

// Writes the drawing's first sheet (all of it for DXF and PDF, which are of all sheets);
// false when the export failed.
bool exportSheet(Format format, const std::string& path, TDrawing& d) {
    switch (format) {
        case kDxf:
            return !savedxfArc(path, d, 1);
        case kSvg:
            return WriteSheetSvg(path, d, 1, 0, {}).ok();
        case kPng:
            return WriteSheetPicture(path, PictureFormat::Png, d, 1, 0, 150, {}).ok();
        case kPdf:
            return WriteDrawingPdf(path, d, 0, 0, {}).ok();
    }
    return false;
}

void BM_ExportPeakMemory(benchmark::State& state) {
    const int lines = static_cast<int>(state.range(0));
    const auto format = static_cast<Format>(state.range(1));
    const std::string path =
        (std::filesystem::temp_directory_path() /
         ("export_memory_bench_" + std::to_string(::getpid()) + kExtensions[format]))
            .string();
    const long before = StatusKiB("VmRSS");
    TDrawing d;
    // One A4 sheet with all the lines on it: the whole drawing goes into one sheet.
    benchsupport::FillLargeDrawing(d, 1, lines);
    d.ElementBoxes();  // the sheets' index is the drawing's, too
    const long withDrawing = StatusKiB("VmRSS");
    if (!ResetPeak()) state.SkipWithError("cannot reset the peak through /proc/self/clear_refs");
    std::uintmax_t bytes = 0;
    for (auto _ : state) {
        if (!exportSheet(format, path, d)) state.SkipWithError("export failed");
        bytes = std::filesystem::file_size(path);
    }
    const long peak = StatusKiB("VmHWM");
    std::filesystem::remove(path);
    const double drawingMiB = (withDrawing - before) / 1024.0;
    const double beyondMiB = (peak - withDrawing) / 1024.0;
    state.counters["drawing_MiB"] = drawingMiB;
    state.counters["peak_beyond_MiB"] = beyondMiB;
    state.counters["ratio"] = drawingMiB > 0 ? beyondMiB / drawingMiB : 0;
    state.counters["file_MiB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
    state.SetLabel(kExtensions[format] + 1);
}
BENCHMARK(BM_ExportPeakMemory)
    ->ArgNames({"lines", "format"})
    ->ArgsProduct({{200000, 2000000, 12000000}, {kDxf, kSvg, kPng, kPdf}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tervasko
