#pragma once

#include <QImage>
#include <cstdint>
#include <optional>
#include <string>

#include "export/output/sheetrender.h"

namespace tervasko {

// The most pixels a picture may have: 2^28 take 1 GB while drawn (an A4 sheet at about
// 1650 dots per inch). Beyond it the picture is refused rather than the machine's memory
// exhausted.
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 28;

enum class PictureFormat { Bmp, Png, Svg };

// The picture format that a file name's extension names (".bmp", ".png", ".svg", any case).
std::optional<PictureFormat> PictureFormatOf(const std::string& path);

// Whether sheet pictures at this resolution are possible: BadResolution, SheetTooLarge,
// PictureTooLarge or None.
OutputFailure CheckPictureSize(const TDrawing& drawing, int dpi);

// Sheet `sheet` (0 = the first of `pages`) as a picture at `dpi` dots per inch, with the
// resolution recorded in the picture. A null image when the checks above fail. With a
// progress, counted as RenderSheet counts; a picture stopped half way is not complete.
QImage RenderSheetPicture(TDrawing& drawing, int sheet, int dpi,
                          const SheetInstruments& instruments, ProgressCounter* progress = nullptr);

// Writes sheet `sheet` (0 = the first of `pages`) as a BMP (24 bits per pixel) or PNG file,
// or as SVG (sheetsvg.h; `dpi` then plays no part).
// Everything is checked before the file is touched; the file is written beside its target
// and renamed over it only when complete, so on failure an old file stays as it was.
// A progress hears of the drawing and then of the file being written (a BMP row by row, a
// PNG only asked whether to go on, as its size is not known before); told to stop, the
// export returns Cancelled and leaves no file and an old one as it was.
OutputResult WriteSheetPicture(const std::string& path, PictureFormat format, TDrawing& drawing,
                               int pages, int sheet, int dpi, const SheetInstruments& instruments,
                               Progress* progress = nullptr);

}  // namespace tervasko
