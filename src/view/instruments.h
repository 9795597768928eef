#pragma once

#include "document/drawmodel.h"
#include "platform/canvas.h"

namespace tervasko {

// The instruments, drawn on a sheet at its sheet-relative placement; s is pixels per mm.
// The canvas's pen is expected grey, width 1, as the paint cycle sets it.

// The ruler is 10 mm wide and as long as the sheet's width plus its height in pixels;
// graduated in millimetres, or in tenths of an inch with `inches`.
void DrawRuler(Canvas& canvas, const InstrumentPlacement& placement, double s, int sheetWidthPx,
               int sheetHeightPx, bool inches);

// The protractor: two circles, base line, centre stroke, 360 ticks and the labels 0..350.
void DrawProtractor(Canvas& canvas, const InstrumentPlacement& placement, double winkelDiameter,
                    double s);

// The set square: its triangle, the millimetre scale -70 .. 70 along the long edge numbered
// in centimetres, the degree scale 0 .. 180 about the zero mark numbered in two rows, and
// helper lines parallel to the long edge every 5 mm and across it through the zero mark.
void DrawSetSquare(Canvas& canvas, const InstrumentPlacement& placement, double s);

// The compass from above: needle cross, line to the pencil point, head circle, diamond.
void DrawCompass(Canvas& canvas, const InstrumentPlacement& placement, double zirkelAngle,
                 double s);

// Rectangles in sheet pixels (right and bottom exclusive) that hold every pixel the matching
// Draw function may touch, labels, pen width and smoothing included.
IntRect RulerBounds(const InstrumentPlacement& placement, double s, int sheetWidthPx,
                    int sheetHeightPx);
IntRect ProtractorBounds(const InstrumentPlacement& placement, double winkelDiameter, double s);
IntRect SetSquareBounds(const InstrumentPlacement& placement, double s);
IntRect CompassBounds(const InstrumentPlacement& placement, double zirkelAngle, double s);

// Height in pixels of the instruments' label font (2.8 mm).
int InstrumentLabelHeight(double s);

}  // namespace tervasko
