// The snap index on the large drawing: a query, and building what the first query after a
// load needs next to loading the drawing it is built for. The drawing's 200,000 lines lie on
// one sheet (the densest case: the sheet's grid holds all of them) or spread over five.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "document/drawingfile.h"
#include "support/largedrawing.h"
#include "tools/snapindex.h"

namespace tervasko {
namespace {

TDrawing& largeDrawing(int pages) {
    static std::map<int, std::unique_ptr<TDrawing>> drawings;
    std::unique_ptr<TDrawing>& d = drawings[pages];
    if (!d) {
        d = std::make_unique<TDrawing>();
        benchsupport::FillLargeDrawing(*d, pages);
    }
    return *d;
}

struct LargeFile {
    std::string path;
    explicit LargeFile(int pages) {
        path = (std::filesystem::temp_directory_path() /
                ("tervasko-snapbench-" + std::to_string(getpid()) + "-" + std::to_string(pages) +
                 ".tvk"))
                   .string();
        if (const Error error = WriteDrawingFile(path, largeDrawing(pages), DrawingSettings{}))
            std::fprintf(stderr, "%s\n", tervasko::EnglishText(error).c_str());
    }
    ~LargeFile() { std::remove(path.c_str()); }
};

const std::string& largeFile(int pages) {
    static std::map<int, std::unique_ptr<LargeFile>> files;
    std::unique_ptr<LargeFile>& f = files[pages];
    if (!f) f = std::make_unique<LargeFile>(pages);
    return f->path;
}

// 8 pixels at 100 % zoom on a 96 dpi screen.
constexpr double kRadius100 = 8 / (96 / 25.4);

// A query on the densest drawing at 100 % zoom and at 25 % zoom.
void BM_SnapQuery(benchmark::State& state) {
    TDrawing& d = largeDrawing(1);
    SnapIndex index;
    const double radius = kRadius100 * 100.0 / double(state.range(0));
    index.Prepare(d, {100, 150}, radius);
    std::uint32_t seed = 99;
    auto rnd = [&] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / double(1 << 24);
    };
    for (auto _ : state) {
        const PointD at{5 + rnd() * 195, 5 + rnd() * 287};
        benchmark::DoNotOptimize(index.Find(d, at, radius));
    }
}
BENCHMARK(BM_SnapQuery)->Arg(100)->Arg(25)->Unit(benchmark::kMicrosecond);

// What the first query after a load builds, on a drawing whose boxes are up to date, as
// after the first paint of a load: a fresh index (its arrays taken anew) ...
void BM_SnapIndexBuild(benchmark::State& state) {
    TDrawing& d = largeDrawing(static_cast<int>(state.range(0)));
    d.ElementBoxes();
    for (auto _ : state) {
        SnapIndex index;
        index.Prepare(d, {100, 150}, kRadius100);
        benchmark::DoNotOptimize(&index);
    }
}
BENCHMARK(BM_SnapIndexBuild)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

// ... and the index of the session, built again after a change.
void BM_SnapIndexRebuild(benchmark::State& state) {
    TDrawing& d = largeDrawing(static_cast<int>(state.range(0)));
    d.ElementBoxes();
    SnapIndex index;
    for (auto _ : state) {
        index.Invalidate();
        index.Prepare(d, {100, 150}, kRadius100);
        benchmark::DoNotOptimize(&index);
    }
}
BENCHMARK(BM_SnapIndexRebuild)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

// What the first query at 10 % zoom (8 pixels are 21 mm) builds: a larger tile, picked from
// every element.
void BM_SnapIndexBuildAtZoom10(benchmark::State& state) {
    TDrawing& d = largeDrawing(static_cast<int>(state.range(0)));
    d.ElementBoxes();
    for (auto _ : state) {
        SnapIndex index;
        index.Prepare(d, {100, 150}, kRadius100 * 10);
        benchmark::DoNotOptimize(&index);
    }
}
BENCHMARK(BM_SnapIndexBuildAtZoom10)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

// The grid of every element, which only a query reaching over a metre needs.
void BM_SnapIndexBuildWhole(benchmark::State& state) {
    TDrawing& d = largeDrawing(static_cast<int>(state.range(0)));
    d.ElementBoxes();
    SnapIndex index;
    for (auto _ : state) {
        index.Build(d);
        benchmark::DoNotOptimize(index.Valid());
    }
}
BENCHMARK(BM_SnapIndexBuildWhole)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

// The load the build follows, on the same drawing, as the window sees it: read, decoded and
// indexed by sheets (which keeps the boxes the snap index is built from).
void BM_SnapLoadForComparison(benchmark::State& state) {
    const std::string& path = largeFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TDrawing d;
        DrawingSettings s;
        if (const Error error = ReadDrawingFile(path, d, s))
            state.SkipWithError(tervasko::EnglishText(error).c_str());
        benchmark::DoNotOptimize(d.ElementBoxes().data());
    }
}
BENCHMARK(BM_SnapLoadForComparison)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tervasko
