#include "session/fileflow.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "session/drawingsession.h"
#include "support/fakehost.h"
#include "support/tempdir.h"
#include "tools/cancel.h"
#include "tools/dispatch.h"

namespace tervasko {
namespace {

using Answer = FileQuestions::Answer;
using Failure = FileQuestions::Failure;

// What the save dialog does when the question is answered Yes on an untitled drawing.
enum class SaveChoice {
    Cancelled,
    Chosen,
    MissingFolder,  // a path whose folder does not exist
    Unwritable,     // a path that names a folder
};

void addLine(DrawingSession& session) {
    TDrawElement* e = session.Drawing().AppendElement();
    e->Kind = ekLine;
    e->X2 = 10;
    session.Record(ElementsAppended(session.Drawing().Elements.Count() - 1, 1), "Linie");
}

// A session with its flow; the questions are answered from the fields.
struct Fixture {
    testing::TempDir dir;
    DrawingSession session;
    FileQuestions questions;
    FileFlow flow{session, questions};
    std::optional<Answer> answer;  // unset: no question is expected
    std::optional<std::string> savePath, openPath;
    int asked = 0, settled = 0, replaced = 0;
    std::vector<Failure> failures;
    std::vector<std::string> used;

    Fixture() {
        session.SetTitleTexts("Tervasko", "Unbenannt");
        questions.AskSave = [this] {
            ++asked;
            if (!answer) ADD_FAILURE() << "an unexpected question";
            return answer.value_or(Answer::Cancel);
        };
        questions.SaveDialog1 = [this] { return savePath; };
        questions.OpenDialog1 = [this] { return openPath; };
        questions.SaveDialog3 = [this] { return savePath; };
        questions.Report = [this](Failure what, const std::string&, const Error& error) {
            EXPECT_EQ(what == Failure::SaveFolderMissing, !error)
                << "a reason, except for the folder";
            failures.push_back(what);
        };
        flow.Settled = [this] { ++settled; };
        flow.Replaced = [this] { ++replaced; };
        flow.FileUsed = [this](const std::string& path) { used.push_back(path); };
    }

    // A drawing file with `lines` lines.
    std::string drawingFile(const std::string& name, int lines) {
        DrawingSession other;
        for (int i = 0; i < lines; ++i) addLine(other);
        Error error;
        EXPECT_TRUE(other.SaveAs(dir.file(name), &error));
        return dir.file(name);
    }

    std::string choose(SaveChoice choice) {
        switch (choice) {
            case SaveChoice::Cancelled:
                return {};
            case SaveChoice::Chosen:
                return dir.file("kept.tvk");
            case SaveChoice::MissingFolder:
                return dir.file("missing/kept.tvk");
            case SaveChoice::Unwritable:
                std::filesystem::create_directory(dir.file("folder.tvk"));
                return dir.file("folder.tvk");
        }
        return {};
    }
};

// "Neu" and "Öffnen..." over an untitled drawing of one line: every answer to the question,
// with and without unsaved work, and every outcome of the save that Yes asks for.
TEST(FileFlow, ReplacingTheDrawingAsksAboutUnsavedWorkAndKeepsItWhenTheSaveFails) {
    const Answer answers[] = {Answer::Yes, Answer::No, Answer::Cancel};
    const SaveChoice choices[] = {SaveChoice::Cancelled, SaveChoice::Chosen,
                                  SaveChoice::MissingFolder, SaveChoice::Unwritable};
    for (const bool open : {false, true})
        for (const bool changed : {false, true})
            for (const Answer answer : answers)
                for (const SaveChoice choice : choices) {
                    if (!changed && (answer != Answer::Yes || choice != SaveChoice::Cancelled))
                        continue;  // no question: one case is enough
                    if (answer != Answer::Yes && choice != SaveChoice::Cancelled) continue;
                    SCOPED_TRACE(::testing::Message()
                                 << (open ? "open" : "new") << " changed=" << changed
                                 << " answer=" << static_cast<int>(answer)
                                 << " choice=" << static_cast<int>(choice));
                    Fixture f;
                    const std::string file = f.drawingFile("in.tvk", 3);
                    addLine(f.session);
                    if (!changed) f.session.MarkSaved();
                    if (changed) f.answer = answer;
                    const std::string chosen = f.choose(choice);
                    if (choice != SaveChoice::Cancelled) f.savePath = chosen;
                    f.openPath = file;

                    if (open)
                        f.flow.Open();
                    else
                        f.flow.New();

                    const bool saved =
                        changed && answer == Answer::Yes && choice == SaveChoice::Chosen;
                    const bool replaced = !changed || answer == Answer::No || saved;
                    EXPECT_EQ(f.asked, changed ? 1 : 0);
                    if (replaced) {
                        EXPECT_EQ(f.session.Drawing().Elements.Count(), open ? 3u : 0u);
                        EXPECT_EQ(f.session.FileName(), open ? file : "");
                        EXPECT_FALSE(f.session.Changed());
                        EXPECT_EQ(f.session.Title(),
                                  open ? "Tervasko - [" + file + "]" : "Tervasko - [Unbenannt]");
                        EXPECT_EQ(f.replaced, open ? 1 : 0);
                    } else {
                        // The work stays as it was, still marked unsaved. A name whose folder
                        // is missing is never taken; a file that could not be written keeps
                        // the name it was given.
                        const bool named =
                            changed && answer == Answer::Yes && choice == SaveChoice::Unwritable;
                        EXPECT_EQ(f.session.Drawing().Elements.Count(), 1u);
                        EXPECT_EQ(f.session.FileName(), named ? chosen : "");
                        EXPECT_TRUE(f.session.Changed());
                        EXPECT_EQ(f.session.Title(),
                                  "Tervasko - [" + (named ? chosen : "Unbenannt") + "*]");
                        EXPECT_EQ(f.replaced, 0);
                    }
                    std::vector<Failure> failures;
                    if (changed && answer == Answer::Yes && choice == SaveChoice::MissingFolder)
                        failures = {Failure::SaveFolderMissing};
                    if (changed && answer == Answer::Yes && choice == SaveChoice::Unwritable)
                        failures = {Failure::Save};
                    EXPECT_EQ(f.failures, failures);
                    // The saved work is in its file, and each file used is told once.
                    std::vector<std::string> used;
                    if (saved) used.push_back(chosen);
                    if (replaced && open) used.push_back(file);
                    EXPECT_EQ(f.used, used);
                    if (saved) {
                        DrawingSession back;
                        Error error;
                        ASSERT_TRUE(back.Load(chosen, &error));
                        EXPECT_EQ(back.Drawing().Elements.Count(), 1u);
                    }
                }
}

TEST(FileFlow, SaveUsesTheNameItHasAndAFailedSaveKeepsNameAndMark) {
    Fixture f;
    addLine(f.session);
    // Untitled: the dialog names it; cancelled, nothing changes.
    EXPECT_FALSE(f.flow.Save());
    EXPECT_TRUE(f.session.Changed());
    f.savePath = f.dir.file("a.tvk");
    ASSERT_TRUE(f.flow.Save());
    EXPECT_EQ(f.session.Title(), "Tervasko - [" + f.dir.file("a.tvk") + "]");
    // Titled: no dialog, even when it would name another file.
    addLine(f.session);
    f.savePath = f.dir.file("other.tvk");
    ASSERT_TRUE(f.flow.Save());
    EXPECT_FALSE(std::filesystem::exists(f.dir.file("other.tvk")));
    EXPECT_EQ(f.used, (std::vector<std::string>{f.dir.file("a.tvk"), f.dir.file("a.tvk")}));
    // "Speichern unter..." into a missing folder: the old name and the mark stay.
    addLine(f.session);
    f.savePath = f.dir.file("gone/b.tvk");
    EXPECT_FALSE(f.flow.SaveAs());
    EXPECT_EQ(f.session.FileName(), f.dir.file("a.tvk"));
    EXPECT_EQ(f.session.Title(), "Tervasko - [" + f.dir.file("a.tvk") + "*]");
    EXPECT_EQ(f.failures, std::vector<Failure>{Failure::SaveFolderMissing});
}

TEST(FileFlow, AFileThatCannotBeReadChangesNothingAndTheCloseGuardAsksLikeReplacing) {
    Fixture f;
    const std::string good = f.drawingFile("good.tvk", 2);
    ASSERT_TRUE(f.flow.Load(good));
    addLine(f.session);
    const std::string broken = f.dir.file("broken.tvk");
    testing::writeBytes(broken, {1, 2, 3});
    f.answer = Answer::No;
    EXPECT_FALSE(f.flow.OpenPath(broken));
    EXPECT_EQ(f.failures, std::vector<Failure>{Failure::Open});
    EXPECT_EQ(f.session.Drawing().Elements.Count(), 3u);
    EXPECT_EQ(f.session.FileName(), good);
    EXPECT_TRUE(f.session.Changed());
    EXPECT_EQ(f.used, std::vector<std::string>{good});

    f.answer = Answer::Cancel;
    EXPECT_FALSE(f.flow.MayReplaceDrawing());
    f.answer = Answer::Yes;  // saved under its name, then free to close
    EXPECT_TRUE(f.flow.MayReplaceDrawing());
    EXPECT_FALSE(f.session.Changed());
    EXPECT_TRUE(f.flow.MayReplaceDrawing());  // unchanged: no question
    EXPECT_EQ(f.asked, 3);
}

TEST(FileFlow, DxfExportReportsAFailureAndLeavesTheDrawingAlone) {
    Fixture f;
    addLine(f.session);
    EXPECT_FALSE(f.flow.ExportDxf());  // cancelled
    f.savePath = f.dir.file("none/x.dxf");
    EXPECT_FALSE(f.flow.ExportDxf());
    EXPECT_EQ(f.failures, std::vector<Failure>{Failure::ExportDxf});
    f.savePath = f.dir.file("x.dxf");
    EXPECT_TRUE(f.flow.ExportDxf());
    EXPECT_TRUE(std::filesystem::exists(f.dir.file("x.dxf")));
    EXPECT_TRUE(f.session.Changed());
    EXPECT_EQ(f.session.FileName(), "");
}

}  // namespace
}  // namespace tervasko

namespace tervasko {
namespace {

// A curve begun on the old drawing must not take its next clicks into the new one.
TEST(FileFlow, ANewOrLoadedDrawingDropsEveryGestureAndHighlight) {
    Fixture f;
    const std::string file = f.drawingFile("two.tvk", 2);
    for (const bool load : {false, true}) {
        SCOPED_TRACE(load ? "load" : "new");
        GestureState& g = f.session.Gesture;
        testing::FakeHost host;
        host.choose({ToolItem::Kurven1});
        for (const int x : {100, 200}) {  // two clicks of a curve
            PaintBox1MouseDown(host, f.session.Drawing(), g, MouseButton::Left, x, 100);
            PaintBox1MouseUp(host, f.session.Drawing(), g, MouseButton::Left, x, 100);
        }
        ASSERT_TRUE(g.Pending());
        f.openPath = file;
        if (load)
            ASSERT_TRUE(f.flow.Open());
        else
            f.flow.New();
        EXPECT_FALSE(g.Pending());
        // Two more clicks on the new drawing begin a curve afresh rather than ending the old.
        for (const int x : {300, 400})
            PaintBox1MouseDown(host, f.session.Drawing(), g, MouseButton::Left, x, 100);
        EXPECT_EQ(f.session.Drawing().Elements.Count(), load ? 2u : 0u);
        EXPECT_TRUE(g.Pending());
        CancelGesture(host, f.session.Drawing(), g);
    }
}

}  // namespace
}  // namespace tervasko

namespace tervasko {
namespace {

// A file whose chunk area is partly damaged opens with the rest, is told once with what was
// dropped, and stands as unsaved (the title starred) until it is saved; a sound one opens
// clean, with nothing told.
TEST(FileFlow, AFileWithADamagedAreaOpensUnsavedAndTellsWhatWasDropped) {
    for (const bool damaged : {false, true}) {
        SCOPED_TRACE(damaged ? "damaged" : "sound");
        Fixture f;
        std::vector<std::vector<Error>> told;
        f.questions.Warn = [&](const std::string& path, const std::vector<Error>& dropped) {
            EXPECT_EQ(path, f.dir.file("area.tvk"));
            EXPECT_EQ(f.session.Changed(), damaged) << "told once the drawing is shown";
            told.push_back(dropped);
        };
        const std::string file = f.drawingFile("area.tvk", 2);
        std::vector<std::uint8_t> bytes = testing::readBytes(file);
        const std::uint8_t length = damaged ? 24 : 25;
        const std::uint8_t area[] = {'T', 'V', 'K', 'X', 1,      0, 0, 0,
                                     'S', 'Q', 'R', '1', length, 0, 0, 0};
        bytes.insert(bytes.end(), std::begin(area), std::end(area));
        bytes.resize(bytes.size() + length);  // the set square at 0, 0, hidden
        testing::writeBytes(file, bytes);

        ASSERT_TRUE(f.flow.OpenPath(file));
        EXPECT_EQ(f.session.Drawing().Elements.Count(), 2u);
        EXPECT_EQ(f.session.Changed(), damaged);
        EXPECT_EQ(f.session.Title(),
                  damaged ? "Tervasko - [" + file + "*]" : "Tervasko - [" + file + "]");
        EXPECT_EQ(f.session.Drawing().Placement.GeoX, damaged ? 105 : 0);
        ASSERT_EQ(told.size(), damaged ? 1u : 0u);
        if (damaged) {
            ASSERT_EQ(told[0].size(), 1u);
            EXPECT_EQ(told[0][0].Code, ErrorCode::SetSquareDamaged);
            // Saved, the file is sound again and the drawing clean.
            ASSERT_TRUE(f.flow.Save());
            EXPECT_FALSE(f.session.Changed());
            ASSERT_TRUE(f.flow.OpenPath(file));
            EXPECT_EQ(told.size(), 1u);
        }
    }
}

}  // namespace
}  // namespace tervasko

namespace tervasko {
namespace {

// "Neu" puts the set square back where it lies at start, hidden; the other instruments stay
// where the user left them.
TEST(FileFlow, ANewDrawingStartsTheSetSquareAfreshAndKeepsTheOtherInstruments) {
    Fixture f;
    InstrumentPlacement& p = f.session.Drawing().Placement;
    p.GeoX = 12, p.GeoY = 345, p.GeoAngle = 67;
    p.LinealX = 33, p.WinkelAngle = 21, p.ZirkelSpan = 55;
    f.session.Settings.SetSetSquareShown(true);
    f.flow.New();
    const InstrumentPlacement start;
    EXPECT_EQ(p.GeoX, start.GeoX);
    EXPECT_EQ(p.GeoY, start.GeoY);
    EXPECT_EQ(p.GeoAngle, start.GeoAngle);
    EXPECT_FALSE(f.session.Settings.Values().SetSquareShown);
    EXPECT_EQ(p.LinealX, 33);
    EXPECT_EQ(p.WinkelAngle, 21);
    EXPECT_EQ(p.ZirkelSpan, 55);
    EXPECT_FALSE(f.session.Changed());
}

}  // namespace
}  // namespace tervasko
