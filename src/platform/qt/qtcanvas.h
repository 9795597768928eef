#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QStringList>
#include <optional>
#include <vector>

#include "platform/canvas.h"
#include "platform/qt/textruns.h"

namespace tervasko {

QColor ToQColor(Color c);
Color FromQColor(const QColor& c);
QFont ToQFont(const FontSpec& font);

// A text of several lines as the renderers box it: split at its line breaks, as wide as its
// widest line shown (mnemonic marks stripped) and as high as its lines times the font's height
// (Windows' measure; Qt's own would add leading), from r's top-left corner, kept within the
// pixel range however far it reaches.
struct TextLines {
    QStringList lines;
    int widest = 0;
    IntRect box;
};
TextLines MeasureTextLines(const QFontMetrics& fm, IntRect r, std::u16string_view text);

// Draws with the Windows drawing semantics the drawing relies on onto any QPainter:
// lines without their last pixel, 1-pixel rectangles and ellipses inside their box, arcs
// between radials measured on the ellipse, text rotated by its escapement about its top-left
// corner, "&" marks in laid-out text. No antialiasing, as on the screen the drawing was
// designed for.
class QtCanvas : public Canvas {
public:
    // dpi: the resolution fonts are sized for; 0 takes the painter's device's.
    explicit QtCanvas(QPainter& painter, int dpi = 0);
    // Leaves the painter's background opaque, as it was made.
    ~QtCanvas() override;

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
    void lines(const IntLine* lines, std::size_t count) override;
    void bezierTo(IntPoint c1, IntPoint c2, IntPoint end) override;
    void textOut(int x, int y, std::u16string_view text) override;
    int textWidth(std::u16string_view text) override;
    IntRect drawText(IntRect r, std::u16string_view text, bool measureOnly) override;
    int logicalDpiX() const override { return dpiX_; }
    int logicalDpiY() const override { return dpiY_; }

    QPainter& painter() { return painter_; }

    // Only what may reach this rectangle (canvas pixels) needs drawing: lines, shapes and
    // texts that lie wholly outside it are skipped. The picture inside stays the same; a
    // small repaint then costs little however much the canvas holds.
    void SetCullRect(const QRect& rect) { cull_ = rect; }
    // The cull rectangle, when set.
    std::optional<IntRect> shownArea() const override;

    // One-line texts (textOut, textWidth) are shaped once and kept in `runs`, which outlives
    // the canvas, rather than shaped for every call; the pixels are the same. For a canvas that
    // draws the same labels at every paint.
    void KeepTextRuns(TextRuns* runs);

private:
    void applyPen();
    // The painter's background is transparent while lines are drawn with a solid pen, and
    // opaque for the shapes.
    void clearForLines();
    void opaqueAgain();
    int runSlot();
    // Whether a box (canvas pixels), widened by `margin`, misses the cull rectangle.
    bool culled(int left, int top, int right, int bottom, int margin) const;
    QRectF box(int left, int top, int right, int bottom) const;
    // The canvas pixels that can show anything: the painter's clip, else its device, within
    // the cull rectangle.
    QRectF visibleArea() const;

    QPainter& painter_;
    int dpiX_, dpiY_;
    QPen pen_;
    int penWidth_ = 1;
    Color penColor_ = 0xFFFFFFFF;  // none yet
    PenStyle penStyle_ = PenStyle::Solid;
    FontSpec fontSpec_;
    QFont font_;
    std::optional<QFontMetrics> metrics_;  // of font_ on this device
    TextRuns* runs_ = nullptr;
    int runSlot_ = -1;  // font_ in runs_, once asked for
    bool transparent_ = false;
    bool clearForLines_ = false;  // the background was made transparent for lines
    QPoint pos_;
    std::optional<QRect> cull_;
    std::vector<QLine> batch_;
};

}  // namespace tervasko
