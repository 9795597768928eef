#pragma once

#include <string>

#include "export/output/sheetrender.h"

namespace tervasko {

// The resolution an SVG sheet is drawn at: 100 device pixels to the millimetre, so that every
// coordinate is written to the hundredth of a millimetre.
inline constexpr int kSvgDpi = 2540;

// Sheet `sheet` (0 = the first) as an SVG document at its true size: width and height in
// millimetres, a viewBox and every coordinate in drawing millimetres from the sheet's top-left
// corner. Elements and instruments are drawn through the same renderers as pictures (at
// kSvgDpi); lines, arcs, circles and curves become paths, texts <text>. As on a picture,
// nothing shows beyond the sheet's edge: what lies wholly outside is left out, and the rest
// is clipped to the sheet.
std::string SheetSvg(TDrawing& drawing, int sheet, const SheetInstruments& instruments);

// Writes that document to `path` (checked first: sheet number, sheet size), replacing an old
// file only when the new one is complete.
OutputResult WriteSheetSvg(const std::string& path, TDrawing& drawing, int pages, int sheet,
                           const SheetInstruments& instruments);

}  // namespace tervasko
