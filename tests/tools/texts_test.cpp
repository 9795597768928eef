#include "tools/texts.h"

#include "platform/cp1252.h"
#include "tools/fakewindow.h"
#include "view/drawobjects.h"

namespace tervasko::tooltest {
namespace {

using Op = RecordingCanvas::Op;
using T = ToolItem;

class Texts : public ToolTest {
protected:
    // A text whose box covers stack pixels left..right, top..bottom, as a cycle measured it.
    TTextElement& addText(const char16_t* content, int left, int top, int right, int bottom) {
        TTextElement& t = *drawing.AppendText();
        t.X1 = left / s(), t.Y1 = top / s(), t.X2 = right / s(), t.Y2 = bottom / s();
        t.Text = NewWideBuffer(content);
        t.FontName = NewAnsiBuffer("Times New Roman");
        t.FontSize = 12;
        t.Color = 0x00AA00;
        t.Charset = 238;  // as a file may hold them
        t.Pitch = 2;
        t.Style = fsItalic;
        return t;
    }
    std::u16string content(std::uint32_t i) { return std::u16string(WideView(text(i).Text)); }
    // The texts drawn in red on the paint box since its last cycle: the highlight.
    std::vector<std::u16string> highlighted() const {
        std::vector<std::u16string> red;
        for (const auto& e : host.screen.entriesOf(Op::DrawText))
            if (e.font.color == kRed) red.push_back(e.text);
        return red;
    }
    using Shown = std::vector<std::u16string>;
};

TEST_F(Texts, AddPlacesTheDialogsTextWithTheChoosersFontAtThePress) {
    host.choose({T::Text1, T::TextTexthinzufgen1});
    host.dialog.text = u"Umkreis\r\nMitte";
    host.dialog.font = TextFontChoice{};  // the chooser at start: Arial 10, window text
    press(105, 55, MouseButton::Right);
    ASSERT_EQ(drawing.Texts.Count(), 1u);
    const TTextElement& t = text(0);
    EXPECT_NEAR(t.X1, 26.458, 5e-4);
    EXPECT_NEAR(t.Y1, 13.229, 5e-4);
    EXPECT_EQ(content(0), u"Umkreis\r\nMitte");
    EXPECT_EQ(AnsiView(t.FontName), "Arial");
    EXPECT_EQ(t.FontSize, 10);
    EXPECT_EQ(static_cast<std::uint32_t>(t.Color), 0x80000008u);
    EXPECT_EQ(t.Charset, 0);
    EXPECT_EQ(t.Pitch, 0);
    EXPECT_EQ(t.Style, 0);
    EXPECT_EQ(host.changes, 1);
    EXPECT_EQ(host.paints, 1);
    ASSERT_EQ(host.presets.size(), 1u);
    EXPECT_FALSE(host.presets[0].has_value());  // adding keeps what the dialog holds

    // A face outside ASCII reaches the record in the 8-bit code page of font names.
    host.dialog.font.face = "Schöne Schrift";
    host.dialog.text.clear();  // an empty text, confirmed with Alt+Return
    press(205, 55);
    ASSERT_EQ(drawing.Texts.Count(), 2u);
    EXPECT_EQ(AnsiView(text(1).FontName), "Sch\xF6ne Schrift");
    EXPECT_EQ(content(1), u"");

    host.answer = false;  // cancelled: nothing changes, nothing is repainted
    press(305, 55);
    EXPECT_EQ(drawing.Texts.Count(), 2u);
    EXPECT_EQ(host.paints, 2);
    EXPECT_EQ(host.changes, 2);
}

TEST_F(Texts, HoverHighlightsTheTopmostTextUnderThePointerInRedAsTheRendererDrawsIt) {
    host.choose({T::Text1, T::TextTextlschen1});
    addText(u"unten", 100, 100, 200, 150);
    addText(u"oben", 150, 120, 250, 170);
    move(175, 130);  // in both boxes: the later text wins
    EXPECT_EQ(host.paints, 1);
    const auto shown = host.screen.entriesOf(Op::DrawText);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, u"oben");
    EXPECT_EQ(shown[0].points[0], (IntPoint{155, 125}));  // the box's corner on the paint box
    TTextElement red = text(1);
    red.Color = static_cast<std::int32_t>(kRed);
    EXPECT_EQ(shown[0].font, TextFont(red, 1.0, 96));
    EXPECT_TRUE(shown[0].transparent);

    // Both edges belong to the box; the first pixel beyond does not.
    const struct {
        int X, Y;
        const char16_t* hit;  // nullptr: none
    } cases[] = {{105, 105, u"unten"}, {205, 115, u"unten"}, {206, 115, nullptr},
                 {125, 155, u"unten"}, {125, 156, nullptr},  {255, 175, u"oben"},
                 {255, 176, nullptr}};
    for (const auto& c : cases) {
        move(c.X, c.Y);
        EXPECT_EQ(highlighted(), c.hit ? Shown{c.hit} : Shown{}) << c.X << "," << c.Y;
    }

    // Losing the highlight repaints once; moving on over nothing does not.
    move(175, 130);
    const int paints = host.paints;
    move(500, 500);
    EXPECT_TRUE(highlighted().empty());
    EXPECT_EQ(host.paints, paints + 1);
    move(510, 500);
    EXPECT_EQ(host.paints, paints + 1);

    // Boxes are whole-stack pixels: a text on the second sheet is found there.
    addText(u"zweite Seite", 100, 1200, 200, 1250);
    move(150, 1210);
    EXPECT_EQ(highlighted(), Shown{u"zweite Seite"});

    // Zoom 50 halves the font's point size, as the renderer does.
    host.zoom = 50;
    move(static_cast<int>(Round(40 * s())) + 5, static_cast<int>(Round(320 * s())) + 5);
    ASSERT_EQ(highlighted(), Shown{u"zweite Seite"});
    EXPECT_EQ(host.screen.entriesOf(Op::DrawText).back().font.height,
              TextFont(text(2), 0.5, 96).height);
}

TEST_F(Texts, ChangeLoadsTheTextIntoDialogAndChooserAndReplacesBothStrings) {
    host.choose({T::Text1, T::TextTextndern1});
    addText(u"alt", 100, 100, 200, 150);
    press(150, 120);  // nothing highlighted: nothing happens
    EXPECT_TRUE(host.presets.empty());

    move(150, 120);
    press(150, 120);
    ASSERT_EQ(host.presets.size(), 1u);
    ASSERT_TRUE(host.presets[0].has_value());
    EXPECT_EQ(host.presets[0]->text, u"alt");
    const TextFontChoice loaded{"Times New Roman", 12, 0x00AA00, 238, 2, fsItalic};
    EXPECT_EQ(host.presets[0]->font, loaded);
    // Confirmed untouched: the same content (in fresh blocks, the old ones freed), the font
    // with its character set and pitch as loaded, and the drawing marked changed.
    EXPECT_EQ(content(0), u"alt");
    EXPECT_EQ(FontOfText(text(0)), loaded);
    EXPECT_EQ(host.changes, 1);
    EXPECT_EQ(host.paints, 2);  // the hover's and the change's
    press(150, 120);            // the press took the highlight: no dialog without a move
    EXPECT_EQ(host.presets.size(), 1u);

    move(150, 120);
    const TextFontChoice courier{"Courier New", 9, 0xFF, 1, 2, fsBold};
    host.typing = [&](TextInput& d) {
        d.text = u"neu";
        d.font = courier;
    };
    host.answer = false;  // cancelled: the record stays, the picture is repainted
    press(150, 120);
    EXPECT_EQ(content(0), u"alt");
    EXPECT_EQ(FontOfText(text(0)), loaded);
    EXPECT_EQ(host.changes, 1);
    EXPECT_EQ(host.paints, 4);

    move(150, 120);
    host.answer = true;
    press(150, 120);
    EXPECT_EQ(content(0), u"neu");
    EXPECT_EQ(FontOfText(text(0)), courier);
    EXPECT_EQ(host.changes, 2);
    EXPECT_DOUBLE_EQ(text(0).X1, 100 / s());  // the position never changes
}

TEST_F(Texts, DeleteRemovesTheTopmostHighlightedTextAndFreesItsStrings) {
    host.choose({T::Text1, T::TextTextlschen1});
    addText(u"unten", 100, 100, 200, 150);
    addText(u"oben", 150, 120, 250, 170);
    press(175, 130);  // no hover yet
    EXPECT_EQ(drawing.Texts.Count(), 2u);
    move(175, 130);
    press(175, 130);
    ASSERT_EQ(drawing.Texts.Count(), 1u);
    EXPECT_EQ(content(0), u"unten");
    EXPECT_EQ(host.changes, 1);
    // The highlight went with the text: one put in its place since stays at the next press.
    addText(u"dazu", 150, 120, 250, 170);
    press(175, 130);
    EXPECT_EQ(drawing.Texts.Count(), 2u);
    EXPECT_EQ(host.changes, 1);
    // The strings of the deleted text are freed; the leak checker of the sanitizer build
    // would report them otherwise.
}

TEST_F(Texts, DragShowsAMovingCopyAndPutsTheTextDownByThePixelsDragged) {
    host.choose({T::Text1, T::TextVerschieben1});
    addText(u"Text", 100, 100, 200, 150);
    move(150, 120);
    press(150, 120);
    EXPECT_TRUE(g.Busy());
    const double x1 = text(0).X1, y2 = text(0).Y2;
    move(170, 110);  // the drag preview, not a hover scan
    const auto shown = host.screen.entriesOf(Op::DrawText);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].points[0], (IntPoint{125, 95}));
    EXPECT_EQ(shown[0].font.color, 0x00AA00u);  // in its own colour
    EXPECT_EQ(text(0).X1, x1);                  // not moved yet

    release(170, 110);
    EXPECT_FALSE(g.Busy());
    EXPECT_NEAR(text(0).X1 - x1, 5.292, 5e-4);
    EXPECT_NEAR(text(0).Y2 - y2, -2.646, 5e-4);
    EXPECT_NEAR(text(0).X2 - text(0).X1, 100 / s(), 1e-9);
    EXPECT_EQ(host.changes, 1);
    release(190, 110);  // the drag is over: a second release moves nothing
    EXPECT_NEAR(text(0).X1 - x1, 5.292, 5e-4);
    EXPECT_EQ(host.changes, 1);

    // The highlight is kept through the drag: the text put down is still the one under
    // the pointer, and the next press carries it on without a move.
    press(170, 110);
    EXPECT_TRUE(g.Busy());
    release(190, 110);
    EXPECT_NEAR(text(0).X1 - x1, 5.292 + 20 / s(), 5e-4);
    EXPECT_EQ(host.changes, 2);
}

TEST_F(Texts, AStaleHighlightChangesDeletesAndMovesNothing) {
    addText(u"a", 100, 100, 200, 150);
    for (const T mode : {T::TextTextlschen1, T::TextTextndern1, T::TextVerschieben1}) {
        host.choose({T::Text1, mode});
        addText(u"b", 300, 100, 400, 150);
        move(350, 120);
        ASSERT_EQ(highlighted(), Shown{u"b"});
        // The drawing is shortened behind the highlight's back.
        FreeTextStrings(*drawing.Texts.Select(1));
        drawing.Texts.Delete(1);
        press(350, 120);
        EXPECT_FALSE(g.Busy());
        move(360, 130);
        release(360, 130);
    }
    EXPECT_EQ(drawing.Texts.Count(), 1u);
    EXPECT_EQ(content(0), u"a");
    EXPECT_DOUBLE_EQ(text(0).X1, 100 / s());
    EXPECT_TRUE(host.presets.empty());
    EXPECT_EQ(host.changes, 0);
}

}  // namespace
}  // namespace tervasko::tooltest
