// tervasko-export --size: the thumbnails that file managers ask for.
#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <filesystem>
#include <sstream>

#include "cli/exportcli.h"
#include "document/drawingfile.h"
#include "platform/numeric.h"
#include "support/tempdir.h"

namespace tervasko {
namespace {

using testing::TempDir;

int run(const std::vector<std::string>& args, std::string* err = nullptr) {
    std::ostringstream out, errors;
    const int code = RunExportCommand(args, out, errors);
    if (err) *err = errors.str();
    return code;
}

// One black line 10 mm wide at 20 mm from the top of each of two sheets, 2 mm thick.
std::string writeDrawing(const TempDir& dir, double widthMm, double heightMm) {
    TDrawing d;
    d.PageWidthInch = widthMm / MmPerInch;
    d.PageHeightInch = heightMm / MmPerInch;
    for (int sheet = 0; sheet < 2; ++sheet) {
        TDrawElement* e = d.AppendElement();
        e->Kind = ekLine;
        e->Width = 2;
        const double y = sheet * heightMm + (sheet == 0 ? 20 : heightMm - 20);
        e->X1 = 10, e->Y1 = y, e->X2 = widthMm - 10, e->Y2 = y;
    }
    DrawingSettings s;
    s.PageCount = 2;
    s.RulerShown = s.ProtractorShown = s.CompassShown = false;
    const std::string path = dir.file("in.tvk");
    Error error = WriteDrawingFile(path, d, s);
    EXPECT_FALSE(error) << EnglishText(error);
    return path;
}

// The darkest row of the picture's middle column.
int darkestRow(const QImage& image) {
    int best = -1, bestGray = 256;
    for (int y = 0; y < image.height(); ++y) {
        const int gray = qGray(image.pixel(image.width() / 2, y));
        if (gray < bestGray) best = y, bestGray = gray;
    }
    return bestGray < 160 ? best : -1;
}

TEST(Thumbnail, LongerSideIsTheAskedSizeInEitherOrientationAndThePictureIsAPng) {
    const struct {
        double width, height;
        int size;
        QSize expected;
    } cases[] = {
        {210, 297, 128, {90, 128}},   // A4 portrait
        {297, 210, 256, {256, 181}},  // landscape
        {5000, 100, 64, {64, 1}},     // a strip far wider than the lowest resolution allows
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        TempDir dir;
        const std::string in = writeDrawing(dir, c.width, c.height);
        // A thumbnailer's output name need not end in ".png".
        const std::string out = dir.file("thumbnail-output");
        std::string err;
        ASSERT_EQ(run({"--size", std::to_string(c.size), in, out}, &err), kExitOk) << err;
        QImageReader reader(QString::fromStdString(out));
        EXPECT_EQ(reader.format(), "png");
        const QImage image = reader.read();
        // The longer side exactly; the other as the sheet's proportion gives it, give or
        // take the rounding of the sheet's pixels.
        EXPECT_EQ(std::max(image.width(), image.height()), c.size);
        EXPECT_NEAR(image.width(), c.expected.width(), 1);
        EXPECT_NEAR(image.height(), c.expected.height(), 1);
    }
}

TEST(Thumbnail, ShowsTheFirstSheetUnlessAnotherIsAsked) {
    TempDir dir;
    const std::string in = writeDrawing(dir, 210, 297);
    ASSERT_EQ(run({"--size", "297", in, dir.file("first.png")}), kExitOk);
    ASSERT_EQ(run({"--size", "297", "--sheet", "2", in, dir.file("second.png")}), kExitOk);
    // 297 pixels for 297 mm: the line 20 mm from the top is near row 20 on the first sheet
    // and 20 mm from the bottom on the second.
    const int first = darkestRow(QImage(QString::fromStdString(dir.file("first.png"))));
    const int second = darkestRow(QImage(QString::fromStdString(dir.file("second.png"))));
    EXPECT_NEAR(first, 20, 2);
    EXPECT_NEAR(second, 277, 2);
}

TEST(Thumbnail, MistakesExitWithTheirCodeAndWriteNothing) {
    TempDir dir;
    const std::string in = writeDrawing(dir, 210, 297);
    const std::string out = dir.file("t.png");
    const struct {
        std::vector<std::string> args;
        int code;
        const char* says;
    } cases[] = {
        {{"--size", "0", in, out}, kExitUsage, "--size needs a whole number from 16 to 4096"},
        {{"--size", "4097", in, out}, kExitUsage, "\"4097\""},
        {{"--size", "12x", in, out}, kExitUsage, "\"12x\""},
        {{"--size", in, out}, kExitUsage, "--size needs a whole number"},
        {{"--size", "64", "--dpi", "100", in, out}, kExitUsage, "exclude each other"},
        {{"--size", "64", "--sheet", "3", in, out}, kExitFailed, "has 2 sheets"},
        {{"--size", "64", dir.file("missing.tvk"), out}, kExitFailed, "missing.tvk"},
        {{"--size", "64", in, dir.file("no-folder/t.png")}, kExitFailed, "Cannot write"},
    };
    for (const auto& c : cases) {
        std::string err;
        EXPECT_EQ(run(c.args, &err), c.code) << c.says;
        EXPECT_NE(err.find(c.says), std::string::npos) << err;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.says;
    }
}

}  // namespace
}  // namespace tervasko
