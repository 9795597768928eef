#include "platform/qt/textruns.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <string>
#include <vector>

#include "platform/qt/qtcanvas.h"

namespace tervasko {
namespace {

struct Label {
    int escapement;
    std::u16string text;
    IntPoint at;
    bool opaque = false;
};

// Labels all round: the turns the brief cases need (none, a right angle, a fraction of a
// degree, upside down and beyond, clockwise), then the protractor's thirty-six, more than
// one font engine keeps glyphs for.
std::vector<Label> labelsAllRound() {
    std::vector<Label> labels = {
        {0, u"0", {30, 30}},
        {900, u"10", {90, 90}},
        {375, u"350", {150, 60}, true},
        {1800, u"Wavy fj 1.5", {300, 60}},
        {2137, u"\u00C4\u20AC\u00DF\u0151", {330, 120}, true},
        {-100, u"\u03A9\u03BC\u03AD\u03B3\u03B1", {40, 200}},
        {3599, u"Ligature fi ffl", {60, 260}},
        {-4500, u"350", {200, 200}},
        {0, u"\u05E9\u05DC\u05D5\u05DD", {250, 260}},  // right to left: drawn as before
        {2700, u"a\tb", {280, 280}},
    };
    for (int n = 0; n < 360; n += 10) {
        const int turn = -(n * 10 + 33);
        labels.push_back(
            {turn,
             std::u16string(u"") + char16_t(u'0' + n / 100) + char16_t(u'0' + n / 10 % 10) + u"0",
             {200 + (n % 90) * 2, 150 + n / 3}});
    }
    return labels;
}

// Draws the labels on a canvas, from kept lines when `runs` is given.
QImage draw(const std::vector<Label>& labels, const char* face, int height, QPointF shift,
            double scale, TextRuns* runs, std::vector<int>* widths) {
    QImage image(420, 320, QImage::Format_RGB32);
    image.fill(0xF0E8D0);
    QPainter painter(&image);
    painter.translate(shift);
    painter.scale(scale, scale);
    QtCanvas canvas(painter, 96);
    if (runs) canvas.KeepTextRuns(runs);
    // A pen of the grey labels' colour, as the instruments have: the blue ones need another.
    canvas.setPen(kGrey, 1);
    for (const Label& l : labels) {
        FontSpec font;
        font.face = face;
        font.height = height;
        font.escapement = l.escapement;
        font.color = l.opaque ? 0x2040C0 : kGrey;
        canvas.setFont(font);
        canvas.setTransparentBackground(!l.opaque);
        if (widths) widths->push_back(canvas.textWidth(l.text));
        canvas.textOut(l.at.x, l.at.y, l.text);
    }
    return image;
}

// Kept lines give exactly the pixels of QPainter::drawText, and the same widths, in several
// faces and sizes, at all turns, at fractional and scaled painter positions; and again on a
// second paint, which draws from the lines the first one kept.
TEST(TextRuns, KeptLinesDrawTheSamePixelsAsDrawText) {
    const std::vector<Label> labels = labelsAllRound();
    struct Case {
        const char* face;
        int height;
        QPointF shift;
        double scale;
    };
    const Case cases[] = {
        {"Arial", 11, {0, 0}, 1},          {"Arial", 8, {0.37, 0.61}, 1},
        {"Arial", 13, {0.5, 0.25}, 1},     {"Times New Roman", 21, {0.2, 0.9}, 1},
        {"Courier New", 13, {0.75, 0}, 1}, {"DejaVu Sans", 40, {0.1, 0.3}, 1},
        {"Arial", 11, {0.3, 0.3}, 1.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.face << " " << c.height << " px at " << c.shift.x()
                                          << "," << c.shift.y() << " scaled " << c.scale);
        std::vector<int> plainWidths, keptWidths;
        const QImage plain =
            draw(labels, c.face, c.height, c.shift, c.scale, nullptr, &plainWidths);
        TextRuns runs;
        const QImage first = draw(labels, c.face, c.height, c.shift, c.scale, &runs, &keptWidths);
        const QImage second = draw(labels, c.face, c.height, c.shift, c.scale, &runs, nullptr);
        EXPECT_TRUE(first == plain);
        EXPECT_TRUE(second == plain);
        EXPECT_EQ(keptWidths, plainWidths);
        int drawn = 0;
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x) drawn += plain.pixel(x, y) != plain.pixel(0, 0);
        EXPECT_GT(drawn, 1000);
    }
}

// Later paints draw from what the first one kept, and what is kept stays bounded.
TEST(TextRuns, RepaintsReuseTheirLinesAndManyTextsAreForgotten) {
    const std::vector<Label> labels = labelsAllRound();
    TextRuns runs;
    draw(labels, "Arial", 11, {}, 1, &runs, nullptr);
    const std::size_t lines = runs.Lines();
    EXPECT_GT(lines, 36u);
    for (int paint = 0; paint < 3; ++paint) {
        runs.Trim();
        draw(labels, "Arial", 11, {}, 1, &runs, nullptr);
    }
    EXPECT_EQ(runs.Lines(), lines);
    EXPECT_EQ(runs.Fonts(), 1u);

    std::vector<Label> many;
    for (int i = 0; i < 3000; ++i) {
        const std::string n = std::to_string(i);
        many.push_back({0, std::u16string(n.begin(), n.end()), {10, 10}});
    }
    draw(many, "Arial", 11, {}, 1, &runs, nullptr);
    runs.Trim();
    EXPECT_EQ(runs.Lines(), 0u);
    EXPECT_EQ(runs.Fonts(), 0u);
}

}  // namespace
}  // namespace tervasko
