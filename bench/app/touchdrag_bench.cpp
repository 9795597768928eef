// A finger's drag of an instrument against the mouse's, side by side in one run: one move
// event through the window, the tool's work and the fields, and the repaint of the paint box
// that follows, on the real window with the large drawing. The finger holds the instrument
// with the pencil chosen; the mouse drags it with the instrument's slide tool.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QSpinBox>
#include <QTest>
#include <QThread>
#include <cstdlib>

#include "app/mainUnit.h"
#include "app/paintbox.h"
#include "app/toolhostqt.h"
#include "session/drawingsession.h"
#include "support/largedrawing.h"
#include "tests/support/mainformparts.h"
#include "tools/touch.h"

namespace tervasko {
namespace {

constexpr int kPages = 5;

// The ruler (0), protractor (1), set square (2) or compass (3): the slide tool of each and a
// point on its body (paint-box pixels at 100 % on a 96 dpi screen).
struct Instrument {
    const char* slideTool;
    QPoint body;
};
const Instrument kInstruments[] = {{"LinealVerschieben1", {383, 364}},
                                   {"WinkelmesserVerschieben1", {194, 118}},
                                   {"GeodreieckVerschieben1", {402, 629}},
                                   {"ZirkelVerschieben1", {610, 232}}};

class Window {
public:
    TMainForm form{std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp"};
    QWidget* box = nullptr;
    QPoint at;

    explicit Window(int instrument) {
        form.Hooks().ShowError = [](const std::string&) {};
        form.resize(1280, 900);
        form.show();
        benchsupport::FillLargeDrawing(Parts(form).Session->Drawing(), kPages);
        form.findChild<QSpinBox*>("PageAnz")->setValue(kPages);
        form.findChild<QAction*>("Geodreieck2")->trigger();  // the set square shown
        form.SetUnChanged();
        QApplication::processEvents();
        box = form.findChild<QWidget*>("PaintBox1");
        at = kInstruments[instrument].body;
    }
    const InstrumentPlacement& placement() { return Parts(form).Session->Drawing().Placement; }
};

// Each move goes the way the window system's events go, and the events it causes (the
// repaint of the paint box among them) are processed before the next. Real input comes with
// pauses between its events; QTest's touch sequence sleeps a millisecond before each.
void BM_MouseDragMove(benchmark::State& state) {
    Window w(static_cast<int>(state.range(0)));
    w.form.findChild<QAction*>(kInstruments[state.range(0)].slideTool)->trigger();
    QTest::mousePress(w.box, Qt::LeftButton, {}, w.at);
    const InstrumentPlacement before = w.placement();
    int dx = 0;
    for (auto _ : state) {
        dx = dx == 0 ? 1 : 0;
        // The pause QTest's touch sequence makes before each event, so that caches are as
        // cold for either and the pause's own cost is counted on both sides.
        QThread::msleep(1);
        QTest::mouseMove(w.box, w.at + QPoint(dx, 0));
        QApplication::processEvents();
    }
    if (dx == 1 && w.placement() == before) state.SkipWithError("the mouse moved nothing");
    QTest::mouseRelease(w.box, Qt::LeftButton, {}, w.at);
}
BENCHMARK(BM_MouseDragMove)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

void BM_FingerDragMove(benchmark::State& state) {
    static QPointingDevice* screen = QTest::createTouchDevice();
    Window w(static_cast<int>(state.range(0)));
    w.form.findChild<QAction*>("Bleistift1")->trigger();
    auto finger = QTest::touchEvent(w.box, screen, false);
    finger.press(0, w.at).commit();
    const InstrumentPlacement before = w.placement();
    int dx = 0;
    for (auto _ : state) {
        dx = dx == 0 ? 1 : 0;
        finger.move(0, w.at + QPoint(dx, 0)).commit();
    }
    if (dx == 1 && w.placement() == before) state.SkipWithError("the finger moved nothing");
    finger.release(0, w.at).commit();
    if (Parts(w.form).Session->Drawing().Elements.Count() != 200000)
        state.SkipWithError("the finger drew");
}
BENCHMARK(BM_FingerDragMove)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// The same moves handed straight to the tools, as the paint box hands them on: what the tools,
// the fields and the paint cycle cost without the way of the events and their repaint.
void BM_MouseDragMoveTools(benchmark::State& state) {
    Window w(static_cast<int>(state.range(0)));
    w.form.findChild<QAction*>(kInstruments[state.range(0)].slideTool)->trigger();
    w.form.PaintBox1MouseDown(MouseButton::Left, w.at.x(), w.at.y());
    int dx = 0;
    for (auto _ : state) {
        dx = dx == 0 ? 1 : 0;
        w.form.PaintBox1MouseMove(w.at.x() + dx, w.at.y());
    }
    w.form.PaintBox1MouseUp(MouseButton::Left, w.at.x(), w.at.y());
}
BENCHMARK(BM_MouseDragMoveTools)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

void BM_FingerDragMoveTools(benchmark::State& state) {
    Window w(static_cast<int>(state.range(0)));
    w.form.findChild<QAction*>("Bleistift1")->trigger();
    TMainFormParts parts = Parts(w.form);
    TDrawing& drawing = parts.Session->Drawing();
    const TouchSituation situation;
    const auto touch = [&](TouchPoint::State st, int dx) {
        const TouchPoint point{1, double(w.at.x() + dx), double(w.at.y()), st};
        TouchFrame(*parts.Tools, drawing, parts.Gesture, situation, {&point, 1});
    };
    touch(TouchPoint::State::Pressed, 0);
    int dx = 0;
    for (auto _ : state) {
        dx = dx == 0 ? 1 : 0;
        touch(TouchPoint::State::Moved, dx);
    }
    touch(TouchPoint::State::Released, 0);
}
BENCHMARK(BM_FingerDragMoveTools)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tervasko
