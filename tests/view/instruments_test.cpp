#include "view/instruments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "platform/numeric.h"
#include "platform/recordingcanvas.h"

namespace tervasko {
namespace {

using Op = RecordingCanvas::Op;
constexpr double kScale = 3.7795350;  // zoom 100 at 96 dpi

std::vector<std::u16string> labels(const RecordingCanvas& c) {
    std::vector<std::u16string> out;
    for (const auto& e : c.entriesOf(Op::TextOut)) out.push_back(e.text);
    return out;
}

TEST(Ruler, TicksAndLabelsInMillimetresAndInches) {
    InstrumentPlacement p;
    for (bool inches : {false, true}) {
        RecordingCanvas c;
        DrawRuler(c, p, kScale, 794, 1123, inches);
        const auto lines = c.entriesOf(Op::Line);
        const int ticks = inches ? 199 : 507;
        ASSERT_EQ(lines.size(), 4u + ticks);
        const auto text = labels(c);
        ASSERT_EQ(text.size(), inches ? 19u : 50u);
        EXPECT_EQ(text.front(), u"1");
        EXPECT_EQ(text.back(), inches ? u"19" : u"50");
        const auto font = c.entriesOf(Op::TextOut).front().font;
        EXPECT_EQ(font.height, 10);
        EXPECT_EQ(font.face, "Arial");
        EXPECT_EQ(font.escapement, 0);
        // Outline: the graduated edge from R0 along the ruler, 1917 px long.
        EXPECT_EQ(lines[0].points, (std::vector<IntPoint>{{38, 340}, {38 + 1917, 340}}));
        EXPECT_EQ(lines[2].points, (std::vector<IntPoint>{{38, 340}, {38, 378}}));
        // Tick lengths 3, 4.5 and 6 mm (in millimetres also in inch mode), hanging down.
        EXPECT_EQ(lines[4].points[1].y - lines[4].points[0].y, 11);
        EXPECT_EQ(lines[8].points[1].y - lines[8].points[0].y, 17);
        EXPECT_EQ(lines[13].points[1].y - lines[13].points[0].y, 23);
    }
}

TEST(Ruler, TurnedByNinetyDegreesHangsDownWithTheStripToTheLeft) {
    InstrumentPlacement p;
    p.LinealAngle = 90;
    RecordingCanvas c(96, 6);
    DrawRuler(c, p, kScale, 794, 1123, false);
    const auto lines = c.entriesOf(Op::Line);
    EXPECT_EQ(lines[0].points[1], (IntPoint{38, 340 + 1917}));
    EXPECT_EQ(lines[2].points[1], (IntPoint{38 - 38, 340}));  // v points to -x
    const auto first = c.entriesOf(Op::TextOut).front();
    EXPECT_EQ(first.font.escapement, -900);
    // Label "1": 10 mm down, moved back half its width (3 px) and 6 mm into the ruler.
    EXPECT_EQ(first.points[0],
              (IntPoint{38 - 23, static_cast<int>(std::nearbyint(90 * kScale + 10 * kScale - 3))}));
}

// A recording canvas of which only a part counts.
class PartCanvas : public RecordingCanvas {
public:
    explicit PartCanvas(IntRect area) : RecordingCanvas(96, 6), area_(area) {}
    std::optional<IntRect> shownArea() const override { return area_; }

private:
    IntRect area_;
};

// What `shown` drew is what `whole` drew, in the same order, and nothing of `whole` that comes
// near `part` (within a label's size for texts) is missing. Returns how much was left out.
std::size_t expectOnlyOutsideLeftOut(const RecordingCanvas& whole, const RecordingCanvas& shown,
                                     const IntRect& part) {
    const auto same = [](const RecordingCanvas::Entry& a, const RecordingCanvas::Entry& b) {
        return a.op == b.op && a.points == b.points && a.text == b.text &&
               (a.op != Op::TextOut || a.font == b.font);
    };
    auto at = whole.entries().begin();
    for (const auto& e : shown.entries()) {
        at = std::find_if(at, whole.entries().end(),
                          [&](const RecordingCanvas::Entry& w) { return same(w, e); });
        EXPECT_NE(at, whole.entries().end());
        if (at == whole.entries().end()) return 0;
    }
    for (const auto& e : whole.entries()) {
        int l = e.points[0].x, t = e.points[0].y, r = l, b = t;
        for (const IntPoint& q : e.points)
            l = std::min(l, q.x), t = std::min(t, q.y), r = std::max(r, q.x), b = std::max(b, q.y);
        const int reach = e.op == Op::TextOut ? 4 * e.font.height : 2;
        if (r + reach < part.left || l - reach >= part.right || b + reach < part.top ||
            t - reach >= part.bottom)
            continue;
        EXPECT_TRUE(std::any_of(shown.entries().begin(), shown.entries().end(),
                                [&](const auto& s) { return same(s, e); }))
            << "missing at " << l << "," << t;
    }
    return whole.entries().size() - shown.entries().size();
}

// With only part of the canvas shown the ruler leaves out ticks and labels that lie wholly
// outside that part, and only those: at any turn, in inches too, for parts on, beside and
// beyond the ruler, of one pixel up to the whole sheet.
TEST(Ruler, APartShownLeavesOutOnlyWhatLiesOutsideIt) {
    const IntRect parts[] = {{300, 320, 340, 400}, {0, 0, 800, 1100},     {600, 600, 601, 601},
                             {-50, 300, 60, 420},  {100, 900, 500, 1000}, {2000, 2000, 2100, 2100}};
    std::size_t left = 0;
    for (const double angle : {0.0, 33.3, 90.0, 137.0, 200.0, -75.0}) {
        for (const bool inches : {false, true}) {
            InstrumentPlacement p;
            p.LinealX = 60, p.LinealY = 95, p.LinealAngle = angle;
            RecordingCanvas whole(96, 6);
            DrawRuler(whole, p, kScale, 800, 1100, inches);
            for (const IntRect& part : parts) {
                SCOPED_TRACE(::testing::Message() << angle << (inches ? " in" : " mm") << " part "
                                                  << part.left << "," << part.top);
                PartCanvas shown(part);
                DrawRuler(shown, p, kScale, 800, 1100, inches);
                left += expectOnlyOutsideLeftOut(whole, shown, part);
            }
        }
    }
    EXPECT_GT(left, 1000u);  // the parts did leave things out
}

// So does the protractor: parts on every side of its rim, inside it, holding its centre, far
// off, at any turn, for a protractor too small to tell directions by.
TEST(Protractor, APartShownLeavesOutOnlyWhatLiesOutsideIt) {
    const IntRect parts[] = {{300, 300, 340, 330}, {100, 300, 420, 420}, {200, 90, 260, 130},
                             {90, 180, 130, 260},  {380, 200, 420, 240}, {250, 250, 251, 251},
                             {230, 230, 270, 270}, {900, 900, 950, 950}, {0, 0, 800, 1100}};
    std::size_t left = 0;
    for (const double turn : {0.0, 33.3, -170.0, 359.9, 1234.5}) {
        for (const double diameter : {100.0, 8.0}) {
            InstrumentPlacement p;
            p.WinkelX = 66, p.WinkelY = 66, p.WinkelAngle = turn;
            RecordingCanvas whole(96, 6);
            DrawProtractor(whole, p, diameter, kScale);
            for (const IntRect& part : parts) {
                SCOPED_TRACE(::testing::Message() << turn << " diameter " << diameter << " part "
                                                  << part.left << "," << part.top);
                PartCanvas shown(part);
                DrawProtractor(shown, p, diameter, kScale);
                left += expectOnlyOutsideLeftOut(whole, shown, part);
            }
        }
    }
    EXPECT_GT(left, 5000u);
}

TEST(Protractor, CirclesTicksAndLabels) {
    InstrumentPlacement p;
    RecordingCanvas c;
    DrawProtractor(c, p, 80, kScale);
    const auto circles = c.entriesOf(Op::Ellipse);
    ASSERT_EQ(circles.size(), 2u);
    EXPECT_EQ(circles[0].points, (std::vector<IntPoint>{{38, 38}, {340, 340}}));
    EXPECT_EQ(circles[1].points, (std::vector<IntPoint>{{76, 76}, {302, 302}}));
    EXPECT_TRUE(circles[0].brushHollow);
    const auto lines = c.entriesOf(Op::Line);
    ASSERT_EQ(lines.size(), 2u + 360);
    EXPECT_EQ(lines[0].points, (std::vector<IntPoint>{{76, 189}, {302, 189}}));  // base line
    // Degree 0 on the left, ticks pointing inwards: 4 mm long, 3 mm at 5, 2 mm otherwise.
    EXPECT_EQ(lines[2].points, (std::vector<IntPoint>{{38, 189}, {53, 189}}));
    const auto mm = [](const std::vector<IntPoint>& l) {
        return std::hypot(l[1].x - l[0].x, l[1].y - l[0].y) / kScale;
    };
    EXPECT_NEAR(mm(lines[2 + 5].points), 3, 0.3);
    EXPECT_NEAR(mm(lines[2 + 7].points), 2, 0.3);
    EXPECT_EQ(labels(c).size(), 36u);
    const auto ninety = c.entriesOf(Op::TextOut)[9];
    EXPECT_EQ(ninety.text, u"90");
    EXPECT_EQ(ninety.font.escapement, -900);
    EXPECT_LT(ninety.points[0].y, 189 - 100);  // at the top

    p.WinkelAngle = 30;
    RecordingCanvas turned;
    DrawProtractor(turned, p, 80, kScale);
    EXPECT_EQ(turned.entriesOf(Op::Ellipse)[0].points, circles[0].points);
    EXPECT_EQ(turned.entriesOf(Op::TextOut)[0].font.escapement, -300);
}

TEST(Compass, PointsAtStartAndWithZeroSpan) {
    InstrumentPlacement p;
    RecordingCanvas c;
    DrawCompass(c, p, 45, kScale);
    const auto lines = c.entriesOf(Op::Line);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0].points, (std::vector<IntPoint>{{556, 189}, {578, 189}}));  // cross, k = 11
    EXPECT_EQ(lines[1].points, (std::vector<IntPoint>{{567, 178}, {567, 200}}));
    EXPECT_EQ(lines[2].points, (std::vector<IntPoint>{{567, 189}, {674, 296}}));  // N'-P'
    EXPECT_EQ(c.entriesOf(Op::Ellipse)[0].points, (std::vector<IntPoint>{{609, 231}, {631, 253}}));

    p.ZirkelSpan = 0;
    RecordingCanvas closed;
    DrawCompass(closed, p, 45, kScale);
    EXPECT_EQ(closed.entriesOf(Op::Ellipse)[0].points,
              (std::vector<IntPoint>{{556, 178}, {578, 200}}));
    const auto s1s2 = closed.entriesOf(Op::Line).back().points;
    const int len = std::max(std::abs(s1s2[1].x - s1s2[0].x), std::abs(s1s2[1].y - s1s2[0].y));
    EXPECT_EQ(len, 16);  // the 6 mm line S1-S2 across the needle, at 45 degrees
}

// At start: the long edge level with its zero mark at (105, 160) mm, the corner below.
TEST(SetSquare, TriangleScalesAndLabelsAtStartAndTurned) {
    InstrumentPlacement p;
    RecordingCanvas c(96, 6);
    DrawSetSquare(c, p, kScale);
    const auto lines = c.entriesOf(Op::Line);
    // Outline, 15 parallels and the perpendicular, 141 millimetre and 181 degree ticks.
    ASSERT_EQ(lines.size(), 3u + 16 + 141 + 181);
    EXPECT_EQ(lines[0].points, (std::vector<IntPoint>{{94, 605}, {699, 605}}));
    EXPECT_EQ(lines[1].points, (std::vector<IntPoint>{{699, 605}, {397, 907}}));
    EXPECT_EQ(lines[18].points, (std::vector<IntPoint>{{397, 605}, {397, 907}}));
    // The zero mark's tick, 6 mm into the triangle, and the 90 degree tick below it, 4 mm
    // long towards the zero mark from the 50 mm semicircle.
    EXPECT_EQ(lines[19 + 70].points, (std::vector<IntPoint>{{397, 605}, {397, 627}}));
    EXPECT_EQ(lines[19 + 141 + 90].points, (std::vector<IntPoint>{{397, 794}, {397, 779}}));
    // Degree 0 at the -70 end, 180 at the +70 end.
    EXPECT_EQ(lines[19 + 141].points[0], (IntPoint{208, 605}));
    EXPECT_EQ(lines[19 + 141 + 180].points[0], (IntPoint{586, 605}));
    const auto texts = c.entriesOf(Op::TextOut);
    ASSERT_EQ(texts.size(), 15u + 2 * 19);
    // Centimetres outwards from the zero mark, each centred under its tick 6 mm in: "1" of
    // +10 mm is 6 px wide.
    std::vector<std::u16string> cm;
    for (int i = 0; i < 15; ++i) cm.push_back(texts[i].text);
    EXPECT_EQ(cm, (std::vector<std::u16string>{u"7", u"6", u"5", u"4", u"3", u"2", u"1", u"0", u"1",
                                               u"2", u"3", u"4", u"5", u"6", u"7"}));
    EXPECT_EQ(texts[8].points[0], (IntPoint{432, 627}));
    EXPECT_EQ(texts[8].font.escapement, 0);
    EXPECT_EQ(texts[8].font.height, 10);
    EXPECT_EQ(texts[8].font.face, "Arial");
    // Two rows: 90 above 90, reading up from the rim towards the zero mark.
    const auto ninety = texts[15 + 2 * 9];
    EXPECT_EQ(ninety.text, u"90");
    EXPECT_EQ(texts[15 + 2 * 9 + 1].text, u"90");
    EXPECT_EQ(ninety.font.escapement, 900);
    EXPECT_GT(ninety.points[0].y, 605 + 150);
    EXPECT_EQ(texts[15 + 2].text, u"10");
    EXPECT_EQ(texts[15 + 3].text, u"170");
    // The numbers of 0 and 180, whose ray is the long edge, stand inside the triangle.
    for (const int i : {15, 16, 15 + 36, 15 + 37}) {
        EXPECT_GE(texts[i].points[0].y, 605) << i;
        EXPECT_LE(texts[i].points[0].y, 605 + 11) << i;
    }

    // A quarter turn clockwise: the +70 end below the zero mark, the corner to its left.
    p.GeoAngle = 90;
    RecordingCanvas turned(96, 6);
    DrawSetSquare(turned, p, kScale);
    const auto tl = turned.entriesOf(Op::Line);
    EXPECT_EQ(tl[0].points, (std::vector<IntPoint>{{397, 302}, {397, 907}}));
    EXPECT_EQ(tl[1].points, (std::vector<IntPoint>{{397, 907}, {94, 605}}));
    EXPECT_EQ(tl[19 + 141 + 90].points, (std::vector<IntPoint>{{208, 605}, {223, 605}}));
    const auto tt = turned.entriesOf(Op::TextOut);
    EXPECT_EQ(tt[8].points[0], (IntPoint{374, 640}));
    EXPECT_EQ(tt[8].font.escapement, -900);
    const IntRect b = SetSquareBounds(p, kScale);
    for (const auto& e : turned.entries())
        for (const IntPoint& pt : e.points) {
            EXPECT_TRUE(pt.x >= b.left && pt.x < b.right && pt.y >= b.top && pt.y < b.bottom);
        }
}

}  // namespace
}  // namespace tervasko

namespace tervasko {
namespace {

// Placements a file may hold (any finite number) draw the instruments far off the sheet
// without overflowing a pixel or the labels' turning angle.
TEST(Instruments, HugePlacementsStayWithinThePixelRange) {
    InstrumentPlacement p;
    p.LinealX = 1e308, p.LinealY = -1e308, p.LinealAngle = 1e308;
    p.WinkelX = -1e300, p.WinkelY = 1e300, p.WinkelAngle = -1e308;
    p.ZirkelX = 1e308, p.ZirkelY = 1e308, p.ZirkelSpan = -1e308;
    RecordingCanvas c;
    DrawRuler(c, p, 3.78, 794, 1123, false);
    DrawProtractor(c, p, 1e308, 3.78);
    DrawCompass(c, p, 1e308, 3.78);
    p.GeoX = -1e308, p.GeoY = 1e308, p.GeoAngle = 1e308;
    DrawSetSquare(c, p, 3.78);
    ASSERT_FALSE(c.entries().empty());
    for (const auto& e : c.entries()) {
        // A few pixels beyond the limit where a mark is drawn around a clamped point.
        for (const IntPoint& pt : e.points) {
            EXPECT_LE(std::abs(pt.x), kPixelLimit + 100);
            EXPECT_LE(std::abs(pt.y), kPixelLimit + 100);
        }
        EXPECT_LT(std::abs(e.font.escapement), 3600);
    }
}

}  // namespace
}  // namespace tervasko
