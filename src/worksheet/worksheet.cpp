#include "worksheet/worksheet.h"

#include <QBuffer>
#include <QByteArray>
#include <QPainter>
#include <QPdfDocument>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "document/drawingfile.h"
#include "platform/numeric.h"
#include "platform/safefile.h"

namespace tervasko {
namespace {

// A PDF file begins with "%PDF-" within its first 1024 bytes.
bool looksLikePdf(const std::vector<std::uint8_t>& bytes) {
    static constexpr char kMark[] = "%PDF-";
    const std::size_t look = std::min<std::size_t>(bytes.size(), 1024);
    const auto end = bytes.begin() + static_cast<std::ptrdiff_t>(look);
    return std::search(bytes.begin(), end, kMark, kMark + 5) != end;
}

std::string mmText(double mm) {
    char text[48];
    std::snprintf(text, sizeof text, "%.1f", mm);
    return text;
}

// One PDF point is 1/72 inch.
double pointsToMm(double points) {
    return points / 72 * MmPerInch;
}

}  // namespace

WorksheetDocument::WorksheetDocument() = default;
WorksheetDocument::~WorksheetDocument() {
    // The document reads from the buffer until it is closed.
    pdf_.reset();
}

bool WorksheetDocument::Open(WorksheetBytes bytes) {
    pdf_.reset();
    buffer_.reset();
    data_.reset();
    bytes_ = std::move(bytes);
    encrypted_ = false;
    if (!bytes_ || bytes_->size() > kMaxWorksheetBytes) return false;
    data_ = std::make_unique<QByteArray>(QByteArray::fromRawData(
        reinterpret_cast<const char*>(bytes_->data()), static_cast<qsizetype>(bytes_->size())));
    buffer_ = std::make_unique<QBuffer>(data_.get());
    buffer_->open(QIODevice::ReadOnly);
    pdf_ = std::make_unique<QPdfDocument>();
    // A buffer holds every byte: the load is done when it returns.
    pdf_->load(buffer_.get());
    const QPdfDocument::Error error = pdf_->error();
    encrypted_ = error == QPdfDocument::Error::IncorrectPassword ||
                 error == QPdfDocument::Error::UnsupportedSecurityScheme;
    return pdf_->status() == QPdfDocument::Status::Ready && error == QPdfDocument::Error::None;
}

bool WorksheetDocument::Encrypted() const {
    return encrypted_;
}

int WorksheetDocument::PageCount() const {
    return pdf_ && pdf_->status() == QPdfDocument::Status::Ready ? pdf_->pageCount() : 0;
}

WorksheetPage WorksheetDocument::PageSize(int page) const {
    if (page < 0 || page >= PageCount()) return {};
    const QSizeF points = pdf_->pagePointSize(page);
    return {pointsToMm(points.width()), pointsToMm(points.height())};
}

QSize WorksheetPagePixels(const WorksheetDocument& document, int page, double pixelsPerMm) {
    const WorksheetPage size = document.PageSize(page);
    if (!(size.widthMm > 0 && size.heightMm > 0 && pixelsPerMm > 0)) return {};
    const auto px = [](double v) {
        return static_cast<int>(std::clamp(std::nearbyint(v), 1.0, 1e7));
    };
    return {px(size.widthMm * pixelsPerMm), px(size.heightMm * pixelsPerMm)};
}

QImage WorksheetDocument::Render(int page, double pixelsPerMm) const {
    QSize size = WorksheetPagePixels(*this, page, pixelsPerMm);
    if (size.isEmpty()) return {};
    const double pixels = static_cast<double>(size.width()) * size.height();
    if (pixels > static_cast<double>(kMaxWorksheetPixels)) {
        const double f = std::sqrt(static_cast<double>(kMaxWorksheetPixels) / pixels);
        size = QSize(std::max(1, static_cast<int>(size.width() * f)),
                     std::max(1, static_cast<int>(size.height() * f)));
    }
    QImage image = pdf_->render(page, size);
    if (image.isNull()) return {};
    // Premultiplied once here, so that every draw of it is a plain blend.
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    return image;
}

void DrawWorksheetImage(QPainter& painter, const QImage& image, const WorksheetDocument& document,
                        int page, double pixelsPerMm, const QRect& area) {
    const QSize target = WorksheetPagePixels(document, page, pixelsPerMm);
    if (image.isNull() || target.isEmpty()) return;
    const QRect pageRect(QPoint(0, 0), target);
    const QRect part = pageRect.intersected(area);
    if (part.isEmpty()) return;
    if (image.size() == target) {
        painter.drawImage(part.topLeft(), image, part);
        return;
    }
    // Rendered with fewer pixels than the page takes here: enlarged to its true size.
    painter.save();
    painter.setClipRect(part, Qt::IntersectClip);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(pageRect), image);
    painter.restore();
}

void DrawWorksheetPage(QPainter& painter, const TDrawing& drawing, int sheet, double pixelsPerMm,
                       const QRect& area) {
    if (!drawing.Worksheet || sheet < 0 || sheet >= kMaxWorksheetPages) return;
    // The last worksheet and page rendered: a picture drawn in parts, or the sheets of one
    // print, render each page once.
    struct Kept {
        WorksheetDocument document;
        int page = -1;
        double pixelsPerMm = 0;
        QImage image;
    };
    static Kept kept;
    if (kept.document.Bytes() != drawing.Worksheet) {
        kept.image = QImage();
        kept.page = -1;
        kept.document.Open(drawing.Worksheet);
    }
    if (sheet >= kept.document.PageCount()) return;
    if (kept.page != sheet || kept.pixelsPerMm != pixelsPerMm) {
        kept.image = QImage();  // the old one goes before the new one is made
        kept.image = kept.document.Render(sheet, pixelsPerMm);
        kept.page = sheet;
        kept.pixelsPerMm = pixelsPerMm;
    }
    DrawWorksheetImage(painter, kept.image, kept.document, sheet, pixelsPerMm, area);
}

std::string WorksheetPagePng(const TDrawing& drawing, int sheet, double pixelsPerMm,
                             WorksheetPage* size) {
    if (!drawing.Worksheet || sheet < 0 || sheet >= kMaxWorksheetPages) return {};
    WorksheetDocument document;
    if (!document.Open(drawing.Worksheet) || sheet >= document.PageCount()) return {};
    const QImage image = document.Render(sheet, pixelsPerMm);
    if (image.isNull()) return {};
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return {};
    if (size) *size = document.PageSize(sheet);
    return std::string(png.constData(), static_cast<std::size_t>(png.size()));
}

Result<WorksheetInfo> CheckWorksheet(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() > kMaxWorksheetBytes)
        return Failure(ErrorCode::WorksheetTooLarge, {std::to_string(kMaxWorksheetBytes >> 20)});
    if (!looksLikePdf(bytes)) return Failure(ErrorCode::WorksheetNoPdf);
    // Opened on the bytes where they are: the check copies nothing.
    WorksheetDocument document;
    const auto shared = std::shared_ptr<const std::vector<std::uint8_t>>(
        &bytes, [](const std::vector<std::uint8_t>*) {});
    if (!document.Open(shared))
        return Failure(document.Encrypted() ? ErrorCode::WorksheetEncrypted
                                            : ErrorCode::WorksheetBroken);
    WorksheetInfo info;
    info.pageCount = document.PageCount();
    if (info.pageCount <= 0) return Failure(ErrorCode::WorksheetNoPages);
    for (int page = 0; page < std::min(info.pageCount, kMaxWorksheetPages); ++page) {
        const WorksheetPage size = document.PageSize(page);
        const auto usable = [](double mm) {
            return mm >= kMinWorksheetPageMm && mm <= kMaxWorksheetPageMm;  // false for NaN
        };
        if (!usable(size.widthMm) || !usable(size.heightMm))
            return Failure(ErrorCode::WorksheetPageSize,
                           {std::to_string(page + 1), mmText(size.widthMm), mmText(size.heightMm),
                            mmText(kMinWorksheetPageMm), mmText(kMaxWorksheetPageMm)});
        info.pages.push_back(size);
    }
    return info;
}

Result<WorksheetFile> ReadWorksheetFile(const std::string& path) {
    // One byte more than a worksheet may have: a larger file is told as too large for a
    // worksheet, not as a file too large to read.
    Result<std::vector<std::uint8_t>> read = ReadWholeFile(path, kMaxWorksheetBytes + 1);
    if (!read.ok()) {
        if (read.error().Code == ErrorCode::FileTooLarge)
            return WithLead(
                Failure(ErrorCode::WorksheetTooLarge, {std::to_string(kMaxWorksheetBytes >> 20)}),
                ErrorLead::CannotOpen, path);
        return WithLead(read.error(), ErrorLead::CannotOpen, path);
    }
    Result<WorksheetInfo> info = CheckWorksheet(*read);
    if (!info.ok()) return WithLead(info.error(), ErrorLead::CannotOpen, path);
    return WorksheetFile{std::make_shared<const std::vector<std::uint8_t>>(std::move(*read)),
                         std::move(*info)};
}

}  // namespace tervasko
