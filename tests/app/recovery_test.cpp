// The recovery copy of unsaved work, driven through the window.

#include "app/recovery.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QTableWidget>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "app/filecommands.h"
#include "app/mainUnit.h"
#include "session/drawingsession.h"
#include "support/find.h"
#include "support/mainformparts.h"
#include "support/tempdir.h"

namespace tervasko {
namespace {

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A row of the leftover copies' list as the user reads it.
struct ListedRow {
    std::string drawing, time, state;
};

std::string shownTime(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return QDateTime::fromSecsSinceEpoch(st.st_mtime).toString("yyyy-MM-dd HH:mm:ss").toStdString();
}

void setTime(const std::string& path, std::time_t time) {
    const timespec times[2] = {{time, 0}, {time, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

class Recovery : public ::testing::Test {
protected:
    testing::TempDir programDir, state;
    std::string folder = state.path() + "/tervasko/";
    std::vector<std::vector<ListedRow>> lists;  // one per window of leftover copies shown
    std::vector<std::string> errors;
    // What the user does in the list of leftover copies; false cancels it.
    std::function<bool(TRecoveryCopiesDialog&)> choose = [](TRecoveryCopiesDialog&) {
        return true;
    };

    void SetUp() override { setenv("XDG_STATE_HOME", state.path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_STATE_HOME"); }

    std::unique_ptr<TMainForm> start() {
        auto form = std::make_unique<TMainForm>(programDir.path());
        form->Hooks().ShowError = [this](const std::string& text) { errors.push_back(text); };
        Parts(*form).Recovery->RunCopiesDialog = [this](TRecoveryCopiesDialog& dialog) {
            const QTableWidget& table = *dialog.CopiesTable;
            std::vector<ListedRow>& rows = lists.emplace_back();
            for (int r = 0; r < table.rowCount(); ++r)
                rows.push_back({table.item(r, 0)->text().toStdString(),
                                table.item(r, 1)->text().toStdString(),
                                table.item(r, 2)->text().toStdString()});
            return choose(dialog);
        };
        form->show();
        QApplication::processEvents();
        return form;
    }

    // The writer's word reaches the window as an event.
    static Error written(TMainForm& form) {
        Error failed = Parts(form).Recovery->Flush();
        QApplication::processEvents();
        return failed;
    }

    static bool noteShown(TMainForm& form) {
        return !testing::Find<QLabel>(form, "RecoveryNote")->isHidden();
    }

    static void addLine(TMainForm& form, double x) {
        TDrawElement* e = Parts(form).Session->Drawing().AppendElement();
        e->Kind = ekLine;
        e->X1 = x, e->Y1 = 20, e->X2 = x + 50, e->Y2 = 20;
        Parts(form).Session->Record(
            ElementsAppended(Parts(form).Session->Drawing().Elements.Count() - 1, 1), "Linie");
    }

    // What a program killed now leaves behind: its copy and a lock file nobody holds.
    std::string leaveAsKilled(TMainForm& form) {
        Parts(form).Recovery->WriteCopy();
        EXPECT_FALSE(Parts(form).Recovery->Flush());
        const std::string dead = folder + "recovery-1-dead.tvr";
        std::filesystem::copy_file(Parts(form).Recovery->CopyPath(), dead);
        testing::writeBytes(folder + "recovery-1-dead.lock", {});
        return dead;
    }
};

TEST_F(Recovery, AKilledProgramsCopyIsOfferedAndRestoredAsItWas) {
    std::string copy;
    {
        auto form = start();
        Parts(*form).Session->Drawing().FileName = "/home/user/plan.tvk";
        addLine(*form, 10);
        addLine(*form, 30);
        testing::Find<QDoubleSpinBox>(form, "StrichEd")->setValue(0.7);
        copy = leaveAsKilled(*form);
    }
    const std::string time = shownTime(copy);
    auto form = start();
    EXPECT_TRUE(form->OfferRecovery(folder));
    ASSERT_EQ(lists.size(), 1u);
    ASSERT_EQ(lists[0].size(), 1u);
    EXPECT_EQ(lists[0][0].drawing, "/home/user/plan.tvk");
    EXPECT_EQ(lists[0][0].time, time);
    EXPECT_EQ(lists[0][0].state, "wiederherstellbar");
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 2u);
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.At(1).X1, 30);
    EXPECT_EQ(testing::Find<QDoubleSpinBox>(form, "StrichEd")->value(), 0.7);
    EXPECT_EQ(Parts(*form).Session->Drawing().FileName, "/home/user/plan.tvk");
    EXPECT_TRUE(form->Changed());
    EXPECT_TRUE(form->windowTitle().endsWith("plan.tvk*]")) << form->windowTitle().toStdString();
    // The old copy is gone; this program's own copy holds the work now.
    EXPECT_FALSE(std::filesystem::exists(copy));
    EXPECT_TRUE(std::filesystem::exists(Parts(*form).Recovery->CopyPath()));
    form.reset();
    EXPECT_TRUE(namesIn(folder).empty());
}

// Until this program has a copy of its own on disk, the old one is all that would survive a
// crash, so it stays; and the user learns that the work is not protected.
TEST_F(Recovery, ARestoredCopyStaysWhileThisProgramCannotWriteItsOwn) {
    std::string copy;
    {
        auto form = start();
        addLine(*form, 10);
        copy = leaveAsKilled(*form);
    }
    auto form = start();
    ASSERT_TRUE(std::filesystem::create_directory(Parts(*form).Recovery->CopyPath()));
    EXPECT_TRUE(form->OfferRecovery(folder));
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 1u);
    EXPECT_TRUE(std::filesystem::exists(copy));
    const Error failed = written(*form);
    EXPECT_EQ(failed.Lead, ErrorLead::CannotWrite);
    EXPECT_EQ(failed.File, Parts(*form).Recovery->CopyPath());
    EXPECT_EQ(failed.SystemError, EISDIR);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("Das ist ein Ordner."), std::string::npos) << errors[0];
    EXPECT_TRUE(noteShown(*form));
    std::filesystem::remove(Parts(*form).Recovery->CopyPath());
}

TEST_F(Recovery, AnUntitledDrawingComesBackUntitledAndADiscardedCopyGoes) {
    std::string copy;
    {
        auto form = start();
        addLine(*form, 10);
        copy = leaveAsKilled(*form);
    }
    // Cancelled, the list touches nothing: the copy is listed again at the next start.
    choose = [](TRecoveryCopiesDialog&) { return false; };
    {
        auto form = start();
        EXPECT_FALSE(form->OfferRecovery(folder));
        EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 0u);
        EXPECT_TRUE(std::filesystem::exists(copy));
    }
    choose = [](TRecoveryCopiesDialog& dialog) {
        return dialog.Choose(0, LeftoverChoice::Discard);
    };
    {
        auto form = start();
        EXPECT_FALSE(form->OfferRecovery(folder));
        ASSERT_EQ(lists.size(), 2u);
        ASSERT_EQ(lists[1].size(), 1u);
        EXPECT_EQ(lists[1][0].drawing, "unbenannt.tvk");
        EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 0u);
        EXPECT_FALSE(std::filesystem::exists(copy));
        EXPECT_TRUE(errors.empty());
    }
    {
        auto form = start();
        addLine(*form, 10);
        copy = leaveAsKilled(*form);
    }
    choose = [](TRecoveryCopiesDialog&) { return true; };
    auto form = start();
    EXPECT_TRUE(form->OfferRecovery(folder));
    EXPECT_TRUE(Parts(*form).Session->Drawing().FileName.empty());
    EXPECT_TRUE(form->Changed());
    EXPECT_TRUE(form->windowTitle().endsWith("unbenannt.tvk*]"))
        << form->windowTitle().toStdString();
    // No state of the history is a saved one: a step taken back leaves the work unsaved.
    testing::Find<QAction>(form, "ZirkelKreiszeichnen1")->trigger();
    testing::Find<QAction>(form, "Rueckgaengig1")->trigger();
    EXPECT_TRUE(form->Changed());
    EXPECT_TRUE(form->windowTitle().endsWith("*]"));
}

TEST_F(Recovery, ACopyIsWrittenOnlyAfterAChangeAndGoesWithSaveAndCleanClose) {
    auto form = start();
    Parts(*form).Recovery->WriteCopy();
    EXPECT_FALSE(Parts(*form).Recovery->Flush());
    EXPECT_FALSE(std::filesystem::exists(Parts(*form).Recovery->CopyPath()));  // nothing unsaved

    addLine(*form, 10);
    EXPECT_TRUE(Parts(*form).Recovery->Pending());
    Parts(*form).Recovery->WriteCopy();
    ASSERT_FALSE(Parts(*form).Recovery->Flush());
    struct stat first {};
    ASSERT_EQ(stat(Parts(*form).Recovery->CopyPath().c_str(), &first), 0);
    Parts(*form).Recovery->WriteCopy();  // nothing changed since: no new copy
    EXPECT_FALSE(Parts(*form).Recovery->Flush());
    struct stat second {};
    ASSERT_EQ(stat(Parts(*form).Recovery->CopyPath().c_str(), &second), 0);
    EXPECT_EQ(first.st_ino, second.st_ino);

    // Saved: the copy goes.
    Parts(*form).FileCommands->Dialogs.SaveDialog1 = [this] {
        return std::optional(programDir.file("a.tvk"));
    };
    ASSERT_TRUE(Parts(*form).FileCommands->SaveFile());
    EXPECT_FALSE(std::filesystem::exists(Parts(*form).Recovery->CopyPath()));

    // Changed again, then the window closes without saving: nothing is left behind.
    addLine(*form, 40);
    Parts(*form).Recovery->WriteCopy();
    ASSERT_FALSE(Parts(*form).Recovery->Flush());
    EXPECT_TRUE(std::filesystem::exists(Parts(*form).Recovery->CopyPath()));
    Parts(*form).FileCommands->Dialogs.AskSave = [] { return FileDialogService::Answer::No; };
    EXPECT_TRUE(form->close());
    form.reset();
    EXPECT_TRUE(namesIn(folder).empty());
    EXPECT_TRUE(errors.empty());
}

// Every timer tick of a full disk fails again; the user is told once per run of failures,
// and the status bar says so until a copy is on disk again.
TEST_F(Recovery, AFailingCopyIsToldOnceAndNotedUntilACopyIsWrittenAgain) {
    auto form = start();
    const std::string copy = Parts(*form).Recovery->CopyPath();
    EXPECT_FALSE(noteShown(*form));
    ASSERT_TRUE(std::filesystem::create_directory(copy));  // where the copy should go
    for (int tick = 0; tick < 3; ++tick) {
        addLine(*form, 10 + tick);
        Parts(*form).Recovery->WriteCopy();
        EXPECT_TRUE(written(*form)) << tick;
    }
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(folder + "\n"), std::string::npos) << errors[0];  // the folder
    EXPECT_NE(errors[0].find("„" + copy + "“ kann nicht geschrieben werden: Das ist ein Ordner."),
              std::string::npos)
        << errors[0];
    EXPECT_TRUE(noteShown(*form));
    EXPECT_EQ(testing::Find<QLabel>(form, "RecoveryNote")->text(), "Keine Wiederherstellungskopie");

    std::filesystem::remove(copy);
    addLine(*form, 20);
    Parts(*form).Recovery->WriteCopy();
    EXPECT_FALSE(written(*form));
    EXPECT_FALSE(noteShown(*form));
    EXPECT_TRUE(std::filesystem::is_regular_file(copy));
    EXPECT_EQ(errors.size(), 1u);

    // A failure after a success is a new run of failures: told again.
    std::filesystem::remove(copy);
    ASSERT_TRUE(std::filesystem::create_directory(copy));
    addLine(*form, 30);
    Parts(*form).Recovery->WriteCopy();
    EXPECT_TRUE(written(*form));
    EXPECT_EQ(errors.size(), 2u);
    EXPECT_TRUE(noteShown(*form));
    std::filesystem::remove(copy);
}

// A state folder that cannot be made is not told at start, where nothing needs protecting,
// but with the first copy due; once it can be made, the copies follow.
TEST_F(Recovery, AStateFolderThatCannotBeMadeIsToldWhenTheFirstCopyIsDue) {
    const std::string blocked = state.file("file");
    testing::writeBytes(blocked, {'x'});
    setenv("XDG_STATE_HOME", blocked.c_str(), 1);
    auto form = start();
    EXPECT_FALSE(Parts(*form).Recovery->Flush());
    QApplication::processEvents();
    EXPECT_TRUE(errors.empty());

    addLine(*form, 10);
    Parts(*form).Recovery->WriteCopy();
    const Error failed = written(*form);
    EXPECT_EQ(failed.Lead, ErrorLead::CannotCreate);
    EXPECT_EQ(failed.SystemError, ENOTDIR);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(blocked + "/tervasko/"), std::string::npos) << errors[0];
    EXPECT_TRUE(noteShown(*form));

    std::filesystem::remove(blocked);
    addLine(*form, 20);
    Parts(*form).Recovery->WriteCopy();
    EXPECT_FALSE(written(*form));
    EXPECT_TRUE(std::filesystem::is_regular_file(Parts(*form).Recovery->CopyPath()));
    EXPECT_FALSE(noteShown(*form));
    EXPECT_EQ(errors.size(), 1u);
    form.reset();
    EXPECT_TRUE(namesIn(blocked + "/tervasko/").empty());
}

// Forty copies left behind make one list, not forty message boxes; each gets its own choice,
// and only one drawing can come back.
TEST_F(Recovery, ManyLeftoverCopiesAreListedOnceAndEachGetsItsChoice) {
    std::filesystem::create_directories(folder);
    const std::time_t now = std::time(nullptr);
    // Row i is the copy written i minutes ago: even rows restorable, odd rows damaged.
    std::vector<std::string> paths, times;
    for (int i = 0; i < 40; ++i) {
        const std::string path = folder + "recovery-" + std::to_string(i) + "-old.tvr";
        if (i % 2 == 0) {
            TDrawing d;
            TDrawElement* e = d.AppendElement();
            e->Kind = ekLine;
            e->X1 = i;
            testing::writeBytes(path, EncodeRecoveryCopy("/plans/p" + std::to_string(i) + ".tvk", d,
                                                         DrawingSettings{}));
        } else {
            // The head still names the drawing; the drawing behind it ends in the text count.
            std::vector<std::uint8_t> bytes =
                EncodeRecoveryCopy("/plans/broken.tvk", TDrawing{}, DrawingSettings{});
            bytes.resize(DecodeRecoveryHead(bytes)->drawingOffset + 6);
            testing::writeBytes(path, bytes);
        }
        setTime(path, now - 60 * i);
        paths.push_back(path);
        times.push_back(shownTime(path));
    }
    choose = [](TRecoveryCopiesDialog& dialog) {
        // Restoring row 4 takes the choice from row 0, which was proposed.
        EXPECT_EQ(dialog.Choices()[0], LeftoverChoice::Restore);
        EXPECT_TRUE(dialog.Choose(4, LeftoverChoice::Restore));
        EXPECT_FALSE(dialog.Choose(1, LeftoverChoice::Restore));  // damaged
        for (int row : {2, 3, 6}) EXPECT_TRUE(dialog.Choose(row, LeftoverChoice::Discard));
        const std::vector<LeftoverChoice> choices = dialog.Choices();
        EXPECT_EQ(std::count(choices.begin(), choices.end(), LeftoverChoice::Restore), 1);
        EXPECT_EQ(choices[0], LeftoverChoice::Keep);
        return true;
    };
    auto form = start();
    EXPECT_TRUE(form->OfferRecovery(folder));
    ASSERT_EQ(lists.size(), 1u);
    ASSERT_EQ(lists[0].size(), 40u);
    for (int i = 0; i < 40; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(lists[0][i].time, times[i]);  // newest first
        EXPECT_EQ(lists[0][i].state, i % 2 == 0 ? "wiederherstellbar" : "beschädigt");
        EXPECT_EQ(lists[0][i].drawing,
                  i % 2 == 0 ? "/plans/p" + std::to_string(i) + ".tvk" : "/plans/broken.tvk");
    }
    EXPECT_TRUE(errors.empty());
    ASSERT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 1u);
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.At(0).X1, 4);
    EXPECT_EQ(Parts(*form).Session->Drawing().FileName, "/plans/p4.tvk");
    for (int i = 0; i < 40; ++i) {
        SCOPED_TRACE(i);
        const bool gone = i == 2 || i == 3 || i == 4 || i == 6;
        EXPECT_EQ(std::filesystem::exists(paths[i]), !gone && i % 2 == 0);
        EXPECT_EQ(std::filesystem::exists(paths[i] + ".damaged"), !gone && i % 2 == 1);
    }
    // The kept copies are listed at the next start, the damaged ones no more.
    form.reset();
    choose = [](TRecoveryCopiesDialog&) { return false; };
    form = start();
    EXPECT_FALSE(form->OfferRecovery(folder));
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[1].size(), 17u);
}

TEST_F(Recovery, ADamagedCopyThatCannotBeSetAsideIsToldSoAndListedAgain) {
    std::filesystem::create_directories(folder);
    const std::vector<std::vector<std::uint8_t>> damaged = {
        {},                                   // empty
        {'n', 'o', 't', ' ', 'a', ' ', 'c'},  // no recovery copy at all
        {'T', 'V', 'K', 'R', 'E', 'C', 'O', 'V', 'E', 'R', 'Y', '1', '\n', 0, 0, 0, 0, 9,
         9},  // broken drawing
        {'T', 'V', 'K', 'R', 'E', 'C', 'O', 'V', 'E', 'R', 'Y', '1', '\n', 0xFF, 0xFF, 0xFF,
         0x7F},  // name too long
    };
    for (std::size_t i = 0; i < damaged.size(); ++i)
        testing::writeBytes(folder + "recovery-" + std::to_string(i) + ".tvr", damaged[i]);
    // The name it would be set aside under is taken by a folder with something in it.
    const std::string stuck = folder + "recovery-1.tvr";
    std::filesystem::create_directories(stuck + ".damaged/x");
    auto form = start();
    addLine(*form, 5);
    Parts(*form).Session->MarkSaved();
    EXPECT_FALSE(form->OfferRecovery(folder));
    ASSERT_EQ(lists.size(), 1u);
    ASSERT_EQ(lists[0].size(), damaged.size());
    for (const ListedRow& row : lists[0]) EXPECT_EQ(row.state, "beschädigt");
    // The drawing in the window stays.
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 1u);
    EXPECT_FALSE(form->Changed());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("„" + stuck + "“ kann nicht beiseitegelegt werden"), std::string::npos)
        << errors[0];
    EXPECT_NE(errors[0].find("beim nächsten Start wieder angezeigt"), std::string::npos)
        << errors[0];
    EXPECT_EQ(testing::readBytes(stuck), damaged[1]);
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        if (i == 1) continue;
        const std::string path = folder + "recovery-" + std::to_string(i) + ".tvr";
        EXPECT_FALSE(std::filesystem::exists(path)) << path;
        EXPECT_EQ(testing::readBytes(path + ".damaged"), damaged[i]) << path;
    }
    // Only the one still in place is listed again.
    EXPECT_FALSE(form->OfferRecovery(folder));
    ASSERT_EQ(lists.size(), 2u);
    ASSERT_EQ(lists[1].size(), 1u);
    EXPECT_EQ(lists[1][0].drawing, stuck);  // no head to name a drawing: the copy's own file
}

}  // namespace
}  // namespace tervasko
