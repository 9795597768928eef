#pragma once

#include "document/drawmodel.h"
#include "platform/canvas.h"

namespace tervasko {

// Draws every element and then every text of the drawing onto one sheet of a canvas:
// sheetIndex selects the sheet (its top lies sheetIndex sheet heights down the stack),
// scale is target pixels per millimetre, fontScale multiplies the texts' point sizes.
// Each text is measured and its bottom-right corner (X2, Y2) stored in drawing millimetres.
// Walks both lists with Rewind/Next; leaves the canvas's pen, brush and font changed.
// With a clip (the target's pixels), what cannot reach it is not drawn: the picture is the
// same, the work smaller. Texts are measured all the same.
void DrawObjects(Canvas& canvas, TDrawing& drawing, int sheetIndex, double scale, double fontScale,
                 const IntRect* clip = nullptr);

// Whether an element drawn at this scale can put a pixel into the clip.
bool ElementMayTouch(const TDrawElement& e, double off, double scale, const IntRect& clip);

// One element, with its pen set from Width and Color, `off` mm being the sheet's top.
void DrawElement(Canvas& canvas, const TDrawElement& e, double off, double scale);

// The pen width in pixels for an element width in mm: 1 .. kMaxPenPx (1 for no number).
int ElementPenWidth(double widthMm, double scale);

// The font of a text at a font scale, its height in pixels of the canvas's resolution
// (1 .. kMaxFontPx).
FontSpec TextFont(const TTextElement& text, double fontScale, int dpiY);

// Draws one text (measured first) and returns its box in pixels.
IntRect DrawTextElement(Canvas& canvas, const TTextElement& text, double off, double scale,
                        double fontScale);

}  // namespace tervasko
