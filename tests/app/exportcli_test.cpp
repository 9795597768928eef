#include "cli/exportcli.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "document/drawingfile.h"
#include "export/dxfwriter.h"
#include "support/tempdir.h"

namespace tervasko {
namespace {

using testing::TempDir;

struct CommandResult {
    int code;
    std::string out, err;
};

CommandResult run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = RunExportCommand(args, out, err);
    return {code, out.str(), err.str()};
}

std::string writeSampleDrawing(const TempDir& dir, double pages) {
    TDrawing d;
    TDrawElement* e = d.AppendElement();
    e->Kind = ekLine;
    e->X1 = 10, e->Y1 = 20, e->X2 = 110, e->Y2 = 20;
    DrawingSettings s;
    s.PageCount = pages;
    const std::string path = dir.file("in.tvk");
    std::string error;
    EXPECT_TRUE(WriteDrawingFile(path, d, s, &error)) << error;
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
    std::string error;
    ASSERT_TRUE(ReadDrawingFile(in, d, s, &error));
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
    EXPECT_NE(std::string(oldDxf.begin(), oldDxf.end()).find("\r\n20\r\n277\r\n"), std::string::npos);
}

TEST(ExportCommand, FailuresNameTheFileExitNonZeroAndLeaveNoOutput) {
    TempDir dir;
    const std::string good = writeSampleDrawing(dir, 1);
    const std::string broken = dir.file("broken.tvk");
    testing::writeBytes(broken, {0, 0, 0, 0x80, 1, 2});
    const std::string out = dir.file("out.dxf");

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
        {{good, dir.file("out.svgz")}, kExitUsage, "out.svgz", dir.file("out.svgz")},
        {{good, dir.file("no/such/folder/out.dxf")}, kExitFailed, "no/such/folder/out.dxf",
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
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(ExportCommand, ProgramPrintsHelpAndReportsThroughItsExitCode) {
    TempDir dir;
    const std::string cmd = std::string(TERVASKO_EXPORT_BIN) + " --help > " + dir.file("help.txt");
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    const auto help = testing::readBytes(dir.file("help.txt"));
    EXPECT_NE(std::string(help.begin(), help.end()).find("Usage: tervasko-export"), std::string::npos);

    const std::string bad = std::string(TERVASKO_EXPORT_BIN) + " " + dir.file("none.tvk") + " " +
                            dir.file("x.dxf") + " 2> " + dir.file("err.txt");
    const int status = std::system(bad.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kExitFailed);
}

}  // namespace
}  // namespace tervasko
