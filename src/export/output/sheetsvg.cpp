#include "export/output/sheetsvg.h"

#include <algorithm>

#include "export/output/svgcanvas.h"
#include "platform/numeric.h"
#include "platform/safefile.h"
#include "view/viewgeometry.h"

namespace tervasko {

std::string SheetSvg(TDrawing& drawing, int sheet, const SheetInstruments& instruments) {
    const ViewGeometry g =
        ViewGeometry::Compute(100, kSvgDpi, drawing.PageWidthInch, drawing.PageHeightInch);
    SvgCanvas canvas(kSvgDpi);
    const IntRect clip{0, 0, std::max(1, g.SheetWidthPx), std::max(1, g.SheetHeightPx)};
    canvas.setShownArea(clip);
    if (SheetSizeUsable(drawing))
        DrawSheetContents(canvas, kSvgDpi, drawing, sheet, instruments, clip);

    const std::string w = SvgNumber(drawing.PageWidthInch * MmPerInch, 3);
    const std::string h = SvgNumber(drawing.PageHeightInch * MmPerInch, 3);
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + w +
           "mm\" height=\"" + h + "mm\" viewBox=\"0 0 " + w + " " + h + "\">\n";
    out += "<rect x=\"0\" y=\"0\" width=\"" + w + "\" height=\"" + h + "\" fill=\"#ffffff\"/>\n";
    // As on a picture or on paper, nothing shows beyond the sheet's edge: the ruler, for one,
    // is longer than the sheet, and a viewer need not stop at the viewBox.
    out += "<defs><clipPath id=\"sheet\"><rect x=\"0\" y=\"0\" width=\"" + w + "\" height=\"" + h +
           "\"/></clipPath></defs>\n";
    out += "<g clip-path=\"url(#sheet)\">\n";
    out += canvas.body();
    out += "</g>\n</svg>\n";
    return out;
}

OutputResult WriteSheetSvg(const std::string& path, TDrawing& drawing, int pages, int sheet,
                           const SheetInstruments& instruments) {
    if (sheet < 0 || sheet >= pages) return {OutputFailure::NoSuchSheet, {}};
    if (!SheetSizeUsable(drawing)) return {OutputFailure::SheetTooLarge, {}};
    const std::string document = SheetSvg(drawing, sheet, instruments);
    if (Error failed = WriteFileSafely(path, document.data(), document.size()))
        return {OutputFailure::CannotWrite, failed};
    return {};
}

}  // namespace tervasko
