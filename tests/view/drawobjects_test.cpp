#include "view/drawobjects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

#include "platform/numeric.h"
#include "platform/recordingcanvas.h"

namespace tervasko {
namespace {

using Op = RecordingCanvas::Op;
constexpr double kScale = 3.7795350;  // zoom 100 at 96 dpi

TDrawElement* add(TDrawing& d, std::uint32_t kind, double width = 0.1) {
    TDrawElement* e = d.AppendElement();
    e->Kind = kind;
    e->Width = width;
    e->Color = 0x00AA00;
    return e;
}

TTextElement* addText(TDrawing& d, std::u16string_view text, double x, double y, int size = 10) {
    TTextElement* t = d.AppendText();
    t->X1 = x, t->Y1 = y;
    t->Text = NewWideBuffer(text);
    t->FontName = NewAnsiBuffer("Arial");
    t->FontSize = size;
    return t;
}

// Notes how many lines each call of lines() brings.
class BatchCanvas final : public RecordingCanvas {
public:
    void lines(const IntLine* lines, std::size_t count) override {
        batches.push_back(count);
        RecordingCanvas::lines(lines, count);
    }
    std::vector<std::size_t> batches;
};

// Lines of one pen go to the canvas in parts of a bounded size, all of them and in order,
// however many the sheet holds; another pen or another kind ends a part early.
TEST(DrawObjects, LinesOfOnePenGoToTheCanvasInBoundedPartsInOrder) {
    TDrawing d;
    constexpr int kLines = 10000;
    for (int i = 0; i < kLines; ++i) {
        TDrawElement* e = add(d, ekLine);
        e->X1 = 10, e->Y1 = 10 + i * 0.01, e->X2 = 20, e->Y2 = 10 + i * 0.01;
        if (i == 9000) e->Color = 0x0000FF;  // a pen of its own
    }
    BatchCanvas canvas;
    DrawObjects(canvas, d, 0, 1000, 1);
    std::size_t total = 0;
    for (std::size_t n : canvas.batches) {
        EXPECT_LE(n, 4096u);
        total += n;
    }
    EXPECT_EQ(total, std::size_t{kLines});
    EXPECT_EQ(canvas.batches, (std::vector<std::size_t>{4096, 4096, 808, 1, 999}));
    const std::vector<RecordingCanvas::Entry> lines = canvas.entriesOf(Op::Line);
    ASSERT_EQ(lines.size(), std::size_t{kLines});
    for (int i = 0; i < kLines; i += 997)
        EXPECT_EQ(lines[i].points[0].y, static_cast<int>(Round((10 + i * 0.01) * 1000))) << i;
    EXPECT_EQ(lines[9000].penColor, Color{0x0000FF});
}

TEST(DrawObjects, PenWidthsAndFontSizesRoundHalfToEven) {
    const struct {
        double mm;
        int px;
    } widths[] = {{0.1, 1}, {0.2, 1}, {0.4, 2}, {0, 1}, {1, 4}};
    for (const auto& w : widths) EXPECT_EQ(ElementPenWidth(w.mm, kScale), w.px) << w.mm;

    TTextElement t{};
    const struct {
        int size;
        double scale;
        int heightAt72Dpi;  // = points
    } fonts[] = {{10, 0.5, 5}, {10, 0.25, 2}, {12, 0.04, 1}, {12, 1, 12}};
    for (const auto& f : fonts) {
        t.FontSize = f.size;
        EXPECT_EQ(TextFont(t, f.scale, 72).height, f.heightAt72Dpi) << f.size << " x " << f.scale;
    }
    t.FontSize = 10;
    t.Style = fsBold | fsUnderline;
    const FontSpec f = TextFont(t, 1, 96);
    EXPECT_EQ(f.height, 13);  // Round(10 * 96 / 72)
    EXPECT_EQ(f.weight, 700);
    EXPECT_TRUE(f.underline);
    EXPECT_FALSE(f.italic);
}

TEST(DrawObjects, EveryKindOnTheSheetItFallsOnAndUnknownKindsSkipped) {
    TDrawing d;
    auto* line = add(d, ekLine, 0.4);
    line->X1 = 10, line->Y1 = 250, line->X2 = 20, line->Y2 = 350;  // crosses into sheet 1
    add(d, 7);                                                     // kept, not drawn
    auto* arc = add(d, ekArc);
    arc->X1 = 10, arc->Y1 = 400, arc->X2 = 30, arc->Y2 = 420;
    arc->X3 = 30, arc->Y3 = 410, arc->X4 = 20, arc->Y4 = 400;
    auto* circle = add(d, ekCircle);
    circle->X1 = 1, circle->Y1 = 2, circle->X2 = 3, circle->Y2 = 4;
    auto* curve = add(d, ekCurve);
    curve->X1 = 1, curve->Y1 = 1, curve->X2 = 2, curve->Y2 = 2, curve->X3 = 3, curve->Y3 = 3,
    curve->X4 = 4, curve->Y4 = 4;

    RecordingCanvas sheet1;
    DrawObjects(sheet1, d, 1, kScale, 1);
    const double off = 297;  // A4 sheet height in mm
    const auto& e = sheet1.entries();
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[0].op, Op::Line);
    EXPECT_EQ(e[0].points[0],
              (IntPoint{38, static_cast<int>(std::nearbyint((250 - off) * kScale))}));
    EXPECT_EQ(e[0].penWidth, 2);
    EXPECT_EQ(e[0].penColor, 0x00AA00u);
    EXPECT_EQ(e[1].op, Op::Arc);
    EXPECT_EQ(e[1].points[2],
              (IntPoint{113, static_cast<int>(std::nearbyint((410 - off) * kScale))}));
    EXPECT_EQ(e[2].op, Op::Ellipse);
    EXPECT_TRUE(e[2].brushHollow);
    EXPECT_EQ(e[3].op, Op::Bezier);
    EXPECT_EQ(e[3].points,
              (std::vector<IntPoint>{{4, -1119}, {8, -1115}, {11, -1111}, {15, -1107}}));
}

TEST(DrawObjects, TextsAreMeasuredDrawnAndTheirCornerStoredInStackMillimetres) {
    TDrawing d;
    add(d, ekLine);
    TTextElement* t = addText(d, u"ab\r\nabcd", 20, 300, 12);
    t->X2 = 999, t->Y2 = 999;  // stale corners have no influence
    addText(d, u"&Datei && mehr", 0, 0);

    RecordingCanvas canvas(96, 7);
    DrawObjects(canvas, d, 1, kScale, 1);
    const auto texts = canvas.entriesOf(Op::DrawText);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(canvas.entries().front().op, Op::Line);  // elements lie below texts
    const int top = static_cast<int>(std::nearbyint(3 * kScale));
    EXPECT_EQ(texts[0].points[0], (IntPoint{76, top}));
    EXPECT_EQ(texts[0].points[1], (IntPoint{76 + 4 * 7, top + 2 * 16}));  // widest line, two lines
    EXPECT_TRUE(texts[0].transparent);
    EXPECT_EQ(texts[0].font.height, 16);
    const TTextElement& stored = d.Texts.At(0);
    EXPECT_DOUBLE_EQ(stored.X2, (76 + 28) / kScale);
    EXPECT_DOUBLE_EQ(stored.Y2, (top + 32) / kScale + 297);
    // "&D" is a mark, "&&" one ampersand: 12 visible characters.
    EXPECT_EQ(texts[1].points[1].x - texts[1].points[0].x, 12 * 7);

    // A paint in the middle of a walk over the texts (an export that lets the window repaint)
    // leaves the walk where it was.
    d.Texts.Rewind();
    ASSERT_TRUE(d.Texts.Next());
    RecordingCanvas again(96, 7);
    DrawObjects(again, d, 1, kScale, 1);
    EXPECT_EQ(d.CurText, &d.Texts.At(0));
    ASSERT_TRUE(d.Texts.Next());
    EXPECT_EQ(d.CurText, &d.Texts.At(1));
}

}  // namespace
}  // namespace tervasko

namespace tervasko {
namespace {

// Numbers a damaged or hostile file can hold reach the canvas only as pixels, pens and
// fonts that a device can take: nothing overflows on the way, whatever the value.
TEST(DrawObjects, HostileNumbersBecomeBoundedPixelsPensAndFonts) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    TDrawing d;
    const double values[] = {nan, inf, -inf, 1e308, -1e308, 1e-308};
    for (std::uint32_t kind : {ekLine, ekArc, ekCircle, ekCurve}) {
        for (double v : values) {
            TDrawElement* e = add(d, kind, v);
            e->X1 = v, e->Y1 = -v, e->X2 = 5, e->Y2 = v, e->X3 = v, e->Y3 = 1, e->X4 = -v,
            e->Y4 = v;
        }
    }
    std::u16string manyLines;
    for (int i = 0; i < 100000; ++i) manyLines += u"x\n";
    for (double v : values) addText(d, manyLines, v, -v, std::numeric_limits<std::int32_t>::max());
    addText(d, u"klein", 10, 10, std::numeric_limits<std::int32_t>::min());

    RecordingCanvas canvas;
    DrawObjects(canvas, d, 3, kScale, 3.0);
    ASSERT_EQ(canvas.entries().size(), 4u * 6u + 7u);
    for (const auto& e : canvas.entries()) {
        EXPECT_GE(e.penWidth, 1);
        EXPECT_LE(e.penWidth, kMaxPenPx);
        if (e.op == Op::DrawText) {
            EXPECT_GE(e.font.height, 1);
            EXPECT_LE(e.font.height, kMaxFontPx);
        }
        for (const IntPoint& p : e.points) {
            EXPECT_LE(std::abs(p.x), kPixelLimit);
            EXPECT_LE(std::abs(p.y), kPixelLimit);
        }
    }
    // The huge font's text is measured to the edge of the pixel range, not past it.
    const auto texts = canvas.entriesOf(Op::DrawText);
    EXPECT_EQ(texts.front().points[1].y, kPixelLimit);
    EXPECT_EQ(texts.back().font.height, kMaxFontPx);  // a negative size counts by its amount
    d.Texts.Rewind();
    while (d.Texts.Next()) EXPECT_TRUE(std::isfinite(d.CurText->Y2));
}

}  // namespace
}  // namespace tervasko
