// The paint cycle, which most pointer moves run: what a cycle costs when only an instrument
// moved, when the drawing changed, against the raw cost of drawing the same elements with
// QPainter; and the memory of the largest view.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <cstdlib>

#include "app/mainUnit.h"
#include "app/paintbox.h"
#include "platform/numeric.h"
#include "platform/qt/qtcanvas.h"
#include "session/drawingsession.h"
#include "support/largedrawing.h"
#include "tests/support/mainformparts.h"
#include "view/drawobjects.h"

namespace tervasko {
namespace {

constexpr int kPages = 5;
// What the window shows: a 1280 x 900 view that straddles the border of sheets 1 and 2.
const QRect kVisible(0, 5 + 1123 + 700, 1280, 900);

// 200,000 short lines and 1,000 texts spread over five A4 sheets.
void fillLargeDrawing(TDrawing& d) {
    benchsupport::FillLargeDrawing(d, kPages);
}

SheetScene scene(TDrawing& d) {
    SheetScene s;
    s.drawing = &d;
    s.pages = kPages;
    return s;
}

// One cycle as the window runs it: the cycle itself, then the repaint of what is visible.
void runCycle(SheetView& view, const SheetScene& s, QImage& screen) {
    const IntPoint size =
        ViewGeometry::Compute(s.zoom, s.dpi, s.drawing->PageWidthInch, s.drawing->PageHeightInch)
            .PaintBoxSize(s.pages);
    view.Cycle(
        s, QSize(size.x, size.y), [](int, int) {}, [] {});
    QPainter p(&screen);
    p.translate(-kVisible.topLeft());
    view.Paint(p, kVisible);
}

void BM_CycleEmptyDrawing(benchmark::State& state) {
    TDrawing d;
    SheetView view;
    QImage screen(kVisible.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        d.Placement.LinealX += 0.01;
        runCycle(view, scene(d), screen);
    }
}
BENCHMARK(BM_CycleEmptyDrawing)->Unit(benchmark::kMillisecond);

void BM_CycleAfterInstrumentMoved(benchmark::State& state) {
    TDrawing d;
    fillLargeDrawing(d);
    SheetView view;
    QImage screen(kVisible.size(), QImage::Format_RGB32);
    runCycle(view, scene(d), screen);
    for (auto _ : state) {
        d.Placement.LinealX += 0.01;
        runCycle(view, scene(d), screen);
    }
}
BENCHMARK(BM_CycleAfterInstrumentMoved)->Unit(benchmark::kMillisecond);

// Every visible sheet drawn afresh, as after a change of the texts or a new drawing.
void BM_CycleAfterDrawingChanged(benchmark::State& state) {
    TDrawing d;
    fillLargeDrawing(d);
    SheetView view;
    QImage screen(kVisible.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        d.Elements.Select(0)->X1 += 0.001;
        view.InvalidateDrawing();
        view.RedrawSheets();
        runCycle(view, scene(d), screen);
    }
    state.counters["text_measures"] =
        benchmark::Counter(double(view.Measures().Measured()), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_CycleAfterDrawingChanged)->Unit(benchmark::kMillisecond);

// The cycle after one element changed (range 0: moved, 1: a stroke's 20 segments appended and
// taken back, 2: removed and put back), on the second visible sheet: only where it lies is
// drawn again. Compare with BM_CycleAfterDrawingChanged.
void BM_CycleAfterOneElementChanged(benchmark::State& state) {
    TDrawing d;
    fillLargeDrawing(d);
    SheetView view;
    QImage screen(kVisible.size(), QImage::Format_RGB32);
    runCycle(view, scene(d), screen);
    const std::uint32_t onSecondSheet = [&] {
        for (std::uint32_t i = 0;; ++i)
            if (d.Elements.At(i).Y1 > 297 + 150 && d.Elements.At(i).Y1 < 297 + 200) return i;
    }();
    const TDrawElement kept = d.Elements.At(onSecondSheet);
    bool toggle = false;
    for (auto _ : state) {
        // The change itself (a removal moves the records behind it) is not the cycle's work.
        state.PauseTiming();
        toggle = !toggle;
        switch (state.range(0)) {
            case 0:
                d.Elements.Select(onSecondSheet)->X1 += toggle ? 2 : -2;
                break;
            case 1:
                if (toggle) {
                    for (int k = 0; k < 20; ++k) {
                        TDrawElement* e = d.AppendElement();
                        e->Kind = ekLine;
                        e->Width = 0.5;
                        e->X1 = 50 + k, e->Y1 = 297 + 180, e->X2 = 51 + k, e->Y2 = 297 + 181;
                    }
                } else {
                    for (int k = 0; k < 20; ++k)
                        d.Elements.Delete(static_cast<std::int32_t>(d.Elements.Count()) - 1);
                }
                break;
            default:
                if (toggle) {
                    d.Elements.Delete(static_cast<std::int32_t>(onSecondSheet));
                } else {
                    *d.Elements.Insert(static_cast<std::int32_t>(onSecondSheet)) = kept;
                }
                break;
        }
        state.ResumeTiming();
        view.InvalidateDrawing();
        runCycle(view, scene(d), screen);
    }
    state.counters["partial"] =
        benchmark::Counter(double(view.Stats().partial), benchmark::Counter::kAvgIterations);
    state.counters["whole"] =
        benchmark::Counter(double(view.Stats().whole), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_CycleAfterOneElementChanged)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The yardstick: plain QPainter lines of just the elements that touch the visible sheets,
// with their pen, into sheet-sized images, found by a plain test of their end points.
void BM_RawQPainterVisibleElements(benchmark::State& state) {
    TDrawing d;
    fillLargeDrawing(d);
    const ViewGeometry g = ViewGeometry::Compute(100, 96, d.PageWidthInch, d.PageHeightInch);
    const int first = g.SheetAt(kVisible.top()), last = g.SheetAt(kVisible.bottom());
    QImage sheet(g.SheetWidthPx, g.SheetHeightPx, QImage::Format_RGB32);
    const double s = g.PixelsPerMm;
    std::int64_t drawn = 0;
    for (auto _ : state) {
        for (int a = first; a <= last; ++a) {
            QPainter p(&sheet);
            p.setPen(QPen(Qt::black, 0));  // all elements share one pen
            const double off = a * d.SheetHeightMm();
            const IntRect clip{0, 0, g.SheetWidthPx, g.SheetHeightPx};
            for (std::uint32_t i = 0; i < d.Elements.Count(); ++i) {
                const TDrawElement& e = d.Elements.At(i);
                if (!ElementMayTouch(e, off, s, clip)) continue;
                p.drawLine(QPoint(int(Round(e.X1 * s)), int(Round((e.Y1 - off) * s))),
                           QPoint(int(Round(e.X2 * s)), int(Round((e.Y2 - off) * s))));
                ++drawn;
            }
        }
    }
    state.counters["lines"] = benchmark::Counter(double(drawn), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RawQPainterVisibleElements)->Unit(benchmark::kMillisecond);

// One pointer move while the ruler is dragged, with the repaint it causes, in the real window
// (1280 x 900), on an empty drawing (range 0) and on the large one (range 1).
void BM_RulerDragMove(benchmark::State& state) {
    TMainForm form(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
    form.Hooks().ShowError = [](const std::string&) {};
    form.resize(1280, 900);
    form.show();
    if (state.range(0)) fillLargeDrawing(Parts(form).Session->Drawing());
    form.findChild<QSpinBox*>("PageAnz")->setValue(kPages);
    form.SetUnChanged();
    QApplication::processEvents();
    form.PaintBox1MouseDown(MouseButton::Left, 300, 300);
    int dx = 0;
    for (auto _ : state) {
        dx = dx == 0 ? 1 : 0;
        form.PaintBox1MouseMove(300 + dx, 300);
        form.findChild<QScrollArea*>("ScrollBox1")->viewport()->repaint();
    }
    form.PaintBox1MouseUp(MouseButton::Left, 300, 300);
}
BENCHMARK(BM_RulerDragMove)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The real window on the large drawing with one instrument grabbed by its move tool: ruler
// (0), protractor (1), compass (2) or set square (3, shown, its zero mark at 105, 120 mm).
struct InstrumentDrag {
    TMainForm form{std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp"};
    QPoint at;
    explicit InstrumentDrag(int instrument) {
        form.Hooks().ShowError = [](const std::string&) {};
        form.resize(1280, 900);
        form.show();
        fillLargeDrawing(Parts(form).Session->Drawing());
        form.findChild<QSpinBox*>("PageAnz")->setValue(kPages);
        form.SetUnChanged();
        QApplication::processEvents();
        QAction* tools[] = {form.findChild<QAction*>("LinealVerschieben1"),
                            form.findChild<QAction*>("WinkelmesserVerschieben1"),
                            form.findChild<QAction*>("ZirkelVerschieben1"),
                            form.findChild<QAction*>("GeodreieckVerschieben1")};
        const QPoint places[] = {{300, 300}, {190, 190}, {567, 189}, {402, 460}};
        if (instrument == 3) {
            Parts(form).Session->Drawing().Placement.GeoY = 120;
            form.findChild<QAction*>("Geodreieck2")->trigger();
            QApplication::processEvents();
        }
        tools[instrument]->trigger();
        at = places[instrument];
        form.PaintBox1MouseDown(MouseButton::Left, at.x(), at.y());
    }
    ~InstrumentDrag() { form.PaintBox1MouseUp(MouseButton::Left, at.x(), at.y()); }
    // One pointer move, one pixel to and fro; returns the area it damaged.
    QRegion move(int& dx) {
        dx = dx == 0 ? 1 : 0;
        form.PaintBox1MouseMove(at.x() + dx, at.y());
        if (Parts(form).View.LastDamage) return *Parts(form).View.LastDamage;
        return QRegion(form.findChild<QWidget*>("PaintBox1")->rect());
    }
};

// One move of a dragged instrument with the repaint of what it damaged, painted piece by
// piece as the paint box paints it, into a screen-sized image.
void BM_InstrumentDragMove(benchmark::State& state) {
    InstrumentDrag drag(static_cast<int>(state.range(0)));
    QImage screen(1280, 900, QImage::Format_RGB32);
    const QRect inView(0, 0, 1280, 900);
    int dx = 0;
    for (auto _ : state) {
        const QRegion damaged = drag.move(dx) & inView;
        QPainter p(&screen);
        p.setClipRegion(damaged);
        for (const QRect& r : damaged) Parts(drag.form).View.Paint(p, r);
    }
}
BENCHMARK(BM_InstrumentDragMove)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// The same move without its repaint: what the tool, the fields and the cycle cost.
void BM_InstrumentDragMoveOnly(benchmark::State& state) {
    InstrumentDrag drag(static_cast<int>(state.range(0)));
    int dx = 0;
    for (auto _ : state) benchmark::DoNotOptimize(drag.move(dx));
}
BENCHMARK(BM_InstrumentDragMoveOnly)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// What the move above cannot go below: copying the same damaged area from a sheet-sized
// picture to the screen image.
void BM_InstrumentAreaCopy(benchmark::State& state) {
    InstrumentDrag drag(static_cast<int>(state.range(0)));
    const QRect inView(0, 0, 1280, 900);
    int dx = 0;
    drag.move(dx);
    const QRegion damaged = drag.move(dx) & inView;
    QImage sheet(Parts(drag.form).View.Geometry.SheetWidthPx,
                 Parts(drag.form).View.Geometry.SheetHeightPx, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QImage screen(1280, 900, QImage::Format_RGB32);
    long long pixels = 0;
    for (const QRect& r : damaged) pixels += static_cast<long long>(r.width()) * r.height();
    state.counters["damaged_px"] = static_cast<double>(pixels);
    for (auto _ : state) {
        QPainter p(&screen);
        for (const QRect& r : damaged) p.drawImage(r.topLeft(), sheet, r.intersected(sheet.rect()));
    }
}
BENCHMARK(BM_InstrumentAreaCopy)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

long residentPeakMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

// Ten A4 sheets at zoom 300 in a real window, scrolled from top to bottom. Runs last: it
// reports the peak resident memory of the whole process.
void BM_TenSheetsAtZoom300Scrolled(benchmark::State& state) {
    for (auto _ : state) {
        TMainForm form(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
        form.Hooks().ShowError = [](const std::string&) {};
        form.resize(1280, 900);
        form.show();
        form.findChild<QSpinBox*>("zoomed")->setValue(300);
        form.findChild<QSpinBox*>("PageAnz")->setValue(10);
        QApplication::processEvents();
        QScrollBar* bar = form.findChild<QScrollArea*>("ScrollBox1")->verticalScrollBar();
        for (int y = 0; y <= bar->maximum(); y += 600) {
            bar->setValue(y);
            form.findChild<QScrollArea*>("ScrollBox1")->viewport()->repaint();
            QApplication::processEvents();
        }
    }
    state.counters["peak_rss_MB"] = double(residentPeakMb());
}
BENCHMARK(BM_TenSheetsAtZoom300Scrolled)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace tervasko
