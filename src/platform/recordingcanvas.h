#pragma once

#include <vector>

#include "platform/canvas.h"

namespace tervasko {

// A canvas that draws nothing and remembers every drawing operation with the pen, brush and
// font in force, for tests of renderers and tools, and for overlays replayed later.
// Text metrics are simple and predictable: every character is `charWidth` pixels wide
// (half the font height when 0) and a line is as high as the font.
class RecordingCanvas : public Canvas {
public:
    enum class Op { Line, Rectangle, Ellipse, Arc, Bezier, TextOut, DrawText };

    struct Entry {
        Op op;
        // Line: from, to. Rectangle/Ellipse: top-left, bottom-right. Arc: the box corners,
        // then the two ray points. Bezier: start, c1, c2, end. TextOut: position.
        // DrawText: the box corners.
        std::vector<IntPoint> points;
        std::u16string text;
        Color penColor;
        int penWidth;
        PenStyle penStyle;
        bool brushHollow;
        Color brushColor;
        FontSpec font;
        bool transparent;
    };

    explicit RecordingCanvas(int dpi = 96, int charWidth = 0) : dpi_(dpi), charWidth_(charWidth) {}

    void setPen(Color color, int width, PenStyle style = PenStyle::Solid) override;
    void setBrush(Color color) override;
    void setBrushHollow() override;
    void setFont(const FontSpec& font) override;
    void setTransparentBackground(bool transparent) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void rectangle(int left, int top, int right, int bottom) override;
    void ellipse(int left, int top, int right, int bottom) override;
    void arc(int left, int top, int right, int bottom, int x3, int y3, int x4, int y4) override;
    void bezierTo(IntPoint c1, IntPoint c2, IntPoint end) override;
    void textOut(int x, int y, std::u16string_view text) override;
    int textWidth(std::u16string_view text) override;
    IntRect drawText(IntRect r, std::u16string_view text, bool measureOnly) override;
    int logicalDpiX() const override { return dpi_; }
    int logicalDpiY() const override { return dpi_; }

    const std::vector<Entry>& entries() const { return entries_; }
    std::vector<Entry> entriesOf(Op op) const;
    void clear() { entries_.clear(); }

    // Draws the recorded operations onto another canvas, in order, with their states. With a
    // cull rectangle, lines that lie wholly outside it (with their pen) are left out: a small
    // repaint of a long pencil stroke then costs what its new segment costs.
    void replay(Canvas& target, const IntRect* cull = nullptr) const;

    Color penColor() const { return penColor_; }
    int penWidth() const { return penWidth_; }
    bool brushHollow() const { return brushHollow_; }
    const FontSpec& font() const { return font_; }
    IntPoint position() const { return pos_; }

private:
    void record(Op op, std::vector<IntPoint> points, std::u16string_view text = {});

    int dpi_;
    int charWidth_;
    std::vector<Entry> entries_;
    Color penColor_ = kBlack;
    int penWidth_ = 1;
    PenStyle penStyle_ = PenStyle::Solid;
    bool brushHollow_ = false;
    Color brushColor_ = kWhite;
    FontSpec font_;
    bool transparent_ = false;
    IntPoint pos_;
};

}  // namespace tervasko
