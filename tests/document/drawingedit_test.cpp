#include "document/drawingedit.h"

#include <gtest/gtest.h>

#include <functional>

#include "document/drawingfile.h"

namespace tervasko {
namespace {

TDrawElement line(double x) {
    TDrawElement e{};
    e.Kind = ekLine;
    e.Width = 0.25;
    e.X1 = x, e.Y1 = 1, e.X2 = x + 5, e.Y2 = 7;
    e.Color = 0x00FF00;
    return e;
}

void addText(TDrawing& d, std::u16string_view text, double x) {
    TTextElement* t = d.AppendText();
    t->Text = NewWideBuffer(text);
    t->FontName = NewAnsiBuffer("Arial");
    t->FontSize = 12;
    t->X1 = t->X2 = x, t->Y1 = t->Y2 = 3;
}

// A drawing of three elements and two texts, as a file would hold it.
void fill(TDrawing& d) {
    for (double x : {10.0, 20.0, 30.0}) *d.AppendElement() = line(x);
    addText(d, u"erste", 5);
    addText(d, u"zweite\r\nZeile", 9);
}

std::vector<std::uint8_t> bytes(const TDrawing& d) {
    return EncodeDrawing(d, DrawingSettings{});
}

struct EditCase {
    const char* name;
    // Makes the change on the drawing and returns the edit that records it.
    std::function<std::unique_ptr<DrawingEdit>(TDrawing&)> change;
};

// Every kind of step, made, taken back and made again, twice over: the drawing's bytes are
// exactly those before and after the change each time. Text strings change hands between
// the drawing and the edit; the sanitizer build checks that none is lost or freed twice.
TEST(DrawingEdit, UndoAndRedoRestoreTheExactRecords) {
    const EditCase cases[] = {
        {"elements appended",
         [](TDrawing& d) {
             const std::uint32_t first = d.Elements.Count();
             for (double x : {40.0, 50.0, 60.0}) *d.AppendElement() = line(x);
             return ElementsAppended(first, 3);
         }},
        {"first element removed",
         [](TDrawing& d) {
             const TDrawElement removed = d.Elements.At(0);
             d.Elements.Delete(0);
             return ElementRemoved(0, removed);
         }},
        {"middle element moved",
         [](TDrawing& d) {
             TDrawElement& e = *d.Elements.Select(1);
             const TDrawElement before = e;
             e.X1 += 3, e.Y4 -= 2;
             return ElementChanged(1, before, e);
         }},
        {"text appended",
         [](TDrawing& d) {
             addText(d, u"dritte", 12);
             return TextAppended(d.Texts.Count() - 1);
         }},
        {"first text removed",
         [](TDrawing& d) {
             const TTextElement removed = d.Texts.At(0);
             d.Texts.Delete(0);
             return TextRemoved(0, removed);
         }},
        {"text changed",
         [](TDrawing& d) {
             TTextElement& t = *d.Texts.Select(1);
             TTextElement before = CopyText(t);
             FreeTextStrings(t);
             t.Text = NewWideBuffer(u"neu");
             t.FontName = NewAnsiBuffer("Courier New");
             t.FontSize = 30;
             auto edit = TextChanged(1, before, t);
             FreeTextStrings(before);
             return edit;
         }},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        TDrawing d;
        fill(d);
        const auto before = bytes(d);
        auto edit = c.change(d);
        const auto after = bytes(d);
        ASSERT_NE(before, after);
        for (int round = 0; round < 2; ++round) {
            ASSERT_TRUE(edit->Undo(d));
            EXPECT_EQ(bytes(d), before);
            ASSERT_TRUE(edit->Redo(d));
            EXPECT_EQ(bytes(d), after);
        }
        ASSERT_TRUE(edit->Undo(d));  // destroyed while taken back: it frees what it holds
    }
}

// Steps are taken back in the reverse order of their making: a table of sequences, each
// undone to the start and redone to the end.
TEST(DrawingEdit, SequencesUndoToTheStartAndRedoToTheEnd) {
    TDrawing d;
    fill(d);
    std::vector<std::vector<std::uint8_t>> states{bytes(d)};
    std::vector<std::unique_ptr<DrawingEdit>> steps;
    const auto record = [&](std::unique_ptr<DrawingEdit> e) {
        steps.push_back(std::move(e));
        states.push_back(bytes(d));
    };
    *d.AppendElement() = line(70);
    record(ElementsAppended(3, 1));
    {
        const TDrawElement removed = d.Elements.At(1);
        d.Elements.Delete(1);
        record(ElementRemoved(1, removed));
    }
    addText(d, u"x", 1);
    record(TextAppended(2));
    {
        const TTextElement removed = d.Texts.At(2);
        d.Texts.Delete(2);
        record(TextRemoved(2, removed));
    }
    {
        const TDrawElement removed = d.Elements.At(d.Elements.Count() - 1);
        d.Elements.Delete(static_cast<std::int32_t>(d.Elements.Count() - 1));
        record(ElementRemoved(d.Elements.Count(), removed));
    }
    for (std::size_t i = steps.size(); i > 0; --i) {
        ASSERT_TRUE(steps[i - 1]->Undo(d));
        EXPECT_EQ(bytes(d), states[i - 1]) << "after taking back step " << i;
    }
    for (std::size_t i = 0; i < steps.size(); ++i) {
        ASSERT_TRUE(steps[i]->Redo(d));
        EXPECT_EQ(bytes(d), states[i + 1]) << "after making step " << i + 1 << " again";
    }
}

TEST(DrawingEdit, InsertPutsARecordBackAtItsPlace) {
    TDrawing d;
    for (double x : {1.0, 2.0, 3.0}) *d.AppendElement() = line(x);
    TDrawElement* e = d.Elements.Insert(0);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(d.CurElement, e);
    *e = line(0);
    e = d.Elements.Insert(4);  // at the end
    ASSERT_NE(e, nullptr);
    *e = line(4);
    ASSERT_EQ(d.Elements.Count(), 5u);
    for (std::uint32_t i = 0; i < 5; ++i) EXPECT_EQ(d.Elements.At(i).X1, i);
    EXPECT_EQ(d.Elements.Insert(6), nullptr);  // beyond the end: nothing changes
    EXPECT_EQ(d.Elements.Insert(-1), nullptr);
    EXPECT_EQ(d.Elements.Count(), 5u);
}

}  // namespace
}  // namespace tervasko
