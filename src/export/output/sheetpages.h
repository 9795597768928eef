#pragma once

#include <QPageLayout>
#include <string>

#include "export/output/sheetrender.h"

class QPagedPaintDevice;
class QPainter;
class QPrinter;

namespace tervasko {

// The resolution PDF pages are drawn at: coordinates land on 1/1200 inch.
inline constexpr int kPdfDpi = 1200;

// A sheet up to this much larger than the paper still goes on one sheet of paper: page
// sizes are held in whole points (1/72 inch), and a standard paper size differs from the
// same sheet size in inches by a few micrometres.
inline constexpr double kPaperSlackMm = 0.5;

// A page exactly the sheet's size (as near as whole points allow), without margins.
QPageLayout SheetPageLayout(const TDrawing& drawing);

// Proposes paper of the sheet's size and orientation to a printer (a standard size when the
// sheet is one); its margins stay.
void SetPaperToSheet(QPrinter& printer, const TDrawing& drawing);

// Puts sheets first .. last (0 = the first sheet) onto the pages of a paged device whose
// painter is active, at true scale with `dpi` device pixels per inch. A sheet that fits on
// the paper takes one page, its top-left corner on the paper's (what falls into margins the
// device cannot print is lost, as with any full-page print). A larger sheet is cut into
// pieces the size of the printable area, left to right, then top to bottom, one page each,
// so that nothing is lost and the pieces can be put together. Returns the number of pages,
// or -1 when the device refused a new page. With a progress, its total is set to the work of
// all pages first; once it says stop, no further page is begun (the pages made so far are
// returned, and the caller must throw them away).
int PutSheetsOnPages(QPagedPaintDevice& device, QPainter& painter, int dpi, TDrawing& drawing,
                     int first, int last, const SheetInstruments& instruments,
                     ProgressCounter* progress = nullptr);

// Writes sheets first .. last as a PDF file: with no layout one page per sheet of exactly
// the sheet's size; with a layout (a printer's, when printing to a file) on that paper as
// PutSheetsOnPages places them. The file is replaced only when complete. Told to stop by the
// progress, it returns Cancelled and leaves no file and an old one as it was.
OutputResult WriteDrawingPdf(const std::string& path, TDrawing& drawing, int first, int last,
                             const SheetInstruments& instruments,
                             const QPageLayout* layout = nullptr, Progress* progress = nullptr);

// Prints sheets first .. last on a printer, at its resolution. A printer set to write a PDF
// file writes it through WriteDrawingPdf on the printer's paper, so a failed print to a file
// never leaves half a file. Told to stop by the progress, the job is aborted (what the
// printer has taken already may come out) and the result is Cancelled.
OutputResult PrintDrawing(QPrinter& printer, TDrawing& drawing, int first, int last,
                          const SheetInstruments& instruments, Progress* progress = nullptr);

}  // namespace tervasko
