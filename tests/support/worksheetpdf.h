#pragma once
// PDF files for the worksheet's tests: one drawn with Qt's own PDF writer (real content at
// known millimetres), and small ones written by hand for what no writer makes (no pages,
// thousands of pages, a page of five metres, a password).
#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <cstdint>
#include <string>
#include <vector>

namespace tervasko::testing {

using PdfBytes = std::vector<std::uint8_t>;

// A line and a circle on each page, at millimetres of the page. The page is `widthMm` ×
// `heightMm`; page p (from 0) has its line `p` mm lower, so a page drawn beneath the wrong
// sheet shows.
struct PdfLine {
    double x1, y1, x2, y2;
};
inline constexpr PdfLine kPdfLine{40, 60, 140, 60};  // 100 mm long
inline constexpr double kPdfCircleX = 100, kPdfCircleY = 150, kPdfCircleR = 30;

inline PdfBytes WriteTestPdf(double widthMm, double heightMm, int pages = 1) {
    QByteArray out;
    {
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QSizeF(widthMm, heightMm), QPageSize::Millimeter));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(2540);  // 100 units a millimetre
        QPainter p(&writer);
        for (int page = 0; page < pages; ++page) {
            if (page) writer.newPage();
            p.setPen(QPen(Qt::black, 30));  // 0.3 mm
            p.drawLine(QPointF(kPdfLine.x1 * 100, (kPdfLine.y1 + page) * 100),
                       QPointF(kPdfLine.x2 * 100, (kPdfLine.y2 + page) * 100));
            p.drawEllipse(QPointF(kPdfCircleX * 100, (kPdfCircleY + page) * 100), kPdfCircleR * 100,
                          kPdfCircleR * 100);
        }
    }
    return PdfBytes(out.begin(), out.end());
}

// A PDF written by hand: pages of the given MediaBox sizes (points), empty, with a correct
// cross-reference table; `trailerExtra` goes into the trailer (an /Encrypt entry), `objects`
// are appended as further objects numbered after the pages.
inline PdfBytes HandPdf(const std::vector<std::pair<double, double>>& pagePoints,
                        const std::vector<std::string>& objects = {},
                        const std::string& trailerExtra = {}) {
    std::string out = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    const auto object = [&](const std::string& body) {
        offsets.push_back(out.size());
        out += std::to_string(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
    };
    object("<< /Type /Catalog /Pages 2 0 R >>");
    std::string kids;
    for (std::size_t i = 0; i < pagePoints.size(); ++i) kids += std::to_string(3 + i) + " 0 R ";
    object("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pagePoints.size()) +
           " >>");
    for (const auto& [w, h] : pagePoints)
        object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + std::to_string(w) + " " +
               std::to_string(h) + "] >>");
    for (const std::string& o : objects) object(o);
    const std::size_t xref = out.size();
    out += "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t at : offsets) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", at);
        out += line;
    }
    out += "trailer\n<< /Size " + std::to_string(offsets.size() + 1) + " /Root 1 0 R " +
           trailerExtra + " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return PdfBytes(out.begin(), out.end());
}

}  // namespace tervasko::testing
