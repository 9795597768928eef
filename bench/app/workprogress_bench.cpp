// What reporting progress to the window costs long work, side by side with the same work
// reporting to nobody: SVG, PNG, PDF and DXF of a large drawing written to files and the
// drawing read back from its file, with no
// progress, with the window's progress before its dialog shows (events let through every
// 30 ms) and with its dialog shown. The counter "gap_ms" is the longest the work went
// between two reports: how long the window may go without repainting.

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>

#include "app/dialogs/workprogress.h"
#include "document/drawingfile.h"
#include "export/dxfwriter.h"
#include "export/output/sheetpages.h"
#include "export/output/sheetpicture.h"
#include "export/output/sheetsvg.h"
#include "support/largedrawing.h"

namespace tervasko {
namespace {

// Passes the reports on and keeps the longest time between two of them.
class GapWatch final : public Progress {
public:
    explicit GapWatch(Progress* inner) : inner_(inner) { clock_.start(); }
    bool Report(std::uint64_t done, std::uint64_t total) override {
        longest_ = std::max(longest_, clock_.restart());
        return inner_ ? inner_->Report(done, total) : true;
    }
    qint64 Finish() { return std::max(longest_, clock_.elapsed()); }

private:
    Progress* inner_;
    QElapsedTimer clock_;
    qint64 longest_ = 0;
};

enum Mode { kNone, kWindowBeforeDialog, kWindowWithDialog };
enum Output { kSvg, kPng, kPdf, kDxf, kLoad };

void BM_ExportWithProgress(benchmark::State& state) {
    const auto output = static_cast<Output>(state.range(0));
    const auto mode = static_cast<Mode>(state.range(1));
    TDrawing d;
    benchsupport::FillLargeDrawing(d, 1, 200000);
    QTemporaryDir dir;
    const char* names[] = {"a.svg", "a.png", "a.pdf", "a.dxf", "a.tvk"};
    const std::string path = dir.filePath(names[output]).toStdString();
    if (output == kLoad && WriteDrawingFile(path, d, DrawingSettings{})) {
        state.SkipWithError("the drawing could not be written");
        return;
    }
    qint64 gap = 0;
    for (auto _ : state) {
        std::unique_ptr<WorkProgress> window;
        if (mode != kNone)
            window = std::make_unique<WorkProgress>(nullptr, "bench", path,
                                                    mode == kWindowWithDialog ? 0 : 1 << 30);
        GapWatch watch(window.get());
        Progress* progress = mode == kNone ? nullptr : &watch;
        OutputResult result;
        switch (output) {
            case kSvg:
                result = WriteSheetSvg(path, d, 1, 0, {}, progress);
                break;
            case kPng:
                result = WriteSheetPicture(path, PictureFormat::Png, d, 1, 0, 150, {}, progress);
                break;
            case kPdf:
                result = WriteDrawingPdf(path, d, 0, 0, {}, nullptr, progress);
                break;
            case kDxf:
                if (savedxfArc(path, d, 1, progress)) result.failure = OutputFailure::CannotWrite;
                break;
            case kLoad: {
                TDrawing loaded;
                DrawingSettings settings;
                if (Error e =
                        ReadDrawingFile(path, loaded, settings, SheetSizeCheck::Keep, progress)) {
                    state.SkipWithError(EnglishText(e).c_str());
                    return;
                }
                break;
            }
        }
        if (!result.ok()) state.SkipWithError("the export failed");
        if (progress) gap = std::max(gap, watch.Finish());
    }
    state.counters["gap_ms"] = static_cast<double>(gap);
    state.SetItemsProcessed(state.iterations() * 200000);
}
BENCHMARK(BM_ExportWithProgress)
    ->ArgNames({"output", "mode"})
    ->ArgsProduct({{kSvg, kPng, kPdf, kDxf, kLoad},
                   {kNone, kWindowBeforeDialog, kWindowWithDialog}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tervasko
