#include "tools/elements.h"

#include <cmath>
#include <limits>

#include "tools/fakewindow.h"

namespace tervasko::tooltest {
namespace {

using Op = RecordingCanvas::Op;
using T = ToolItem;

class Elements : public ToolTest {
protected:
    // An element whose points lie at the given stack pixels (zoom 100, 96 dpi).
    TDrawElement& add(std::uint32_t kind, std::initializer_list<double> px, double width = 0.1) {
        TDrawElement& e = *drawing.AppendElement();
        e.Kind = kind;
        e.Width = width;
        double* coords[] = {&e.X1, &e.Y1, &e.X2, &e.Y2, &e.X3, &e.Y3, &e.X4, &e.Y4};
        int i = 0;
        for (double v : px) *coords[i++] = v / s();
        return e;
    }
};

TEST_F(Elements, HitTestOfLinesArcsAndCircles) {
    const TDrawElement& line = add(ekLine, {100, 100, 200, 100});
    const TDrawElement& circle = add(ekCircle, {250, 250, 350, 350});
    // An arc over the upper right quarter only; its whole circle is sensitive.
    const TDrawElement& arc = add(ekArc, {250, 250, 350, 350, 400, 300, 300, 200});
    const TDrawElement& curve = add(ekCurve, {100, 100, 150, 100, 160, 100, 200, 100});
    const TDrawElement& point = add(ekLine, {100, 100, 100, 100});
    const TDrawElement& reversed = add(ekCircle, {350, 350, 250, 250});
    TDrawElement unknown = line;
    unknown.Kind = 7;
    TDrawElement broken = line;
    broken.X2 = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const TDrawElement* e;
        double x, y;
        bool hit;
    } cases[] = {
        {&line, 150, 102, true},     {&line, 150, 103, false},  // the distance must be less than 3
        {&line, 150, 98, true},      {&line, 199, 101, true},
        {&line, 200, 101, false},  // QA = 100.005 exceeds the length 100
        {&line, 205, 100, false},    {&line, 95, 100, false},  // on the line, beyond its ends
        {&line, 100, 100, true},     {&line, 200, 100, true},
        {&circle, 352, 300, true},   {&circle, 353, 300, false},
        {&circle, 300, 300, false},  {&circle, 300, 248, true},
        {&arc, 250, 300, true},      {&arc, 300, 352, true},
        {&reversed, 352, 300, true}, {&curve, 150, 100, false},
        {&point, 100, 100, false},   {&unknown, 150, 100, false},
        {&broken, 150, 100, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ElementHit(*c.e, s(), c.x, c.y), c.hit)
            << "kind " << c.e->Kind << " at " << c.x << "," << c.y;
}

TEST_F(Elements, HoverHighlightsTheTopmostPickableElementWithTheWidePen) {
    host.choose({T::Objekte1, T::ObjekteLschen1});
    add(ekLine, {100, 100, 200, 100}, 1);
    add(ekLine, {150, 50, 150, 150});                        // crosses the first at (150, 100)
    add(ekCurve, {100, 100, 150, 100, 160, 100, 200, 100});  // on top, never picked
    add(ekCircle, {250, 250, 350, 350});
    add(ekArc, {250, 250, 350, 350, 400, 300, 300, 200}, 1);

    move(155, 105);  // the later of the two lines, beneath the curve
    auto lines = host.screen.entriesOf(Op::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points, (std::vector<IntPoint>{{155, 55}, {155, 155}}));
    EXPECT_EQ(lines[0].penColor, kRed);
    EXPECT_EQ(lines[0].penWidth, 2);  // 0.1 mm: Round(0.756) = 1, raised to 2

    move(125, 105);  // the first line alone
    lines = host.screen.entriesOf(Op::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points, (std::vector<IntPoint>{{105, 105}, {205, 105}}));
    EXPECT_EQ(lines[0].penWidth, 8);  // 1 mm: Round(7.559)

    move(305, 355);  // the circle and the arc's undrawn part: the arc is the later one
    EXPECT_TRUE(host.screen.entriesOf(Op::Ellipse).empty());
    const auto arcs = host.screen.entriesOf(Op::Arc);
    ASSERT_EQ(arcs.size(), 1u);
    EXPECT_EQ(arcs[0].points,
              (std::vector<IntPoint>{{255, 255}, {355, 355}, {405, 305}, {305, 205}}));
    EXPECT_TRUE(arcs[0].brushHollow);
    EXPECT_EQ(arcs[0].penWidth, 8);
    EXPECT_EQ(host.paints, 3);  // a cycle under every highlight

    drawing.Elements.Delete(4);
    move(305, 355);
    const auto ellipses = host.screen.entriesOf(Op::Ellipse);
    ASSERT_EQ(ellipses.size(), 1u);
    EXPECT_EQ(ellipses[0].points, (std::vector<IntPoint>{{255, 255}, {355, 355}}));
    EXPECT_TRUE(ellipses[0].brushHollow);

    move(600, 600);  // the highlight is lost: one cycle takes it away
    EXPECT_TRUE(host.screen.entries().empty());
    EXPECT_EQ(host.measured.kind, Measurement::Kind::None);
    EXPECT_EQ(host.paints, 5);
    move(601, 600);
    EXPECT_EQ(host.paints, 5);
    press(601, 600, MouseButton::Right);  // and a press there deletes nothing
    EXPECT_EQ(drawing.Elements.Count(), 4u);
}

TEST_F(Elements, DeleteRemovesTheHighlightedElementAndTheCommandTheLastOne) {
    host.choose({T::Objekte1, T::ObjekteLschen1});
    add(ekLine, {100, 100, 200, 100});
    add(ekLine, {150, 50, 150, 150});
    add(ekCircle, {250, 250, 350, 350});
    press(155, 105);  // nothing highlighted yet
    EXPECT_EQ(drawing.Elements.Count(), 3u);
    move(155, 105);
    press(155, 105, MouseButton::Right);
    ASSERT_EQ(drawing.Elements.Count(), 2u);
    EXPECT_EQ(element(1).Kind, ekCircle);
    EXPECT_EQ(host.changes, 1);
    press(155, 105);  // the highlight went with the line: the circle now in its place stays
    EXPECT_EQ(drawing.Elements.Count(), 2u);
    EXPECT_EQ(host.changes, 1);

    // "Letzes Objekt löschen" takes the last element only, and leaves texts and hover alone.
    TTextElement& t = *drawing.AppendText();
    t.Text = NewWideBuffer(u"bleibt");
    DeleteLastElement(host, drawing);
    ASSERT_EQ(drawing.Elements.Count(), 1u);
    EXPECT_EQ(element(0).Kind, ekLine);
    DeleteLastElement(host, drawing);
    const int paints = host.paints;
    DeleteLastElement(host, drawing);  // nothing left: nothing happens
    EXPECT_EQ(host.paints, paints);
    EXPECT_EQ(host.changes, 3);
    EXPECT_EQ(drawing.Texts.Count(), 1u);
}

TEST_F(Elements, DragShowsARedCopyAndMovesAllFourPoints) {
    host.choose({T::Objekte1, T::ObjekteVerschieben1});
    TDrawElement& arc = add(ekArc, {250, 250, 350, 350, 400, 300, 300, 200});
    add(ekLine, {100, 100, 200, 100});
    move(150, 105);
    press(150, 105);
    EXPECT_TRUE(g.Busy());
    move(180, 145);
    const auto lines = host.screen.entriesOf(Op::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points, (std::vector<IntPoint>{{135, 145}, {235, 145}}));
    EXPECT_EQ(lines[0].penColor, kRed);
    release(180, 145);
    EXPECT_FALSE(g.Busy());
    EXPECT_NEAR(element(1).X1 - 100 / s(), 7.937, 5e-4);
    EXPECT_NEAR(element(1).Y2 - 100 / s(), 10.583, 5e-4);
    EXPECT_EQ(host.changes, 1);
    // The press took the highlight: pressed again without a move, nothing is picked up.
    const double x1 = element(1).X1;
    press(180, 145);
    EXPECT_FALSE(g.Busy());
    release(200, 165);
    EXPECT_EQ(element(1).X1, x1);
    EXPECT_EQ(host.changes, 1);

    // An arc moves with all four points, its rays included.
    const double x3 = arc.X3, y4 = arc.Y4;
    move(355, 305);
    press(355, 305);
    move(345, 315);
    ASSERT_EQ(host.screen.entriesOf(Op::Arc).size(), 1u);
    EXPECT_EQ(host.screen.entriesOf(Op::Arc)[0].points[2], (IntPoint{395, 315}));
    release(345, 315);
    EXPECT_NEAR(element(0).X3 - x3, -10 / s(), 1e-9);
    EXPECT_NEAR(element(0).Y4 - y4, 10 / s(), 1e-9);
}

TEST_F(Elements, AStaleHighlightDeletesAndMovesNothing) {
    add(ekLine, {100, 100, 200, 100});
    add(ekLine, {100, 300, 200, 300});
    const std::vector<IntPoint> second{{105, 305}, {205, 305}};
    host.choose({T::Objekte1, T::ObjekteLschen1});
    move(150, 305);
    ASSERT_EQ(host.screen.entriesOf(Op::Line).size(), 1u);
    ASSERT_EQ(host.screen.entriesOf(Op::Line)[0].points, second);
    DeleteLastElement(host, drawing);  // the highlighted element goes by the command
    const int changes = host.changes;
    press(150, 305);
    EXPECT_EQ(drawing.Elements.Count(), 1u);
    EXPECT_EQ(host.changes, changes);

    // The same with a highlight for moving: the press picks nothing up.
    add(ekLine, {100, 300, 200, 300});
    host.choose({T::Objekte1, T::ObjekteVerschieben1});
    move(150, 305);
    ASSERT_EQ(host.screen.entriesOf(Op::Line)[0].points, second);
    DeleteLastElement(host, drawing);
    const int stale = host.changes;
    press(150, 305);
    EXPECT_FALSE(g.Busy());
    release(170, 325);
    EXPECT_EQ(host.changes, stale);

    // Shortened in the middle of a drag: the put-down moves nothing.
    move(150, 105);
    press(150, 105);
    ASSERT_TRUE(g.Busy());
    drawing.Elements.Delete(0);
    move(170, 105);
    EXPECT_TRUE(host.screen.entriesOf(Op::Line).empty());
    release(170, 105);
    EXPECT_FALSE(g.Busy());
    EXPECT_EQ(drawing.Elements.Count(), 0u);
    EXPECT_EQ(host.changes, stale);
}

TEST_F(Elements, AnElementsHighlightIsNoTextsAndATextsNoElements) {
    add(ekLine, {100, 100, 200, 100});
    TTextElement* t = drawing.AppendText();
    t->X1 = 400 / s(), t->Y1 = 400 / s(), t->X2 = 500 / s(), t->Y2 = 420 / s();
    t->Text = NewWideBuffer(u"Text");
    t->FontName = NewAnsiBuffer("Arial");
    t->FontSize = 10;
    host.choose({T::Objekte1, T::ObjekteLschen1});
    move(150, 105);
    ASSERT_EQ(host.screen.entriesOf(Op::Line).size(), 1u);  // the line, element 0
    ASSERT_EQ(host.measured.kind, Measurement::Kind::Line);
    // The text mode chosen without a pointer move since: index 0 is an element's.
    host.choose({T::Text1, T::TextTextlschen1});
    press(150, 105);
    EXPECT_EQ(drawing.Texts.Count(), 1u);
    host.choose({T::Text1, T::TextVerschieben1});
    press(150, 105);
    EXPECT_FALSE(g.Busy());
    release(180, 125);
    EXPECT_DOUBLE_EQ(t->X1, 400 / s());
    EXPECT_EQ(drawing.Elements.Count(), 1u);
    EXPECT_EQ(host.changes, 0);
}

}  // namespace
}  // namespace tervasko::tooltest
