#include "export/output/sheetsvg.h"

#include <QByteArray>
#include <algorithm>

#include "export/output/svgcanvas.h"
#include "platform/numeric.h"
#include "platform/safefile.h"
#include "view/viewgeometry.h"
#include "worksheet/worksheet.h"

namespace tervasko {
namespace {

class StringSink final : public SvgSink {
public:
    bool write(std::string_view bytes) override {
        text += bytes;
        return true;
    }
    std::string text;
};

class FileSink final : public SvgSink {
public:
    explicit FileSink(SafeFileWriter& file) : file_(file) {}
    bool write(std::string_view bytes) override { return !file_.write(bytes.data(), bytes.size()); }

private:
    SafeFileWriter& file_;
};

// The worksheet's pages go into an SVG at 12 pixels a millimetre (about 300 dpi).
constexpr double kSvgWorksheetPxPerMm = 12;

IntRect svgSheetClip(const TDrawing& drawing) {
    const ViewGeometry g =
        ViewGeometry::Compute(100, kSvgDpi, drawing.PageWidthInch, drawing.PageHeightInch);
    return {0, 0, std::max(1, g.SheetWidthPx), std::max(1, g.SheetHeightPx)};
}

// Writes the document to the sink as it is drawn; false when the sink failed.
bool writeSvg(SvgSink& sink, TDrawing& drawing, int sheet, const SheetInstruments& instruments,
              ProgressCounter* progress) {
    const std::string w = SvgNumber(drawing.PageWidthInch * MmPerInch, 3);
    const std::string h = SvgNumber(drawing.PageHeightInch * MmPerInch, 3);
    std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    head += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + w +
            "mm\" height=\"" + h + "mm\" viewBox=\"0 0 " + w + " " + h + "\">\n";
    head += "<rect x=\"0\" y=\"0\" width=\"" + w + "\" height=\"" + h + "\" fill=\"#ffffff\"/>\n";
    // The worksheet's page beneath everything: a picture of it, at its size in mm.
    WorksheetPage page;
    const std::string png = instruments.worksheet
                                ? WorksheetPagePng(drawing, sheet, kSvgWorksheetPxPerMm, &page)
                                : std::string();
    // As on a picture or on paper, nothing shows beyond the sheet's edge: the ruler, for one,
    // is longer than the sheet, and a viewer need not stop at the viewBox.
    head += "<defs><clipPath id=\"sheet\"><rect x=\"0\" y=\"0\" width=\"" + w + "\" height=\"" + h +
            "\"/></clipPath></defs>\n";
    head += "<g clip-path=\"url(#sheet)\">\n";
    if (!png.empty()) {
        head += "<image x=\"0\" y=\"0\" width=\"" + SvgNumber(page.widthMm, 3) + "\" height=\"" +
                SvgNumber(page.heightMm, 3) +
                "\" preserveAspectRatio=\"none\" xlink:href=\"data:image/png;base64,";
        head += QByteArray::fromRawData(png.data(), static_cast<qsizetype>(png.size()))
                    .toBase64()
                    .toStdString();
        head += "\"/>\n";
        // The namespace of the picture's address, on the root element.
        const std::string root = "xmlns=\"http://www.w3.org/2000/svg\"";
        head.insert(head.find(root) + root.size(), " xmlns:xlink=\"http://www.w3.org/1999/xlink\"");
    }
    if (!sink.write(head)) return false;

    SvgCanvas canvas(kSvgDpi, &sink);
    const IntRect clip = svgSheetClip(drawing);
    canvas.setShownArea(clip);
    if (SheetSizeUsable(drawing))
        DrawSheetContents(canvas, kSvgDpi, drawing, sheet, instruments, clip, progress);
    return canvas.finish() && sink.write("</g>\n</svg>\n");
}

}  // namespace

std::string SheetSvg(TDrawing& drawing, int sheet, const SheetInstruments& instruments) {
    StringSink sink;
    writeSvg(sink, drawing, sheet, instruments, nullptr);
    return std::move(sink.text);
}

OutputResult WriteSheetSvg(const std::string& path, TDrawing& drawing, int pages, int sheet,
                           const SheetInstruments& instruments, Progress* progress) {
    if (sheet < 0 || sheet >= pages) return {OutputFailure::NoSuchSheet, {}};
    if (!SheetSizeUsable(drawing)) return {OutputFailure::SheetTooLarge, {}};
    ProgressCounter counter(progress);
    if (progress) counter.SetTotal(SheetWorkUnits(drawing, kSvgDpi, sheet, svgSheetClip(drawing)));
    SafeFileWriter file(path);
    if (Error failed = file.open()) return {OutputFailure::CannotWrite, failed};
    FileSink sink(file);
    const bool written = writeSvg(sink, drawing, sheet, instruments, &counter);
    // A stopped export leaves its unfinished file to the writer, which removes it.
    if (counter.Stopped()) return {OutputFailure::Cancelled, {}};
    if (!written) return {OutputFailure::CannotWrite, file.failure()};
    if (!counter.Finish()) return {OutputFailure::Cancelled, {}};
    if (Error failed = file.commit()) return {OutputFailure::CannotWrite, failed};
    return {};
}

}  // namespace tervasko
