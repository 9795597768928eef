#include "export/output/svgcanvas.h"

#include <QStringList>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

#include "platform/numeric.h"
#include "platform/qt/qtcanvas.h"

namespace tervasko {
namespace {

QString toQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

std::string SvgNumber(double v, int decimals) {
    if (!std::isfinite(v)) v = 0;
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed,
                                 std::clamp(decimals, 0, 6));
    if (r.ec != std::errc()) return "0";
    std::string s(buf, r.ptr);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return s;
}

namespace {

std::string colour(Color c) {
    return ToQColor(c).name().toStdString();
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// A line laid out with "&" marks as a picture shows it (QPainter with TextShowMnemonic, as
// Windows does): "&&" is one ampersand; a single "&" is dropped and underlines the character
// after it, whatever that is (a space, too); one ending the line is dropped.
struct MarkedLine {
    std::u16string shown;
    std::vector<bool> underlined;  // one flag per UTF-16 unit of `shown`
};

MarkedLine markedLine(std::u16string_view line) {
    MarkedLine m;
    for (std::size_t i = 0; i < line.size(); ++i) {
        bool mark = false;
        if (line[i] == u'&') {
            if (++i == line.size()) break;
            mark = line[i] != u'&';
        }
        m.shown.push_back(line[i]);
        m.underlined.push_back(mark);
        // Both halves of a surrogate pair are one character.
        if (mark && line[i] >= 0xD800 && line[i] <= 0xDBFF && i + 1 < line.size() &&
            line[i + 1] >= 0xDC00 && line[i + 1] <= 0xDFFF) {
            m.shown.push_back(line[++i]);
            m.underlined.push_back(true);
        }
    }
    return m;
}

}  // namespace

std::string XmlEscaped(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if ((c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF ||
                   (c < 0x20 && c != '\t' && c != '\n' && c != '\r')) {
            c = 0xFFFD;
        }
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            // Kept as characters, not normalised away, also within attribute values.
            case '\t':
                out += "&#9;";
                break;
            case '\n':
                out += "&#10;";
                break;
            case '\r':
                out += "&#13;";
                break;
            default:
                appendUtf8(out, c);
        }
    }
    return out;
}

SvgCanvas::SvgCanvas(int dpi, SvgSink* sink) : dpi_(dpi > 0 ? dpi : 96), sink_(sink) {
    if (sink_) out_.reserve(2 * kSvgPieceBytes);
    setPen(kBlack, 1);
    FontSpec defaultFont;
    defaultFont.face = "Arial";
    defaultFont.height = 13;
    setFont(defaultFont);
}

std::string SvgCanvas::mm(double devicePx) const {
    // To the thousandth of a millimetre: finer than a device pixel at any usual resolution,
    // and free of the conversion's last-digit noise.
    return SvgNumber(devicePx * MmPerInch / dpi_, 3);
}

bool SvgCanvas::missed(double left, double top, double right, double bottom) const {
    if (!shown_) return false;
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    // Half the written stroke reaches out either side; a pixel more covers the rounding.
    const double pen = penWidth_ == 1 ? kSvgThinPenMm * dpi_ / MmPerInch : penWidth_;
    const double m = pen / 2 + 1;
    return right + m < shown_->left || left - m > shown_->right || bottom + m < shown_->top ||
           top - m > shown_->bottom;
}

std::string SvgCanvas::point(double x, double y) const {
    return mm(x) + " " + mm(y);
}

std::string SvgCanvas::strokeAttributes() const {
    // The thinnest pen is one device pixel wherever it is drawn; here it gets a width that
    // shows on paper and on screen alike.
    const double w = penWidth_ == 1 ? kSvgThinPenMm * dpi_ / MmPerInch : penWidth_;
    std::string s = "stroke=\"" + colour(penColor_) + "\" stroke-width=\"" + mm(w) + "\"";
    s += penWidth_ == 1 ? " stroke-linecap=\"butt\""
                        : " stroke-linecap=\"round\" stroke-linejoin=\"round\"";
    // The dash patterns of the picture output, in pen widths.
    switch (penStyle_) {
        case PenStyle::Solid:
            break;
        case PenStyle::Dash:
            s += " stroke-dasharray=\"" + mm(4 * w) + " " + mm(2 * w) + "\"";
            break;
        case PenStyle::Dot:
            s += " stroke-dasharray=\"" + mm(w) + " " + mm(2 * w) + "\"";
            break;
        case PenStyle::DashDot:
            s += " stroke-dasharray=\"" + mm(4 * w) + " " + mm(2 * w) + " " + mm(w) + " " +
                 mm(2 * w) + "\"";
            break;
    }
    return s;
}

void SvgCanvas::put(std::string_view bytes) {
    if (sinkFailed_) return;  // the document is lost; nothing more to keep
    out_ += bytes;
    if (sink_ && out_.size() >= kSvgPieceBytes) {
        sinkFailed_ = !sink_->write(out_);
        out_.clear();
    }
}

void SvgCanvas::closePath() {
    if (!pathOpen_) return;
    put("\"/>\n");
    pathOpen_ = false;
}

void SvgCanvas::pathFrom(double x, double y) {
    if (pathOpen_ && stroke_ != pathStroke_) closePath();
    if (!pathOpen_) {
        // The path's attributes come first, so its data can follow as it is drawn.
        pathStroke_ = stroke_;
        put("<path fill=\"none\" " + pathStroke_ + " d=\"M" + point(x, y));
        pathOpen_ = true;
    } else if (x != pathEndX_ || y != pathEndY_) {
        put(" M" + point(x, y));
    }
}

const std::string& SvgCanvas::body() {
    closePath();
    return out_;
}

bool SvgCanvas::finish() {
    closePath();
    if (sink_ && !out_.empty()) {
        if (!sinkFailed_ && !sink_->write(out_)) sinkFailed_ = true;
        out_.clear();
    }
    return !sinkFailed_;
}

void SvgCanvas::setPen(Color color, int width, PenStyle style) {
    penColor_ = color;
    penWidth_ = std::clamp(width, 1, kMaxPenPx);
    penStyle_ = style;
    stroke_ = strokeAttributes();
}

void SvgCanvas::setBrush(Color color) {
    brush_ = color;
}

void SvgCanvas::setBrushHollow() {
    brush_.reset();
}

void SvgCanvas::setFont(const FontSpec& font) {
    if (font == fontSpec_ && metrics_) return;
    fontSpec_ = font;
    font_ = ToQFont(font);
    metrics_.emplace(font_);
}

void SvgCanvas::setTransparentBackground(bool transparent) {
    transparent_ = transparent;
}

void SvgCanvas::moveTo(int x, int y) {
    pos_ = {x, y};
}

void SvgCanvas::lineTo(int x, int y) {
    // A thin line of no length shows nothing; a wide round pen leaves a dot.
    if (((IntPoint{x, y} != pos_) || penWidth_ > 1) && !missed(pos_.x, pos_.y, x, y)) {
        pathFrom(pos_.x, pos_.y);
        put(" L" + point(x, y));
        pathEndX_ = x, pathEndY_ = y;
    }
    pos_ = {x, y};
}

void SvgCanvas::rectangle(int left, int top, int right, int bottom) {
    if (missed(left, top, right, bottom)) return;
    closePath();
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    put("<rect x=\"" + mm(left) + "\" y=\"" + mm(top) + "\" width=\"" + mm(right - left) +
        "\" height=\"" + mm(bottom - top) + "\" fill=\"" +
        (brush_ ? colour(*brush_) : std::string("none")) + "\" " + stroke_ + "/>\n");
}

void SvgCanvas::ellipse(int left, int top, int right, int bottom) {
    if (missed(left, top, right, bottom)) return;
    closePath();
    put("<ellipse cx=\"" + mm((left + double(right)) / 2) + "\" cy=\"" +
        mm((top + double(bottom)) / 2) + "\" rx=\"" + mm(std::abs(right - double(left)) / 2) +
        "\" ry=\"" + mm(std::abs(bottom - double(top)) / 2) + "\" fill=\"" +
        (brush_ ? colour(*brush_) : std::string("none")) + "\" " + stroke_ + "/>\n");
}

void SvgCanvas::arc(int left, int top, int right, int bottom, int x3, int y3, int x4, int y4) {
    if (missed(left, top, right, bottom)) return;
    const double cx = (left + double(right)) / 2, cy = (top + double(bottom)) / 2;
    const double rx = std::max(std::abs(right - double(left)) / 2, 0.5);
    const double ry = std::max(std::abs(bottom - double(top)) / 2, 0.5);
    // Angles on the ellipse's parameter, counter-clockwise with y up.
    const auto angle = [&](int x, int y) { return std::atan2(-(y - cy) / ry, (x - cx) / rx); };
    const double start = angle(x3, y3);
    double span = angle(x4, y4) - start;
    while (span <= 0) span += 2 * std::numbers::pi;
    const bool whole = (x3 == x4 && y3 == y4) || std::abs(span - 2 * std::numbers::pi) < 1e-12;
    const auto at = [&](double t) {
        return std::pair{cx + rx * std::cos(t), cy - ry * std::sin(t)};
    };
    const auto [sx, sy] = at(start);
    pathFrom(sx, sy);
    const std::string radii = " A" + point(rx, ry) + " 0 ";
    // Counter-clockwise on screen is SVG's negative sweep.
    if (whole) {
        const auto [mx, my] = at(start + std::numbers::pi);
        put(radii + "0 0 " + point(mx, my) + radii + "0 0 " + point(sx, sy));
        pathEndX_ = sx, pathEndY_ = sy;
    } else {
        const auto [ex, ey] = at(start + span);
        put(radii + (span > std::numbers::pi ? "1" : "0") + " 0 " + point(ex, ey));
        pathEndX_ = ex, pathEndY_ = ey;
    }
}

void SvgCanvas::bezierTo(IntPoint c1, IntPoint c2, IntPoint end) {
    // A curve stays within the box of its four points.
    if (missed(std::min({pos_.x, c1.x, c2.x, end.x}), std::min({pos_.y, c1.y, c2.y, end.y}),
               std::max({pos_.x, c1.x, c2.x, end.x}), std::max({pos_.y, c1.y, c2.y, end.y}))) {
        pos_ = end;
        return;
    }
    pathFrom(pos_.x, pos_.y);
    put(" C" + point(c1.x, c1.y) + " " + point(c2.x, c2.y) + " " + point(end.x, end.y));
    pathEndX_ = end.x, pathEndY_ = end.y;
    pos_ = end;
}

void SvgCanvas::text(int x, int y, int baseline, std::u16string_view line, bool rotated,
                     const std::vector<bool>& underlined) {
    const QFontMetrics& fm = *metrics_;
    // Turned about its top-left corner, a text stays within its width and height of it.
    const double reach = double(fm.horizontalAdvance(toQString(line))) + fm.height();
    if (rotated ? missed(x - reach, y - reach, x + reach, y + reach)
                : missed(x, y, x + reach, y + fm.height()))
        return;
    closePath();
    const std::string turn = rotated && fontSpec_.escapement != 0
                                 ? " transform=\"rotate(" +
                                       SvgNumber(-fontSpec_.escapement / 10.0) + " " + point(x, y) +
                                       ")\""
                                 : std::string();
    if (!transparent_)
        put("<rect x=\"" + mm(x) + "\" y=\"" + mm(y) + "\" width=\"" +
            mm(fm.horizontalAdvance(toQString(line))) + "\" height=\"" + mm(fm.height()) +
            "\" fill=\"#ffffff\"" + turn + "/>\n");
    // The family as the drawing names it, then the generic family the picture would fall
    // back to.
    std::u16string family;
    for (char16_t c : QString::fromStdString(fontSpec_.face).toStdU16String())
        if (c != u'\'' && c != u'\\') family += c;
    std::string attrs = "font-family=\"'" + XmlEscaped(family) + "', " +
                        (fontSpec_.pitch == 2 ? "monospace" : "sans-serif") + "\" font-size=\"" +
                        mm(font_.pixelSize()) + "\"";
    if (fontSpec_.weight != 400)
        attrs += " font-weight=\"" + std::to_string(std::clamp(fontSpec_.weight, 100, 900)) + "\"";
    if (fontSpec_.italic) attrs += " font-style=\"italic\"";
    if (fontSpec_.underline || fontSpec_.strikeOut)
        attrs +=
            std::string(" text-decoration=\"") +
            (fontSpec_.underline ? (fontSpec_.strikeOut ? "underline line-through" : "underline")
                                 : "line-through") +
            "\"";
    put("<text x=\"" + mm(x) + "\" y=\"" + mm(baseline) + "\" " + attrs + " fill=\"" +
        colour(fontSpec_.color) + "\"" + turn + " xml:space=\"preserve\">");
    // Runs of underlined characters become underlined spans; a font underlined throughout
    // needs none.
    std::size_t start = 0;
    while (start < line.size()) {
        const bool mark = start < underlined.size() && underlined[start] && !fontSpec_.underline;
        std::size_t end = start + 1;
        while (end < line.size() &&
               (end < underlined.size() && underlined[end] && !fontSpec_.underline) == mark)
            ++end;
        const std::string piece = XmlEscaped(line.substr(start, end - start));
        put(mark ? "<tspan text-decoration=\"underline\">" + piece + "</tspan>" : piece);
        start = end;
    }
    put("</text>\n");
}

void SvgCanvas::textOut(int x, int y, std::u16string_view line) {
    text(x, y, y + metrics_->ascent(), line, true);
}

int SvgCanvas::textWidth(std::u16string_view text) {
    return metrics_->horizontalAdvance(toQString(text));
}

IntRect SvgCanvas::drawText(IntRect r, std::u16string_view all, bool measureOnly) {
    const QFontMetrics& fm = *metrics_;
    const TextLines measured = MeasureTextLines(fm, r, all);
    r = measured.box;
    if (measureOnly) return r;
    std::int64_t y = r.top;
    for (const QString& line : measured.lines) {
        if (y > kPixelLimit) break;
        const MarkedLine marked = markedLine(line.toStdU16String());
        text(r.left, static_cast<int>(y), static_cast<int>(y + fm.ascent()), marked.shown, false,
             marked.underlined);
        y += fm.height();
    }
    return r;
}

}  // namespace tervasko
