#include "cli/exportcli.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <QImageReader>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <thread>

#include "document/drawingfile.h"
#include "export/dxfwriter.h"
#include "output/pdfcheck.h"
#include "platform/numeric.h"
#include "support/tempdir.h"

namespace tervasko {
namespace {

using testing::TempDir;

struct CommandResult {
    int code;
    std::string out, err;
};

CommandResult run(const std::vector<std::string>& args, const ExportControl& control = {}) {
    std::ostringstream out, err;
    const int code = RunExportCommand(args, out, err, control);
    return {code, out.str(), err.str()};
}

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename());
    return names;
}

std::string text(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// A terminal as the exporter's progress sees it: keeps what it is shown and, once the line
// shows `trigger`, asks the export to stop with `signal`, as a signal handler would.
class WatchedTerminal final : public std::streambuf {
public:
    WatchedTerminal(std::atomic<int>& stop, std::string trigger, int signal)
        : stop_(stop), trigger_(std::move(trigger)), signal_(signal) {}
    std::string shown;

protected:
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        shown.append(s, static_cast<std::size_t>(n));
        if (!trigger_.empty() && shown.find(trigger_) != std::string::npos) stop_.store(signal_);
        return n;
    }
    int_type overflow(int_type c) override {
        if (c != traits_type::eof()) {
            const char ch = static_cast<char>(c);
            xsputn(&ch, 1);
        }
        return c;
    }

private:
    std::atomic<int>& stop_;
    std::string trigger_;
    int signal_;
};

std::string writeSampleDrawing(const TempDir& dir, double pages, const std::string& name = "in.tvk",
                               double sheetWidthInch = 210 / MmPerInch) {
    TDrawing d;
    d.PageWidthInch = sheetWidthInch;
    TDrawElement* e = d.AppendElement();
    e->Kind = ekLine;
    e->X1 = 10, e->Y1 = 20, e->X2 = 110, e->Y2 = 20;
    e = d.AppendElement();  // a thick line on the second sheet
    e->Kind = ekLine;
    e->Width = 0.5;
    e->X1 = 10, e->Y1 = 297 + 50, e->X2 = 110, e->Y2 = 297 + 50;
    DrawingSettings s;
    s.PageCount = pages;
    s.RulerShown = s.ProtractorShown = s.CompassShown = false;
    const std::string path = dir.file(name);
    Error error = WriteDrawingFile(path, d, s);
    EXPECT_FALSE(error) << EnglishText(error);
    return path;
}

TEST(ExportCommand, WritesTheDrawingsDxfWithItsStoredPageCount) {
    TempDir dir;
    const std::string in = writeSampleDrawing(dir, 2);
    const CommandResult r = run({in, dir.file("OUT.DXF")});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_TRUE(r.err.empty());

    TDrawing d;
    DrawingSettings s;
    Error error = ReadDrawingFile(in, d, s);
    ASSERT_FALSE(error);
    const std::string dxf = DxfText(d, 2);
    const auto written = testing::readBytes(dir.file("OUT.DXF"));
    EXPECT_EQ(std::string(written.begin(), written.end()), dxf);
    // Two A4 sheets: y = 20 mm lies 594 - 20 mm above the bottom.
    EXPECT_NE(dxf.find("\r\n20\r\n574\r\n"), std::string::npos);

    // A drawing from before the sheet size was stored counts as one A4 sheet.
    auto old = testing::readBytes(in);
    old.resize(old.size() - kExtensionBlockSize);
    testing::writeBytes(in, old);
    ASSERT_EQ(run({in, dir.file("old.dxf")}).code, kExitOk);
    const auto oldDxf = testing::readBytes(dir.file("old.dxf"));
    EXPECT_NE(std::string(oldDxf.begin(), oldDxf.end()).find("\r\n20\r\n277\r\n"),
              std::string::npos);
}

TEST(ExportCommand, FailuresNameTheFileExitNonZeroAndLeaveNoOutput) {
    TempDir dir;
    const std::string good = writeSampleDrawing(dir, 1);
    const std::string broken = dir.file("broken.tvk");
    testing::writeBytes(broken, {0, 0, 0, 0x80, 1, 2});
    const std::string out = dir.file("out.dxf");
    const std::string fifo = dir.file("pipe.tvk");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

    const struct {
        std::vector<std::string> args;
        int code;
        std::string mentions;
        std::string output;  // must not exist afterwards
    } cases[] = {
        {{}, kExitUsage, "--help", out},
        {{good}, kExitUsage, "--help", out},
        {{good, out, "extra"}, kExitUsage, "--help", out},
        {{dir.file("missing.tvk"), out}, kExitFailed, "missing.tvk", out},
        {{broken, out}, kExitFailed, "broken.tvk", out},
        {{dir.path(), out}, kExitFailed, dir.path(), out},
        // Neither waits for a writer nor tries to hold a device's endless bytes.
        {{fifo, out}, kExitFailed, fifo, out},
        {{"/dev/zero", out}, kExitFailed, "\"/dev/zero\": Not a regular file", out},
        {{"/dev/urandom", dir.file("out.png")}, kExitFailed, "/dev/urandom", dir.file("out.png")},
        {{good, dir.file("out.svgz")}, kExitUsage, "out.svgz", dir.file("out.svgz")},
        {{good, dir.file("no/such/folder/out.dxf")},
         kExitFailed,
         "no/such/folder/out.dxf",
         dir.file("no/such/folder/out.dxf")},
    };
    for (const auto& c : cases) {
        const CommandResult r = run(c.args);
        SCOPED_TRACE(r.err);
        EXPECT_EQ(r.code, c.code);
        EXPECT_NE(r.err.find(c.mentions), std::string::npos);
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "one line";
        EXPECT_FALSE(std::filesystem::exists(c.output));
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
}

TEST(ExportCommand, ProgramPrintsHelpAndReportsThroughItsExitCode) {
    TempDir dir;
    const std::string cmd = std::string(TERVASKO_EXPORT_BIN) + " --help > " + dir.file("help.txt");
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    const auto help = testing::readBytes(dir.file("help.txt"));
    EXPECT_NE(std::string(help.begin(), help.end()).find("Usage: tervasko-export"),
              std::string::npos);

    const std::string bad = std::string(TERVASKO_EXPORT_BIN) + " " + dir.file("none.tvk") + " " +
                            dir.file("x.dxf") + " 2> " + dir.file("err.txt");
    const int status = std::system(bad.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kExitFailed);
}

int px(double mm, int dpi) {
    return static_cast<int>(Round(mm * dpi / MmPerInch));
}

int greyPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == 0x808080;
    return n;
}

TEST(ExportCommand, WritesPicturesAndPdfOfTheDrawingsSheets) {
    TempDir dir;
    const std::string in = writeSampleDrawing(dir, 2);

    CommandResult r = run({in, dir.file("out.bmp")});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_TRUE(r.err.empty());
    const QImage bmp(QString::fromStdString(dir.file("out.bmp")));
    EXPECT_EQ(bmp.size(), QSize(1240, 1754)) << "the first sheet at 150 dpi";
    EXPECT_EQ(bmp.pixel(px(60, 150), px(50, 150)) & 0xFFFFFF, 0xFFFFFFu);

    r = run({"--sheet", "2", in, "--dpi", "300", dir.file("out.PNG")});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    QImageReader reader(QString::fromStdString(dir.file("out.PNG")));
    EXPECT_EQ(reader.format(), "png");
    const QImage png = reader.read();
    EXPECT_EQ(png.size(), QSize(2480, 3508));
    EXPECT_EQ(png.pixel(px(60, 300), px(50, 300)) & 0xFFFFFF, 0u) << "the second sheet's line";

    r = run({in, dir.file("out.pdf")});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    const testing::PdfInfo info = testing::ReadPdfInfo(dir.file("out.pdf"));
    EXPECT_EQ(info.pages, 2);
    EXPECT_NEAR(info.widthPt, 210 * 72 / 25.4, 0.6);
    EXPECT_NEAR(info.heightPt, 297 * 72 / 25.4, 0.6);
    const QImage page2 = testing::RenderPdfPage(dir.file("out.pdf"), 2, 100, dir.file("page2"));
    const auto at = [](double mm) { return static_cast<int>(std::lround(mm * 100 / 25.4)); };
    EXPECT_TRUE(testing::DarkNear(page2, at(60), at(50)));
    EXPECT_FALSE(testing::DarkNear(page2, at(60), at(60)));

    // The instruments as the drawing was last shown, unless left out.
    TDrawing d;
    DrawingSettings shown;
    Error error = WriteDrawingFile(dir.file("shown.tvk"), d, shown);
    ASSERT_FALSE(error) << EnglishText(error);
    ASSERT_EQ(run({"--dpi", "50", dir.file("shown.tvk"), dir.file("shown.png")}).code, kExitOk);
    EXPECT_GT(greyPixels(QImage(QString::fromStdString(dir.file("shown.png")))), 100);
    ASSERT_EQ(
        run({"--no-instruments", "--dpi", "50", dir.file("shown.tvk"), dir.file("bare.png")}).code,
        kExitOk);
    EXPECT_EQ(greyPixels(QImage(QString::fromStdString(dir.file("bare.png")))), 0);
}

TEST(ExportCommand, WritesOneSheetAsSvgWithOrWithoutInstruments) {
    TempDir dir;
    const std::string in = writeSampleDrawing(dir, 2);
    CommandResult r = run({"--sheet", "2", in, dir.file("out.SVG")});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    std::ifstream file(dir.file("out.SVG"));
    const std::string svg((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(svg.find("width=\"210mm\" height=\"297mm\" viewBox=\"0 0 210 297\""),
              std::string::npos)
        << svg;
    EXPECT_NE(svg.find("stroke-width=\"0.5\""), std::string::npos) << svg;
    EXPECT_NE(svg.find("d=\"M10 50 L110 50\""), std::string::npos) << "the second sheet's line";
    EXPECT_EQ(svg.find("M10 20"), std::string::npos) << "the first sheet's line";

    TDrawing d;
    DrawingSettings shown;
    Error error = WriteDrawingFile(dir.file("shown.tvk"), d, shown);
    ASSERT_FALSE(error) << EnglishText(error);
    const auto greyStrokes = [&](const std::vector<std::string>& args) {
        EXPECT_EQ(run(args).code, kExitOk);
        std::ifstream f(args.back());
        const std::string s((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        EXPECT_NE(s.find("</svg>"), std::string::npos);
        return s.find("stroke=\"#808080\"") != std::string::npos;
    };
    EXPECT_TRUE(greyStrokes({dir.file("shown.tvk"), dir.file("shown.svg")}));
    EXPECT_FALSE(greyStrokes({"--no-instruments", dir.file("shown.tvk"), dir.file("bare.svg")}));
}

TEST(ExportCommand, PictureAndPdfMistakesNameTheProblemAndWriteNothing) {
    TempDir dir;
    const std::string good = writeSampleDrawing(dir, 2);
    const std::string huge = writeSampleDrawing(dir, 1, "huge.tvk", 1e6);  // 25 km wide
    const std::string tiny = writeSampleDrawing(dir, 1, "tiny.tvk", 1e-300);
    std::filesystem::create_directory(dir.file("taken.png"));
    const std::string png = dir.file("out.png"), pdf = dir.file("out.pdf");
    const std::string missing = dir.file("no/such/folder/out.png");

    const struct {
        std::vector<std::string> args;
        int code;
        std::string mentions;
    } cases[] = {
        {{"--sheet", "3", good, png}, kExitFailed, "in.tvk\" has 2 sheets; there is no sheet 3"},
        {{"--sheet", "2", huge, png}, kExitFailed, "huge.tvk\" has 1 sheet; there is no sheet 2"},
        {{"--dpi", "abc", good, png},
         kExitUsage,
         "--dpi needs a whole number from 10 to 4000, not \"abc\""},
        {{"--dpi", "9", good, png}, kExitUsage, "--dpi"},
        {{"--dpi", "4001", good, png}, kExitUsage, "--dpi"},
        {{"--dpi", "150x", good, png}, kExitUsage, "--dpi"},
        {{good, png, "--dpi"}, kExitUsage, "--dpi needs a number"},
        {{"--sheet", "0", good, png}, kExitUsage, "--sheet"},
        {{"--dpi", "300", good, pdf}, kExitUsage, "out.pdf\": --dpi and --sheet apply only to"},
        {{"--sheet", "1", good, dir.file("out.dxf")}, kExitUsage, "out.dxf"},
        {{"--colour", good, png}, kExitUsage, "--colour"},
        {{"--dpi", "4000", good, png},
         kExitFailed,
         "33071 x 46772 pixels at 4000 dpi is too large"},
        {{huge, png}, kExitFailed, "huge.tvk\": the sheet is larger than 5000 mm"},
        {{huge, pdf}, kExitFailed, "huge.tvk"},
        {{tiny, png}, kExitFailed, "tiny.tvk\": the sheet is smaller than 1 mm, too small"},
        {{tiny, dir.file("out.svg")}, kExitFailed, "tiny.tvk\": the sheet is smaller than 1 mm"},
        {{tiny, pdf}, kExitFailed, "tiny.tvk\": the sheet is smaller than 1 mm"},
        {{"--size", "64", tiny, png}, kExitFailed, "tiny.tvk\": the sheet is smaller than 1 mm"},
        {{good, missing},
         kExitFailed,
         "Cannot write \"" + missing + "\": No such file or directory"},
        {{good, dir.file("no/such/folder/out.pdf")}, kExitFailed, "no/such/folder/out.pdf"},
        {{good, dir.file("taken.png")}, kExitFailed, "taken.png"},
    };
    for (const auto& c : cases) {
        const CommandResult r = run(c.args);
        SCOPED_TRACE(r.err);
        EXPECT_EQ(r.code, c.code);
        EXPECT_NE(r.err.find(c.mentions), std::string::npos);
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "one line";
    }
    // The three drawings and the folder, nothing else.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("taken.png")));
}

int runShell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ExportCommand, ProgramNeedsNoDisplayAndNeverLeavesHalfAFile) {
    TempDir dir;
    const std::string in = writeSampleDrawing(dir, 2);
    const std::string bin = TERVASKO_EXPORT_BIN;

    EXPECT_EQ(runShell("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_RUNTIME_DIR " +
                       bin + " " + in + " " + dir.file("a.png") + " 2> " + dir.file("err.txt")),
              kExitOk);
    EXPECT_TRUE(testing::readBytes(dir.file("err.txt")).empty());
    EXPECT_EQ(QImage(QString::fromStdString(dir.file("a.png"))).size(), QSize(1240, 1754));

    // Files may not grow beyond a few kilobytes: the picture fails half-way, the old file
    // stays, and no temporary file is left.
    const std::string out = dir.file("old.bmp");
    testing::writeBytes(out, {'o', 'l', 'd'});
    EXPECT_EQ(runShell("trap '' XFSZ; ulimit -f 8; exec " + bin + " " + in + " " + out + " 2> " +
                       dir.file("err.txt")),
              kExitFailed);
    const auto err = testing::readBytes(dir.file("err.txt"));
    EXPECT_NE(std::string(err.begin(), err.end()).find("old.bmp\": File too large"),
              std::string::npos);
    EXPECT_EQ(testing::readBytes(out), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);
}

// A drawing whose export takes many reports: `lines` lines on the first sheet.
std::string writeLinesDrawing(const TempDir& dir, int lines, const std::string& name = "in.tvk") {
    TDrawing d;
    for (int i = 0; i < lines; ++i) {
        TDrawElement* e = d.AppendElement();
        e->Kind = i % 50 ? ekLine : ekCircle;
        e->X1 = 10 + i % 190, e->Y1 = 10 + (i / 190) % 280;
        e->X2 = e->X1 + 3, e->Y2 = e->Y1 + 2;
    }
    DrawingSettings s;
    const std::string path = dir.file(name);
    Error error = WriteDrawingFile(path, d, s);
    EXPECT_FALSE(error) << EnglishText(error);
    return path;
}

// On a terminal the exporter shows what it reads and writes, how far it has come, and wipes
// the line at the end; elsewhere it shows nothing (the other tests find err empty).
TEST(ExportCommand, ShowsItsProgressOnATerminalAndWipesItAfterwards) {
    TempDir dir;
    const std::string in = writeLinesDrawing(dir, 5000);
    std::atomic<int> stop{0};
    WatchedTerminal terminal(stop, "", 0);
    std::ostream shown(&terminal);
    const CommandResult r = run({in, dir.file("out.dxf")}, {&shown, &stop});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_TRUE(r.err.empty());
    const std::string& t = terminal.shown;
    EXPECT_NE(t.find("\rtervasko-export: reading in.tvk 100%"), std::string::npos) << t;
    EXPECT_NE(t.find("\rtervasko-export: writing out.dxf 100%"), std::string::npos) << t;
    EXPECT_NE(t.find("writing out.dxf 20%"), std::string::npos) << "part of the way: " << t;
    // The line is wiped: the last thing shown is blank, back at the line's start.
    const std::size_t lastLine = t.rfind('\r', t.size() - 2);
    ASSERT_NE(lastLine, std::string::npos);
    EXPECT_EQ(t.back(), '\r');
    EXPECT_EQ(t.find_first_not_of(' ', lastLine + 1), t.size() - 1) << t;
}

// Asked to stop while reading or while writing, whatever the output, the exporter writes
// nothing, leaves an old output as it was and nothing beside it, and says why in one line.
TEST(ExportCommand, AStopWhileReadingOrWritingLeavesNothingBehind) {
    TempDir dir;
    const std::string in = writeLinesDrawing(dir, 5000);
    struct Case {
        std::vector<std::string> options;
        std::string out;
    };
    const Case outputs[] = {{{}, "out.dxf"},
                            {{}, "out.svg"},
                            {{"--dpi", "50"}, "out.png"},
                            {{}, "out.pdf"},
                            {{"--dpi", "50"}, "out.bmp"},
                            {{"--size", "256"}, "thumb.png"}};
    for (const Case& c : outputs) {
        for (const char* when : {"reading", "writing"}) {
            for (const int signal : {SIGINT, SIGTERM}) {
                SCOPED_TRACE(c.out + " " + when + " " + std::to_string(signal));
                const std::string out = dir.file(c.out);
                testing::writeBytes(out, {'o', 'l', 'd'});
                const std::set<std::string> before = namesIn(dir.path());
                std::atomic<int> stop{0};
                WatchedTerminal terminal(stop, when, signal);
                std::ostream shown(&terminal);
                std::vector<std::string> args = c.options;
                args.push_back(in);
                args.push_back(out);
                const CommandResult r = run(args, {&shown, &stop});
                EXPECT_EQ(r.code, kExitSignalBase + signal) << r.err;
                const std::string name = signal == SIGINT ? "SIGINT" : "SIGTERM";
                EXPECT_NE(r.err.find("stopped by " + name + "; nothing was written"),
                          std::string::npos)
                    << r.err;
                EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
                EXPECT_EQ(text(testing::readBytes(out)), "old");
                EXPECT_EQ(namesIn(dir.path()), before);
                EXPECT_EQ(terminal.shown.back(), '\r') << "the line is wiped";
            }
        }
    }
}

// The program itself: an interrupt or SIGTERM while it works stops it with nothing written
// and the exit code of the signal. The child is held still while the signal is sent, so
// that it cannot finish in between; the handler runs as soon as it goes on.
TEST(ExportCommand, ProgramStopsOnASignalWithNothingWritten) {
    TempDir dir;
    const std::string in = writeLinesDrawing(dir, 200000);
    const std::string out = dir.file("out.dxf");
    testing::writeBytes(out, {'o', 'l', 'd'});
    const std::set<std::string> before = namesIn(dir.path());
    const std::string err = dir.file("err.txt");

    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        const std::string bin = TERVASKO_EXPORT_BIN;
        const std::string command =
            "exec '" + bin + "' '" + in + "' '" + out + "' 2> '" + err + "'";
        const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
        pid_t child = 0;
        ASSERT_EQ(
            posix_spawn(&child, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
        // Once the drawing is open, the handlers are in place and the work has begun.
        const std::string fds = "/proc/" + std::to_string(child) + "/fd";
        bool reading = false;
        for (int tries = 0; tries < 20000 && !reading; ++tries) {
            std::error_code ec;
            for (const auto& fd : std::filesystem::directory_iterator(fds, ec))
                reading = reading || std::filesystem::read_symlink(fd.path(), ec) == in;
            if (!reading) std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        ASSERT_TRUE(reading) << "the exporter never opened the drawing";
        ::kill(child, SIGSTOP);
        ::kill(child, signal);
        ::kill(child, SIGCONT);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself";
        EXPECT_EQ(WEXITSTATUS(status), kExitSignalBase + signal);
        const std::string said = text(testing::readBytes(err));
        EXPECT_NE(said.find("nothing was written"), std::string::npos) << said;
        EXPECT_EQ(said.find('\r'), std::string::npos) << "no progress line off a terminal";
        EXPECT_EQ(text(testing::readBytes(out)), "old");
        std::filesystem::remove(err);
        EXPECT_EQ(namesIn(dir.path()), before);
    }
}

}  // namespace
}  // namespace tervasko
