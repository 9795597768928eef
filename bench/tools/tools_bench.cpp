// The drawing tools at the pace of the pointer, on the real window: a pencil segment must
// cost the same on an empty drawing and on a large one, and the element hover scan runs at
// every pointer move.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QSpinBox>
#include <cstdlib>
#include <memory>

#include "app/mainUnit.h"
#include "app/paintbox.h"
#include "platform/numeric.h"
#include "platform/recordingcanvas.h"
#include "session/drawingsession.h"
#include "support/largedrawing.h"
#include "tests/support/mainformparts.h"
#include "tools/dispatch.h"
#include "tools/measure.h"
#include "tools/pointer.h"
#include "view/viewgeometry.h"

namespace tervasko {
namespace {

constexpr int kPages = 5;
constexpr int kSegments = 1000;

// 199,999 short random lines over five A4 sheets and, last, one in view at 100 .. 120 mm.
void fillLargeDrawing(TDrawing& d) {
    benchsupport::FillLargeDrawing(d, kPages, 199999, 0);
    TDrawElement* last = d.AppendElement();
    last->Kind = ekLine;
    last->Width = 0.1;
    last->X1 = 100, last->Y1 = 100, last->X2 = 120, last->Y2 = 100;
}

// The window as the user has it: 1280 x 900, five sheets, the drawing drawn once.
std::unique_ptr<TMainForm> window(bool large) {
    auto form = std::make_unique<TMainForm>(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
    form->Hooks().ShowError = [](const std::string&) {};
    form->resize(1280, 900);
    form->show();
    form->findChild<QSpinBox*>("PageAnz")->setValue(kPages);
    if (large) fillLargeDrawing(Parts(*form).Session->Drawing());
    form->SetChanged();
    form->PaintBox1Paint();
    QApplication::processEvents();
    return form;
}

// One move as the window lives it: the handler, then the repaint it asked for.
void pointerMove(TMainForm& form, int x, int y) {
    form.PaintBox1MouseMove(x, y);
    QApplication::processEvents();
}

// The stroke goes away again, with the cycle that shows it gone: the drawing is back to its
// first `keep` elements.
void takeStrokeAway(TMainForm& form, std::uint32_t keep) {
    form.PaintBox1MouseUp(MouseButton::Left, 605, 305);
    while (Parts(form).Session->Drawing().Elements.Count() > keep)
        Parts(form).Session->Drawing().Elements.Delete(
            static_cast<std::int32_t>(Parts(form).Session->Drawing().Elements.Count()) - 1);
    form.SetChanged();
    form.PaintBox1Paint();
    QApplication::processEvents();
}

void BM_PencilSegment(benchmark::State& state) {
    auto form = window(state.range(0) != 0);
    form->findChild<QAction*>("Bleistift1")->trigger();
    QApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        form->PaintBox1MouseDown(MouseButton::Left, 105, 105);
        state.ResumeTiming();
        for (int i = 0; i < kSegments; ++i) pointerMove(*form, 105 + (i % 500), 105 + i / 5);
        state.PauseTiming();
        takeStrokeAway(*form, state.range(0) ? 200000u : 0u);
        state.ResumeTiming();
    }
    // Seconds per segment (shown with a unit prefix: 2m is 2 ms).
    state.counters["s_per_segment"] = benchmark::Counter(
        kSegments, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PencilSegment)->ArgName("lines200k")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A stroke of 2,000 segments on the large drawing: the first 200 or the last 200 timed, per
// segment with its repaint. The overlay of the stroke grows behind them.
void BM_PencilStrokeEnds(benchmark::State& state) {
    constexpr int kStroke = 2000, kTimed = 200;
    const bool last = state.range(0) != 0;
    auto form = window(true);
    form->findChild<QAction*>("Bleistift1")->trigger();
    QApplication::processEvents();
    const auto at = [](int i) { return std::pair{105 + (i % 500), 105 + i / 5}; };
    for (auto _ : state) {
        state.PauseTiming();
        form->PaintBox1MouseDown(MouseButton::Left, 105, 105);
        const int from = last ? kStroke - kTimed : 0;
        for (int i = 0; i < from; ++i) pointerMove(*form, at(i).first, at(i).second);
        state.ResumeTiming();
        for (int i = from; i < from + kTimed; ++i) pointerMove(*form, at(i).first, at(i).second);
        state.PauseTiming();
        takeStrokeAway(*form, 200000u);
        state.ResumeTiming();
    }
    state.counters["s_per_segment"] = benchmark::Counter(
        kTimed, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PencilStrokeEnds)->ArgName("last200")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Over nothing: the whole list is tested and nothing is drawn. Over the last element: the
// first test hits, and the cycle and the red overdraw follow, with the repaint.
void BM_ElementHoverScan(benchmark::State& state) {
    auto form = window(true);
    form->findChild<QAction*>("ObjekteLschen1")->trigger();
    QApplication::processEvents();
    const double s = form->PixelsPerMm();
    const bool overLast = state.range(0) != 0;
    const int x = static_cast<int>(Round((overLast ? 110 : 208) * s)) + ViewTransform::MarginPx;
    const int y = static_cast<int>(Round(100 * s)) + ViewTransform::MarginPx;
    pointerMove(*form, x, y);
    if (Parts(*form).Gesture.Hover.Valid != overLast ||
        (overLast && Parts(*form).Gesture.Hover.Index !=
                         static_cast<int>(Parts(*form).Session->Drawing().Elements.Count()) - 1)) {
        state.SkipWithError("the pointer is not where the benchmark wants it");
        return;
    }
    for (auto _ : state) pointerMove(*form, x, y);
}
BENCHMARK(BM_ElementHoverScan)->ArgName("overLast")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The scan alone, over nothing: the same 200,000 tests without the window around them.
class ScanOnlyHost : public ToolHost {
public:
    bool Checked(ToolItem item) const override {
        return item == ToolItem::Objekte1 || item == ToolItem::ObjekteLschen1;
    }
    double PixelsPerMm() const override {
        return ViewGeometry::Compute(100, 96, 210 / MmPerInch, 297 / MmPerInch).PixelsPerMm;
    }
    int SheetHeightPx() const override { return 1123; }
    Color PenColor() const override { return kBlack; }
    double PenWidth() const override { return 0.1; }
    double EraserWidth() const override { return 2; }
    void Paint() override {}
    void UpdateEds() override {}
    Canvas& ScreenCanvas() override { return screen; }
    void SingleSheetRefresh(int, const std::function<void(Canvas&)>&) override {}
    void ShowPointerPosition(PointD) override {}
    RecordingCanvas screen;
};

void BM_ElementHoverScanAlone(benchmark::State& state) {
    TDrawing drawing;
    fillLargeDrawing(drawing);
    ScanOnlyHost host;
    GestureState g;
    const int x = static_cast<int>(Round(208 * host.PixelsPerMm())) + ViewTransform::MarginPx;
    for (auto _ : state) {
        PaintBox1MouseMove(host, drawing, g, x, 400);
        benchmark::DoNotOptimize(g.Hover.Found);
    }
}
BENCHMARK(BM_ElementHoverScanAlone)->Unit(benchmark::kMicrosecond);

// What the status bar's measure adds to each pointer event: working out the measure of a ruler
// turn in progress (the costliest gesture to measure is no dearer).
void BM_MeasureGesture(benchmark::State& state) {
    TDrawing drawing;
    ScanOnlyHost host;
    GestureState g;
    g.Ruler.Drag.Turning = true;
    const ViewTransform view{host.PixelsPerMm(), host.SheetHeightPx(), drawing.PageHeightInch};
    PointerContext p{host, drawing, g, view, 300, 300, 295, 295, MouseButton::Left};
    for (auto _ : state) benchmark::DoNotOptimize(MeasureGesture(p));
}
BENCHMARK(BM_MeasureGesture)->Unit(benchmark::kNanosecond);

}  // namespace
}  // namespace tervasko
