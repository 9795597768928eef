// The drawing's history without a window: every kind of step taken back and made again, a
// step that runs out of memory, the field steps that merge, the changed mark as the one
// reading of the history's clean state, and the refusal while a gesture holds the pointer.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "document/drawingfile.h"
#include "document/dynaarray.h"
#include "platform/systemmessage.h"
#include "session/drawingsession.h"

namespace tervasko {
namespace {

TDrawElement line(double x) {
    TDrawElement e{};
    e.Kind = ekLine;
    e.Width = 0.25;
    e.X1 = x, e.Y1 = 1, e.X2 = x + 5, e.Y2 = 7;
    return e;
}

void addText(TDrawing& d, std::u16string_view text, double x) {
    TTextElement* t = d.AppendText();
    t->Text = NewWideBuffer(text);
    t->FontName = NewAnsiBuffer("Arial");
    t->FontSize = 12;
    t->X1 = t->X2 = x, t->Y1 = t->Y2 = 3;
}

// The records, the sheet size and the settings, as the drawing file holds them.
std::vector<std::uint8_t> snapshot(const DrawingSession& s) {
    return EncodeDrawing(s.Drawing(), s.Settings.Values());
}

// A session with `elements` lines and two texts as a loaded drawing has them: clean, no steps.
struct Session {
    DrawingSession s;
    std::vector<bool> marks;  // every cleanChanged, in order
    int restored = 0;
    std::vector<std::pair<bool, std::string>> failures;

    explicit Session(int elements = 3) {
        for (int i = 0; i < elements; ++i) *s.Drawing().AppendElement() = line(10.0 * i);
        addText(s.Drawing(), u"erste", 5);
        addText(s.Drawing(), u"zweite", 9);
        s.Restart();
        s.SetTitleTexts("T", "neu");
        QObject::connect(&s, &DrawingSession::cleanChanged, [this](bool c) { marks.push_back(c); });
        QObject::connect(&s, &DrawingSession::Restored, [this] { ++restored; });
        QObject::connect(&s, &DrawingSession::StepFailed, [this](bool undoing, const QString& n) {
            failures.emplace_back(undoing, n.toStdString());
        });
    }

    void appendLine(double x) {
        *s.Drawing().AppendElement() = line(x);
        s.Record(ElementsAppended(s.Drawing().Elements.Count() - 1, 1), "Linie");
    }
};

// Each kind of step in one history: taken back one by one to the start and made again to
// the end, the records and settings are exactly those before and after each step.
TEST(History, EveryKindOfStepIsTakenBackAndMadeAgainExactly) {
    Session f;
    DrawingSession& s = f.s;
    TDrawing& d = s.Drawing();
    const std::function<void()> steps[] = {
        [&] { f.appendLine(70); },
        [&] {
            const TDrawElement removed = d.Elements.At(1);
            d.Elements.Delete(1);
            s.Record(ElementRemoved(1, removed), "Objekt löschen");
        },
        [&] {
            TDrawElement& e = *d.Elements.Select(0);
            const TDrawElement before = e;
            e.X1 += 3, e.Y2 -= 2;
            s.Record(ElementChanged(0, before, e), "Objekt verschieben");
        },
        [&] { ASSERT_TRUE(s.SetSheetSize(11, 17)); },
        [&] {
            addText(d, u"dritte", 12);
            s.Record(TextAppended(d.Texts.Count() - 1), "Text hinzufügen");
        },
        [&] {
            const TTextElement removed = d.Texts.At(0);
            d.Texts.Delete(0);
            s.Record(TextRemoved(0, removed), "Text löschen");
        },
        [&] { s.Settings.SetPageCount(4); },
        [&] {
            TTextElement& t = *d.Texts.Select(1);
            TTextElement before = CopyText(t);
            FreeTextStrings(t);
            t.Text = NewWideBuffer(u"neu");
            t.FontSize = 30;
            s.Record(TextChanged(1, before, t), "Text ändern");
            FreeTextStrings(before);
        },
    };
    std::vector<std::vector<std::uint8_t>> states{snapshot(s)};
    for (const auto& step : steps) {
        step();
        states.push_back(snapshot(s));
        ASSERT_NE(states.back(), states[states.size() - 2]);
    }
    ASSERT_EQ(s.History().count(), static_cast<int>(std::size(steps)));
    EXPECT_TRUE(s.Changed());
    EXPECT_EQ(s.Title(), "T - [neu*]");
    for (int round = 0; round < 2; ++round) {
        for (std::size_t i = std::size(steps); i > 0; --i) {
            ASSERT_TRUE(s.Undo());
            EXPECT_EQ(snapshot(s), states[i - 1]) << "step " << i << " taken back";
        }
        EXPECT_FALSE(s.Undo());  // nothing left
        EXPECT_FALSE(s.Changed());
        EXPECT_EQ(s.Title(), "T - [neu]");
        for (std::size_t i = 0; i < std::size(steps); ++i) {
            ASSERT_TRUE(s.Redo());
            EXPECT_EQ(snapshot(s), states[i + 1]) << "step " << i + 1 << " made again";
        }
        EXPECT_FALSE(s.Redo());
    }
    EXPECT_EQ(f.marks, (std::vector<bool>{false, true, false, true, false}));
    EXPECT_EQ(f.restored, 4 * static_cast<int>(std::size(steps)));
    EXPECT_TRUE(f.failures.empty());
}

// Every block of the record lists refused while installed; what the lists tell the user is
// collected instead of printed.
struct NoMemory {
    static inline int told = 0;
    static void* refuse(void*, std::size_t, std::size_t) { return nullptr; }
    static void tell(const std::string&) { ++told; }
    NoMemory() {
        told = 0;
        DynaArrayCore::SetReallocator(&refuse);
        SetSystemMessageHandler(&tell);
    }
    ~NoMemory() {
        DynaArrayCore::SetReallocator(nullptr);
        SetSystemMessageHandler(nullptr);
    }
};

// A step that cannot be carried out leaves the drawing as it was before the attempt and
// drops the history, so history and drawing never disagree; the mark stays as it was, since
// the drawing is still the one it was. 100 records fill a block exactly: putting back a
// removed 100th record or making an append to 100 records again needs a larger block.
TEST(History, AStepThatRunsOutOfMemoryLeavesTheDrawingAndDropsTheHistory) {
    for (const bool undoing : {true, false})
        for (const bool saved : {false, true}) {
            SCOPED_TRACE(::testing::Message() << (undoing ? "undo" : "redo") << " saved=" << saved);
            Session f(undoing ? 101 : 100);
            DrawingSession& s = f.s;
            s.Settings.SetPageCount(2);  // a step before the one that fails
            if (undoing) {
                const TDrawElement removed = s.Drawing().Elements.At(50);
                s.Drawing().Elements.Delete(50);
                s.Record(ElementRemoved(50, removed), "Objekt löschen");
            } else {
                f.appendLine(5);
                ASSERT_TRUE(s.Undo());
            }
            if (saved) s.MarkSaved();
            const auto before = snapshot(s);
            f.marks.clear();
            {
                NoMemory refused;
                EXPECT_FALSE(undoing ? s.Undo() : s.Redo());
                EXPECT_GT(NoMemory::told, 0);
            }
            EXPECT_EQ(snapshot(s), before);
            EXPECT_EQ(s.History().count(), 0);
            EXPECT_EQ(s.Changed(), !saved);
            EXPECT_TRUE(f.marks.empty()) << "the mark did not change, not even for a moment";
            ASSERT_EQ(f.failures.size(), 1u);
            EXPECT_EQ(f.failures[0],
                      std::make_pair(undoing, std::string(undoing ? "Objekt löschen" : "Linie")));
            // The history goes on from the drawing as it is.
            f.appendLine(7);
            ASSERT_TRUE(s.Undo());
            EXPECT_EQ(snapshot(s), before);
            EXPECT_EQ(s.Changed(), !saved);
        }
}

// The page count and the sheet size, typed or spun in a row, are one step each; another
// step, a save or a load ends the run, and a run back to where it began leaves no step.
TEST(History, StepsOfOneFieldInARowAreOneStep) {
    Session f;
    DrawingSession& s = f.s;
    const auto pages = [&] { return s.Settings.PageCount(); };
    for (int p : {2, 3, 4}) s.Settings.SetPageCount(p);
    EXPECT_EQ(s.History().count(), 1);
    ASSERT_TRUE(s.Undo());
    EXPECT_EQ(pages(), 1);
    ASSERT_TRUE(s.Redo());
    EXPECT_EQ(pages(), 4);

    // Spun up and back: the run leaves nothing, and the mark goes again.
    s.New();
    f.marks.clear();
    s.Settings.SetPageCount(5);
    s.Settings.SetPageCount(4);
    EXPECT_EQ(s.History().count(), 0);
    EXPECT_FALSE(s.Changed());
    EXPECT_EQ(f.marks, (std::vector<bool>{false, true}));

    // Anything in between ends a run: page count, line, page count, sheet, sheet, page count.
    s.Settings.SetPageCount(6);
    f.appendLine(1);
    s.Settings.SetPageCount(7);
    const double w = s.Drawing().PageWidthInch, h = s.Drawing().PageHeightInch;
    ASSERT_TRUE(s.SetSheetSize(10, 12));
    ASSERT_TRUE(s.SetSheetSize(11, 17));
    EXPECT_FALSE(s.SetSheetSize(11, 17));  // the size it has: no step
    s.Settings.SetPageCount(8);
    EXPECT_EQ(s.History().count(), 5);
    ASSERT_TRUE(s.Undo());
    EXPECT_EQ(pages(), 7);
    ASSERT_TRUE(s.Undo());
    EXPECT_EQ(s.Drawing().PageWidthInch, w);
    EXPECT_EQ(s.Drawing().PageHeightInch, h);
    ASSERT_TRUE(s.Undo());
    EXPECT_EQ(pages(), 6);
    ASSERT_TRUE(s.Undo());
    ASSERT_TRUE(s.Undo());
    EXPECT_EQ(pages(), 4);
    EXPECT_FALSE(s.Changed());

    // A save ends the run: the saved state stays one undo away.
    s.Settings.SetPageCount(2);
    s.MarkSaved();
    s.Settings.SetPageCount(3);
    EXPECT_EQ(s.History().count(), 2);
    ASSERT_TRUE(s.Undo());
    EXPECT_EQ(pages(), 2);
    EXPECT_FALSE(s.Changed());

    // A loaded page count is no step, and the next change starts from it.
    s.Restart();
    DrawingSettings loaded = s.Settings.Values();
    loaded.PageCount = 9;
    s.Settings.Assign(loaded);
    EXPECT_EQ(s.History().count(), 0);
    s.Settings.SetPageCount(3);
    ASSERT_TRUE(s.Undo());
    EXPECT_EQ(pages(), 9);
    EXPECT_EQ(s.History().count(), 1);  // putting the value back made no step of its own
}

// A restored recovery copy has no saved state: the star shows at once, without a passing
// clean state, and no undo reaches one. New and a load are clean.
TEST(History, TheMarkIsTheHistorysCleanStateAlone) {
    Session f;
    DrawingSession& s = f.s;
    s.RestartUnsaved();
    EXPECT_TRUE(s.Changed());
    EXPECT_EQ(f.marks, std::vector<bool>{false});
    f.appendLine(3);
    ASSERT_TRUE(s.Undo());
    EXPECT_TRUE(s.Changed());
    s.RestartUnsaved();  // unsaved before and after: nothing to tell
    EXPECT_EQ(f.marks, std::vector<bool>{false});
    s.New();
    EXPECT_FALSE(s.Changed());
    EXPECT_EQ(f.marks, (std::vector<bool>{false, true}));
}

// While a gesture holds the pointer the history stands still: its release adds to the
// drawing it began on. A curve waiting for its next click is dropped by an undo or redo.
TEST(History, AGestureHoldingThePointerRefusesUndoAndACurveWaitingIsDropped) {
    const struct {
        const char* name;
        std::function<void(GestureState&, bool)> hold;
    } gestures[] = {
        {"line along the ruler", [](GestureState& g, bool on) { g.Ruler.DrawingAlong = on; }},
        {"compass arc", [](GestureState& g, bool on) { g.Compass.ArcDragging = on; }},
        {"degree mark", [](GestureState& g, bool on) { g.Protractor.MarkingDegree = on; }},
        {"stroke", [](GestureState& g, bool on) { g.Stroke.Stroking = on; }},
    };
    for (const auto& gesture : gestures) {
        SCOPED_TRACE(gesture.name);
        Session f;
        DrawingSession& s = f.s;
        f.appendLine(1);
        f.appendLine(2);
        ASSERT_TRUE(s.Undo());
        const auto held = snapshot(s);
        gesture.hold(s.Gesture, true);
        ASSERT_TRUE(s.Gesture.Busy());
        EXPECT_FALSE(s.Undo());
        EXPECT_FALSE(s.Redo());
        EXPECT_EQ(snapshot(s), held);
        EXPECT_EQ(s.History().index(), 1);
        EXPECT_TRUE(s.Gesture.Busy());
        gesture.hold(s.Gesture, false);
        EXPECT_TRUE(s.Undo());
    }

    Session f;
    DrawingSession& s = f.s;
    s.Gesture.Curve.AwaitControl1 = true;
    EXPECT_FALSE(s.Undo());  // nothing to take back: the curve goes on
    EXPECT_TRUE(s.Gesture.Curve.Active());
    f.appendLine(1);
    ASSERT_TRUE(s.Undo());
    EXPECT_FALSE(s.Gesture.Curve.Active());
    s.Gesture.Curve.AwaitEnd = true;
    ASSERT_TRUE(s.Redo());
    EXPECT_FALSE(s.Gesture.Curve.Active());
    EXPECT_EQ(s.Drawing().Elements.Count(), 4u);
}

}  // namespace
}  // namespace tervasko
