#pragma once

#include <string>
#include <vector>

#include "document/drawmodel.h"
#include "platform/canvas.h"

namespace tervasko {

// The sizes of texts as a canvas measured them, for drawing the same texts again without
// measuring them anew: an entry holds while the text, its font, the font scale and the
// resolution stay the same, wherever the text is placed (a measured box only moves with its
// corner, unless it reaches the pixel limit). Keep one for one kind of canvas.
class TextMeasures {
public:
    struct Entry {
        bool valid = false;
        int width = 0, height = 0, dpi = 0;
        double fontScale = 0;
        std::int32_t fontSize = 0;
        std::uint8_t charset = 0, pitch = 0, style = 0;
        std::u16string text;
        std::string fontName;
    };
    // The box of text i at (left, top), measured on `canvas` when not known.
    IntRect Measure(Canvas& canvas, std::uint32_t i, const TTextElement& text, int left, int top,
                    double fontScale);
    std::size_t Measured() const { return measured_; }  // measurements taken so far

private:
    std::vector<Entry> entries_;
    std::size_t measured_ = 0;
};

// Draws every element and then every text of the drawing onto one sheet of a canvas:
// sheetIndex selects the sheet (its top lies sheetIndex sheet heights down the stack),
// scale is target pixels per millimetre, fontScale multiplies the texts' point sizes.
// Each text is measured and its bottom-right corner (X2, Y2) stored in drawing millimetres.
// Walks the texts with Rewind/Next; leaves the canvas's pen, brush and font changed.
// With a clip (the target's pixels), what cannot reach it is not drawn: the picture is the
// same, the work smaller; the elements are then found through the drawing's index. Texts are
// measured all the same, through `measures` where given.
void DrawObjects(Canvas& canvas, TDrawing& drawing, int sheetIndex, double scale, double fontScale,
                 const IntRect* clip = nullptr, TextMeasures* measures = nullptr);

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
