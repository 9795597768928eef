#pragma once

// Reads PDF files back with poppler's command-line tools: page count and size with pdfinfo,
// a page as a picture with pdftoppm.

#include <QImage>
#include <cstdio>
#include <string>

namespace tervasko::testing {

inline std::string commandOutput(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

struct PdfInfo {
    int pages = -1;
    double widthPt = 0, heightPt = 0;  // of the first page
};

inline PdfInfo ReadPdfInfo(const std::string& path) {
    const std::string text = commandOutput("pdfinfo '" + path + "' 2>&1");
    PdfInfo info;
    if (const auto p = text.find("Pages:"); p != std::string::npos)
        std::sscanf(text.c_str() + p, "Pages: %d", &info.pages);
    if (const auto p = text.find("Page size:"); p != std::string::npos)
        std::sscanf(text.c_str() + p, "Page size: %lf x %lf", &info.widthPt, &info.heightPt);
    return info;
}

// Page `page` (from 1) at `dpi`, grey; a null image when it cannot be made.
inline QImage RenderPdfPage(const std::string& path, int page, int dpi,
                            const std::string& scratch) {
    const std::string p = std::to_string(page);
    commandOutput("pdftoppm -gray -singlefile -png -r " + std::to_string(dpi) + " -f " + p +
                  " -l " + p + " '" + path + "' '" + scratch + "' 2>&1");
    return QImage(QString::fromStdString(scratch + ".png"));
}

// Whether any pixel within `radius` of (x, y) is dark.
inline bool DarkNear(const QImage& image, int x, int y, int radius = 2) {
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (image.valid(x + dx, y + dy) && qGray(image.pixel(x + dx, y + dy)) < 128)
                return true;
    return false;
}

}  // namespace tervasko::testing
