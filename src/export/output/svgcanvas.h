#pragma once

#include <QFont>
#include <QFontMetrics>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"

namespace tervasko {

// The width the thinnest pen (one device pixel, as on the screen) is written with: one pixel
// at 254 dots per inch.
inline constexpr double kSvgThinPenMm = 0.1;

// The size of the pieces an SvgCanvas hands its sink (bytes).
inline constexpr std::size_t kSvgPieceBytes = std::size_t{1} << 16;

// Where an SVG document goes, piece by piece as it is written.
class SvgSink {
public:
    virtual ~SvgSink() = default;
    // False when the bytes could not be taken; nothing more is then written.
    virtual bool write(std::string_view bytes) = 0;
};

// A canvas that writes SVG elements: device pixels at `dpi` become millimetres in the output,
// lines, arcs, ellipses and curves become paths (consecutive segments of one pen share one
// path), texts become <text> with their font, colour and rotation. Texts are measured with
// the same font metrics as on a picture, so layout decisions match.
//
// With a sink, what is written goes to it in pieces of about kSvgPieceBytes, a path's data
// too, so that the canvas holds no more than one piece and one element however much is
// drawn; without one, it keeps everything for body().
class SvgCanvas : public Canvas {
public:
    explicit SvgCanvas(int dpi, SvgSink* sink = nullptr);

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
    std::optional<IntRect> shownArea() const override { return shown_; }

    // Only what may reach `area` (device pixels) is written from now on: a shape, line or
    // text lying wholly outside it is left out. What crosses its edge is written whole; the
    // document clips it.
    void setShownArea(const IntRect& area) { shown_ = area; }

    // The elements written so far, one per line (without a sink).
    const std::string& body();
    // Closes what is open and hands the rest to the sink; false when the sink failed at any
    // point.
    bool finish();

private:
    std::string mm(double devicePx) const;
    // Whether a box (device pixels), widened by the pen, lies wholly outside the shown area.
    bool missed(double left, double top, double right, double bottom) const;
    std::string point(double x, double y) const;
    std::string strokeAttributes() const;
    // Starts a segment at (x, y) in the open path, or a new path when the pen changed.
    void pathFrom(double x, double y);
    void closePath();
    // Appends to the output, handing full pieces to the sink.
    void put(std::string_view bytes);
    // `underlined` marks the characters of `text` drawn underlined (none when empty).
    void text(int x, int y, int baseline, std::u16string_view text, bool rotated,
              const std::vector<bool>& underlined = {});

    int dpi_;
    SvgSink* sink_;
    bool sinkFailed_ = false;
    std::string out_;        // written, not yet handed to the sink
    bool pathOpen_ = false;  // a path's data is being written
    std::string stroke_;     // the pen's attributes
    std::string pathStroke_;
    double pathEndX_ = 0, pathEndY_ = 0;
    int penWidth_ = 1;
    Color penColor_ = kBlack;
    PenStyle penStyle_ = PenStyle::Solid;
    std::optional<Color> brush_;
    FontSpec fontSpec_;
    QFont font_;
    std::optional<QFontMetrics> metrics_;
    bool transparent_ = false;
    IntPoint pos_;
    std::optional<IntRect> shown_;
};

// A number as SVG writes it: locale-free, at most `decimals` places, no trailing zeros.
std::string SvgNumber(double v, int decimals = 4);

// `text` as XML character data or attribute value: markup characters escaped, characters
// that XML 1.0 cannot hold (control characters, unpaired surrogates, U+FFFE, U+FFFF)
// replaced by U+FFFD.
std::string XmlEscaped(std::u16string_view text);

}  // namespace tervasko
