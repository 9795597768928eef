#include "platform/qt/qtcanvas.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainterPath>
#include <QPalette>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "platform/cp1252.h"
#include "platform/numeric.h"

namespace tervasko {
namespace {

QString toQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

// Values 0x800000nn name the system's colour nn (0x80000008 is the window-text colour that
// new texts get) rather than a colour of their own.
QColor ToQColor(Color c) {
    if ((c & 0xFF000000u) == 0x80000000u) {
        const QPalette palette = QGuiApplication::palette();
        switch (c & 0xFF) {
            case 5:
                return palette.color(QPalette::Base);  // window
            case 7:                                    // menu text
            case 8:                                    // window text
            case 9:
                return palette.color(QPalette::WindowText);  // caption text
            case 12:
                return palette.color(QPalette::Dark);  // application workspace
            case 13:
                return palette.color(QPalette::Highlight);
            case 14:
                return palette.color(QPalette::HighlightedText);
            case 15:
                return palette.color(QPalette::Button);  // button face
            case 16:
                return palette.color(QPalette::Mid);  // button shadow
            case 17:
                return palette.color(QPalette::PlaceholderText);  // grey text
            case 18:
                return palette.color(QPalette::ButtonText);
            case 23:
                return palette.color(QPalette::ToolTipText);
            case 24:
                return palette.color(QPalette::ToolTipBase);
            default:
                return palette.color(QPalette::WindowText);
        }
    }
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

Color FromQColor(const QColor& c) {
    return static_cast<Color>(c.red()) | static_cast<Color>(c.green()) << 8 |
           static_cast<Color>(c.blue()) << 16;
}

QFont ToQFont(const FontSpec& font) {
    QFont f(QString::fromStdString(font.face));
    // The height is the character height without internal leading, which is Qt's pixel size.
    f.setPixelSize(std::clamp(font.height, 1, kMaxFontPx));
    f.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight, 100, 900)));
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    f.setStrikeOut(font.strikeOut);
    if (font.pitch == 2) {
        f.setFixedPitch(true);
        f.setStyleHint(QFont::Monospace);
    }
    return f;
}

QtCanvas::QtCanvas(QPainter& painter, int dpi) : painter_(painter) {
    QPaintDevice* device = painter.device();
    dpiX_ = dpi > 0 ? dpi : (device ? device->logicalDpiX() : 96);
    dpiY_ = dpi > 0 ? dpi : (device ? device->logicalDpiY() : 96);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setBackgroundMode(Qt::OpaqueMode);
    painter_.setBackground(Qt::white);
    setPen(kBlack, 1);
    setBrush(kWhite);
    FontSpec defaultFont;
    defaultFont.face = "Arial";
    defaultFont.height = 13;
    setFont(defaultFont);
}

QtCanvas::~QtCanvas() {
    if (painter_.isActive()) opaqueAgain();
}

void QtCanvas::applyPen() {
    painter_.setPen(pen_);
}

// A solid pen leaves no gaps for the background to fill, so lines look the same on a
// transparent background, and in opaque mode Qt takes its slow general path for every line.
// Outlined shapes keep the opaque background (an ellipse differs in a few pixels); texts fill
// their own boxes and draw transparent either way.
void QtCanvas::clearForLines() {
    if (clearForLines_ || penStyle_ != PenStyle::Solid ||
        painter_.backgroundMode() != Qt::OpaqueMode)
        return;
    painter_.setBackgroundMode(Qt::TransparentMode);
    clearForLines_ = true;
}

void QtCanvas::opaqueAgain() {
    if (!clearForLines_) return;
    painter_.setBackgroundMode(Qt::OpaqueMode);
    clearForLines_ = false;
}

QRectF QtCanvas::visibleArea() const {
    QRectF area;
    if (painter_.hasClipping()) {
        area = painter_.clipBoundingRect();
    } else if (const QPaintDevice* device = painter_.device()) {
        bool invertible = false;
        const QTransform toCanvas = painter_.worldTransform().inverted(&invertible);
        if (invertible) area = toCanvas.mapRect(QRectF(0, 0, device->width(), device->height()));
    }
    // Nothing known about the device: every line counts.
    if (area.isNull())
        area = QRectF(-kPixelLimit, -kPixelLimit, 2.0 * kPixelLimit, 2.0 * kPixelLimit);
    if (cull_) area = area.intersected(QRectF(*cull_).adjusted(-1, -1, 1, 1));
    return area;
}

std::optional<IntRect> QtCanvas::shownArea() const {
    if (!cull_) return std::nullopt;
    return IntRect{cull_->left(), cull_->top(), cull_->right() + 1, cull_->bottom() + 1};
}

bool QtCanvas::culled(int left, int top, int right, int bottom, int margin) const {
    if (!cull_) return false;
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    return right + margin < cull_->left() || left - margin > cull_->right() ||
           bottom + margin < cull_->top() || top - margin > cull_->bottom();
}

void QtCanvas::setPen(Color color, int width, PenStyle style) {
    // Elements mostly share one pen; setting it again costs more than the line itself.
    if (color == penColor_ && std::clamp(width, 1, kMaxPenPx) == penWidth_ && style == penStyle_)
        return;
    if (style != PenStyle::Solid) opaqueAgain();
    penColor_ = color;
    penStyle_ = style;
    penWidth_ = std::clamp(width, 1, kMaxPenPx);
    pen_ = QPen(ToQColor(color));
    if (penWidth_ == 1) {
        // A cosmetic 1-pixel line with flat caps leaves out its end point, as LineTo does.
        pen_.setWidth(0);
        pen_.setCapStyle(Qt::FlatCap);
    } else {
        // Wide pens have round ends and joins.
        pen_.setWidth(penWidth_);
        pen_.setCapStyle(Qt::RoundCap);
        pen_.setJoinStyle(Qt::RoundJoin);
    }
    switch (style) {
        case PenStyle::Solid:
            pen_.setStyle(Qt::SolidLine);
            break;
        case PenStyle::Dash:
            pen_.setStyle(Qt::DashLine);
            break;
        case PenStyle::Dot:
            pen_.setStyle(Qt::DotLine);
            break;
        case PenStyle::DashDot:
            pen_.setStyle(Qt::DashDotLine);
            break;
    }
    applyPen();
}

void QtCanvas::setBrush(Color color) {
    painter_.setBrush(ToQColor(color));
}
void QtCanvas::setBrushHollow() {
    painter_.setBrush(Qt::NoBrush);
}

void QtCanvas::setFont(const FontSpec& font) {
    if (font == fontSpec_ && !font_.family().isEmpty()) return;
    // Turn and colour are applied when drawing: a font that differs only in them keeps the
    // Qt font and its metrics, which are costly to look up again for every turned label.
    FontSpec shape = font;
    shape.escapement = fontSpec_.escapement;
    shape.color = fontSpec_.color;
    const bool sameShape = shape == fontSpec_ && !font_.family().isEmpty();
    fontSpec_ = font;
    if (sameShape) return;
    font_ = ToQFont(font);
    metrics_.emplace(font_, painter_.device());
    runSlot_ = -1;
}

void QtCanvas::KeepTextRuns(TextRuns* runs) {
    runs_ = runs;
    runSlot_ = -1;
}

int QtCanvas::runSlot() {
    if (runSlot_ < 0) runSlot_ = runs_->FontSlot(font_, painter_);
    return runSlot_;
}

void QtCanvas::setTransparentBackground(bool transparent) {
    transparent_ = transparent;
}

void QtCanvas::moveTo(int x, int y) {
    pos_ = QPoint(x, y);
}

void QtCanvas::lineTo(int x, int y) {
    const QPoint to(x, y);
    if (culled(pos_.x(), pos_.y(), x, y, penWidth_)) {
        pos_ = to;
        return;
    }
    if (to != pos_) {
        clearForLines();
        painter_.drawLine(pos_, to);
    } else if (penWidth_ > 1) {
        opaqueAgain();
        painter_.drawPoint(to);  // a wide round pen leaves a dot
    }
    pos_ = to;
}

void QtCanvas::lines(const IntLine* lines, std::size_t count) {
    if (count == 0) return;
    opaqueAgain();  // for the dots
    // The same pen throughout: which line comes first changes no pixel.
    batch_.clear();
    for (std::size_t i = 0; i < count; ++i) {
        const IntLine& l = lines[i];
        if (culled(l.from.x, l.from.y, l.to.x, l.to.y, penWidth_)) continue;
        if (l.from != l.to)
            batch_.emplace_back(l.from.x, l.from.y, l.to.x, l.to.y);
        else if (penWidth_ > 1)
            painter_.drawPoint(l.to.x, l.to.y);  // as lineTo: a wide round pen leaves a dot
    }
    pos_ = QPoint(lines[count - 1].to.x, lines[count - 1].to.y);
    if (batch_.empty()) return;
    clearForLines();
    // Qt's thin-line stroker carries state from one line to the next within one call, which
    // changes end pixels: thin lines go one call each, wide ones (outlines filled) together.
    if (penWidth_ == 1) {
        for (const QLine& l : batch_) painter_.drawLine(l);
    } else {
        painter_.drawLines(batch_.data(), static_cast<int>(batch_.size()));
    }
}

QRectF QtCanvas::box(int left, int top, int right, int bottom) const {
    // A 1-pixel outline covers columns left .. right-1; a wide pen is centred on that path.
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    return QRectF(left, top, right - left - 1, bottom - top - 1);
}

void QtCanvas::rectangle(int left, int top, int right, int bottom) {
    if (culled(left, top, right, bottom, penWidth_)) return;
    opaqueAgain();
    painter_.drawRect(box(left, top, right, bottom));
}

void QtCanvas::ellipse(int left, int top, int right, int bottom) {
    if (culled(left, top, right, bottom, penWidth_)) return;
    opaqueAgain();
    painter_.drawEllipse(box(left, top, right, bottom));
}

void QtCanvas::arc(int left, int top, int right, int bottom, int x3, int y3, int x4, int y4) {
    if (culled(left, top, right, bottom, penWidth_)) return;
    opaqueAgain();
    const QRectF r = box(left, top, right, bottom);
    const double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
    const double rx = std::max(std::abs(right - left) / 2.0, 0.5);
    const double ry = std::max(std::abs(bottom - top) / 2.0, 0.5);
    // Angles on the ellipse's parameter, counter-clockwise with y up, as Qt measures them.
    const auto angle = [&](int x, int y) {
        return std::atan2(-(y - cy) / ry, (x - cx) / rx) * 180 / std::numbers::pi;
    };
    const double start = angle(x3, y3);
    double span = angle(x4, y4) - start;
    while (span <= 0) span += 360;
    if (std::abs(span - 360) < 1e-9 || (x3 == x4 && y3 == y4)) span = 360;
    painter_.drawArc(r, static_cast<int>(std::lround(start * 16)),
                     static_cast<int>(std::lround(span * 16)));
}

void QtCanvas::bezierTo(IntPoint c1, IntPoint c2, IntPoint end) {
    opaqueAgain();
    QPainterPath path(pos_);
    path.cubicTo(QPointF(c1.x, c1.y), QPointF(c2.x, c2.y), QPointF(end.x, end.y));
    painter_.save();
    painter_.setBrush(Qt::NoBrush);
    painter_.drawPath(path);
    painter_.restore();
    pos_ = QPoint(end.x, end.y);
}

void QtCanvas::textOut(int x, int y, std::u16string_view text) {
    // Turned about (x, y) the text stays within its length plus its height of that point.
    const int reach = static_cast<int>(std::min<std::int64_t>(
        (static_cast<std::int64_t>(text.size()) + 2) * std::max(1, fontSpec_.height) * 2,
        kPixelLimit));
    if (culled(x, y, x, y, reach)) return;
    const QFontMetrics& fm = *metrics_;
    if (runs_ && TextRuns::Drawable(text, painter_) && painter_.worldMatrixEnabled()) {
        // As below, from the kept line; the few settings it changes are put back by hand,
        // which costs less than saving the painter's whole state. The transformation is made
        // by the same steps as translate() and rotate() make it.
        const QTransform transform = painter_.worldTransform();
        const QPen pen = painter_.pen();
        const Qt::BGMode mode = painter_.backgroundMode();
        QTransform turned = transform;
        turned.translate(x, y);
        if (fontSpec_.escapement != 0) turned.rotate(-fontSpec_.escapement / 10.0);
        painter_.setWorldTransform(turned);
        // Glyphs take only the pen's colour: a solid pen of that colour (the instruments' grey
        // lines under their grey labels) can stay.
        const QColor color = ToQColor(fontSpec_.color);
        const bool penFits = pen.style() == Qt::SolidLine &&
                             pen.brush().style() == Qt::SolidPattern && pen.color() == color;
        if (!penFits) painter_.setPen(color);
        if (!transparent_)
            painter_.fillRect(QRect(0, 0, textWidth(text), fm.height()), painter_.background());
        painter_.setBackgroundMode(Qt::TransparentMode);
        runs_->Draw(painter_, runSlot(), fontSpec_.escapement, fm.ascent(), text);
        painter_.setBackgroundMode(mode);
        if (!penFits) painter_.setPen(pen);
        painter_.setWorldTransform(transform);
        return;
    }
    const QString s = toQString(text);
    painter_.save();
    painter_.setFont(font_);
    painter_.setPen(ToQColor(fontSpec_.color));
    painter_.translate(x, y);
    if (fontSpec_.escapement != 0) painter_.rotate(-fontSpec_.escapement / 10.0);
    if (!transparent_)
        painter_.fillRect(QRect(0, 0, fm.horizontalAdvance(s), fm.height()), painter_.background());
    // The box is filled above or not at all; Qt would fill its own box in opaque mode.
    painter_.setBackgroundMode(Qt::TransparentMode);
    painter_.drawText(0, fm.ascent(), s);
    painter_.restore();
}

int QtCanvas::textWidth(std::u16string_view text) {
    if (runs_) return runs_->Width(runSlot(), text, *metrics_);
    return metrics_->horizontalAdvance(toQString(text));
}

TextLines MeasureTextLines(const QFontMetrics& fm, IntRect r, std::u16string_view text) {
    TextLines t;
    QString s = QString::fromStdU16String(std::u16string(text));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.lines = s.split(QLatin1Char('\n'));
    for (const QString& line : t.lines) {
        const QString shown = QString::fromStdU16String(StripMnemonics(line.toStdU16String()));
        t.widest = std::max(t.widest, fm.horizontalAdvance(shown));
    }
    const auto clampPx = [](std::int64_t v) {
        return static_cast<int>(std::clamp<std::int64_t>(v, -kPixelLimit, kPixelLimit));
    };
    t.box = r;
    t.box.right = clampPx(std::int64_t{r.left} + t.widest);
    t.box.bottom =
        clampPx(std::int64_t{r.top} + static_cast<std::int64_t>(t.lines.size()) * fm.height());
    return t;
}

IntRect QtCanvas::drawText(IntRect r, std::u16string_view text, bool measureOnly) {
    const QFontMetrics& fm = *metrics_;
    const TextLines measured = MeasureTextLines(fm, r, text);
    const QStringList& lines = measured.lines;
    const int widest = measured.widest;
    r = measured.box;
    if (measureOnly) return r;
    painter_.save();
    painter_.setFont(font_);
    painter_.setPen(ToQColor(fontSpec_.color));
    if (!transparent_)
        painter_.fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top),
                          painter_.background());
    painter_.setBackgroundMode(Qt::TransparentMode);  // as in textOut
    // Only the lines that can reach the visible area are laid out.
    const QRectF visible = visibleArea();
    std::int64_t y = r.top;
    for (const QString& line : lines) {
        if (y > visible.bottom() || y > kPixelLimit) break;
        if (y + fm.height() >= visible.top())
            painter_.drawText(
                QRect(r.left, static_cast<int>(y), std::max(widest, 1) + fm.maxWidth(),
                      fm.height()),
                Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextDontClip, line);
        y += fm.height();
    }
    painter_.restore();
    return r;
}

}  // namespace tervasko
