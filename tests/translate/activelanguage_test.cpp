// What the user sees of the program in German, English and Italian: the texts that live
// outside the walk's usual reach (the picture filter, the font chooser, Qt's own texts) and
// whether the translated captions fit.

#include <gtest/gtest.h>

#include <QApplication>
#include <QSpinBox>
#include <filesystem>

#include "app/dialogs/DPIFUnit.h"
#include "app/dialogs/savedialog.h"
#include "app/mainUnit.h"
#include "app/translate/translateunit.h"
#include "document/options.h"
#include "translate/translatetest.h"

namespace tervasko {
namespace {

using test::q;

// The program started in `language` on the shipped translations, its first show done.
struct Started {
    testing::TempDir dir;
    std::unique_ptr<TMainForm> form;

    explicit Started(int language, bool shipped = true) {
        if (shipped) test::InstallShipped(dir.path() + "/");
        EXPECT_TRUE(SaveOptions(dir.path() + "/", language));
        form = std::make_unique<TMainForm>(dir.path());
        form->show();
        QApplication::processEvents();
    }
    TranslationTable& table() { return *form->Translations; }
};

TEST(PictureFilter, AGermanStartAppendsNothingAlsoWhenAPictureIsExported) {
    Started german(kGerman, false);  // an empty table: every lookup would append
    TMainForm& form = *german.form;
    const int rows = german.table().RowCount();
    std::vector<std::string> errors;
    form.ShowError = [&](const std::string& text) { errors.push_back(text); };
    form.DPIForm->Exec = [&] { return int(QDialog::Accepted); };
    form.SaveDialog2->Execute = [&] {
        form.SaveDialog2->FileName = QString::fromStdString(german.dir.file("sheet"));
        form.SaveDialog2->FilterIndex = 2;
        return true;
    };
    form.DateiAlsBildexportieren1Click();
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_TRUE(std::filesystem::exists(german.dir.file("sheet.png")));
    EXPECT_EQ(german.table().RowCount(), rows) << german.table().Cell(rows + 1, 0);
}

TEST(PictureFilter, IsTranslatedAtTheFirstShowAndKeptThroughALanguageChangeLikeTheOthers) {
    Started italian(kItalian);
    TMainForm& form = *italian.form;
    const TFileFilter* drawings = FindFileFilter(&form, q("SaveDialog1"));
    ASSERT_NE(drawings, nullptr);
    const QStringList pictures = {q("File BMP (*.bmp)"), q("File PNG (*.png)")};
    EXPECT_EQ(form.SaveDialog2->NameFilters(), pictures);
    EXPECT_EQ(drawings->NameFilters(), QStringList{q("Disegni (*.tvk)")});
    // A new language shows at the next start: until then every filter stays as it is.
    italian.table().SetActiveLanguage(kEnglish);
    EXPECT_EQ(form.SaveDialog2->NameFilters(), pictures);
    EXPECT_EQ(drawings->NameFilters(), QStringList{q("Disegni (*.tvk)")});
    EXPECT_EQ(form.SaveDialog2->FilterExtension(2).toStdString(), "png");
}

}  // namespace
}  // namespace tervasko
