// The worksheet module: which PDF files it takes, and that a page is rendered at true scale
// and within its pixel budget.
#include "worksheet/worksheet.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>

#include "document/drawingfile.h"
#include "support/tempdir.h"
#include "support/worksheetpdf.h"

namespace tervasko {
namespace {

using testing::HandPdf;
using testing::PdfBytes;
using testing::WriteTestPdf;

constexpr double kPointsPerMm = 72 / MmPerInch;

// Every kind of file that cannot lie beneath the sheets is refused with its own reason.
TEST(Worksheet, RefusesWhatCannotLieBeneathTheSheets) {
    const PdfBytes good = WriteTestPdf(210, 297);
    PdfBytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 3));
    PdfBytes garbage{'%', 'P', 'D', 'F', '-', '1', '.', '7', '\n'};
    garbage.insert(garbage.end(), 4000, 0xC3);
    const std::string png = "\x89PNG\r\n\x1a\n";
    const std::string encrypt = "<< /Filter /Standard /V 1 /R 2 /P -4 /O <" + std::string(64, 'A') +
                                "> /U <" + std::string(64, '7') + "> >>";
    struct Case {
        const char* name;
        PdfBytes bytes;
        ErrorCode code;
    };
    const Case cases[] = {
        {"a picture", PdfBytes(png.begin(), png.end()), ErrorCode::WorksheetNoPdf},
        {"empty", {}, ErrorCode::WorksheetNoPdf},
        {"a PDF mark and nothing of a PDF", garbage, ErrorCode::WorksheetBroken},
        {"cut short", cut, ErrorCode::WorksheetBroken},
        {"a password", HandPdf({{595, 842}}, {encrypt}, "/Encrypt 4 0 R /ID [<00> <00>]"),
         ErrorCode::WorksheetEncrypted},
        // Qt PDF refuses a page tree without pages as damaged.
        {"no pages", HandPdf({}), ErrorCode::WorksheetBroken},
        {"a page of five metres", HandPdf({{595, 842}, {5000 * kPointsPerMm, 842}}),
         ErrorCode::WorksheetPageSize},
        {"a page of almost no size", HandPdf({{0.01, 0.01}}), ErrorCode::WorksheetPageSize},
        {"a page thinner than a millimetre", HandPdf({{0.5 * kPointsPerMm, 842}}),
         ErrorCode::WorksheetPageSize},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<WorksheetInfo> info = CheckWorksheet(c.bytes);
        ASSERT_FALSE(info.ok());
        EXPECT_EQ(info.error().Code, c.code) << EnglishText(info.error());
    }
    const Result<WorksheetInfo> sized = CheckWorksheet(HandPdf({{595, 842}, {0.01, 842}}));
    ASSERT_FALSE(sized.ok());
    EXPECT_EQ(sized.error().Args[0], "2");  // names the page

    // One byte over the limit is refused before Qt PDF sees it.
    PdfBytes huge(kMaxWorksheetBytes + 1, ' ');
    std::copy(good.begin(), good.end(), huge.begin());
    EXPECT_EQ(CheckWorksheet(huge).error().Code, ErrorCode::WorksheetTooLarge);
}

// Sizes come from the pages, at one point a 1/72 inch; of ten thousand pages only the first
// ten are measured, and the count says how many there are.
TEST(Worksheet, MeasuresTheFirstTenPages) {
    const Result<WorksheetInfo> a4 = CheckWorksheet(WriteTestPdf(210, 297, 2));
    ASSERT_TRUE(a4.ok()) << EnglishText(a4.error());
    EXPECT_EQ(a4->pageCount, 2);
    ASSERT_EQ(a4->pages.size(), 2u);
    EXPECT_NEAR(a4->pages[1].widthMm, 210, 0.4);  // the writer rounds to whole points
    EXPECT_NEAR(a4->pages[1].heightMm, 297, 0.4);

    std::vector<std::pair<double, double>> many(10000, {100 * kPointsPerMm, 50 * kPointsPerMm});
    many[9] = {300 * kPointsPerMm, 200 * kPointsPerMm};
    many[10] = {0, 0};  // beyond the tenth: never shown, never refused
    const Result<WorksheetInfo> info = CheckWorksheet(HandPdf(many));
    ASSERT_TRUE(info.ok()) << EnglishText(info.error());
    EXPECT_EQ(info->pageCount, 10000);
    ASSERT_EQ(info->pages.size(), 10u);
    EXPECT_NEAR(info->pages[9].widthMm, 300, 1e-4);
    EXPECT_NEAR(info->pages[9].heightMm, 200, 1e-4);
}

// The rows where a horizontal dark line crosses column x.
std::vector<int> darkRows(const QImage& image, int x) {
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y)
        if (qGray(image.pixel(x, y)) < 128) rows.push_back(y);
    return rows;
}

// A page lies at true scale: the line 60 mm down the second page (61 mm: each page has it a
// millimetre lower) from 40 to 140 mm, at two scales; a page rendered with more pixels than
// the budget is rendered smaller and drawn at its true size.
TEST(Worksheet, RendersAPageAtTrueScale) {
    WorksheetDocument doc;
    ASSERT_TRUE(doc.Open(std::make_shared<const PdfBytes>(WriteTestPdf(210, 297, 2))));
    ASSERT_EQ(doc.PageCount(), 2);
    for (const double s : {96 / MmPerInch, 2 * 96 / MmPerInch, 30.0}) {
        SCOPED_TRACE(s);
        const QImage page = doc.Render(1, s);
        const QSize full = WorksheetPagePixels(doc, 1, s);
        QImage sheet(full, QImage::Format_RGB32);
        sheet.fill(Qt::white);
        QPainter p(&sheet);
        DrawWorksheetImage(p, page, doc, 1, s, sheet.rect());
        p.end();
        EXPECT_LE(static_cast<std::int64_t>(page.width()) * page.height(), kMaxWorksheetPixels);
        const std::vector<int> rows = darkRows(sheet, static_cast<int>(50 * s));  // no circle there
        ASSERT_FALSE(rows.empty());
        const double mid = (rows.front() + rows.back() + 1) / 2.0;
        EXPECT_NEAR(mid, 61 * s, 1.0);
        // Ends at 40 and 140 mm.
        const int y = static_cast<int>(mid);
        int left = 0, right = sheet.width() - 1;
        while (left < sheet.width() && qGray(sheet.pixel(left, y)) >= 128) ++left;
        while (right > 0 && qGray(sheet.pixel(right, y)) >= 128) --right;
        EXPECT_NEAR(left, 40 * s, 0.15 * s + 1);
        EXPECT_NEAR(right + 1, 140 * s, 0.15 * s + 1);
    }
    EXPECT_TRUE(doc.Render(2, 4).isNull());  // no third page
}

// A part drawn alone is the same as that part of the whole page drawn at once.
TEST(Worksheet, APartIsThePageThere) {
    WorksheetDocument doc;
    ASSERT_TRUE(doc.Open(std::make_shared<const PdfBytes>(WriteTestPdf(210, 297))));
    const double s = 4;
    const QImage page = doc.Render(0, s);
    QImage whole(840, 1188, QImage::Format_RGB32), part(840, 1188, QImage::Format_RGB32);
    whole.fill(Qt::white);
    part.fill(Qt::white);
    {
        QPainter p(&whole);
        DrawWorksheetImage(p, page, doc, 0, s, whole.rect());
    }
    const QRect area(100, 200, 500, 100);  // the line at 60 mm (240 px), from 160 px on
    {
        QPainter p(&part);
        DrawWorksheetImage(p, page, doc, 0, s, area);
    }
    EXPECT_EQ(part.copy(area), whole.copy(area));
    EXPECT_FALSE(darkRows(part.copy(area), 150).empty());
    EXPECT_TRUE(darkRows(part, 50).empty());  // nothing outside the area
}

// A file on disk: read whole and checked; a file too large for a worksheet is told as such,
// naming the file.
TEST(Worksheet, ReadsAFile) {
    testing::TempDir dir;
    const PdfBytes pdf = WriteTestPdf(148, 210);
    testing::writeBytes(dir.file("sheet.pdf"), pdf);
    const Result<WorksheetFile> read = ReadWorksheetFile(dir.file("sheet.pdf"));
    ASSERT_TRUE(read.ok()) << EnglishText(read.error());
    EXPECT_EQ(*read->bytes, pdf);
    EXPECT_NEAR(read->info.pages[0].widthMm, 148, 0.4);

    testing::writeBytes(dir.file("big.pdf"), PdfBytes(kMaxWorksheetBytes + 1, '%'));
    const Result<WorksheetFile> big = ReadWorksheetFile(dir.file("big.pdf"));
    ASSERT_FALSE(big.ok());
    EXPECT_EQ(big.error().Code, ErrorCode::WorksheetTooLarge);
    EXPECT_EQ(big.error().File, dir.file("big.pdf"));
    EXPECT_FALSE(ReadWorksheetFile(dir.file("missing.pdf")).ok());
}

}  // namespace
}  // namespace tervasko
