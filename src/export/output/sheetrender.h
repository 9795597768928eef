#pragma once

#include <QRect>
#include <QSize>
#include <cstdint>
#include <string>

#include "document/drawmodel.h"
#include "platform/canvas.h"
#include "platform/error.h"
#include "platform/progress.h"

class QPainter;

namespace tervasko {

// The instruments that go onto paper or into a picture together with the drawing.
struct SheetInstruments {
    bool ruler = false, protractor = false, compass = false;
    bool inchRuler = false;  // ruler graduated in tenths of an inch
    bool setSquare = false;  // drawn after the protractor, before the compass
    bool worksheet = true;   // the drawing's worksheet beneath everything, when it has one
};

// Why an output was not made. The detail of a result names the system's reason where there
// is one.
enum class OutputFailure {
    None,
    NoSuchSheet,      // the sheet number lies beyond the page count
    BadResolution,    // dots per inch outside kMinOutputDpi .. kMaxOutputDpi
    SheetTooLarge,    // a side lies outside kMinSheetMm .. kMaxSheetMm (or is no size at all)
    PictureTooLarge,  // more pixels than kMaxPicturePixels, or no memory for them
    CannotWrite,      // the file could not be created or written; the old one is intact
    PrinterFailed,    // the printer refused the job
    Cancelled,        // the progress said stop; no file was made, an old one is intact
};

struct OutputResult {
    OutputFailure failure = OutputFailure::None;
    Error reason;  // why, where there is more to say than the failure
    bool ok() const { return failure == OutputFailure::None; }
};

// The resolutions the picture export offers.
inline constexpr int kMinOutputDpi = 10;
inline constexpr int kMaxOutputDpi = 4000;

// Whether both sides of the sheet lie from kMinSheetMm to kMaxSheetMm (drawmodel.h).
bool SheetSizeUsable(const TDrawing& drawing);

// Size in device pixels of one sheet at `dpi` dots per inch, at least 1 × 1.
QSize SheetPixelSize(const TDrawing& drawing, int dpi);

// How much drawing DrawSheetContents does for `clip` of sheet `sheet`, in the units it
// counts: one per element that may reach the clip's stripe and one per text. An estimate
// (elements found to miss the clip are not drawn and not counted), cheap to work out.
std::uint64_t SheetWorkUnits(TDrawing& drawing, int dpi, int sheet, const IntRect& clip);

// Draws the elements and texts of sheet `sheet` (0 = the first) that may reach `clip` (sheet
// pixels at `dpi`), then the chosen instruments, onto a canvas whose origin is the sheet's
// top-left corner; the texts' measured corners stay as they were. The paper is not drawn.
// With a progress, every shape, line and text measured is a unit of it; once it says stop,
// nothing more reaches the canvas and the rest of the walk costs little.
void DrawSheetContents(Canvas& canvas, int dpi, TDrawing& drawing, int sheet,
                       const SheetInstruments& instruments, const IntRect& clip,
                       ProgressCounter* progress = nullptr);

// Draws sheet `sheet` (0 = the first) at its true size onto a device of `dpi` dots per inch
// whose painter has the sheet's top-left corner at its origin: white paper, every element
// and text as the paint cycle draws them (font sizes at the device's resolution), then the
// chosen instruments. Only `area` (sheet pixels; the whole sheet when empty) is drawn, and
// nothing outside it or outside the sheet. A sheet that SheetSizeUsable refuses is not drawn.
//
// The texts' measured corners (X2, Y2) are left as they were: output does not change the
// drawing.
//
// With a progress, counts as DrawSheetContents does (SheetWorkUnits of the area).
void RenderSheet(QPainter& painter, int dpi, TDrawing& drawing, int sheet,
                 const SheetInstruments& instruments, QRect area = QRect(),
                 ProgressCounter* progress = nullptr);

// The area RenderSheet draws of `area` (sheet pixels; empty for the whole sheet), as a clip;
// empty when nothing.
IntRect SheetArea(const TDrawing& drawing, int dpi, QRect area = QRect());

}  // namespace tervasko
