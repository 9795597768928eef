#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tervasko {

// Windows colour value 0x00BBGGRR.
using Color = std::uint32_t;
inline constexpr Color kBlack = 0x000000;
inline constexpr Color kWhite = 0xFFFFFF;
inline constexpr Color kGrey = 0x808080;
inline constexpr Color kRed = 0x0000FF;

struct IntPoint {
    int x = 0, y = 0;
    bool operator==(const IntPoint&) const = default;
};

// Left, top, right, bottom in pixels; right and bottom lie just outside, as in GDI.
// A point in millimetres (or any unrounded unit).
struct PointD {
    double x = 0, y = 0;
    bool operator==(const PointD&) const = default;
};

// A line from `from` to `to`.
struct IntLine {
    IntPoint from, to;
};

struct IntRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const IntRect&) const = default;
};

enum class PenStyle { Solid, Dash, Dot, DashDot };

// A font as the drawing describes it.
struct FontSpec {
    std::string face;    // UTF-8
    int height = 0;      // character height in pixels, without internal leading
    int escapement = 0;  // tenths of a degree, counter-clockwise on screen
    int weight = 400;    // 400 normal, 700 bold
    bool italic = false, underline = false, strikeOut = false;
    std::uint8_t charset = 1;  // Windows character set number; 1 = default
    std::uint8_t pitch = 0;    // 0 default, 1 variable, 2 fixed
    Color color = kBlack;
    bool operator==(const FontSpec&) const = default;
};

// The drawing operations the renderers need, with the semantics of the Windows drawing
// interface that the drawing was designed for: integer pixels, y down, a current position,
// a pen for outlines and a brush for fills.
class Canvas {
public:
    virtual ~Canvas() = default;

    virtual void setPen(Color color, int width, PenStyle style = PenStyle::Solid) = 0;
    virtual void setBrush(Color color) = 0;
    virtual void setBrushHollow() = 0;
    virtual void setFont(const FontSpec& font) = 0;
    // Transparent: text draws only its glyphs.
    virtual void setTransparentBackground(bool transparent) = 0;

    virtual void moveTo(int x, int y) = 0;
    // Line from the current position to (x, y), which becomes current; the end pixel is
    // left out.
    virtual void lineTo(int x, int y) = 0;
    // Pen outline and brush fill of the box; a 1-pixel pen covers columns left .. right-1
    // and rows top .. bottom-1.
    virtual void rectangle(int left, int top, int right, int bottom) = 0;
    // Ellipse inscribed in the box.
    virtual void ellipse(int left, int top, int right, int bottom) = 0;
    // Arc of the ellipse inscribed in the box, counter-clockwise on screen from the ray
    // through (x3, y3) to the ray through (x4, y4), both from the box centre; equal rays give
    // the whole ellipse.
    virtual void arc(int left, int top, int right, int bottom, int x3, int y3, int x4, int y4) = 0;
    // The same as moveTo(from) and lineTo(to) for each line in turn, with the current pen;
    // the last line's end becomes current. Canvases may draw the lines in one go.
    virtual void lines(const IntLine* lines, std::size_t count);
    // Cubic Bezier segment from the current position; `end` becomes current.
    virtual void bezierTo(IntPoint c1, IntPoint c2, IntPoint end) = 0;
    // One line of text whose top-left corner (before rotation by the font's escapement)
    // is (x, y).
    virtual void textOut(int x, int y, std::u16string_view text) = 0;
    virtual int textWidth(std::u16string_view text) = 0;
    // Multi-line layout, left and top aligned, a new line at each line break, no wrapping;
    // "&" marks the next character (underlined, "&&" shows one ampersand). With measureOnly
    // nothing is drawn. Returns r with right = left + widest line, bottom = top + height of
    // all lines.
    virtual IntRect drawText(IntRect r, std::u16string_view text, bool measureOnly) = 0;

    // Pixels per inch of the device.
    virtual int logicalDpiX() const = 0;
    virtual int logicalDpiY() const = 0;

    // The part of the canvas whose picture counts, when the canvas has one: what lies wholly
    // outside it may be left out, and a renderer need not even work it out.
    virtual std::optional<IntRect> shownArea() const { return std::nullopt; }
};

// The visible characters of a text laid out with "&" marks: "&&" is one ampersand, a single
// "&" is dropped (it underlines the next character).
std::u16string StripMnemonics(std::u16string_view text);

}  // namespace tervasko
