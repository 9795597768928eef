// The settings row and the numeric entry panel lay their labels out by their text: no label
// is cut in any of the three languages, with a larger font, in a narrow window, or at a
// larger scale factor (the whole program run with QT_SCALE_FACTOR set).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <cstdlib>

#include "app/datafolder.h"
#include "app/mainUnit.h"
#include "support/find.h"
#include "support/tempdir.h"

namespace tervasko {
namespace {

// Every label below `panel` shows its whole text: as wide and high as the text needs, and
// inside the panel, which lies inside the window.
void expectWholeLabels(QWidget& window, QWidget& panel) {
    SCOPED_TRACE(panel.objectName().toStdString());
    const QRect shown = panel.rect();
    EXPECT_TRUE(window.rect().contains(QRect(panel.mapTo(&window, QPoint()), panel.size())));
    const QList<QLabel*> labels = panel.findChildren<QLabel*>();
    ASSERT_FALSE(labels.isEmpty());
    for (QLabel* label : labels) {
        SCOPED_TRACE(label->text().toStdString());
        const QFontMetrics metrics(label->font());
        const QRect text =
            metrics.boundingRect(QRect(0, 0, 10000, 10000), Qt::AlignLeft, label->text());
        EXPECT_GE(label->width(), text.width());
        EXPECT_GE(label->height(), metrics.height());
        EXPECT_TRUE(shown.contains(QRect(label->mapTo(&panel, QPoint()), label->size())))
            << "at " << label->mapTo(&panel, QPoint()).x() << ","
            << label->mapTo(&panel, QPoint()).y() << " size " << label->width() << "x"
            << label->height() << " in " << shown.width() << "x" << shown.height();
    }
}

class PanelLayoutTest : public ::testing::TestWithParam<int> {
protected:
    testing::TempDir dir;
    std::unique_ptr<TMainForm> form;

    // A start in the language `language` (0 German, 1 English, 2 Italian) with the shipped
    // translations, the numeric panel shown.
    void start(int language) {
        const char* source = std::getenv("TERVASKO_SOURCE_DIR");
        ASSERT_NE(source, nullptr);
        ASSERT_TRUE(
            PrepareDataFolder(dir.path(), dir.path(), std::string(source) + "/data").empty());
        const std::uint8_t options[4] = {static_cast<std::uint8_t>(language), 0, 0, 0};
        testing::writeBytes(dir.file("options.dat"), {options, options + 4});
        form = std::make_unique<TMainForm>(dir.path());
        form->Hooks().ShowError = [](const std::string& text) { ADD_FAILURE() << text; };
        form->show();
        testing::Find<QAction>(form, "LeistefrZahleneingabe1")->trigger();
        QApplication::processEvents();
    }
    void settle() {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    }
    void expectAllWhole() {
        expectWholeLabels(*form, *testing::Find<QWidget>(form, "Panel1"));
        expectWholeLabels(*form, *testing::Find<QWidget>(form, "Panel2"));
    }
};

TEST_P(PanelLayoutTest, NoLabelIsCutAtAnyFontSizeOrWindowWidth) {
    start(GetParam());
    ASSERT_FALSE(HasFailure());
    if (GetParam() == 1) {
        EXPECT_EQ(testing::Find<QMenu>(form, "Datei1")->title(), "File");  // really translated
    }
    settle();
    // The offscreen platform honours the scale factor: the ctest run at 2 really is at 2.
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
        EXPECT_EQ(form->devicePixelRatio(), qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
    }
    expectAllWhole();

    QFont big = form->font();
    big.setPointSize(big.pointSize() * 2);
    form->setFont(big);
    settle();
    expectAllWhole();

    // Too narrow for one line: the row wraps and grows.
    // (At a large scale factor the window starts as wide as the screen and wraps already.)
    QWidget* row = testing::Find<QWidget>(form, "Panel1");
    const int oneLine = row->heightForWidth(row->sizeHint().width());
    form->resize(420, 700);
    settle();
    expectAllWhole();
    EXPECT_GT(testing::Find<QWidget>(form, "Panel1")->height(), oneLine);
}

INSTANTIATE_TEST_SUITE_P(Languages, PanelLayoutTest, ::testing::Values(0, 1, 2));

// At the start size in German the row keeps its height and the panel its width.
TEST(PanelLayout, GermanAtScaleOneKeepsTheClassicSizes) {
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) GTEST_SKIP() << "another scale";
    testing::TempDir dir;
    TMainForm form(dir.path());
    form.show();
    testing::Find<QAction>(form, "LeistefrZahleneingabe1")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(testing::Find<QWidget>(form, "Panel1")->height(), 48);
    // 121 px unless its widest label (and the 4 px margins) needs more.
    int widest = 0;
    for (const QLabel* label : testing::Find<QWidget>(form, "Panel2")->findChildren<QLabel*>())
        widest = std::max(widest, label->sizeHint().width());
    EXPECT_EQ(testing::Find<QWidget>(form, "Panel2")->width(), std::max(121, widest + 8));
}

}  // namespace
}  // namespace tervasko
