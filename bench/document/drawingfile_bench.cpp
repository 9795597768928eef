// Loading and saving a large drawing, measured against plainly reading the same bytes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "document/drawingfile.h"
#include "platform/safefile.h"

namespace tervasko {
namespace {

void buildLargeDrawing(TDrawing& d) {
    for (int i = 0; i < 200000; ++i) {
        TDrawElement* e = d.AppendElement();
        e->Kind = ekLine;
        e->Width = 0.1;
        e->X1 = i * 0.001;
        e->Y1 = 10 + i % 280;
        e->X2 = e->X1 + 1.5;
        e->Y2 = e->Y1 + 0.25;
    }
    for (int i = 0; i < 1000; ++i) {
        TTextElement* t = d.AppendText();
        t->X1 = i % 200;
        t->Y1 = i % 290;
        t->Text = NewWideBuffer(u"Konstruktion des Umkreises " +
                                std::u16string(1, char16_t(u'A' + i % 26)));
        t->FontName = NewAnsiBuffer("Arial");
        t->FontSize = 12;
    }
}

struct LargeFile {
    std::string path;
    LargeFile() {
        path = (std::filesystem::temp_directory_path() /
                ("tervasko-bench-" + std::to_string(getpid()) + ".tvk"))
                   .string();
        TDrawing d;
        buildLargeDrawing(d);
        if (const Error error = WriteDrawingFile(path, d, DrawingSettings{}))
            std::fprintf(stderr, "%s\n", tervasko::EnglishText(error).c_str());
    }
    ~LargeFile() { std::remove(path.c_str()); }
};

const LargeFile& largeFile() {
    static LargeFile file;
    return file;
}

void BM_ReadBytesOnly(benchmark::State& state) {
    std::size_t size = 0;
    for (auto _ : state) {
        const Result<std::vector<std::uint8_t>> bytes = ReadWholeFile(largeFile().path);
        if (!bytes.ok()) state.SkipWithError(tervasko::EnglishText(bytes.error()).c_str());
        size = bytes.ok() ? bytes->size() : 0;
        benchmark::DoNotOptimize(size);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_ReadBytesOnly)->Unit(benchmark::kMillisecond);

// The load as the window sees it: read, decoded, swapped in, and the sheets' index built.
void BM_LoadDrawing(benchmark::State& state) {
    std::uintmax_t size = std::filesystem::file_size(largeFile().path);
    for (auto _ : state) {
        TDrawing d;
        DrawingSettings s;
        if (const Error error = ReadDrawingFile(largeFile().path, d, s))
            state.SkipWithError(tervasko::EnglishText(error).c_str());
        benchmark::DoNotOptimize(d.ElementsNear(0, 10));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_LoadDrawing)->Unit(benchmark::kMillisecond);

long residentKb() {
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// The first stroke after a load (ten segments) in a process that has loaded before: the
// element block grows without being copied, so the memory in use grows by the segments only.
void BM_FirstStrokeAfterLoad(benchmark::State& state) {
    double grownMb = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto d = std::make_unique<TDrawing>();
        DrawingSettings s;
        if (const Error error = ReadDrawingFile(largeFile().path, *d, s))
            state.SkipWithError(tervasko::EnglishText(error).c_str());
        const long before = residentKb();
        state.ResumeTiming();
        for (int k = 0; k < 10; ++k) {
            TDrawElement* e = d->AppendElement();
            e->Kind = ekLine;
            e->X1 = k, e->Y1 = 10, e->X2 = k + 1, e->Y2 = 11;
        }
        state.PauseTiming();
        grownMb = std::max(grownMb, (residentKb() - before) / 1024.0);
        d.reset();
        state.ResumeTiming();
    }
    state.counters["resident_growth_MB"] = grownMb;
}
BENCHMARK(BM_FirstStrokeAfterLoad)->Unit(benchmark::kMicrosecond)->Iterations(20);

void BM_EncodeDrawing(benchmark::State& state) {
    TDrawing d;
    buildLargeDrawing(d);
    for (auto _ : state) benchmark::DoNotOptimize(EncodeDrawing(d, DrawingSettings{}).size());
}
BENCHMARK(BM_EncodeDrawing)->Unit(benchmark::kMillisecond);

// The whole save, including the flush to disk that makes it safe.
void BM_SaveDrawing(benchmark::State& state) {
    TDrawing d;
    buildLargeDrawing(d);
    const std::string path = largeFile().path + ".save";
    for (auto _ : state) {
        if (const Error error = WriteDrawingFile(path, d, DrawingSettings{}))
            state.SkipWithError(tervasko::EnglishText(error).c_str());
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_SaveDrawing)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tervasko
