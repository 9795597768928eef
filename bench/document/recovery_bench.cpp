// The recovery copy of the 200,000-line drawing: what the window's event loop pays (the
// encoding, once per 30 seconds at most) and what the writer thread pays (the safe write,
// synced to disk), each on its own.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "document/recovery.h"
#include "support/largedrawing.h"

namespace tervasko {
namespace {

TDrawing& largeDrawing() {
    static TDrawing* d = [] {
        auto* drawing = new TDrawing;
        benchsupport::FillLargeDrawing(*drawing, 10);
        return drawing;
    }();
    return *d;
}

std::string benchFolder() {
    return (std::filesystem::temp_directory_path() /
            ("tervasko-recovery-bench-" + std::to_string(getpid())))
        .string();
}

// On the window's thread: the bytes of the copy.
void BM_RecoveryEncode(benchmark::State& state) {
    TDrawing& d = largeDrawing();
    std::size_t size = 0;
    for (auto _ : state) {
        const std::vector<std::uint8_t> bytes = EncodeRecoveryCopy("/home/user/plan.tvk", d, {});
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_RecoveryEncode)->Unit(benchmark::kMillisecond);

// On the writer thread: one complete, synced copy through the safe path.
void BM_RecoveryWrite(benchmark::State& state) {
    const std::string folder = benchFolder();
    const std::vector<std::uint8_t> bytes =
        EncodeRecoveryCopy("/home/user/plan.tvk", largeDrawing(), {});
    {
        RecoveryStore store(folder);
        for (auto _ : state) {
            store.Submit(bytes);
            if (const Error error = store.Flush()) state.SkipWithError(EnglishText(error).c_str());
        }
    }
    std::filesystem::remove_all(folder);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_RecoveryWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the timer's slot costs the window: encoding and handing the bytes to the writer.
void BM_RecoveryTimerSlot(benchmark::State& state) {
    const std::string folder = benchFolder();
    {
        RecoveryStore store(folder);
        for (auto _ : state) {
            store.Submit(EncodeRecoveryCopy("/home/user/plan.tvk", largeDrawing(), {}));
            state.PauseTiming();
            if (const Error error = store.Flush()) state.SkipWithError(EnglishText(error).c_str());
            state.ResumeTiming();
        }
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_RecoveryTimerSlot)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tervasko
