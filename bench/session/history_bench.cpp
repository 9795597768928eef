// The history beside the work it records, on the drawing of 200,000 lines and 1,000 texts:
// taking a 200-segment stroke back and making it again must cost about what drawing the 200
// segments costs, and a long history must stay small.
#include <benchmark/benchmark.h>

#include "session/drawingsession.h"
#include "support/largedrawing.h"

namespace tervasko {
namespace {

constexpr std::uint32_t kSegments = 200;

void appendStroke(TDrawing& d) {
    for (std::uint32_t i = 0; i < kSegments; ++i) {
        TDrawElement* e = d.AppendElement();
        e->Kind = ekLine;
        e->Width = 0.1;
        e->X1 = i, e->Y1 = 10, e->X2 = i + 1, e->Y2 = 11;
    }
}

void removeStroke(TDrawing& d) {
    for (std::uint32_t i = 0; i < kSegments; ++i)
        d.Elements.Delete(static_cast<std::int32_t>(d.Elements.Count() - 1));
}

struct Large {
    DrawingSession session;
    TDrawing& drawing = session.Drawing();
    Large() { benchsupport::FillLargeDrawing(drawing, 5); }
};

Large& large() {
    static Large l;
    return l;
}

// The baseline: the 200 segments a pencil stroke appends.
void BM_AppendStroke200(benchmark::State& state) {
    TDrawing& d = large().drawing;
    for (auto _ : state) {
        appendStroke(d);
        state.PauseTiming();
        removeStroke(d);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AppendStroke200);

// The large drawing with one 200-segment stroke in its history; taken back when done.
class OneStroke {
public:
    OneStroke() : drawing_(large().drawing), session_(large().session) {
        const std::uint32_t first = drawing_.Elements.Count();
        appendStroke(drawing_);
        session_.Record(ElementsAppended(first, kSegments), "Bleistift");
    }
    ~OneStroke() { session_.Undo(); }
    DrawingSession& session() { return session_; }

private:
    TDrawing& drawing_;
    DrawingSession& session_;
};

void BM_UndoStroke200(benchmark::State& state) {
    OneStroke stroke;
    for (auto _ : state) {
        stroke.session().Undo();
        state.PauseTiming();
        stroke.session().Redo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UndoStroke200);

void BM_RedoStroke200(benchmark::State& state) {
    OneStroke stroke;
    for (auto _ : state) {
        state.PauseTiming();
        stroke.session().Undo();
        state.ResumeTiming();
        stroke.session().Redo();
    }
}
BENCHMARK(BM_RedoStroke200);

// 1,000 strokes of 200 segments, all made, then all taken back: the bytes the history holds
// at either end (a made stroke holds nothing but its range; a taken-back one its records).
void BM_HistoryOf1000Strokes(benchmark::State& state) {
    for (auto _ : state) {
        DrawingSession session;
        TDrawing& d = session.Drawing();
        for (int s = 0; s < 1000; ++s) {
            const std::uint32_t first = d.Elements.Count();
            appendStroke(d);
            session.Record(ElementsAppended(first, kSegments), "Bleistift");
        }
        state.counters["steps"] = session.History().count();
        state.counters["MB_made"] = static_cast<double>(session.HeldBytes()) / 1e6;
        while (session.History().canUndo()) session.Undo();
        state.counters["MB_taken_back"] = static_cast<double>(session.HeldBytes()) / 1e6;
    }
}
BENCHMARK(BM_HistoryOf1000Strokes)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tervasko
