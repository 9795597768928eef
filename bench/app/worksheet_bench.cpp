// The worksheet beneath the sheets, side by side with blank paper in one run: a ruler drag
// over it (the pages are not rendered again: compare /1 with /0), opening a drawing with a
// ten-page worksheet until its first sheet is on screen, and the peak memory of scrolling
// through ten sheets at zoom 300 (peak_MB of /1 against /0).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <cstdlib>

#include "app/filecommands.h"
#include "app/mainUnit.h"
#include "app/sheetview.h"
#include "document/drawingfile.h"
#include "session/drawingsession.h"
#include "support/processmemory.h"
#include "tests/support/mainformparts.h"
#include "tests/support/worksheetpdf.h"
#include "worksheet/worksheet.h"

namespace tervasko {
namespace {

// A worksheet of ten A4 pages, each with a grid of lines, circles and a line of text: more
// than the usual hand-out holds.
const testing::PdfBytes& tenPages() {
    static const testing::PdfBytes pdf = [] {
        QByteArray out;
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(254);  // ten units a millimetre
        QPainter p(&writer);
        for (int page = 0; page < 10; ++page) {
            if (page) writer.newPage();
            p.setPen(QPen(Qt::gray, 2));
            for (int x = 100; x < 2000; x += 50) p.drawLine(x, 100, x, 2870);
            for (int y = 100; y < 2870; y += 50) p.drawLine(100, y, 2000, y);
            p.setPen(QPen(Qt::black, 4));
            for (int k = 0; k < 12; ++k) p.drawEllipse(QPoint(1050, 1400), 60 * k, 40 * k);
            p.drawText(QPoint(150, 80), QStringLiteral("Arbeitsblatt %1").arg(page + 1));
        }
        p.end();
        return testing::PdfBytes(out.begin(), out.end());
    }();
    return pdf;
}

std::string tempFolder() {
    return std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp";
}

// A drawing file with the worksheet (or, for range 0, the same without it), ten A4 sheets.
std::string drawingFile(bool worksheet) {
    TDrawing d;
    DrawingSettings s;
    s.PageCount = 10;
    if (worksheet) d.Worksheet = std::make_shared<const testing::PdfBytes>(tenPages());
    const std::string path =
        tempFolder() + (worksheet ? "/bench-worksheet.tvk" : "/bench-blank.tvk");
    if (WriteDrawingFile(path, d, s)) std::abort();
    return path;
}

std::unique_ptr<TMainForm> window(int zoom) {
    auto form = std::make_unique<TMainForm>(tempFolder());
    form->Hooks().ShowError = [](const std::string&) {};
    form->resize(1280, 900);
    form->show();
    form->findChild<QSpinBox*>("zoomed")->setValue(zoom);
    QApplication::processEvents();
    return form;
}

QWidget* viewport(TMainForm& form) {
    return form.findChild<QScrollArea*>("ScrollBox1")->viewport();
}

// A ruler drag: each step moves the ruler and runs the cycle and the repaint of a 1280 x 900
// view across the border of sheets 1 and 2, as a pointer move does. Range 0 on blank paper,
// 1 over the worksheet.
void BM_RulerDrag(benchmark::State& state) {
    TDrawing d;
    DrawingSettings s;
    if (ReadDrawingFile(drawingFile(state.range(0) != 0), d, s)) std::abort();
    SheetScene scene;
    scene.drawing = &d;
    scene.pages = 10;
    SheetView view;
    const QRect visible(0, 5 + 1123 - 450, 1280, 900);
    QImage screen(visible.size(), QImage::Format_RGB32);
    const auto cycle = [&] {
        const IntPoint size =
            ViewGeometry::Compute(scene.zoom, scene.dpi, d.PageWidthInch, d.PageHeightInch)
                .PaintBoxSize(scene.pages);
        view.Cycle(
            scene, QSize(size.x, size.y), [](int, int) {}, [] {});
        QPainter p(&screen);
        p.translate(-visible.topLeft());
        view.Paint(p, visible);
    };
    cycle();
    const auto rendered = view.Stats().pages;
    double step = 0.5;
    for (auto _ : state) {
        d.Placement.LinealX += step;
        if (d.Placement.LinealX > 150 || d.Placement.LinealX < 10) step = -step;
        cycle();
    }
    state.counters["pages_rendered"] = double(view.Stats().pages - rendered);
}
BENCHMARK(BM_RulerDrag)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// From the open command to the first sheet on screen, the window already up.
void BM_OpenDrawing(benchmark::State& state) {
    const std::string path = drawingFile(state.range(0) != 0);
    for (auto _ : state) {
        state.PauseTiming();
        auto form = window(100);
        state.ResumeTiming();
        Parts(*form).FileCommands->LoadDrawing(path);
        form->PaintBox1Paint();
        QApplication::processEvents();
        viewport(*form)->repaint();
        state.PauseTiming();
        form.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenDrawing)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

// Ten A4 sheets at zoom 300 scrolled from top to bottom, in a window of their own; the peak
// resident memory of the process during the scroll (the peak is set back before it).
void BM_TenSheetsAtZoom300(benchmark::State& state) {
    const std::string path = drawingFile(state.range(0) != 0);
    long peak = 0;
    for (auto _ : state) {
        QApplication::processEvents();
        benchsupport::ResetPeak();
        auto form = window(300);
        Parts(*form).FileCommands->LoadDrawing(path);
        form->findChild<QSpinBox*>("zoomed")->setValue(300);
        QApplication::processEvents();
        QScrollBar* bar = form->findChild<QScrollArea*>("ScrollBox1")->verticalScrollBar();
        for (int y = 0; y <= bar->maximum(); y += 600) {
            bar->setValue(y);
            viewport(*form)->repaint();
            QApplication::processEvents();
        }
        peak = benchsupport::StatusKiB("VmHWM");
    }
    state.counters["peak_MB"] = double(peak) / 1024;
}
BENCHMARK(BM_TenSheetsAtZoom300)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace tervasko
