#include <gtest/gtest.h>

#include <QPrinter>
#include <filesystem>

#include "app/dialogs/printcommands.h"
#include "export/output/sheetpages.h"
#include "output/pdfcheck.h"
#include "platform/numeric.h"
#include "support/cancelprogress.h"
#include "support/tempdir.h"

namespace tervasko {
namespace {

using testing::TempDir;

constexpr double kPointsPerMm = 72 / 25.4;  // PDF points
constexpr int kCheckDpi = 100;              // pages are looked at with this many pixels per inch

int at(double mm) {
    return static_cast<int>(std::lround(mm * kCheckDpi / 25.4));
}

void addLine(TDrawing& d, double x1, double y1, double x2, double y2, double widthMm) {
    TDrawElement* e = d.AppendElement();
    e->Kind = ekLine;
    e->Width = widthMm;
    e->X1 = x1, e->Y1 = y1, e->X2 = x2, e->Y2 = y2;
}

TEST(Printing, PrintsToAPdfFileWithoutAnyPrinterOnePagePerSheetAtTrueScale) {
    TempDir dir;
    TDrawing d;
    d.PageWidthInch = 420 / MmPerInch;  // A3 landscape
    d.PageHeightInch = 297 / MmPerInch;
    addLine(d, 10, 297 + 20, 110, 297 + 20, 0.5);  // on the second of three sheets

    TPrintCommands commands(nullptr);
    std::vector<std::string> messages;
    commands.ShowMessage = [&](const std::string& m) { messages.push_back(m); };
    std::string file = dir.file("all.pdf");
    int from = 0, to = 0;
    bool accept = true;
    commands.PrintDialog1 = [&](QPrinter& printer, int pageCount) {
        EXPECT_EQ(pageCount, 3);
        // The paper proposed follows the sheet.
        EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
        EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A3);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(file));
        if (from > 0) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(from, to);
        }
        return accept;
    };
    ASSERT_TRUE(commands.RunPrint(d, 3, {}));
    const testing::PdfInfo info = testing::ReadPdfInfo(file);
    EXPECT_EQ(info.pages, 3);
    EXPECT_NEAR(info.widthPt, 420 * kPointsPerMm, 0.6);
    EXPECT_NEAR(info.heightPt, 297 * kPointsPerMm, 0.6);
    const QImage first = testing::RenderPdfPage(file, 1, kCheckDpi, dir.file("p1"));
    const QImage second = testing::RenderPdfPage(file, 2, kCheckDpi, dir.file("p2"));
    ASSERT_FALSE(second.isNull());
    EXPECT_TRUE(testing::DarkNear(second, at(60), at(20)));
    EXPECT_FALSE(testing::DarkNear(second, at(60), at(25)));
    EXPECT_FALSE(testing::DarkNear(second, at(115), at(20))) << "the line ends at 110 mm";
    EXPECT_FALSE(testing::DarkNear(first, at(60), at(20)));

    // The page range chosen in the dialog.
    file = dir.file("range.pdf");
    from = 2, to = 3;
    ASSERT_TRUE(commands.RunPrint(d, 3, {}));
    EXPECT_EQ(testing::ReadPdfInfo(file).pages, 2);
    EXPECT_TRUE(testing::DarkNear(testing::RenderPdfPage(file, 1, kCheckDpi, dir.file("r1")),
                                  at(60), at(20)));

    // Cancelled: nothing.
    file = dir.file("cancelled.pdf");
    accept = false;
    EXPECT_FALSE(commands.RunPrint(d, 3, {}));
    EXPECT_FALSE(std::filesystem::exists(file));

    // A folder that does not exist: a message naming the file, and no file.
    file = dir.file("missing/x.pdf");
    accept = true;
    from = 0;
    EXPECT_FALSE(commands.RunPrint(d, 3, {}));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind(std::string(kCannotSaveText) + "\n" + file, 0), 0u) << messages[0];
}

// "Abbrechen" while printing to a file: the old file stays, nothing else is left, and no
// message is shown.
TEST(Printing, CancelledInItsProgressDialogLeavesTheOldFileAndNoOther) {
    TempDir dir;
    TDrawing d;
    for (int i = 0; i < 3000; ++i) addLine(d, 10, 297 + 20 + i * 0.05, 110, 297 + 20, 0.5);
    const std::string file = dir.file("old.pdf");
    testing::writeBytes(file, {'o', 'l', 'd'});
    TPrintCommands commands(nullptr);
    std::vector<std::string> messages;
    commands.ShowMessage = [&](const std::string& m) { messages.push_back(m); };
    commands.PrintDialog1 = [&](QPrinter& printer, int) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(file));
        return true;
    };
    testing::CancelProgressDialog user;
    EXPECT_FALSE(commands.RunPrint(d, 3, {}));
    EXPECT_TRUE(user.Clicked());
    EXPECT_EQ(user.Label().toStdString(), "Drucken...\n" + file);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(testing::readBytes(file), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(Printing, ASheetLargerThanThePaperIsPrintedInPiecesOfThePrintableArea) {
    TempDir dir;
    // A4 paper with 10 mm margins: 190 × 277 mm printable.
    const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                         QPageLayout::Millimeter);
    // Each case draws a short line through (x, y) on the sheet and finds it on page `page` at
    // (px, py) on the paper.
    const struct {
        double widthMm, heightMm;
        int pages;
        double x, y;
        int page;
        double px, py;
    } cases[] = {
        // Fits the paper: one page, the sheet's corner on the paper's, margins or not.
        {210, 297, 1, 100, 150, 1, 100, 150},
        // Landscape on portrait paper: two pieces side by side, each printed from the
        // printable area's corner (10, 10) mm; the second begins 190 mm into the sheet.
        {297, 210, 2, 250, 100, 2, 250 - 190 + 10, 100 + 10},
        // A3: four pieces, the last beginning at (190, 277) mm.
        {297, 420, 4, 250, 400, 4, 250 - 190 + 10, 400 - 277 + 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.widthMm) + " x " + std::to_string(c.heightMm));
        TDrawing d;
        d.PageWidthInch = c.widthMm / MmPerInch;
        d.PageHeightInch = c.heightMm / MmPerInch;
        addLine(d, c.x - 5, c.y, c.x + 5, c.y, 1);
        const std::string file = dir.file("tiles.pdf");
        ASSERT_TRUE(WriteDrawingPdf(file, d, 0, 0, {}, &a4).ok());
        const testing::PdfInfo info = testing::ReadPdfInfo(file);
        EXPECT_EQ(info.pages, c.pages);
        EXPECT_NEAR(info.widthPt, 210 * kPointsPerMm, 0.6);
        const QImage page = testing::RenderPdfPage(file, c.page, kCheckDpi, dir.file("page"));
        ASSERT_FALSE(page.isNull());
        EXPECT_TRUE(testing::DarkNear(page, at(c.px), at(c.py)));
        EXPECT_FALSE(testing::DarkNear(page, at(c.px), at(c.py + 10)));
    }
}

}  // namespace
}  // namespace tervasko
