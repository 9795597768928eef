#include "view/drawobjects.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/cp1252.h"
#include "platform/numeric.h"
#include "view/viewtransform.h"

namespace tervasko {
namespace {

int px(double mm, double scale) {
    return DevicePixel(mm * scale);
}

// Rounded half-to-even, at least 1 and at most `limit`; NaN gives 1.
int boundedSize(double v, int limit) {
    const double r = std::nearbyint(std::fabs(v));
    if (std::isnan(r) || r < 1) return 1;
    return r < limit ? static_cast<int>(r) : limit;
}

}  // namespace

int ElementPenWidth(double widthMm, double scale) {
    return boundedSize(widthMm * scale, kMaxPenPx);
}

// The element's shape with the pen already set; p1 and p2 are its first two points.
static void drawShape(Canvas& canvas, const TDrawElement& e, IntPoint p1, IntPoint p2, double off,
                      double scale) {
    switch (e.Kind) {
        case ekLine:
            canvas.moveTo(p1.x, p1.y);
            canvas.lineTo(p2.x, p2.y);
            break;
        case ekArc:
            canvas.arc(p1.x, p1.y, p2.x, p2.y, px(e.X3, scale), px(e.Y3 - off, scale),
                       px(e.X4, scale), px(e.Y4 - off, scale));
            break;
        case ekCircle:
            canvas.ellipse(p1.x, p1.y, p2.x, p2.y);
            break;
        case ekCurve:
            canvas.moveTo(p1.x, p1.y);
            canvas.bezierTo(p2, {px(e.X3, scale), px(e.Y3 - off, scale)},
                            {px(e.X4, scale), px(e.Y4 - off, scale)});
            break;
        default:
            break;  // kinds of later versions are kept but not drawn
    }
}

void DrawElement(Canvas& canvas, const TDrawElement& e, double off, double scale) {
    canvas.setPen(e.Color, ElementPenWidth(e.Width, scale));
    drawShape(canvas, e, {px(e.X1, scale), px(e.Y1 - off, scale)},
              {px(e.X2, scale), px(e.Y2 - off, scale)}, off, scale);
}

FontSpec TextFont(const TTextElement& text, double fontScale, int dpiY) {
    FontSpec f;
    f.face = Utf16ToUtf8(Cp1252ToUtf16(AnsiView(text.FontName)));
    double points = std::nearbyint(text.FontSize * fontScale);
    if (points == 0) points = 1;
    // The size on paper stays the same at every zoom: points at the device's resolution.
    f.height = boundedSize(std::fabs(points) * dpiY / 72.0, kMaxFontPx);
    f.weight = (text.Style & fsBold) ? 700 : 400;
    f.italic = text.Style & fsItalic;
    f.underline = text.Style & fsUnderline;
    f.strikeOut = text.Style & fsStrikeOut;
    f.charset = text.Charset;
    f.pitch = text.Pitch;
    f.color = static_cast<Color>(text.Color);
    return f;
}

IntRect DrawTextElement(Canvas& canvas, const TTextElement& text, double off, double scale,
                        double fontScale) {
    canvas.setFont(TextFont(text, fontScale, canvas.logicalDpiY()));
    canvas.setTransparentBackground(true);
    IntRect r{px(text.X1, scale), px(text.Y1 - off, scale), px(text.X2, scale),
              px(text.Y2 - off, scale)};
    const std::u16string_view content = WideView(text.Text);
    r = canvas.drawText(r, content, true);
    canvas.drawText(r, content, false);
    return r;
}

bool ElementMayTouch(const TDrawElement& e, double off, double scale, const IntRect& clip) {
    double xs[4] = {e.X1, e.X2, e.X3, e.X4};
    double ys[4] = {e.Y1, e.Y2, e.Y3, e.Y4};
    int used;
    switch (e.Kind) {
        case ekLine:
        case ekArc:  // the arc lies inside its ellipse's box
        case ekCircle:
            used = 2;
            break;
        case ekCurve:
            used = 4;
            break;  // inside the hull of its control points
        default:
            return false;  // not drawn at all
    }
    double minX = xs[0], maxX = xs[0], minY = ys[0], maxY = ys[0];
    for (int i = 1; i < used; ++i) {
        minX = std::min(minX, xs[i]), maxX = std::max(maxX, xs[i]);
        minY = std::min(minY, ys[i]), maxY = std::max(maxY, ys[i]);
    }
    // Half the pen and the rounding of every point to whole pixels.
    const double margin = ElementPenWidth(e.Width, scale) / 2.0 + 2;
    const double left = minX * scale - margin, right = maxX * scale + margin;
    const double top = (minY - off) * scale - margin, bottom = (maxY - off) * scale + margin;
    // Written so that a NaN coordinate keeps the element (it is drawn as before).
    return !(right < clip.left || left > clip.right || bottom < clip.top || top > clip.bottom);
}

IntRect TextMeasures::Measure(Canvas& canvas, std::uint32_t i, const TTextElement& text, int left,
                              int top, double fontScale) {
    if (entries_.size() <= i) entries_.resize(i + 1);
    Entry& e = entries_[i];
    const int dpi = canvas.logicalDpiY();
    const std::u16string_view content = WideView(text.Text);
    const std::string_view font = AnsiView(text.FontName);
    const auto inRange = [](std::int64_t v) { return v > -kPixelLimit && v < kPixelLimit; };
    if (e.valid && e.dpi == dpi && e.fontScale == fontScale && e.fontSize == text.FontSize &&
        e.charset == text.Charset && e.pitch == text.Pitch && e.style == text.Style &&
        e.text == content && e.fontName == font && inRange(std::int64_t{left} + e.width) &&
        inRange(std::int64_t{top} + e.height))
        return {left, top, left + e.width, top + e.height};
    canvas.setFont(TextFont(text, fontScale, dpi));
    canvas.setTransparentBackground(true);
    const IntRect box = canvas.drawText({left, top, 0, 0}, content, true);
    ++measured_;
    // A box held at the pixel limit says nothing about the text's size.
    e.valid = inRange(box.right) && inRange(box.bottom) && inRange(left) && inRange(top);
    if (!e.valid) return box;
    e.width = box.right - left, e.height = box.bottom - top;
    e.dpi = dpi, e.fontScale = fontScale;
    e.fontSize = text.FontSize, e.charset = text.Charset, e.pitch = text.Pitch;
    e.style = text.Style;
    e.text.assign(content);
    e.fontName.assign(font);
    return box;
}

namespace {

// Lines drawn together while they share one pen; anything else drawn in between comes after
// the lines before it.
class LineRun {
public:
    // A sheet of millions of lines in one pen would otherwise be held whole, twice while the
    // run grows. Canvases join lines given in parts as they join them given at once (an SVG
    // path goes on across calls), so a part changes nothing in the output.
    static constexpr std::size_t kMostLines = 4096;

    explicit LineRun(Canvas& canvas) : canvas_(canvas) { lines_.reserve(kMostLines); }
    ~LineRun() { flush(); }
    void pen(Color color, int width) {
        if (color == color_ && width == width_) return;
        flush();
        canvas_.setPen(color, width);
        color_ = color, width_ = width;
    }
    void add(IntPoint a, IntPoint b) {
        lines_.push_back({a, b});
        if (lines_.size() == kMostLines) flush();
    }
    void flush() {
        if (lines_.empty()) return;
        canvas_.lines(lines_.data(), lines_.size());
        lines_.clear();
    }

private:
    Canvas& canvas_;
    std::vector<IntLine> lines_;
    Color color_ = kBlack;
    int width_ = 1;
};

void drawInRun(LineRun& run, Canvas& canvas, const TDrawElement& e, double off, double scale) {
    run.pen(e.Color, ElementPenWidth(e.Width, scale));
    const IntPoint p1{px(e.X1, scale), px(e.Y1 - off, scale)};
    const IntPoint p2{px(e.X2, scale), px(e.Y2 - off, scale)};
    if (e.Kind == ekLine) {
        run.add(p1, p2);
        return;
    }
    run.flush();
    drawShape(canvas, e, p1, p2, off, scale);
}

}  // namespace

void DrawObjects(Canvas& canvas, TDrawing& drawing, int sheetIndex, double scale, double fontScale,
                 const IntRect* clip, TextMeasures* measures) {
    const double off = ViewTransform{scale, 0, drawing.PageHeightInch}.SheetTopMm(sheetIndex);
    canvas.setPen(kBlack, 1);
    canvas.setBrushHollow();
    {
        LineRun run(canvas);
        const std::vector<std::uint32_t>* near = nullptr;
        // Half a pen and the rounding of the points to pixels are as far as anything drawn
        // reaches beyond an element's points (see ElementMayTouch).
        if (clip && scale > 0)
            near = drawing.ElementsNear(off + (clip->top - 3) / scale,
                                        off + (clip->bottom + 3) / scale);
        const TDynaArray<TDrawElement>& list = drawing.Elements;
        if (near) {
            // The boxes the index keeps say first, without the records, which elements cannot
            // reach the clip: they are a little wider than the elements with half their pen,
            // and the clip is widened by more than ElementMayTouch adds (half a pixel of pen
            // rounding and two of point rounding). A NaN box (not drawn) never passes.
            const std::vector<ElementIndex::Box>& boxes = drawing.Index.Boxes();
            const double m = 3 / scale;
            const double left = clip->left / scale - m, right = clip->right / scale + m;
            const double top = off + clip->top / scale - m, bottom = off + clip->bottom / scale + m;
            // First the elements whose boxes may reach the clip, in a pass without branches
            // on the elements (kept for the next call: a sheet lists tens of thousands).
            static thread_local std::vector<std::uint32_t> reaching;
            reaching.resize(near->size());
            std::size_t n = 0;
            for (const std::uint32_t i : *near) {
                const ElementIndex::Box& b = boxes[i];
                reaching[n] = i;
                n += (b.left <= right) & (b.right >= left) & (b.top <= bottom) & (b.bottom >= top);
            }
            // The records of one sheet lie scattered through the list: fetched a few ahead,
            // they arrive while the ones before are drawn.
            constexpr std::size_t kAhead = 16;
            const std::uint32_t* at = reaching.data();
            for (std::size_t k = 0; k < n; ++k) {
                if (k + kAhead < n) __builtin_prefetch(&list.At(at[k + kAhead]));
                const TDrawElement& e = list.At(at[k]);
                if (ElementMayTouch(e, off, scale, *clip)) drawInRun(run, canvas, e, off, scale);
            }
        } else {
            for (std::uint32_t i = 0, n = list.Count(); i < n; ++i) {
                const TDrawElement& e = list.At(i);
                if (clip && !ElementMayTouch(e, off, scale, *clip)) continue;
                drawInRun(run, canvas, e, off, scale);
            }
        }
    }
    // The texts are walked by index, not with the list's cursor: a repaint may come while
    // long work (an export reporting its progress) walks the list with that cursor.
    for (std::uint32_t index = 0, n = drawing.Texts.Count(); index < n; ++index) {
        TTextElement& t = drawing.Texts.At(index);
        IntRect r;
        if (clip) {
            const int left = px(t.X1, scale), top = px(t.Y1 - off, scale);
            if (measures) {
                r = measures->Measure(canvas, index, t, left, top, fontScale);
            } else {
                canvas.setFont(TextFont(t, fontScale, canvas.logicalDpiY()));
                canvas.setTransparentBackground(true);
                r = canvas.drawText({left, top, 0, 0}, WideView(t.Text), true);
            }
            // Italic and large glyphs may lean out of the measured box a little.
            const int slack = (r.bottom - r.top) + 2;
            const bool touches = !(r.right + slack < clip->left || r.left - slack > clip->right ||
                                   r.bottom + slack < clip->top || r.top - slack > clip->bottom);
            if (touches) {
                canvas.setFont(TextFont(t, fontScale, canvas.logicalDpiY()));
                canvas.setTransparentBackground(true);
                canvas.drawText(r, WideView(t.Text), false);
            }
        } else {
            r = DrawTextElement(canvas, t, off, scale, fontScale);
        }
        t.X2 = r.right / scale;
        t.Y2 = r.bottom / scale + off;
    }
}

}  // namespace tervasko
