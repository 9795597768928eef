// What the user sees of the program in German, English and Italian: the texts that live
// outside the walk's usual reach (the picture filter, the font chooser, Qt's own texts) and
// whether the translated captions fit.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <filesystem>

#include "app/AddTextFUnit.h"
#include "app/dialogs/DPIFUnit.h"
#include "app/dialogs/savedialog.h"
#include "app/mainUnit.h"
#include "app/translate/languagecommands.h"
#include "app/translate/qttranslations.h"
#include "app/translate/translateunit.h"
#include "document/options.h"
#include "support/find.h"
#include "support/mainformparts.h"
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
        EXPECT_FALSE(SaveOptions(dir.path() + "/", language));
        form = std::make_unique<TMainForm>(dir.path());
        form->show();
        QApplication::processEvents();
    }
    TranslationTable& table() { return *Parts(*form).Translations; }
};

TEST(PictureFilter, AGermanStartAppendsNothingAlsoWhenAPictureIsExported) {
    Started german(kGerman, false);  // an empty table: every lookup would append
    TMainForm& form = *german.form;
    const int rows = german.table().RowCount();
    std::vector<std::string> errors;
    form.Hooks().ShowError = [&](const std::string& text) { errors.push_back(text); };
    Parts(form).DPIForm->Exec = [&] { return int(QDialog::Accepted); };
    Parts(form).SaveDialog2->Execute = [&] {
        Parts(form).SaveDialog2->FileName = QString::fromStdString(german.dir.file("sheet"));
        Parts(form).SaveDialog2->FilterIndex = 2;
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
    const QStringList pictures = {q("File BMP (*.bmp)"), q("File PNG (*.png)"),
                                  q("File SVG (*.svg)")};
    EXPECT_EQ(Parts(form).SaveDialog2->NameFilters(), pictures);
    EXPECT_EQ(drawings->NameFilters(), QStringList{q("Disegni (*.tvk)")});
    // A new language shows at the next start: until then every filter stays as it is.
    italian.table().SetActiveLanguage(kEnglish);
    EXPECT_EQ(Parts(form).SaveDialog2->NameFilters(), pictures);
    EXPECT_EQ(drawings->NameFilters(), QStringList{q("Disegni (*.tvk)")});
    EXPECT_EQ(Parts(form).SaveDialog2->FilterExtension(2).toStdString(), "png");
    EXPECT_EQ(Parts(form).SaveDialog2->FilterExtension(3).toStdString(), "svg");
}

// At the window's start size every label of the settings panel shows its whole text.
TEST(SettingsPanel, EveryLabelFitsItsTextAtTheStartSizeInEachLanguage) {
    for (int language : {kGerman, kEnglish, kItalian}) {
        SCOPED_TRACE(language);
        Started start(language);
        TMainForm& form = *start.form;
        ASSERT_EQ(form.width(), 780);
        const QList<QLabel*> labels =
            testing::Find<QWidget>(form, "Panel1")->findChildren<QLabel*>();
        ASSERT_GE(labels.size(), 7);
        for (const QLabel* label : labels) {
            EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
            EXPECT_LE(label->geometry().right(),
                      testing::Find<QWidget>(form, "Panel1")->contentsRect().right())
                << label->text().toStdString();
        }
        if (language == kItalian) {
            const auto eraser = std::find_if(labels.begin(), labels.end(), [](const QLabel* l) {
                return l->text() == q("Larghezza gomma:");
            });
            EXPECT_NE(eraser, labels.end());
        }
    }
}

// A table that cannot be opened is told at the first show. The first word of the message,
// "Übersetzungstabelle", must show its capital Ü whole: the text label begins at the top of
// its first line, so whatever a glyph draws above the font's ascent would be cut off there.
TEST(TableMessage, ShowsTheCapitalUmlautOfItsFirstWordWhole) {
    testing::TempDir dir;
    std::filesystem::create_directory(dir.file("translate.dbf"));  // a folder, not a table
    QString text;
    int roomAbove = -1000;  // px between the label's top and the ink of "Ü"
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        if (auto* label = box->findChild<QLabel*>("qt_msgbox_label")) {
            text = label->text();
            const QFontMetrics m(label->font());
            roomAbove = label->contentsRect().top() + m.ascent() +
                        m.tightBoundingRect(QString(QChar(0x00DC))).top();
        }
        box->reject();
    });
    TMainForm form(dir.path());
    form.show();
    QApplication::processEvents();
    EXPECT_TRUE(text.startsWith(q("Die Übersetzungstabelle kann nicht geöffnet werden.")))
        << text.toStdString();
    EXPECT_GE(roomAbove, 0);
}

bool HasQtTranslation(const char* code) {
    return QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_" +
                             code + ".qm");
}

// The font chooser as "Schriftart wählen..." opens it, in the start language: its caption,
// its colour button and its Qt buttons, then cancelled.
TEST(FontChooser, ShowsItsCaptionAndButtonsInTheLanguageOfTheStart) {
    for (int language : {kEnglish, kItalian}) {
        SCOPED_TRACE(language);
        Started start(language);
        TranslationTable& table = start.table();
        QString title, color;
        QStringList buttons, qtLabels;
        QTimer::singleShot(0, [&] {
            QWidget* chooser = QApplication::activeModalWidget();
            if (!chooser) return;
            title = chooser->windowTitle();
            if (auto* b = chooser->findChild<QPushButton*>("ColorBtn")) color = b->text();
            if (auto* box = chooser->findChild<QDialogButtonBox*>())
                for (QAbstractButton* b : box->buttons()) buttons << b->text();
            if (auto* fonts = chooser->findChild<QWidget*>("Fonts"))
                for (const QLabel* l : fonts->findChildren<QLabel*>()) qtLabels << l->text();
            static_cast<QDialog*>(chooser)->reject();
        });
        Parts(*start.form).AddTextForm->NewFontBtnClick();
        const auto shipped = [&](const char* german) {
            return QString::fromStdString(table.Cell(table.FindRow(german), language));
        };
        ASSERT_FALSE(shipped("Schriftart").isEmpty());
        EXPECT_EQ(title, shipped("Schriftart"));
        EXPECT_EQ(color, shipped("Farbe..."));
        if (language == kItalian && HasQtTranslation("it")) {
            EXPECT_TRUE(buttons.contains(q("Annulla"))) << buttons.join(',').toStdString();
            // Qt's chooser itself, made before Qt's translation was loaded, follows it too.
            EXPECT_FALSE(qtLabels.isEmpty());
            for (const char* english : {"&Font", "&Size"})
                EXPECT_FALSE(qtLabels.contains(q(english))) << qtLabels.join('|').toStdString();
        }
    }
}

// The standard buttons of a message box made now, as the box shows them.
QStringList messageBoxButtons() {
    QMessageBox box(QMessageBox::Question, {}, {},
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    return {box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text(),
            box.button(QMessageBox::Cancel)->text()};
}

TEST(QtTexts, FollowTheLanguageOfTheStartAndOfEachLanguageCommand) {
    for (const char* code : {"de", "it"})
        if (!HasQtTranslation(code))
            GTEST_SKIP() << "Qt's translations are not installed (no qtbase_" << code << ".qm in "
                         << QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString()
                         << "; package qt6-translations-l10n)";
    const QStringList german = {q("&Ja"), q("&Nein"), q("Abbrechen")};
    const QStringList italian = {q("&Sì"), q("&No"), q("Annulla")};
    const QStringList english = {q("&Yes"), q("&No"), q("Cancel")};
    {
        Started start(kItalian);
        EXPECT_EQ(messageBoxButtons(), italian);
        // The restart request already shows in the new language, buttons included.
        LanguageDialogs dialogs;
        QStringList shown;
        dialogs.Information = [&](QWidget*, const std::string&, const std::string&) {
            shown = messageBoxButtons();
        };
        const struct {
            int language;
            QAction* item;
            QStringList buttons;
        } commands[] = {
            {kEnglish, testing::Find<QAction>(start.form, "SpracheEnglish1"), english},
            {kGerman, testing::Find<QAction>(start.form, "SpracheDeutsch1"), german},
            {kItalian, testing::Find<QAction>(start.form, "SpracheItaliano1"), italian}};
        for (const auto& c : commands) {
            LanguageCommand(c.language, c.item, false, start.table(), Parts(*start.form).ProgramDir,
                            start.form.get(), dialogs);
            EXPECT_EQ(shown, c.buttons) << c.language;
        }
    }
    {
        Started start(kGerman);
        EXPECT_EQ(messageBoxButtons(), german);
    }
    LoadQtTranslations(-1);  // Qt's own English for the tests that follow
    EXPECT_EQ(messageBoxButtons(), english);
}

}  // namespace
}  // namespace tervasko
