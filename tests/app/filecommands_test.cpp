#include "app/filecommands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QSpinBox>

#include "app/mainUnit.h"
#include "document/drawingfile.h"
#include "session/drawingsession.h"
#include "support/cancelprogress.h"
#include "support/find.h"
#include "support/mainformparts.h"
#include "support/tempdir.h"
#include "support/typedfiles.h"

namespace tervasko {
namespace {

using Answer = FileDialogService::Answer;

// The window with its file commands, every question and dialog answered by the test.
class FileCommands : public ::testing::Test {
protected:
    testing::TempDir dir;
    std::unique_ptr<TMainForm> form;
    TFileCommands* commands = nullptr;
    std::vector<Answer> answers;          // for the unsaved-changes question, in order
    std::optional<std::string> savePath;  // what the save dialog returns
    std::optional<std::string> openPath;
    int questions = 0, saveDialogs = 0;
    std::vector<std::string> errors;
    FileDialogService real;  // the window's own dialogs, before the test's answers replace them

    void SetUp() override {
        form = std::make_unique<TMainForm>(dir.path());
        form->Hooks().ShowError = [this](const std::string& text) { errors.push_back(text); };
        form->show();
        QApplication::processEvents();
        commands = Parts(*form).FileCommands;
        real = commands->Dialogs;
        commands->Dialogs.AskSave = [this] {
            ++questions;
            if (answers.empty()) {
                ADD_FAILURE() << "an unexpected question";
                return Answer::Cancel;
            }
            const Answer a = answers.front();
            answers.erase(answers.begin());
            return a;
        };
        commands->Dialogs.SaveDialog1 = [this] {
            ++saveDialogs;
            return savePath;
        };
        commands->Dialogs.OpenDialog1 = [this] { return openPath; };
        commands->Dialogs.SaveDialog3 = [this] { return savePath; };
    }

    void addLine() {
        TDrawElement* e = Parts(*form).Session->Drawing().AppendElement();
        e->Kind = ekLine;
        e->X2 = 10;
        Parts(*form).Session->Record(
            ElementsAppended(Parts(*form).Session->Drawing().Elements.Count() - 1, 1), "Linie");
    }
    bool starred() const { return form->windowTitle().endsWith("*]"); }
};

TEST_F(FileCommands, NewAsksOnlyForChangedDrawingsAndKeepsWorkWhenTheSaveIsCancelled) {
    Parts(*form).Session->Drawing().Elements.Append();  // unchanged: emptied without a question
    commands->Neu1Click();
    EXPECT_EQ(questions, 0);
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 0u);

    addLine();
    answers = {Answer::Yes};  // then the save dialog is cancelled
    commands->Neu1Click();
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 1u);
    EXPECT_TRUE(starred());

    answers = {Answer::Cancel};
    commands->Neu1Click();
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 1u);

    answers = {Answer::No};
    commands->Neu1Click();
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 0u);
    EXPECT_FALSE(starred());
    EXPECT_EQ(questions, 3);
}

TEST_F(FileCommands, SavingATitledDrawingNeedsNoDialogAndAFailedSaveKeepsTheStar) {
    addLine();
    savePath = dir.file("a.tvk");
    ASSERT_TRUE(commands->SaveFile());
    EXPECT_EQ(saveDialogs, 1);
    EXPECT_FALSE(starred());
    EXPECT_TRUE(form->windowTitle().contains("a.tvk"));

    addLine();
    ASSERT_TRUE(commands->SaveFile());  // titled: no dialog
    EXPECT_EQ(saveDialogs, 1);
    TDrawing reread;
    DrawingSettings settings;
    ASSERT_FALSE(ReadDrawingFile(dir.file("a.tvk"), reread, settings));
    EXPECT_EQ(reread.Elements.Count(), 2u);

    addLine();
    savePath = dir.file("missing-folder/b.tvk");
    commands->Speichernunter1Click();
    EXPECT_TRUE(starred());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("missing-folder"), std::string::npos);
    EXPECT_NE(errors[0].find("gespeichert"), std::string::npos);
    EXPECT_EQ(Parts(*form).Session->Drawing().FileName,
              dir.file("a.tvk"));  // never a name that cannot be written
}

TEST_F(FileCommands, ClosingAsksAboutUnsavedWork) {
    EXPECT_TRUE(commands->FormCloseQuery());
    addLine();
    answers = {Answer::Cancel, Answer::No};
    EXPECT_FALSE(commands->FormCloseQuery());
    EXPECT_TRUE(commands->FormCloseQuery());
    EXPECT_EQ(saveDialogs, 0);  // "No" writes nothing
    answers = {Answer::Yes};
    savePath.reset();  // the save dialog cancelled: the window stays
    EXPECT_FALSE(commands->FormCloseQuery());
}

TEST_F(FileCommands, OpeningReadsTheDrawingWithItsSettingsOrChangesNothing) {
    TDrawing stored;
    TDrawElement* e = stored.AppendElement();
    e->Kind = ekCircle;
    stored.Placement.LinealX = 33;
    DrawingSettings settings;
    settings.Zoom = 150;
    settings.PanelShown = true;
    settings.PageCount = 3;
    ASSERT_FALSE(WriteDrawingFile(dir.file("in.tvk"), stored, settings));

    openPath = dir.file("in.tvk");
    commands->ffnen1Click();
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 1u);
    EXPECT_EQ(testing::Find<QSpinBox>(form, "zoomed")->value(), 150);
    EXPECT_EQ(testing::Find<QSpinBox>(form, "PageAnz")->value(), 3);
    EXPECT_FALSE(testing::Find<QWidget>(form, "Panel2")->isHidden());
    EXPECT_DOUBLE_EQ(testing::Find<QDoubleSpinBox>(form, "LinXEd")->value(), 33);
    EXPECT_FALSE(starred());  // a new page count during the load does not count as a change
    EXPECT_EQ(Parts(*form).Session->Drawing().FileName, dir.file("in.tvk"));

    testing::writeBytes(dir.file("broken.tvk"), {1, 0, 0, 0, 7});
    openPath = dir.file("broken.tvk");
    commands->ffnen1Click();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("broken.tvk"), std::string::npos);
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 1u);  // the drawing on screen stays
    EXPECT_EQ(Parts(*form).Session->Drawing().FileName, dir.file("in.tvk"));

    // A sheet no window can show, and files that are no drawing at all: refused by name.
    stored.PageWidthInch = 1e300;
    ASSERT_FALSE(WriteDrawingFile(dir.file("huge.tvk"), stored, settings));
    const std::string fifo = dir.file("pipe.tvk");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {dir.file("huge.tvk"), fifo, std::string("/dev/zero")}) {
        errors.clear();
        openPath = path;
        commands->ffnen1Click();
        ASSERT_EQ(errors.size(), 1u) << path;
        EXPECT_NE(errors[0].find("„" + path + "“"), std::string::npos) << errors[0];
        EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 1u);
        EXPECT_EQ(Parts(*form).Session->Drawing().FileName, dir.file("in.tvk"));
        EXPECT_EQ(Parts(*form).Session->Drawing().PageWidthInch, 210 / MmPerInch);
    }

    addLine();
    answers = {Answer::Cancel};  // unsaved work is asked about before the dialog
    commands->ffnen1Click();
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 2u);
}

TEST_F(FileCommands, DxfExportWritesTheFileOrSaysWhyNot) {
    addLine();
    savePath = dir.file("out.dxf");
    commands->DXFExportActionClick();
    EXPECT_TRUE(std::filesystem::exists(dir.file("out.dxf")));
    EXPECT_TRUE(starred());  // the drawing itself is not saved
    savePath = dir.file("nowhere/out.dxf");
    commands->DXFExportActionClick();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("nowhere/out.dxf"), std::string::npos);
}

// "Abbrechen" in the progress dialog of opening a drawing and of a DXF export: the drawing
// on screen, its name and its settings stay, the old DXF file stays, no other file is left,
// and nothing is reported. Without a click the same work runs to its end.
TEST_F(FileCommands, CancelledInTheirProgressDialogOpenAndDxfExportChangeNothing) {
    TDrawing stored;
    for (int i = 0; i < 5000; ++i) {
        TDrawElement* e = stored.AppendElement();
        e->Kind = ekLine;
        e->X2 = i;
    }
    DrawingSettings settings;
    settings.Zoom = 150;
    // Files of their own, apart from what the window keeps in its data folder.
    const std::string work = dir.file("work");
    std::filesystem::create_directory(work);
    const std::string big = work + "/big.tvk";
    ASSERT_FALSE(WriteDrawingFile(big, stored, settings));
    addLine();
    const std::string dxf = work + "/old.dxf";
    testing::writeBytes(dxf, {'o', 'l', 'd'});
    {
        testing::CancelProgressDialog user;
        openPath = big;
        answers = {Answer::No};
        commands->ffnen1Click();
        EXPECT_TRUE(user.Clicked());
        EXPECT_EQ(user.Label().toStdString(), "Öffnen...\n" + big);
    }
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 1u);
    EXPECT_EQ(Parts(*form).Session->Drawing().FileName, "");
    EXPECT_EQ(testing::Find<QSpinBox>(form, "zoomed")->value(), 100);
    EXPECT_TRUE(starred());
    {
        testing::CancelProgressDialog user;
        savePath = dxf;
        commands->DXFExportActionClick();
        EXPECT_TRUE(user.Clicked());
        EXPECT_EQ(user.Label().toStdString(), "Als DXF Datei exportieren...\n" + dxf);
    }
    EXPECT_EQ(testing::readBytes(dxf), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(work), {}), 2);
    EXPECT_TRUE(errors.empty());

    testing::CancelProgressDialog watcher(false);
    answers = {Answer::No};
    commands->ffnen1Click();
    EXPECT_TRUE(watcher.Seen());
    EXPECT_EQ(Parts(*form).Session->Drawing().Elements.Count(), 5000u);
    EXPECT_EQ(testing::Find<QSpinBox>(form, "zoomed")->value(), 150);
    EXPECT_TRUE(errors.empty());
}

// The file dialogs themselves, answered as a person answers them (TypeFileNames).
TEST_F(FileCommands, TheFileDialogsRefuseAFileInAFolderThatDoesNotExistAndStayOpen) {
    std::vector<std::string> typed;
    std::vector<std::string> refusals;
    int runs = 0;
    commands->Dialogs = real;
    commands->Dialogs.AskSave = [] { return Answer::No; };
    commands->Dialogs.Runner.Refuse = [&](QWidget* dialog, const std::string& text) {
        EXPECT_NE(qobject_cast<QFileDialog*>(dialog), nullptr);
        refusals.push_back(text);
    };
    commands->Dialogs.Runner.Exec = [&, type = testing::TypeFileNames(typed)](QFileDialog& d) {
        ++runs;
        return type(d);
    };
    const std::string missing = dir.file("missing/b.tvk");

    addLine();
    typed = {missing, ""};
    commands->Speichernunter1Click();
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_NE(refusals[0].find("Dieser Ordner existiert nicht"), std::string::npos) << refusals[0];
    EXPECT_NE(refusals[0].find(dir.file("missing")), std::string::npos) << refusals[0];
    EXPECT_EQ(runs, 1);  // the refusal kept the dialog open
    EXPECT_EQ(Parts(*form).Session->Drawing().FileName, "");
    EXPECT_TRUE(starred());
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));

    typed = {missing, dir.file("b.tvk")};  // corrected in the same dialog
    commands->Speichernunter1Click();
    EXPECT_EQ(refusals.size(), 2u);
    EXPECT_EQ(Parts(*form).Session->Drawing().FileName, dir.file("b.tvk"));
    EXPECT_FALSE(starred());

    typed = {dir.file("nowhere/out.dxf"), ""};
    commands->DXFExportActionClick();
    EXPECT_EQ(refusals.size(), 3u);
    EXPECT_FALSE(std::filesystem::exists(dir.file("nowhere")));
    EXPECT_TRUE(errors.empty());

    // A dialog that closes with such a file all the same (the desktop's, not Qt's) is refused
    // afterwards and shown again.
    refusals.clear();
    runs = 0;
    commands->Dialogs.Runner.Exec = [&](QFileDialog& dialog) {
        if (++runs > 1) return int(QDialog::Rejected);
        dialog.selectFile(QString::fromStdString(missing));
        return int(QDialog::Accepted);
    };
    addLine();
    commands->Speichernunter1Click();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(refusals.size(), 1u);
    EXPECT_EQ(Parts(*form).Session->Drawing().FileName, dir.file("b.tvk"));
    EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace tervasko
