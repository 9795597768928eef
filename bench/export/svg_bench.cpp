// SVG output of a large sheet beside the PNG picture of the same sheet at 150 dots per inch,
// both from the drawing in memory (no file written): the SVG goes through the same renderers
// and only formats numbers where the picture fills pixels.

#include <benchmark/benchmark.h>

#include "export/output/sheetpicture.h"
#include "export/output/sheetsvg.h"
#include "support/largedrawing.h"

namespace tervasko {
namespace {

void BM_SheetSvg(benchmark::State& state) {
    TDrawing d;
    benchsupport::FillLargeDrawing(d, 1, static_cast<int>(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string svg = SheetSvg(d, 0, {});
        bytes = svg.size();
        benchmark::DoNotOptimize(svg.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SheetSvg)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

void BM_SheetPicture150Dpi(benchmark::State& state) {
    TDrawing d;
    benchsupport::FillLargeDrawing(d, 1, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const QImage image = RenderSheetPicture(d, 0, 150, {});
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SheetPicture150Dpi)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tervasko
