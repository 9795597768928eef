#include "platform/recordingcanvas.h"

#include <algorithm>
#include <cstdint>

#include "platform/numeric.h"

namespace tervasko {
namespace {

// Any number of lines of any font: worked out wide, kept within the pixel range.
int clampToPixels(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, -kPixelLimit, kPixelLimit));
}

}  // namespace

void RecordingCanvas::setPen(Color color, int width, PenStyle style) {
    penColor_ = color;
    penWidth_ = width;
    penStyle_ = style;
}
void RecordingCanvas::setBrush(Color color) {
    brushHollow_ = false;
    brushColor_ = color;
}
void RecordingCanvas::setBrushHollow() {
    brushHollow_ = true;
}
void RecordingCanvas::setFont(const FontSpec& font) {
    font_ = font;
}
void RecordingCanvas::setTransparentBackground(bool transparent) {
    transparent_ = transparent;
}
void RecordingCanvas::moveTo(int x, int y) {
    pos_ = {x, y};
}

void RecordingCanvas::record(Op op, std::vector<IntPoint> points, std::u16string_view text) {
    entries_.push_back({op, std::move(points), std::u16string(text), penColor_, penWidth_,
                        penStyle_, brushHollow_, brushColor_, font_, transparent_});
}

void RecordingCanvas::lineTo(int x, int y) {
    record(Op::Line, {pos_, {x, y}});
    pos_ = {x, y};
}
void RecordingCanvas::rectangle(int left, int top, int right, int bottom) {
    record(Op::Rectangle, {{left, top}, {right, bottom}});
}
void RecordingCanvas::ellipse(int left, int top, int right, int bottom) {
    record(Op::Ellipse, {{left, top}, {right, bottom}});
}
void RecordingCanvas::arc(int left, int top, int right, int bottom, int x3, int y3, int x4,
                          int y4) {
    record(Op::Arc, {{left, top}, {right, bottom}, {x3, y3}, {x4, y4}});
}
void RecordingCanvas::bezierTo(IntPoint c1, IntPoint c2, IntPoint end) {
    record(Op::Bezier, {pos_, c1, c2, end});
    pos_ = end;
}
void RecordingCanvas::textOut(int x, int y, std::u16string_view text) {
    record(Op::TextOut, {{x, y}}, text);
}

int RecordingCanvas::textWidth(std::u16string_view text) {
    const int w = charWidth_ > 0 ? charWidth_ : std::max(1, font_.height / 2);
    return clampToPixels(static_cast<std::int64_t>(text.size()) * w);
}

IntRect RecordingCanvas::drawText(IntRect r, std::u16string_view text, bool measureOnly) {
    int widest = 0, lines = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos) end = text.size();
        std::u16string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
        widest = std::max(widest, textWidth(StripMnemonics(line)));
        ++lines;
        start = end + 1;
    }
    r.right = clampToPixels(std::int64_t{r.left} + widest);
    r.bottom = clampToPixels(std::int64_t{r.top} + std::int64_t{lines} * font_.height);
    if (!measureOnly) record(Op::DrawText, {{r.left, r.top}, {r.right, r.bottom}}, text);
    return r;
}

std::vector<RecordingCanvas::Entry> RecordingCanvas::entriesOf(Op op) const {
    std::vector<Entry> out;
    std::copy_if(entries_.begin(), entries_.end(), std::back_inserter(out),
                 [op](const Entry& e) { return e.op == op; });
    return out;
}

void RecordingCanvas::replay(Canvas& target, const IntRect* cull) const {
    const auto outside = [cull](const Entry& e) {
        if (!cull || e.op != Op::Line) return false;
        const long long m = std::max(1, e.penWidth) / 2 + 2;
        const long long left = std::min(e.points[0].x, e.points[1].x) - m;
        const long long right = std::max(e.points[0].x, e.points[1].x) + m;
        const long long top = std::min(e.points[0].y, e.points[1].y) - m;
        const long long bottom = std::max(e.points[0].y, e.points[1].y) + m;
        return right < cull->left || left > cull->right || bottom < cull->top || top > cull->bottom;
    };
    for (const Entry& e : entries_) {
        if (outside(e)) continue;
        target.setPen(e.penColor, e.penWidth, e.penStyle);
        if (e.brushHollow)
            target.setBrushHollow();
        else
            target.setBrush(e.brushColor);
        target.setFont(e.font);
        target.setTransparentBackground(e.transparent);
        const auto& p = e.points;
        switch (e.op) {
            case Op::Line:
                target.moveTo(p[0].x, p[0].y);
                target.lineTo(p[1].x, p[1].y);
                break;
            case Op::Rectangle:
                target.rectangle(p[0].x, p[0].y, p[1].x, p[1].y);
                break;
            case Op::Ellipse:
                target.ellipse(p[0].x, p[0].y, p[1].x, p[1].y);
                break;
            case Op::Arc:
                target.arc(p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y, p[3].x, p[3].y);
                break;
            case Op::Bezier:
                target.moveTo(p[0].x, p[0].y);
                target.bezierTo(p[1], p[2], p[3]);
                break;
            case Op::TextOut:
                target.textOut(p[0].x, p[0].y, e.text);
                break;
            case Op::DrawText:
                target.drawText({p[0].x, p[0].y, p[1].x, p[1].y}, e.text, false);
                break;
        }
    }
}

}  // namespace tervasko
