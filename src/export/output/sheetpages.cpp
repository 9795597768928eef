#include "export/output/sheetpages.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>

#include "export/output/safedevice.h"
#include "platform/numeric.h"

namespace tervasko {
namespace {

QPageSize sheetPageSize(const TDrawing& drawing, QPageSize::SizeMatchPolicy policy) {
    const double w = drawing.PageWidthInch, h = drawing.PageHeightInch;
    return QPageSize(QSizeF(std::min(w, h), std::max(w, h)), QPageSize::Inch, QString(), policy);
}

QPageLayout::Orientation sheetOrientation(const TDrawing& drawing) {
    return drawing.PageWidthInch > drawing.PageHeightInch ? QPageLayout::Landscape
                                                          : QPageLayout::Portrait;
}

int ceilDiv(int a, int b) {
    return b > 0 ? (a + b - 1) / b : 1;
}

}  // namespace

QPageLayout SheetPageLayout(const TDrawing& drawing) {
    return QPageLayout(sheetPageSize(drawing, QPageSize::ExactMatch), sheetOrientation(drawing),
                       QMarginsF(0, 0, 0, 0));
}

void SetPaperToSheet(QPrinter& printer, const TDrawing& drawing) {
    printer.setPageSize(sheetPageSize(drawing, QPageSize::FuzzyMatch));
    printer.setPageOrientation(sheetOrientation(drawing));
}

int PutSheetsOnPages(QPagedPaintDevice& device, QPainter& painter, int dpi, TDrawing& drawing,
                     int first, int last, const SheetInstruments& instruments,
                     ProgressCounter* progress) {
    const QPageLayout layout = device.pageLayout();
    const QRect paper = layout.fullRectPixels(dpi);
    const QRect printable = layout.paintRectPixels(dpi);  // the painter's origin is its corner
    const QSize sheet = SheetPixelSize(drawing, dpi);
    const int slack = static_cast<int>(Round(kPaperSlackMm * dpi / MmPerInch));
    const bool fits = printable.isEmpty() || (sheet.width() <= paper.width() + slack &&
                                              sheet.height() <= paper.height() + slack);
    const QSize piece = fits ? sheet : printable.size();
    const QPoint corner = fits ? -printable.topLeft() : QPoint(0, 0);
    const int columns = ceilDiv(sheet.width(), piece.width());
    const int rows = ceilDiv(sheet.height(), piece.height());

    const auto pieceOf = [&](int r, int c) {
        return QRect(QPoint(c * piece.width(), r * piece.height()), piece);
    };
    if (progress && progress->Reporting()) {
        std::uint64_t total = 0;
        for (int s = first; s <= last; ++s)
            for (int r = 0; r < rows; ++r)
                for (int c = 0; c < columns; ++c)
                    total +=
                        SheetWorkUnits(drawing, dpi, s, SheetArea(drawing, dpi, pieceOf(r, c)));
        progress->SetTotal(total);
    }

    int pages = 0;
    for (int s = first; s <= last; ++s) {
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                if (progress && progress->Stopped()) return pages;
                if (pages > 0 && !device.newPage()) return -1;
                ++pages;
                const QPoint from(c * piece.width(), r * piece.height());
                painter.save();
                painter.translate(corner - from);
                RenderSheet(painter, dpi, drawing, s, instruments, pieceOf(r, c), progress);
                painter.restore();
            }
        }
    }
    return pages;
}

OutputResult WriteDrawingPdf(const std::string& path, TDrawing& drawing, int first, int last,
                             const SheetInstruments& instruments, const QPageLayout* layout,
                             Progress* progress) {
    if (!SheetSizeUsable(drawing)) return {OutputFailure::SheetTooLarge, {}};
    if (first < 0 || last < first) return {OutputFailure::NoSuchSheet, {}};
    ProgressCounter counter(progress);
    SafeFileDevice file(path);
    if (!file.openForWriting()) return {OutputFailure::CannotWrite, file.failure()};
    {
        QPdfWriter pdf(&file);
        pdf.setCreator(QStringLiteral("Tervasko"));
        pdf.setResolution(kPdfDpi);
        pdf.setPageLayout(layout ? *layout : SheetPageLayout(drawing));
        QPainter painter;
        if (!painter.begin(&pdf)) return {OutputFailure::CannotWrite, file.failure()};
        const int pages =
            PutSheetsOnPages(pdf, painter, kPdfDpi, drawing, first, last, instruments, &counter);
        const bool ended = painter.end();
        // The file of a stopped export is left unfinished to the device, which removes it.
        if (counter.Stopped()) return {OutputFailure::Cancelled, {}};
        if (!ended || pages < 0) return {OutputFailure::CannotWrite, file.failure()};
    }
    if (!counter.Finish()) return {OutputFailure::Cancelled, {}};
    if (!file.commit()) return {OutputFailure::CannotWrite, file.failure()};
    return {};
}

OutputResult PrintDrawing(QPrinter& printer, TDrawing& drawing, int first, int last,
                          const SheetInstruments& instruments, Progress* progress) {
    if (!SheetSizeUsable(drawing)) return {OutputFailure::SheetTooLarge, {}};
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        const std::string path = printer.outputFileName().toStdString();
        if (path.empty()) return {OutputFailure::CannotWrite, Failure(ErrorCode::NoFileName)};
        const QPageLayout layout = printer.pageLayout();
        return WriteDrawingPdf(path, drawing, first, last, instruments, &layout, progress);
    }
    ProgressCounter counter(progress);
    QPainter painter;
    if (!painter.begin(&printer))
        return {OutputFailure::PrinterFailed, Failure(ErrorCode::PrinterCannotOpen)};
    const int pages = PutSheetsOnPages(printer, painter, printer.resolution(), drawing, first, last,
                                       instruments, &counter);
    // The last answer, too, comes before the job is handed over.
    if (counter.Stopped() || !counter.Finish()) {
        printer.abort();
        painter.end();
        return {OutputFailure::Cancelled, {}};
    }
    const bool ended = painter.end();
    if (pages < 0 || !ended || printer.printerState() == QPrinter::Error)
        return {OutputFailure::PrinterFailed, Failure(ErrorCode::PrinterRefusedJob)};
    return {};
}

}  // namespace tervasko
