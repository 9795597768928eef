#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/drawmodel.h"
#include "platform/error.h"

class QPainter;
class QBuffer;
class QPdfDocument;

namespace tervasko {

using WorksheetBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

// The pages that lie beneath sheets: one a sheet, as many as a drawing has sheets at most.
inline constexpr int kMaxWorksheetPages = 10;
// A page side shown beneath a sheet, in mm: smaller is no page anyone can draw on, larger
// (two metres, beyond the largest paper) is no worksheet.
inline constexpr double kMinWorksheetPageMm = 1;
inline constexpr double kMaxWorksheetPageMm = 2000;
// The most pixels one page is rendered with: a page wanted larger is rendered with these and
// drawn enlarged, so the time and memory of a render stay bounded at any zoom and resolution
// (an A4 page at about 400 dpi, 64 MB).
inline constexpr std::int64_t kMaxWorksheetPixels = std::int64_t{16} << 20;

struct WorksheetPage {
    double widthMm = 0, heightMm = 0;
};

// What a PDF file holds for a worksheet: its number of pages, and the sizes of those that lie
// beneath sheets (the first kMaxWorksheetPages).
struct WorksheetInfo {
    int pageCount = 0;
    std::vector<WorksheetPage> pages;
};

// Opens the bytes of a PDF file and checks that it can lie beneath the sheets: at most
// kMaxWorksheetBytes, a PDF file, not damaged, not encrypted, with pages, each page shown of
// a size from kMinWorksheetPageMm to kMaxWorksheetPageMm. The failure is a WorksheetNoPdf,
// WorksheetBroken, WorksheetEncrypted, WorksheetNoPages, WorksheetPageSize or
// WorksheetTooLarge. Needs a Qt application.
Result<WorksheetInfo> CheckWorksheet(const std::vector<std::uint8_t>& bytes);

// Reads a PDF file for a worksheet: a regular file of at most kMaxWorksheetBytes, checked as
// CheckWorksheet does. A failure names the file.
struct WorksheetFile {
    WorksheetBytes bytes;
    WorksheetInfo info;
};
Result<WorksheetFile> ReadWorksheetFile(const std::string& path);

// One worksheet opened for rendering. The bytes are held, not copied, while it is open.
class WorksheetDocument {
public:
    WorksheetDocument();
    ~WorksheetDocument();
    WorksheetDocument(const WorksheetDocument&) = delete;
    WorksheetDocument& operator=(const WorksheetDocument&) = delete;

    // Opens `bytes` (null closes); false when they are no PDF Qt PDF can render.
    bool Open(WorksheetBytes bytes);
    const WorksheetBytes& Bytes() const { return bytes_; }
    // After a failed Open: the file wants a password, or is encrypted in a way Qt PDF does
    // not know.
    bool Encrypted() const;
    // The pages, 0 when nothing is open.
    int PageCount() const;
    // The size of page `page` (from 0) in mm; zero for a page that is not there.
    WorksheetPage PageSize(int page) const;
    // Page `page` at `pixelsPerMm`, its pixel (0, 0) at the page's top-left corner, with
    // transparent paper; at most kMaxWorksheetPixels (then smaller than asked: draw it into
    // the page's rectangle). A null image for a page that is not there or no memory.
    QImage Render(int page, double pixelsPerMm) const;

private:
    WorksheetBytes bytes_;
    std::unique_ptr<QBuffer> buffer_;
    std::unique_ptr<QByteArray> data_;
    std::unique_ptr<QPdfDocument> pdf_;
    bool encrypted_ = false;
};

// The size in pixels page `page` is drawn with at `pixelsPerMm`: its size in mm times the
// scale, rounded, at least 1 × 1; empty for a page that is not there.
QSize WorksheetPagePixels(const WorksheetDocument& document, int page, double pixelsPerMm);

// Draws `image`, page `page` rendered by Render at `pixelsPerMm`, beneath a sheet whose
// top-left corner is the painter's origin: at true scale, onto the part `area` (pixels of
// the sheet) and nothing outside it.
void DrawWorksheetImage(QPainter& painter, const QImage& image, const WorksheetDocument& document,
                        int page, double pixelsPerMm, const QRect& area);

// Draws page `sheet` of the drawing's worksheet beneath sheet `sheet`, as DrawWorksheetImage
// does, rendering it for this one drawing (pictures, PDF, printing, the exporter). Nothing
// when the drawing has no worksheet or the worksheet no such page. The last worksheet opened
// stays open for the next sheet.
void DrawWorksheetPage(QPainter& painter, const TDrawing& drawing, int sheet, double pixelsPerMm,
                       const QRect& area);

// Page `sheet` of the drawing's worksheet as a PNG file's bytes, rendered at `pixelsPerMm`,
// and its size in mm in *size: for a format that embeds pictures (SVG). Empty when the
// drawing has no worksheet or the worksheet no such page.
std::string WorksheetPagePng(const TDrawing& drawing, int sheet, double pixelsPerMm,
                             WorksheetPage* size);

}  // namespace tervasko
