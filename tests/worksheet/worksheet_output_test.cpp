// The worksheet on paper and in files: pictures, SVG and the exporter draw its pages beneath
// the drawing at true scale; --no-worksheet and a drawing without one leave everything as it
// was.
#include <gtest/gtest.h>

#include <QImage>
#include <sstream>

#include "cli/exportcli.h"
#include "document/drawingfile.h"
#include "export/output/sheetpicture.h"
#include "export/output/sheetsvg.h"
#include "support/tempdir.h"
#include "support/worksheetpdf.h"
#include "worksheet/worksheet.h"

namespace tervasko {
namespace {

using testing::kPdfLine;
using testing::PdfBytes;
using testing::WriteTestPdf;

// A drawing on a two-page worksheet, its sheets the pages' size.
void onWorksheet(TDrawing& d, const PdfBytes& pdf) {
    d.Worksheet = std::make_shared<const PdfBytes>(pdf);
    WorksheetDocument doc;
    ASSERT_TRUE(doc.Open(d.Worksheet));
    d.PageWidthInch = doc.PageSize(0).widthMm / MmPerInch;
    d.PageHeightInch = doc.PageSize(0).heightMm / MmPerInch;
}

bool darkNear(const QImage& image, double xMm, double yMm, double dpi) {
    const double s = dpi / MmPerInch;
    for (int dy = -2; dy <= 2; ++dy)
        if (qGray(image.pixel(static_cast<int>(xMm * s), static_cast<int>(yMm * s) + dy)) < 128)
            return true;
    return false;
}

// A picture of the second sheet shows the second page's line where it lies on the page
// (61 mm down), at two resolutions, and not without the worksheet.
TEST(WorksheetOutput, PicturesShowThePageOfTheirSheet) {
    TDrawing d;
    onWorksheet(d, WriteTestPdf(200, 250, 2));
    for (const int dpi : {96, 300}) {
        SCOPED_TRACE(dpi);
        const QImage picture = RenderSheetPicture(d, 1, dpi, SheetInstruments{});
        ASSERT_FALSE(picture.isNull());
        EXPECT_TRUE(darkNear(picture, 60, kPdfLine.y1 + 1, dpi));
        EXPECT_FALSE(darkNear(picture, 60, kPdfLine.y1 + 5, dpi));
        SheetInstruments without;
        without.worksheet = false;
        EXPECT_FALSE(darkNear(RenderSheetPicture(d, 1, dpi, without), 60, kPdfLine.y1 + 1, dpi));
    }
}

// The SVG holds the page as an embedded picture of the page's size in mm; without a worksheet
// the SVG is what it was, without the picture or its namespace.
TEST(WorksheetOutput, SvgEmbedsThePage) {
    TDrawing d;
    onWorksheet(d, WriteTestPdf(200, 250, 2));
    const std::string svg = SheetSvg(d, 0, SheetInstruments{});
    const std::size_t image = svg.find("<image x=\"0\" y=\"0\" width=\"");
    ASSERT_NE(image, std::string::npos);
    EXPECT_NE(svg.find("xlink:href=\"data:image/png;base64,iVBORw0KGgo", image), std::string::npos);
    EXPECT_NE(svg.find("xmlns:xlink=\"http://www.w3.org/1999/xlink\""), std::string::npos);
    EXPECT_LT(svg.find("fill=\"#ffffff\""), image);  // on the paper, beneath the drawing

    SheetInstruments without;
    without.worksheet = false;
    const std::string left = SheetSvg(d, 0, without);
    TDrawing plain;
    plain.PageWidthInch = d.PageWidthInch;
    plain.PageHeightInch = d.PageHeightInch;
    EXPECT_EQ(left, SheetSvg(plain, 0, without));
    EXPECT_EQ(left.find("xlink"), std::string::npos);
    EXPECT_EQ(left.find("<image"), std::string::npos);
}

// The exporter draws the worksheet into a picture, and leaves it out with --no-worksheet.
TEST(WorksheetOutput, TheExporterDrawsItUnlessTold) {
    testing::TempDir dir;
    TDrawing d;
    onWorksheet(d, WriteTestPdf(200, 250, 2));
    ASSERT_FALSE(WriteDrawingFile(dir.file("sheet.tvk"), d, DrawingSettings{}));
    for (const bool left : {false, true}) {
        SCOPED_TRACE(left);
        std::vector<std::string> args{"--dpi", "100", "--no-instruments"};
        if (left) args.push_back("--no-worksheet");
        args.push_back(dir.file("sheet.tvk"));
        args.push_back(dir.file("sheet.png"));
        std::ostringstream out, err;
        ASSERT_EQ(RunExportCommand(args, out, err), kExitOk) << err.str();
        QImage picture(QString::fromStdString(dir.file("sheet.png")));
        ASSERT_FALSE(picture.isNull());
        EXPECT_EQ(darkNear(picture, 60, kPdfLine.y1, 100), !left);
    }
}

}  // namespace
}  // namespace tervasko
