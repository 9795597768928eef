// The recovery copy of unsaved work, driven through the window.

#include "app/recovery.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QDateTime>
#include <QDoubleSpinBox>
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

class Recovery : public ::testing::Test {
protected:
    testing::TempDir programDir, state;
    std::string folder = state.path() + "/tervasko/";
    std::vector<std::string> questions, errors;
    bool answer = true;

    void SetUp() override { setenv("XDG_STATE_HOME", state.path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_STATE_HOME"); }

    std::unique_ptr<TMainForm> start() {
        auto form = std::make_unique<TMainForm>(programDir.path());
        form->Hooks().ShowError = [this](const std::string& text) { errors.push_back(text); };
        Parts(*form).Recovery->AskRestore = [this](const std::string& question) {
            questions.push_back(question);
            return answer;
        };
        form->show();
        QApplication::processEvents();
        return form;
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
    struct stat st {};
    ASSERT_EQ(stat(copy.c_str(), &st), 0);
    auto form = start();
    EXPECT_TRUE(form->OfferRecovery(folder));
    ASSERT_EQ(questions.size(), 1u);
    const std::string time =
        QDateTime::fromSecsSinceEpoch(st.st_mtime).toString("yyyy-MM-dd HH:mm:ss").toStdString();
    EXPECT_NE(questions[0].find("/home/user/plan.tvk"), std::string::npos) << questions[0];
    EXPECT_NE(questions[0].find(time), std::string::npos) << questions[0];
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
// crash, so it stays.
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
    const Error failed = Parts(*form).Recovery->Flush();
    EXPECT_EQ(failed.Lead, ErrorLead::CannotWrite);
    EXPECT_EQ(failed.File, Parts(*form).Recovery->CopyPath());
    EXPECT_EQ(failed.SystemError, EISDIR);
    std::filesystem::remove(Parts(*form).Recovery->CopyPath());
}

TEST_F(Recovery, AnUntitledDrawingComesBackUntitledAndADeclinedCopyGoes) {
    std::string copy;
    {
        auto form = start();
        addLine(*form, 10);
        copy = leaveAsKilled(*form);
    }
    answer = false;
    {
        auto form = start();
        EXPECT_FALSE(form->OfferRecovery(folder));
        ASSERT_EQ(questions.size(), 1u);
        EXPECT_NE(questions[0].find("unbenannt.tvk"), std::string::npos) << questions[0];
        EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 0u);
        EXPECT_FALSE(std::filesystem::exists(copy));
    }
    {
        auto form = start();
        addLine(*form, 10);
        copy = leaveAsKilled(*form);
    }
    answer = true;
    questions.clear();
    auto form = start();
    EXPECT_TRUE(form->OfferRecovery(folder));
    EXPECT_EQ(questions.size(), 1u);
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
}

TEST_F(Recovery, ADamagedCopyIsReportedSetAsideAndNeverBlocksTheStart) {
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
    auto form = start();
    addLine(*form, 5);
    Parts(*form).Session->MarkSaved();
    EXPECT_FALSE(form->OfferRecovery(folder));
    EXPECT_TRUE(questions.empty());  // nothing is offered that cannot be restored
    ASSERT_EQ(errors.size(), damaged.size());
    for (const std::string& e : errors) EXPECT_NE(e.find(".tvr.damaged"), std::string::npos) << e;
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(),
              1u);  // the drawing in the window stays
    EXPECT_FALSE(form->Changed());
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        const std::string path = folder + "recovery-" + std::to_string(i) + ".tvr";
        EXPECT_FALSE(std::filesystem::exists(path)) << path;
        EXPECT_EQ(testing::readBytes(path + ".damaged"), damaged[i]) << path;
    }
    // Set aside, they are not offered again.
    errors.clear();
    EXPECT_FALSE(form->OfferRecovery(folder));
    EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace tervasko
