// Undo and redo on the real window: every kind of step, the changed mark and the title
// following the history, saves in between, the shortcuts wherever the focus is.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/AddTextFUnit.h"
#include "app/dialogs/SeiteeinrichtenFUnit.h"
#include "app/filecommands.h"
#include "app/mainUnit.h"
#include "app/paintbox.h"
#include "app/recovery.h"
#include "document/drawingfile.h"
#include "document/dynaarray.h"
#include "platform/numeric.h"
#include "platform/systemmessage.h"
#include "session/drawingsession.h"
#include "support/find.h"
#include "support/mainformparts.h"
#include "support/mainwindow.h"

namespace tervasko {
namespace {

std::vector<char> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class UndoWindow : public testing::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Parts(*form).FileCommands->Dialogs.AskSave = [] { return FileDialogService::Answer::No; };
    }

    void undo() { testing::Find<QAction>(form, "Rueckgaengig1")->trigger(); }
    void redo() { testing::Find<QAction>(form, "Wiederholen1")->trigger(); }
    bool starred() const { return form->windowTitle().endsWith("*]"); }
    std::vector<std::uint8_t> drawingBytes() const {
        return EncodeDrawing(Parts(*form).Session->Drawing(), form->CurrentSettings());
    }
    void saveAs(const std::string& path) {
        Parts(*form).FileCommands->Dialogs.SaveDialog1 = [path] {
            return std::optional<std::string>(path);
        };
        Parts(*form).FileCommands->Speichernunter1Click();
    }
    void stroke(QPoint from, QPoint to) {
        QTest::mousePress(testing::Find<TPaintBox>(form, "PaintBox1"), Qt::LeftButton, {}, from);
        QTest::mouseMove(testing::Find<TPaintBox>(form, "PaintBox1"), (from + to) / 2);
        QTest::mouseMove(testing::Find<TPaintBox>(form, "PaintBox1"), to);
        QTest::mouseRelease(testing::Find<TPaintBox>(form, "PaintBox1"), Qt::LeftButton, {}, to);
    }
    // The pixel of a drawing point at zoom 100.
    int px(double mm) const { return static_cast<int>(Round(mm * form->PixelsPerMm())) + 5; }
};

// Each kind of step the window makes: made, taken back to the bytes before it, made again
// to the bytes after it, with the hints naming the step.
TEST_F(UndoWindow, EveryKindOfStepIsTakenBackAndMadeAgainExactly) {
    EXPECT_FALSE(testing::Find<QAction>(form, "Rueckgaengig1")->isEnabled());
    EXPECT_FALSE(testing::Find<QAction>(form, "Wiederholen1")->isEnabled());
    form->Hooks().RunTextDialog = [](TAddTextForm& d) {
        d.Memo1->setPlainText("Hallo");
        return true;
    };

    const struct {
        const char* step;
        std::function<void()> make;
    } steps[] = {
        {"Kreis zeichnen",
         [&] { testing::Find<QAction>(form, "ZirkelKreiszeichnen1")->trigger(); }},
        {"Bleistift",
         [&] {
             testing::Find<QAction>(form, "Bleistift1")->trigger();
             stroke({100, 500}, {300, 560});
         }},
        {"An Lineal entlang zeichnen",
         [&] {
             testing::Find<QAction>(form, "LinealAnLinealentlangzeichnen1")->trigger();
             stroke({194, 383}, {459, 305});
         }},
        {"Objekt verschieben",
         [&] {
             testing::Find<QAction>(form, "ObjekteVerschieben1")->trigger();
             QTest::mouseMove(testing::Find<TPaintBox>(form, "PaintBox1"),
                              {300, px(90)});  // over the line along the ruler
             stroke({300, px(90)}, {320, px(90) + 40});
         }},
        {"Text hinzufügen",
         [&] {
             testing::Find<QAction>(form, "TextTexthinzufgen1")->trigger();
             QTest::mouseClick(testing::Find<TPaintBox>(form, "PaintBox1"), Qt::LeftButton, {},
                               {600, 400});
             testing::Find<TPaintBox>(form, "PaintBox1")
                 ->grab();  // the sheets measure the new text
         }},
        {"Text verschieben",
         [&] {
             testing::Find<QAction>(form, "TextVerschieben1")->trigger();
             QTest::mouseMove(testing::Find<TPaintBox>(form, "PaintBox1"), {602, 402});
             stroke({602, 402}, {652, 422});
             QApplication::processEvents();
         }},
        {"Text löschen",
         [&] {
             testing::Find<QAction>(form, "TextTextlschen1")->trigger();
             QTest::mouseMove(testing::Find<TPaintBox>(form, "PaintBox1"), {653, 423});
             QTest::mouseClick(testing::Find<TPaintBox>(form, "PaintBox1"), Qt::LeftButton, {},
                               {653, 423});
         }},
        {"Objekt löschen",
         [&] {
             testing::Find<QAction>(form, "ObjekteLschen1")->trigger();
             QTest::mouseMove(testing::Find<TPaintBox>(form, "PaintBox1"), {320, px(90) + 40});
             QTest::mouseClick(testing::Find<TPaintBox>(form, "PaintBox1"), Qt::LeftButton, {},
                               {320, px(90) + 40});
         }},
        {"Letzes Objekt löschen",
         [&] { testing::Find<QAction>(form, "ObjekteLetzesObjektlschen1")->trigger(); }},
        {"Seitenanzahl ändern", [&] { testing::Find<QSpinBox>(form, "PageAnz")->setValue(3); }},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.step);
        const auto before = drawingBytes();
        s.make();
        const auto after = drawingBytes();
        ASSERT_NE(before, after);
        EXPECT_EQ(testing::Find<QAction>(form, "Rueckgaengig1")->statusTip(),
                  QString::fromUtf8("Rückgängig: ") + QString::fromUtf8(s.step));
        undo();
        EXPECT_EQ(drawingBytes(), before);
        EXPECT_EQ(testing::Find<QAction>(form, "Wiederholen1")->statusTip(),
                  QString::fromUtf8("Wiederholen: ") + QString::fromUtf8(s.step));
        redo();
        EXPECT_EQ(drawingBytes(), after);
    }
    EXPECT_TRUE(errors.empty());
}

// The snap points follow the history: a stroke's end catches, taken back it is gone, made
// again it is back, and a new drawing has none.
TEST_F(UndoWindow, TheSnapPointsFollowEveryStepTakenBackAndMadeAgain) {
    testing::Find<QAction>(form, "Bleistift1")->trigger();
    stroke({100, 300}, {300, 360});
    ASSERT_GT(Parts(*form).Session->Drawing().Elements.Count(), 0u);
    const TDrawElement last = Parts(*form).Session->Drawing().Elements.At(
        Parts(*form).Session->Drawing().Elements.Count() - 1);
    const PointD end{last.X2, last.Y2};
    const PointD near{end.x + 0.1, end.y - 0.1};
    SnapIndex& snap = Parts(*form).Session->Snap;
    ASSERT_EQ(snap.Find(Parts(*form).Session->Drawing(), near, 0.5), end);
    undo();
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 0u);
    EXPECT_FALSE(snap.Find(Parts(*form).Session->Drawing(), near, 0.5));
    redo();
    EXPECT_EQ(snap.Find(Parts(*form).Session->Drawing(), near, 0.5), end);
    Parts(*form).Session->New();
    EXPECT_FALSE(snap.Find(Parts(*form).Session->Drawing(), near, 0.5));
}

// The changed mark and the title follow the history; a file saved after taking a step back
// is the file saved before the step.
TEST_F(UndoWindow, TheChangedMarkFollowsTheHistoryAcrossSaves) {
    const std::string a = dir.path() + "a.tvk", b = dir.path() + "b.tvk";
    testing::Find<QAction>(form, "ZirkelKreiszeichnen1")->trigger();
    EXPECT_TRUE(starred());
    saveAs(a);
    EXPECT_FALSE(starred());
    testing::Find<QAction>(form, "Bleistift1")->trigger();
    stroke({100, 500}, {300, 560});
    EXPECT_TRUE(starred());
    undo();  // back to the saved state
    EXPECT_FALSE(starred());
    EXPECT_FALSE(form->Changed());
    saveAs(b);
    EXPECT_EQ(fileBytes(a), fileBytes(b));
    EXPECT_EQ(Parts(*form).Session->Drawing().FileName, b);

    undo();  // before the save: changed again, though the file is b
    EXPECT_TRUE(starred());
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 0u);
    redo();
    EXPECT_FALSE(starred());

    // A new step after taking one back drops the step ahead.
    undo();
    testing::Find<QAction>(form, "ZirkelKreiszeichnen1")->trigger();
    EXPECT_FALSE(testing::Find<QAction>(form, "Wiederholen1")->isEnabled());
    EXPECT_TRUE(starred());

    // A failed open keeps the history; "Neu" and a good open clear it.
    Parts(*form).FileCommands->LoadDrawing(dir.path() + "missing.tvk");
    EXPECT_TRUE(testing::Find<QAction>(form, "Rueckgaengig1")->isEnabled());
    Parts(*form).FileCommands->LoadDrawing(a);
    EXPECT_FALSE(testing::Find<QAction>(form, "Rueckgaengig1")->isEnabled());
    EXPECT_FALSE(starred());
    testing::Find<QAction>(form, "ZirkelKreiszeichnen1")->trigger();
    testing::Find<QAction>(form, "Neu1")->trigger();
    EXPECT_FALSE(testing::Find<QAction>(form, "Rueckgaengig1")->isEnabled());
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 0u);
}

TEST_F(UndoWindow, TheShortcutsUndoTheDrawingWhereverTheFocusIsInTheWindow) {
    testing::Find<QAction>(form, "ZirkelKreiszeichnen1")->trigger();
    testing::Find<QAction>(form, "ZirkelKreiszeichnen1")->trigger();
    testing::Find<QSpinBox>(form, "zoomed")->setFocus();  // its own text undo would take Ctrl+Z
    QTest::keyClick(testing::Find<QSpinBox>(form, "zoomed"), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 1u);
    testing::Find<QDoubleSpinBox>(form, "LinXEd")->setFocus();
    QTest::keyClick(testing::Find<QDoubleSpinBox>(form, "LinXEd"), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 0u);
    QTest::keyClick(testing::Find<QDoubleSpinBox>(form, "LinXEd"), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 1u);
    QTest::keyClick(testing::Find<QSpinBox>(form, "zoomed"), Qt::Key_Z,
                    Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 2u);
    EXPECT_EQ(testing::Find<QSpinBox>(form, "zoomed")->value(), 100);
}

TEST_F(UndoWindow, AStrokeCancelledWithEscapeLeavesASavedDrawingUnchanged) {
    testing::Find<QAction>(form, "ZirkelKreiszeichnen1")->trigger();
    saveAs(dir.path() + "c.tvk");
    testing::Find<QAction>(form, "Bleistift1")->trigger();
    QTest::mousePress(testing::Find<TPaintBox>(form, "PaintBox1"), Qt::LeftButton, {}, {100, 500});
    QTest::mouseMove(testing::Find<TPaintBox>(form, "PaintBox1"), {200, 520});
    ASSERT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 2u);
    EXPECT_FALSE(starred());  // the stroke is a step when it ends, and the star comes with it
    QTest::keyClick(testing::Find<TPaintBox>(form, "PaintBox1"), Qt::Key_Escape);
    QTest::mouseRelease(testing::Find<TPaintBox>(form, "PaintBox1"), Qt::LeftButton, {},
                        {200, 520});
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 1u);
    EXPECT_FALSE(starred());
    EXPECT_FALSE(testing::Find<QAction>(form, "Rueckgaengig1")->statusTip().contains("Bleistift"));
}

TEST_F(UndoWindow, ALoadIsOneChangeWithoutAPassingStar) {
    const std::string path = dir.path() + "three.tvk";
    TDrawing d;
    DrawingSettings settings;
    settings.PageCount = 3;
    settings.Zoom = 150;
    ASSERT_FALSE(WriteDrawingFile(path, d, settings));
    QStringList titles;
    QObject::connect(form.get(), &QWidget::windowTitleChanged,
                     [&](const QString& t) { titles << t; });
    ASSERT_TRUE(Parts(*form).FileCommands->LoadDrawing(path));
    for (const QString& t : titles) EXPECT_FALSE(t.endsWith("*]")) << t.toStdString();
    EXPECT_EQ(testing::Find<QSpinBox>(form, "PageAnz")->value(), 3);
    EXPECT_EQ(testing::Find<QSpinBox>(form, "zoomed")->value(), 150);
    EXPECT_FALSE(testing::Find<QAction>(form, "Rueckgaengig1")
                     ->isEnabled());                        // the loaded page count is no step
    testing::Find<QSpinBox>(form, "PageAnz")->setValue(2);  // a change after the load is one
    undo();
    EXPECT_EQ(testing::Find<QSpinBox>(form, "PageAnz")->value(), 3);
    EXPECT_FALSE(starred());
}

// Ctrl+Z while a line along the ruler is being drawn is refused: the release adds the line
// to the drawing the press began on, and the step before it stays.
TEST_F(UndoWindow, UndoIsRefusedWhileALineAlongTheRulerIsDrawn) {
    testing::Find<QAction>(form, "ZirkelKreiszeichnen1")->trigger();
    auto* box = testing::Find<TPaintBox>(form, "PaintBox1");
    testing::Find<QAction>(form, "LinealAnLinealentlangzeichnen1")->trigger();
    QTest::mousePress(box, Qt::LeftButton, {}, {194, 383});
    QTest::mouseMove(box, {459, 305});
    ASSERT_TRUE(Parts(*form).Gesture.Ruler.DrawingAlong);
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    QTest::mouseRelease(box, Qt::LeftButton, {}, {459, 305});
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 2u);
    EXPECT_EQ(Parts(*form).Session->History().count(), 2);
    undo();
    undo();
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 0u);
}

// A step that cannot be taken back for lack of memory is told in the user's language; the
// drawing stays, the history is gone and the star stays on.
TEST_F(UndoWindow, AStepThatCannotBeTakenBackIsToldAndTheStarStays) {
    // 100 records fill a block: putting back the 101st needs a larger one.
    for (int i = 0; i < 101; ++i) testing::Find<QAction>(form, "ZirkelKreiszeichnen1")->trigger();
    testing::Find<QAction>(form, "ObjekteLetzesObjektlschen1")->trigger();
    const auto before = drawingBytes();
    DynaArrayCore::SetReallocator([](void*, std::size_t, std::size_t) -> void* { return nullptr; });
    SetSystemMessageHandler([](const std::string&) {});
    undo();
    DynaArrayCore::SetReallocator(nullptr);
    SetSystemMessageHandler(nullptr);
    EXPECT_EQ(drawingBytes(), before);
    EXPECT_TRUE(starred());
    EXPECT_FALSE(testing::Find<QAction>(form, "Rueckgaengig1")->isEnabled());
    EXPECT_FALSE(testing::Find<QAction>(form, "Wiederholen1")->isEnabled());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0],
              "Der Schritt konnte nicht rückgängig gemacht werden, weil nicht genug Speicher frei "
              "ist:\nLetzes Objekt löschen\n\nDie Zeichnung bleibt, wie sie ist. Die Schritte zum "
              "Rückgängigmachen und Wiederholen sind verworfen.");
}

// The page count spun and the sheet size set twice are one step each; taken back, the
// drawing is as saved and the star goes.
TEST_F(UndoWindow, ASpunPageCountAndTwoPageSetupsInARowAreOneStepEach) {
    saveAs(dir.path() + "d.tvk");
    auto* pages = testing::Find<QSpinBox>(form, "PageAnz");
    for (int i = 0; i < 3; ++i) pages->stepBy(1);
    ASSERT_EQ(pages->value(), 4);
    auto* setup = form->findChild<TSeiteEinrichtenForm*>();
    ASSERT_NE(setup, nullptr);
    const double a4Width = Parts(*form).Session->Drawing().PageWidthInch;
    for (double width : {150.0, 180.0}) {
        setup->Exec = [setup, width] {
            setup->breited->setValue(width);
            setup->BitBtnXP1->click();
            return setup->result();
        };
        testing::Find<QAction>(form, "DateiSeiteeinrichten1")->trigger();
    }
    EXPECT_DOUBLE_EQ(Parts(*form).Session->Drawing().PageWidthInch * MmPerInch, 180);
    EXPECT_EQ(Parts(*form).Session->History().count(), 2);
    EXPECT_TRUE(starred());
    undo();
    EXPECT_EQ(Parts(*form).Session->Drawing().PageWidthInch, a4Width);
    undo();
    EXPECT_EQ(pages->value(), 1);
    EXPECT_FALSE(starred());
    EXPECT_FALSE(testing::Find<QAction>(form, "Rueckgaengig1")->isEnabled());
}

// The recovery copy follows the history: every step of unsaved work makes the kept copy old,
// and taking the steps back to the saved state removes it.
TEST(UndoRecovery, TheCopyFollowsEveryStepAndGoesWithTheSavedState) {
    testing::TempDir programDir, state;
    setenv("XDG_STATE_HOME", state.path().c_str(), 1);
    {
        TMainForm form(programDir.path());
        form.show();
        QApplication::processEvents();
        TRecoveryKeeper& keeper = *Parts(form).Recovery;
        const auto circle = [&] {
            testing::Find<QAction>(&form, "ZirkelKreiszeichnen1")->trigger();
        };
        const auto undo = [&] { testing::Find<QAction>(&form, "Rueckgaengig1")->trigger(); };
        EXPECT_FALSE(keeper.Pending());
        circle();
        EXPECT_TRUE(keeper.Pending());
        keeper.WriteCopy();
        ASSERT_FALSE(keeper.Flush());  // no failure
        EXPECT_TRUE(std::filesystem::exists(keeper.CopyPath()));
        EXPECT_FALSE(keeper.Pending());
        circle();  // unsaved already: the mark stays, the copy is old
        EXPECT_TRUE(keeper.Pending());
        undo();
        EXPECT_TRUE(keeper.Pending());
        undo();
        EXPECT_FALSE(form.Changed());
        EXPECT_FALSE(keeper.Pending());
        EXPECT_FALSE(std::filesystem::exists(keeper.CopyPath()));
    }
    unsetenv("XDG_STATE_HOME");
}

}  // namespace
}  // namespace tervasko
