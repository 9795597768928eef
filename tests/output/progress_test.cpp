#include "platform/progress.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QPrinter>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <functional>
#include <limits>
#include <set>
#include <utility>

#include "export/output/sheetpages.h"
#include "export/output/sheetpicture.h"
#include "export/output/sheetsvg.h"
#include "export/output/svgcanvas.h"
#include "platform/numeric.h"
#include "support/tempdir.h"

namespace tervasko {
namespace {

using testing::TempDir;
using Reported = std::pair<std::uint64_t, std::uint64_t>;

// Notes every report; says stop at report number `stopAt` (counted from 1).
class RecordingProgress final : public Progress {
public:
    explicit RecordingProgress(std::size_t stopAt = std::numeric_limits<std::size_t>::max())
        : stopAt_(stopAt) {}
    bool Report(std::uint64_t done, std::uint64_t total) override {
        reports.emplace_back(done, total);
        return reports.size() != stopAt_;
    }
    std::vector<Reported> reports;

private:
    std::size_t stopAt_;
};

TEST(ProgressCounter, ReportsEveryStrideHeldToTheTotalAndStopsWhenTold) {
    ProgressCounter silent(nullptr, 10, 1);
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(silent.Advance());
    EXPECT_TRUE(silent.Poll());
    EXPECT_TRUE(silent.Finish());

    RecordingProgress all;
    ProgressCounter counter(&all, 25, 10);
    for (int i = 0; i < 30; ++i) ASSERT_TRUE(counter.Advance());
    EXPECT_TRUE(counter.Finish());
    EXPECT_TRUE(counter.Finish());  // once only
    EXPECT_EQ(all.reports, (std::vector<Reported>{{10, 25}, {20, 25}, {25, 25}, {25, 25}}));

    // Units in bulk pass several strides with one report; a total set below what was
    // reported already does not take it back.
    RecordingProgress second(2);
    ProgressCounter stopping(&second, 100, 10);
    EXPECT_TRUE(stopping.Advance(35));
    stopping.SetTotal(20);
    EXPECT_FALSE(stopping.Advance(10));
    EXPECT_TRUE(stopping.Stopped());
    EXPECT_FALSE(stopping.Advance(100));
    EXPECT_FALSE(stopping.Poll());
    EXPECT_FALSE(stopping.Finish());
    EXPECT_EQ(second.reports, (std::vector<Reported>{{35, 100}, {35, 35}}));
}

// A small sheet with every kind of element and text: lines of many pens (enough of them to
// make the SVG many times the size of the pieces it is written in), arcs, circles, curves,
// texts with "&" marks, several lines, rotation by the instruments' labels, characters XML
// cannot hold, and shapes and texts crossing the sheet's edge or lying beyond it.
constexpr double kSheetW = 120, kSheetH = 90;

void add(TDrawing& d, std::uint32_t kind, double widthMm, Color color,
         std::initializer_list<double> xy) {
    TDrawElement* e = d.AppendElement();
    e->Kind = kind;
    e->Width = widthMm;
    e->Color = static_cast<std::int32_t>(color);
    double* fields[] = {&e->X1, &e->Y1, &e->X2, &e->Y2, &e->X3, &e->Y3, &e->X4, &e->Y4};
    std::size_t i = 0;
    for (double v : xy) *fields[i++] = v;
}

void addText(TDrawing& d, double x, double y, std::u16string_view text, int points,
             Color color = kBlack) {
    TTextElement* t = d.AppendText();
    t->X1 = x, t->Y1 = y;
    t->Text = NewWideBuffer(text);
    t->FontName = NewAnsiBuffer("Arial");
    t->FontSize = points;
    t->Color = static_cast<std::int32_t>(color);
}

TDrawing& everyKind(TDrawing& d) {
    d.PageWidthInch = kSheetW / MmPerInch;
    d.PageHeightInch = kSheetH / MmPerInch;
    std::uint32_t seed = 7;
    const auto rnd = [&] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / double(1 << 24);
    };
    const Color colours[] = {kBlack, 0x0000FF, 0x00FF00, 0xFF0000};
    for (int i = 0; i < 6000; ++i) {
        const double x = rnd() * kSheetW, y = rnd() * kSheetH;
        // Runs of one pen share a path; the pen changes now and then.
        add(d, ekLine, (i / 500) % 3 * 0.3, colours[(i / 700) % 4],
            {x, y, x + rnd() * 8 - 4, y + rnd() * 8 - 4});
    }
    add(d, ekArc, 0.5, kBlack, {10, 40, 40, 70, 50, 55, 25, 30});
    add(d, ekArc, 0, 0x800080, {45, 40, 75, 70, 60, 30, 80, 55});
    add(d, ekCircle, 0.4, 0x0000FF, {80, 40, 110, 70});
    add(d, ekCurve, 0.6, 0x008000, {5, 85, 30, 60, 60, 100, 115, 75});
    add(d, ekCircle, 1, kBlack, {100, 70, 140, 110});        // crosses the right and lower edge
    add(d, ekLine, 0.5, kBlack, {-20, 10, 20, 10});          // starts left of the sheet
    add(d, ekLine, 0.5, kBlack, {130, 10, 150, 20});         // wholly beyond the right edge
    add(d, ekCircle, 0.5, kBlack, {10, 100, 20, 110});       // on the second sheet
    addText(d, 15, 72, u"Tervasko 1:2 & more && less", 12);  // "&" marks
    addText(d, 5, 5, u"&ab&cd &&&x &", 10, 0x0000FF);
    addText(d, 70, 2, u"Two\nlines\r\nand a third", 9);
    addText(d, 100, 80, u"over the edge", 14);
    addText(d, 130, 40, u"beyond the edge", 14);
    addText(d, 20, 20, u"a < b > \"c\" 'd' \x0007 \xd800 \xd83d\xde00", 10);
    d.Placement.LinealX = 20, d.Placement.LinealY = 80, d.Placement.LinealAngle = 25;
    d.Placement.WinkelX = 60, d.Placement.WinkelY = 45, d.Placement.WinkelAngle = 200;
    d.Placement.ZirkelX = 60, d.Placement.ZirkelY = 10, d.Placement.ZirkelSpan = 40;
    return d;
}

std::set<std::string> listing(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.insert(e.path().filename().string());
    return names;
}

constexpr SheetInstruments kAll{.ruler = true, .protractor = true, .compass = true};

TEST(StreamedExport, TheSvgFileIsTheDocumentSheetSvgMakesWithAndWithoutProgress) {
    TempDir dir;
    TDrawing d;
    everyKind(d);
    const std::string expected = SheetSvg(d, 0, kAll);
    ASSERT_GT(expected.size(), 2 * kSvgPieceBytes);
    // All kinds are there: paths, both shapes, texts with underlined marks, turned labels.
    for (const char* part : {"<path ", "<ellipse ", "<rect ", "<text ", "<tspan ", "rotate(",
                             "&amp;", "&lt;", "\xef\xbf\xbd", "stroke-width=\"0.6\""})
        EXPECT_NE(expected.find(part), std::string::npos) << part;
    EXPECT_EQ(expected.find("beyond the edge"), std::string::npos);

    const std::string plain = dir.file("plain.svg"), counted = dir.file("counted.svg");
    ASSERT_TRUE(WriteSheetSvg(plain, d, 2, 0, kAll).ok());
    RecordingProgress progress;
    ASSERT_TRUE(WriteSheetSvg(counted, d, 2, 0, kAll, &progress).ok());
    const auto bytes = [](const std::string& s) {
        return std::vector<std::uint8_t>(s.begin(), s.end());
    };
    EXPECT_TRUE(testing::readBytes(plain) == bytes(expected));
    EXPECT_TRUE(testing::readBytes(counted) == bytes(expected));
    EXPECT_GE(progress.reports.size(), 4u);

    // The second sheet, too.
    ASSERT_TRUE(WriteSheetSvg(plain, d, 2, 1, kAll).ok());
    EXPECT_TRUE(testing::readBytes(plain) == bytes(SheetSvg(d, 1, kAll)));
}

// A file that cannot take the document half way through (here: the size limit reached while
// pieces are being written) is a failure with the system's reason, and nothing is left.
TEST(StreamedExport, AnSvgThatCannotBeWrittenHalfWayLeavesNothing) {
    TempDir dir;
    TDrawing d;
    everyKind(d);
    const std::string target = dir.file("sheet.svg");
    const std::vector<std::uint8_t> old = {'o', 'l', 'd'};
    testing::writeBytes(target, old);
    OutputResult r;
    {
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 4096;  // bytes
        ::setrlimit(RLIMIT_FSIZE, &small);
        r = WriteSheetSvg(target, d, 1, 0, kAll);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);
    }
    EXPECT_EQ(r.failure, OutputFailure::CannotWrite);
    EXPECT_EQ(r.reason.SystemError, EFBIG);
    EXPECT_EQ(listing(dir.path()), std::set<std::string>{"sheet.svg"});
    EXPECT_EQ(testing::readBytes(target), old);
}

// The pictures a progress watches are the pictures nobody watches.
TEST(StreamedExport, ProgressChangesNoPixel) {
    TempDir dir;
    TDrawing d;
    everyKind(d);
    for (const char* name : {"a.png", "a.bmp"}) {
        const std::string path = dir.file(name), watched = dir.file(std::string("w") + name);
        const PictureFormat format = *PictureFormatOf(path);
        RecordingProgress progress;
        ASSERT_TRUE(WriteSheetPicture(path, format, d, 1, 0, 300, kAll).ok());
        ASSERT_TRUE(WriteSheetPicture(watched, format, d, 1, 0, 300, kAll, &progress).ok());
        EXPECT_TRUE(testing::readBytes(path) == testing::readBytes(watched)) << name;
        EXPECT_GE(progress.reports.size(), 4u);
    }
}

using Export = std::function<OutputResult(const std::string& path, Progress*)>;

struct ExportCase {
    const char* name;  // the target's file name
    Export run;
};

std::vector<ExportCase> exports(TDrawing& d) {
    return {
        {"sheet.svg",
         [&](const std::string& p, Progress* g) { return WriteSheetSvg(p, d, 2, 0, kAll, g); }},
        {"sheet.png",
         [&](const std::string& p, Progress* g) {
             return WriteSheetPicture(p, PictureFormat::Png, d, 2, 0, 200, kAll, g);
         }},
        {"sheet.bmp",
         [&](const std::string& p, Progress* g) {
             return WriteSheetPicture(p, PictureFormat::Bmp, d, 2, 0, 200, kAll, g);
         }},
        {"sheets.pdf", [&](const std::string& p,
                           Progress* g) { return WriteDrawingPdf(p, d, 0, 1, kAll, nullptr, g); }},
        {"printed.pdf",
         [&](const std::string& p, Progress* g) {
             QPrinter printer;
             printer.setOutputFormat(QPrinter::PdfFormat);
             printer.setOutputFileName(QString::fromStdString(p));
             return PrintDrawing(printer, d, 0, 1, kAll, g);
         }},
    };
}

TEST(StreamedExport, ProgressRisesToTheTotalAndEndsThere) {
    TDrawing d;
    everyKind(d);
    for (const ExportCase& c : exports(d)) {
        TempDir dir;
        RecordingProgress progress;
        ASSERT_TRUE(c.run(dir.file(c.name), &progress).ok()) << c.name;
        const std::vector<Reported>& r = progress.reports;
        ASSERT_GE(r.size(), 4u) << c.name;
        const std::uint64_t total = r.front().second;
        EXPECT_GT(total, 6000u) << c.name;  // every element and text counts
        for (std::size_t i = 0; i < r.size(); ++i) {
            EXPECT_EQ(r[i].second, total) << c.name << " report " << i;
            EXPECT_LE(r[i].first, total) << c.name << " report " << i;
            if (i > 0) {
                EXPECT_GE(r[i].first, r[i - 1].first) << c.name << " report " << i;
            }
        }
        EXPECT_EQ(r.back(), Reported(total, total)) << c.name;
        EXPECT_EQ(listing(dir.path()), std::set<std::string>{c.name});
    }
}

// Stopped at the first report, one half way, the one before the last (a BMP's rows are being
// written then) and the last (the work is done, the file not yet in place): no file, no
// temporary file, and an old file exactly as it was.
TEST(StreamedExport, AStoppedExportLeavesNoFileAndTheOldOneAsItWas) {
    TDrawing d;
    everyKind(d);
    const std::vector<std::uint8_t> old = {'o', 'l', 'd', '\n'};
    for (const ExportCase& c : exports(d)) {
        std::size_t reports = 0;
        {
            TempDir dir;
            RecordingProgress all;
            ASSERT_TRUE(c.run(dir.file(c.name), &all).ok()) << c.name;
            reports = all.reports.size();
        }
        ASSERT_GE(reports, 4u) << c.name;
        for (const std::size_t stopAt : {std::size_t{1}, reports / 2, reports - 1, reports}) {
            for (const bool oldFile : {false, true}) {
                TempDir dir;
                const std::string target = dir.file(c.name);
                if (oldFile) testing::writeBytes(target, old);
                RecordingProgress progress(stopAt);
                const OutputResult r = c.run(target, &progress);
                const std::string where =
                    std::string(c.name) + " stopped at " + std::to_string(stopAt) + " of " +
                    std::to_string(reports) + (oldFile ? " over an old file" : "");
                EXPECT_EQ(r.failure, OutputFailure::Cancelled) << where;
                EXPECT_EQ(progress.reports.size(), stopAt) << where << ": asked again";
                EXPECT_EQ(listing(dir.path()),
                          oldFile ? std::set<std::string>{c.name} : std::set<std::string>{})
                    << where;
                if (oldFile) {
                    EXPECT_EQ(testing::readBytes(target), old) << where;
                }
            }
        }
    }
}

}  // namespace
}  // namespace tervasko
