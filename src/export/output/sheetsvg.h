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
// file only when the new one is complete. The document goes to the file as it is drawn, so
// the memory this takes stays small whatever the drawing's size. Told to stop by the
// progress, it leaves no file and an old one as it was, and returns Cancelled.
OutputResult WriteSheetSvg(const std::string& path, TDrawing& drawing, int pages, int sheet,
                           const SheetInstruments& instruments, Progress* progress = nullptr);

}  // namespace tervasko
