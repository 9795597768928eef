#include "tools/texts.h"

#include <algorithm>

#include "platform/cp1252.h"
#include "tools/gesturestate.h"
#include "tools/pointer.h"
#include "view/drawobjects.h"

namespace tervasko {
namespace {

bool between(double v, double a, double b) {
    return std::min(a, b) <= v && v <= std::max(a, b);
}

bool namesText(const PointerContext& p, std::int32_t i) {
    return p.g.Hover.Kind == HoverState::List::Texts && i >= 0 &&
           static_cast<std::uint32_t>(i) < p.drawing.Texts.Count();
}

// The highlighted text, or nullptr when the index no longer names one (the drawing was
// replaced or shortened since the scan).
TTextElement* hoveredText(PointerContext& p) {
    return namesText(p, p.g.Hover.Index) ? p.drawing.Texts.Select(p.g.Hover.Index) : nullptr;
}

// A text drawn as the renderer draws it (same font, measured, then laid out), with its
// top-left corner at that of `box`, in `color`, onto the paint box.
void drawTextOnScreen(PointerContext& p, const TTextElement& text, IntRect box,
                      std::int32_t color) {
    TTextElement shown = text;
    shown.Color = color;
    Canvas& c = p.host.ScreenCanvas();
    c.setFont(TextFont(shown, p.host.Zoom() / 100.0, c.logicalDpiY()));
    c.setTransparentBackground(true);
    const std::u16string_view content = WideView(text.Text);
    c.drawText(c.drawText(box, content, true), content, false);
}

// The text's box on the paint box as sheet `sheet` shows it, shifted by (dx, dy) pixels.
IntRect screenBox(const PointerContext& p, const TTextElement& t, int sheet, int dx, int dy) {
    const IntPoint a = ScreenPointOn(p, {t.X1, t.Y1}, sheet);
    const IntPoint b = ScreenPointOn(p, {t.X2, t.Y2}, sheet);
    return {a.x + dx, a.y + dy, b.x + dx, b.y + dy};
}

void fillText(TTextElement& t, const TextInput& input) {
    t.Text = NewWideBuffer(input.text);
    SetTextFont(t, input.font);
}

}  // namespace

TextFontChoice FontOfText(const TTextElement& text) {
    TextFontChoice f;
    f.face = Utf16ToUtf8(Cp1252ToUtf16(AnsiView(text.FontName)));
    f.size = text.FontSize;
    f.color = text.Color;
    f.charset = text.Charset;
    f.pitch = text.Pitch;
    f.style = text.Style;
    return f;
}

void SetTextFont(TTextElement& text, const TextFontChoice& font) {
    FreeAnsiBuffer(text.FontName);
    text.FontName = NewAnsiBuffer(Utf16ToCp1252(Utf8ToUtf16(font.face)));
    text.FontSize = font.size;
    text.Color = font.color;
    text.Charset = font.charset;
    text.Pitch = font.pitch;
    text.Style = font.style;
}

void TextTool::HoverScan(PointerContext& p) {
    GestureState& g = p.g;
    g.Hover.Found = false;
    // Texts are hit where the sheet under the pointer shows them, in its pixels.
    const int sheet = p.sheetHere();
    const PointD q = p.sheetPixel(sheet);
    // The text drawn last lies on top: it is tested first.
    for (std::int32_t i = static_cast<std::int32_t>(p.drawing.Texts.Count()) - 1; i >= 0; --i) {
        const TTextElement& t = *p.drawing.Texts.Select(i);
        const IntPoint a = p.view.SheetBufferPixel({t.X1, t.Y1}, sheet);
        const IntPoint b = p.view.SheetBufferPixel({t.X2, t.Y2}, sheet);
        // Both bounds count, in either order.
        const bool hit = between(q.x, a.x, b.x) && between(q.y, a.y, b.y);
        if (!hit) continue;
        p.host.Paint();
        drawTextOnScreen(p, t, screenBox(p, t, sheet, 0, 0), static_cast<std::int32_t>(kRed));
        g.Hover.Found = true;
        g.Hover.Valid = true;
        g.Hover.Index = i;
        g.Hover.Kind = HoverState::List::Texts;
        g.Hover.Sheet = sheet;
        return;
    }
    if (g.Hover.Valid) {
        g.Hover.Valid = false;
        p.host.Paint();  // takes the highlight away
    }
}

void TextTool::AddPress(PointerContext& p) {
    TextInput input;
    if (!p.host.AskText(nullptr, input)) return;
    TTextElement* t = p.drawing.AppendText();
    if (!t) return;
    p.host.RecordEdit(TextAppended(p.drawing.Texts.Count() - 1), "Text hinzufügen");
    const PointD corner = p.Q();
    t->X1 = corner.x;
    t->Y1 = corner.y;
    // The renderer measures the text and sets the far corner; until it has, the box is the
    // corner alone rather than one reaching back to the origin.
    t->X2 = t->X1;
    t->Y2 = t->Y1;
    fillText(*t, input);
    p.host.Paint();
}

void TextTool::ChangePress(PointerContext& p) {
    if (!p.g.Hover.Valid) return;
    if (!namesText(p, p.g.Hover.Index)) return;
    p.g.Hover.Valid = false;
    const std::int32_t index = p.g.Hover.Index;
    TextInput preset;
    {
        const TTextElement& t = *p.drawing.Texts.Select(index);
        preset.text = std::u16string(WideView(t.Text));
        preset.font = FontOfText(t);
    }
    TextInput input;
    // The dialog is modal; the list is looked up again afterwards rather than trusted.
    if (p.host.AskText(&preset, input) && namesText(p, index)) {
        TTextElement& t = *p.drawing.Texts.Select(index);
        TTextElement before = CopyText(t);
        FreeWideBuffer(t.Text);
        fillText(t, input);
        p.host.RecordEdit(TextChanged(static_cast<std::uint32_t>(index), before, t), "Text ändern");
        FreeTextStrings(before);
    }
    p.host.Paint();
}

void TextTool::DeletePress(PointerContext& p) {
    if (!p.g.Hover.Valid) return;
    TTextElement* t = hoveredText(p);
    if (!t) return;
    p.g.Hover.Valid = false;
    // The step keeps the record and its strings, to put them back when it is taken back.
    const TTextElement removed = *t;
    p.drawing.Texts.Delete(p.g.Hover.Index);
    p.host.RecordEdit(TextRemoved(static_cast<std::uint32_t>(p.g.Hover.Index), removed),
                      "Text löschen");
    p.host.Paint();
}

void TextTool::DragPress(PointerContext& p) {
    if (!p.g.Hover.Valid || !namesText(p, p.g.Hover.Index)) return;
    // The highlight stays: after the put-down the text is still the one under the pointer.
    Dragging = true;
    p.g.AnchorX = p.x;
    p.g.AnchorY = p.y;
}

void TextTool::DragPreview(PointerContext& p) {
    p.host.Paint();
    const TTextElement* t = hoveredText(p);
    if (!t) return;
    drawTextOnScreen(p, *t, screenBox(p, *t, p.g.Hover.Sheet, p.x - p.g.AnchorX, p.y - p.g.AnchorY),
                     t->Color);
}

void TextTool::PutDown(PointerContext& p) {
    Dragging = false;
    if (TTextElement* t = hoveredText(p)) {
        const double dx = p.view.LengthMm(p.x - p.g.AnchorX);
        const double dy = p.view.LengthMm(p.y - p.g.AnchorY);
        const TTextElement before = *t;
        t->X1 += dx, t->X2 += dx;
        t->Y1 += dy, t->Y2 += dy;
        p.host.RecordEdit(TextChanged(static_cast<std::uint32_t>(p.g.Hover.Index), before, *t),
                          "Text verschieben");
    }
    p.host.Paint();
}

}  // namespace tervasko
