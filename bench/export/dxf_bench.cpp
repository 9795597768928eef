// DXF export of large drawings, side by side with dxflib writing the same POLYLINE and VERTEX
// entities (and TEXT entities) to a file in the same folder.
//
// Ours runs the whole export from the drawing: walking the lists, the geometry (ellipse and
// curve pieces, apex search, bulges) and the text. dxflib gets the finished polylines, read
// back from our own output, so it only formats and writes; its files hold the same number of
// polylines and vertices with the same coordinates.
//
// The files go to $TERVASKO_BENCH_DIR, or to a folder in the system's temporary folder, and
// are removed after each benchmark.

#include <benchmark/benchmark.h>
#include <dl_attributes.h>
#include <dl_dxf.h>
#include <dl_entities.h>
#include <dl_writer_ascii.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "export/dxfwriter.h"

namespace tervasko {
namespace {

namespace fs = std::filesystem;

std::string benchFile(const std::string& name) {
    static const fs::path folder = [] {
        const char* env = std::getenv("TERVASKO_BENCH_DIR");
        fs::path f = env ? fs::path(env) : fs::temp_directory_path() / "tervasko-bench-dxf";
        fs::create_directories(f);
        return f;
    }();
    return (folder / name).string();
}

// 200,000 lines: half of them in pencil strokes of 20 joined segments, half single ruler
// lines; coordinates as pointer positions give them, full doubles; 1,000 texts.
void fillLines(TDrawing& d) {
    std::mt19937_64 rng(1);
    std::uniform_real_distribution<double> x(0, 297), y(0, 4200), step(-2, 2);
    for (int stroke = 0; stroke < 5000; ++stroke) {
        double px = x(rng), py = y(rng);
        for (int i = 0; i < 20; ++i) {
            TDrawElement* e = d.AppendElement();
            e->Kind = ekLine;
            e->X1 = px;
            e->Y1 = py;
            px += step(rng);
            py += step(rng);
            e->X2 = px;
            e->Y2 = py;
        }
    }
    for (int i = 0; i < 100000; ++i) {
        TDrawElement* e = d.AppendElement();
        e->Kind = ekLine;
        e->X1 = x(rng);
        e->Y1 = y(rng);
        e->X2 = x(rng);
        e->Y2 = y(rng);
    }
    for (int i = 0; i < 1000; ++i) {
        TTextElement* t = d.AppendText();
        t->X1 = x(rng);
        t->Y1 = y(rng);
        t->Text = NewWideBuffer(u"Schnittpunkt S\u2081 der Mittelsenkrechten");
        t->FontName = NewAnsiBuffer("Arial");
        t->FontSize = 12;
    }
}

// 10,000 circles of 1 to 100 mm radius.
void fillCircles(TDrawing& d) {
    std::mt19937_64 rng(2);
    std::uniform_real_distribution<double> x(0, 297), y(0, 4200), r(1, 100);
    for (int i = 0; i < 10000; ++i) {
        TDrawElement* e = d.AppendElement();
        e->Kind = ekCircle;
        const double cx = x(rng), cy = y(rng), radius = r(rng);
        e->X1 = cx - radius;
        e->Y1 = cy - radius;
        e->X2 = cx + radius;
        e->Y2 = cy + radius;
    }
}

struct Drawing {
    TDrawing drawing;
    int pages = 10;
};

Drawing& linesDrawing() {
    static Drawing* d = [] {
        auto* p = new Drawing;
        p->drawing.PageHeightInch = 420 / MmPerInch;
        fillLines(p->drawing);
        return p;
    }();
    return *d;
}

Drawing& circlesDrawing() {
    static Drawing* d = [] {
        auto* p = new Drawing;
        p->drawing.PageHeightInch = 420 / MmPerInch;
        fillCircles(p->drawing);
        return p;
    }();
    return *d;
}

// The entities of our output, for dxflib to write.
struct Entities {
    struct Vertex {
        double x, y, bulge;
    };
    struct Text {
        double x, y, height;
        std::string text;
    };
    std::vector<std::vector<Vertex>> polylines;
    std::vector<Text> texts;
    std::size_t vertices = 0;
};

Entities readBack(const std::string& dxf) {
    std::vector<std::string_view> l;
    for (std::size_t start = 0; start < dxf.size();) {
        const std::size_t end = dxf.find("\r\n", start);
        l.push_back(std::string_view(dxf).substr(start, end - start));
        start = end + 2;
    }
    const auto number = [](std::string_view s) {
        return std::strtod(std::string(s).c_str(), nullptr);
    };
    Entities e;
    for (std::size_t i = 0; i + 1 < l.size(); i += 2) {
        if (l[i + 1] == "POLYLINE") {
            e.polylines.emplace_back();
        } else if (l[i + 1] == "VERTEX") {
            e.polylines.back().push_back({number(l[i + 5]), number(l[i + 7]), number(l[i + 9])});
            ++e.vertices;
            i += 8;
        } else if (l[i + 1] == "TEXT") {
            e.texts.push_back(
                {number(l[i + 5]), number(l[i + 7]), number(l[i + 11]), std::string(l[i + 13])});
            i += 12;
        }
    }
    return e;
}

const Entities& entitiesOf(Drawing& d) {
    static std::vector<std::pair<Drawing*, std::unique_ptr<Entities>>> cache;
    for (auto& [key, value] : cache)
        if (key == &d) return *value;
    cache.emplace_back(&d, std::make_unique<Entities>(readBack(DxfText(d.drawing, d.pages))));
    return *cache.back().second;
}

void reportSize(benchmark::State& state, const std::string& file, const Entities& e) {
    const auto bytes = fs::file_size(file);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["polylines"] = static_cast<double>(e.polylines.size());
    state.counters["vertices"] = static_cast<double>(e.vertices);
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    fs::remove(file);  // some 200 MB each; nobody needs them afterwards
}

// The real export: temporary file beside the target, fsync, rename.
void ours(benchmark::State& state, Drawing& d, const std::string& name) {
    const std::string file = benchFile(name);
    for (auto _ : state) {
        if (const Error error = savedxfArc(file, d.drawing, d.pages))
            state.SkipWithError(EnglishText(error).c_str());
    }
    reportSize(state, file, entitiesOf(d));
}

// The same text into a plain file, written and closed as dxflib does (no fsync, no rename).
void oursPlainFile(benchmark::State& state, Drawing& d, const std::string& name) {
    const std::string file = benchFile(name);
    for (auto _ : state) {
        std::FILE* f = std::fopen(file.c_str(), "wb");
        if (!f) {
            state.SkipWithError("cannot create the file");
            break;
        }
        const bool ok = WriteDxf(d.drawing, d.pages, [f](std::string_view chunk) {
            return std::fwrite(chunk.data(), 1, chunk.size(), f) == chunk.size();
        });
        if (std::fclose(f) != 0 || !ok) state.SkipWithError("write failed");
    }
    reportSize(state, file, entitiesOf(d));
}

void dxflib(benchmark::State& state, Drawing& d, const std::string& name) {
    const std::string file = benchFile(name);
    const Entities& e = entitiesOf(d);
    const DL_Attributes layer("0", 256, -1, "BYLAYER", 1.0);
    for (auto _ : state) {
        DL_Dxf dxf;
        std::unique_ptr<DL_WriterA> out(dxf.out(file.c_str(), DL_Codes::AC1009));
        if (!out || out->openFailed()) {
            state.SkipWithError("cannot create the file");
            break;
        }
        out->sectionEntities();
        for (const auto& polyline : e.polylines) {
            dxf.writePolyline(*out, DL_PolylineData(static_cast<int>(polyline.size()), 0, 0, 0),
                              layer);
            for (const auto& v : polyline)
                dxf.writeVertex(*out, DL_VertexData(v.x, v.y, 0, v.bulge));
            dxf.writePolylineEnd(*out);
        }
        for (const auto& t : e.texts) {
            dxf.writeText(
                *out,
                DL_TextData(t.x, t.y, 0, t.x, t.y, 0, t.height, 1, 0, 0, 0, t.text, "STANDARD", 0),
                layer);
        }
        out->sectionEnd();
        out->dxfEOF();
        out->close();
    }
    reportSize(state, file, e);
}

void BM_Lines_Ours(benchmark::State& s) {
    ours(s, linesDrawing(), "lines-ours.dxf");
}
void BM_Lines_OursPlainFile(benchmark::State& s) {
    oursPlainFile(s, linesDrawing(), "lines-ours-plain.dxf");
}
void BM_Lines_Dxflib(benchmark::State& s) {
    dxflib(s, linesDrawing(), "lines-dxflib.dxf");
}
void BM_Circles_Ours(benchmark::State& s) {
    ours(s, circlesDrawing(), "circles-ours.dxf");
}
void BM_Circles_OursPlainFile(benchmark::State& s) {
    oursPlainFile(s, circlesDrawing(), "circles-ours-plain.dxf");
}
void BM_Circles_Dxflib(benchmark::State& s) {
    dxflib(s, circlesDrawing(), "circles-dxflib.dxf");
}

BENCHMARK(BM_Lines_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lines_OursPlainFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lines_Dxflib)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Circles_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Circles_OursPlainFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Circles_Dxflib)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tervasko
