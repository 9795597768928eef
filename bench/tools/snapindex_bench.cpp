// The snap index on the large drawing: a query, and building the index next to loading the
// drawing it is built for.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "document/drawingfile.h"
#include "support/largedrawing.h"
#include "tools/snapindex.h"

namespace tervasko {
namespace {

TDrawing& largeDrawing() {
    static TDrawing* d = [] {
        auto* drawing = new TDrawing;
        benchsupport::FillLargeDrawing(*drawing, 1);
        return drawing;
    }();
    return *d;
}

struct LargeFile {
    std::string path;
    LargeFile() {
        path = (std::filesystem::temp_directory_path() /
                ("tervasko-snapbench-" + std::to_string(getpid()) + ".tvk"))
                   .string();
        Error error;
        if (!WriteDrawingFile(path, largeDrawing(), DrawingSettings{}, &error))
            std::fprintf(stderr, "%s\n", tervasko::EnglishText(error).c_str());
    }
    ~LargeFile() { std::remove(path.c_str()); }
};

const LargeFile& largeFile() {
    static LargeFile file;
    return file;
}

// 8 pixels at 100 % zoom on a 96 dpi screen, and at 25 % zoom.
void BM_SnapQuery(benchmark::State& state) {
    SnapIndex index;
    index.Build(largeDrawing());
    const double radius = 8 / (96 / 25.4) * 100.0 / double(state.range(0));
    std::uint32_t seed = 99;
    auto rnd = [&] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / double(1 << 24);
    };
    for (auto _ : state) {
        const PointD at{5 + rnd() * 195, 5 + rnd() * 287};
        benchmark::DoNotOptimize(index.FindBuilt(largeDrawing(), at, radius));
    }
}
BENCHMARK(BM_SnapQuery)->Arg(100)->Arg(25)->Unit(benchmark::kMicrosecond);

// The build on a drawing whose boxes are up to date, as after the first paint of a load.
void BM_SnapIndexBuild(benchmark::State& state) {
    largeDrawing().ElementBoxes();
    for (auto _ : state) {
        SnapIndex index;
        index.Build(largeDrawing());
        benchmark::DoNotOptimize(index.Valid());
    }
}
BENCHMARK(BM_SnapIndexBuild)->Unit(benchmark::kMillisecond);

// A build again into the same index: its arrays are in use already, as in a session.
void BM_SnapIndexRebuild(benchmark::State& state) {
    largeDrawing().ElementBoxes();
    SnapIndex index;
    for (auto _ : state) {
        index.Build(largeDrawing());
        benchmark::DoNotOptimize(index.Valid());
    }
}
BENCHMARK(BM_SnapIndexRebuild)->Unit(benchmark::kMillisecond);

// The load the build follows, on the same drawing, as the window sees it: read, decoded and
// indexed by sheets (which keeps the boxes the snap index is built from).
void BM_SnapLoadForComparison(benchmark::State& state) {
    const std::string& path = largeFile().path;
    for (auto _ : state) {
        TDrawing d;
        DrawingSettings s;
        Error error;
        if (!ReadDrawingFile(path, d, s, &error))
            state.SkipWithError(tervasko::EnglishText(error).c_str());
        benchmark::DoNotOptimize(d.ElementBoxes().data());
    }
}
BENCHMARK(BM_SnapLoadForComparison)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tervasko
