#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "app/mainUnit.h"
#include "app/paintbox.h"
#include "app/toolhostqt.h"
#include "platform/numeric.h"
#include "platform/qt/qtcanvas.h"
#include "session/drawingsession.h"
#include "support/find.h"
#include "support/mainformparts.h"
#include "support/tempdir.h"

namespace tervasko {
namespace {

class MainFormTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    std::unique_ptr<TMainForm> form;

    void SetUp() override {
        form = std::make_unique<TMainForm>(dir.path());
        form->show();
        QApplication::processEvents();
    }

    QAction* action(const char* name) { return form->findChild<QAction*>(name); }
};

TEST_F(MainFormTest, EveryMenuItemIsThereByNameWithItsStartCheckMark) {
    const char* checked[] = {"Lineal1", "LinealVerschieben1", "Lineal2", "Winkelmesser2",
                             "Zirkel2", "SpracheDeutsch1"};
    const char* unchecked[] = {"LinealDrehen1",
                               "LinealAnLinealentlangzeichnen1",
                               "LinealQuerzumLinealzeichnen1",
                               "Winkelmesser1",
                               "WinkelmesserVerschieben1",
                               "WinkelmesserDrehen1",
                               "WinkelmesserGradzahlmitBleistiftmarkieren1",
                               "Zirkel1",
                               "ZirkelVerschieben1",
                               "ZirkelZirkelspanne1",
                               "ZirkelKreisbogenzeichnen1",
                               "Kurven1",
                               "Bleistift1",
                               "Radierer1",
                               "Text1",
                               "TextTexthinzufgen1",
                               "TextTextndern1",
                               "TextTextlschen1",
                               "TextVerschieben1",
                               "Objekte1",
                               "ObjekteLschen1",
                               "ObjekteVerschieben1",
                               "Hand1",
                               "Zoom1",
                               "Geodreieck1",
                               "GeodreieckVerschieben1",
                               "GeodreieckDrehen1",
                               "GeodreieckAnderlangenKanteentlangzeichnen1",
                               "GeodreieckAndenkurzenKantenentlangzeichnen1",
                               "GeodreieckWinkelmarkieren1",
                               "LeistefrZahleneingabe1",
                               "AnsichtZollAngabenfrdasLineal1",
                               "SpracheEnglish1",
                               "SpracheItaliano1"};
    const char* commands[] = {"Neu1",
                              "ffnen1",
                              "Speichern1",
                              "Speichernunter1",
                              "DateiAlsBildexportieren1",
                              "DXFExportAction",
                              "DateiSeiteeinrichten1",
                              "DateiDrucken1",
                              "Druckereinrichten1",
                              "Beenden1",
                              "Sprachebersetzen1",
                              "ZirkelKreiszeichnen1",
                              "ObjekteLetzesObjektlschen1"};
    for (const char* name : checked) {
        ASSERT_NE(action(name), nullptr) << name;
        EXPECT_TRUE(action(name)->isChecked()) << name;
    }
    for (const char* name : unchecked) {
        ASSERT_NE(action(name), nullptr) << name;
        EXPECT_TRUE(action(name)->isCheckable()) << name;
        EXPECT_FALSE(action(name)->isChecked()) << name;
    }
    for (const char* name : commands) {
        ASSERT_NE(action(name), nullptr) << name;
        EXPECT_FALSE(action(name)->isChecked()) << name;
    }
    // The icon-only twins carry hints and no caption.
    for (const char* name : {"N5", "N6", "N7", "N8", "MenuItem1", "N9", "N10", "N11"}) {
        ASSERT_NE(action(name), nullptr) << name;
        EXPECT_TRUE(action(name)->text().isEmpty()) << name;
        EXPECT_FALSE(action(name)->toolTip().isEmpty()) << name;
        EXPECT_FALSE(action(name)->icon().isNull()) << name;
    }
    EXPECT_EQ(action("MenuItem1")->toolTip(), QString::fromUtf8("Seite einrichten"));
    for (const char* name :
         {"zoomed", "StrichEd", "Shape1", "FarbeBtn", "RadierEd", "PageAnz", "Panel2", "LinXEd",
          "ZirksEd", "GeoXEd", "GeoYEd", "GeoWEd", "ScrollBox1", "PaintBox1", "StatusBar1",
          "MenuBar20001", "MenuBar20002", "Panel1"})
        EXPECT_NE(form->findChild<QWidget*>(name), nullptr) << name;
    EXPECT_FALSE(testing::Find<QWidget>(form, "Panel2")->isVisible());
    EXPECT_EQ(testing::Find<QSpinBox>(form, "zoomed")->value(), 100);
    EXPECT_EQ(testing::Find<QSpinBox>(form, "zoomed")->singleStep(), 10);
    EXPECT_DOUBLE_EQ(testing::Find<QDoubleSpinBox>(form, "RadierEd")->value(), 2);
}

TEST_F(MainFormTest, ModeItemsFormRadioGroupsAndKeepTheirCheckWhileAnotherToolIsActive) {
    action("ZirkelZirkelspanne1")->trigger();
    EXPECT_TRUE(action("Zirkel1")->isChecked());
    EXPECT_FALSE(action("Lineal1")->isChecked());
    EXPECT_TRUE(action("LinealVerschieben1")->isChecked());  // mode kept
    action("LinealDrehen1")->trigger();
    EXPECT_TRUE(action("Lineal1")->isChecked());
    EXPECT_FALSE(action("LinealVerschieben1")->isChecked());
    EXPECT_TRUE(action("ZirkelZirkelspanne1")->isChecked());
    action("Bleistift1")->trigger();
    EXPECT_TRUE(action("Bleistift1")->isChecked());
    EXPECT_FALSE(action("Lineal1")->isChecked());
}

// The check marks show the session's tool choice, which is what the tools read: a choice made
// in the session shows in the menu, a tool with modes alone chooses nothing, and the
// protractor's mode survives a detour through another tool.
TEST_F(MainFormTest, TheToolMenuShowsTheSessionsChoiceWhichTheToolsRead) {
    ToolChoice& choice = Parts(*form).Session->Tool;
    QSignalSpy changes(&choice, &ToolChoice::Changed);
    choice.Choose(ToolItem::WinkelmesserDrehen1);
    EXPECT_TRUE(action("Winkelmesser1")->isChecked());
    EXPECT_TRUE(action("WinkelmesserDrehen1")->isChecked());
    EXPECT_FALSE(action("Lineal1")->isChecked());
    EXPECT_TRUE(action("LinealVerschieben1")->isChecked());
    choice.Choose(ToolItem::Zirkel1);
    choice.Choose(ToolItem::WinkelmesserDrehen1);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(choice.Tool(), ToolItem::Winkelmesser1);

    action("Bleistift1")->trigger();
    EXPECT_TRUE(choice.Checked(ToolItem::Bleistift1));
    EXPECT_FALSE(choice.Checked(ToolItem::Winkelmesser1));
    EXPECT_TRUE(choice.Checked(ToolItem::WinkelmesserDrehen1));
    action("WinkelmesserVerschieben1")->trigger();
    EXPECT_TRUE(action("Winkelmesser1")->isChecked());
    EXPECT_TRUE(action("WinkelmesserVerschieben1")->isChecked());
    EXPECT_FALSE(action("WinkelmesserDrehen1")->isChecked());
    EXPECT_FALSE(action("Bleistift1")->isChecked());
    EXPECT_FALSE(choice.Checked(ToolItem::WinkelmesserDrehen1));

    // A mark flipped behind the session's back does not fool the tools.
    choice.Choose(ToolItem::Bleistift1);
    action("Hand1")->setChecked(true);
    EXPECT_TRUE(Parts(*form).Tools->Checked(ToolItem::Bleistift1));
    EXPECT_FALSE(Parts(*form).Tools->Checked(ToolItem::Hand1));
}

// "Fangen" is the session's switch: the menu item shows it and sets it.
TEST_F(MainFormTest, TheSnapSwitchIsTheSessionsAndTheMenuShowsIt) {
    Parts(*form).Session->Settings.SetSnap(true);
    EXPECT_TRUE(action("AnsichtFangen1")->isChecked());
    EXPECT_TRUE(Parts(*form).Tools->SnapOn());
    action("AnsichtFangen1")->trigger();
    EXPECT_FALSE(Parts(*form).Session->Settings.Snap());
    EXPECT_FALSE(Parts(*form).Tools->SnapOn());
}

// The set square follows the zoom in the tool bar; its modes are a group of their own, and
// any of them makes it the active tool.
TEST_F(MainFormTest, TheSetSquareFollowsTheZoomInTheToolBarWithItsFiveModes) {
    const QList<QAction*> tools = testing::Find<QToolBar>(form, "MenuBar20001")->actions();
    const auto at = tools.indexOf(action("Zoom1"));
    ASSERT_GE(at, 0);
    ASSERT_LT(at + 1, tools.size());
    EXPECT_EQ(tools.at(at + 1), action("Geodreieck1"));
    EXPECT_EQ(action("Geodreieck1")->text(), "Geodreieck");
    const struct {
        const char* name;
        const char* text;
    } modes[] = {
        {"GeodreieckVerschieben1", "Verschieben"},
        {"GeodreieckDrehen1", "Drehen"},
        {"GeodreieckAnderlangenKanteentlangzeichnen1", "An der langen Kante entlang zeichnen"},
        {"GeodreieckAndenkurzenKantenentlangzeichnen1", "An den kurzen Kanten entlang zeichnen"},
        {"GeodreieckWinkelmarkieren1", "Winkel markieren"},
    };
    const QList<QAction*> items = testing::Find<QMenu>(form, "Geodreieck1Menu")->actions();
    ASSERT_EQ(items.size(), std::ssize(modes));
    for (std::size_t i = 0; i < std::size(modes); ++i) {
        EXPECT_EQ(items.at(i), action(modes[i].name)) << modes[i].name;
        EXPECT_EQ(items.at(i)->text(), modes[i].text) << modes[i].name;
    }

    action("GeodreieckAndenkurzenKantenentlangzeichnen1")->trigger();
    EXPECT_EQ(Parts(*form).Session->Tool.Tool(), ToolItem::Geodreieck1);
    EXPECT_TRUE(action("Geodreieck1")->isChecked());
    EXPECT_FALSE(action("Zoom1")->isChecked());
    EXPECT_FALSE(action("Lineal1")->isChecked());
    EXPECT_TRUE(action("LinealVerschieben1")->isChecked());  // the ruler keeps its mode
    action("GeodreieckWinkelmarkieren1")->trigger();
    EXPECT_TRUE(action("GeodreieckWinkelmarkieren1")->isChecked());
    EXPECT_FALSE(action("GeodreieckAndenkurzenKantenentlangzeichnen1")->isChecked());
}

// "Geodreieck" follows "Zirkel" in the view menu, off at start; it is the drawing's
// setting both ways, and a drawing's settings put its check mark.
TEST_F(MainFormTest, TheSetSquareSwitchFollowsTheCompassAndIsTheDrawingsSetting) {
    const QList<QAction*> items = form->findChild<QMenu*>("Ansicht1")->actions();
    const auto at = items.indexOf(action("Zirkel2"));
    ASSERT_GE(at, 0);
    ASSERT_LT(at + 1, items.size());
    EXPECT_EQ(items.at(at + 1), action("Geodreieck2"));
    EXPECT_EQ(action("Geodreieck2")->text(), "Geodreieck");
    EXPECT_TRUE(action("Geodreieck2")->isCheckable());
    EXPECT_FALSE(action("Geodreieck2")->isChecked());
    EXPECT_FALSE(Parts(*form).Session->Settings.Values().SetSquareShown);

    action("Geodreieck2")->trigger();
    EXPECT_TRUE(Parts(*form).Session->Settings.Values().SetSquareShown);
    DrawingSettings hidden = Parts(*form).Session->Settings.Values();
    hidden.SetSquareShown = false;
    Parts(*form).Session->Settings.Assign(hidden);
    EXPECT_FALSE(action("Geodreieck2")->isChecked());
}

TEST_F(MainFormTest, TitleShowsTheFileAndAStarAfterAChange) {
    EXPECT_EQ(form->windowTitle().toStdString(), "Morvane Tervasko 1.0 - [unbenannt.tvk]");
    testing::Find<QSpinBox>(form, "PageAnz")->setValue(2);
    EXPECT_EQ(form->windowTitle().toStdString(), "Morvane Tervasko 1.0 - [unbenannt.tvk*]");
    Parts(*form).Session->Drawing().FileName = "/a/b.tvk";
    Parts(*form).Session->MarkSaved();
    EXPECT_EQ(form->windowTitle().toStdString(), "Morvane Tervasko 1.0 - [/a/b.tvk]");
    // Showing the window again changes nothing.
    form->hide();
    form->show();
    QApplication::processEvents();
    EXPECT_EQ(form->windowTitle().toStdString(), "Morvane Tervasko 1.0 - [/a/b.tvk]");
}

TEST_F(MainFormTest, PaintBoxSizeFollowsZoomAndPageCountAndTheFirstCycleOnlyResizes) {
    ASSERT_EQ(testing::Find<TPaintBox>(form, "PaintBox1")->logicalDpiX(), 96);
    EXPECT_EQ(testing::Find<TPaintBox>(form, "PaintBox1")->size(), QSize(804, 1133));
    testing::Find<QSpinBox>(form, "zoomed")->setValue(50);
    EXPECT_EQ(testing::Find<TPaintBox>(form, "PaintBox1")->size(), QSize(407, 571));
    testing::Find<QSpinBox>(form, "zoomed")->setValue(100);
    Parts(*form).Session->Drawing().Changed = false;
    testing::Find<QSpinBox>(form, "PageAnz")->setValue(2);
    EXPECT_EQ(testing::Find<TPaintBox>(form, "PaintBox1")->size(), QSize(1608, 2256));
    EXPECT_TRUE(form->Changed());  // a new page count changes the drawing

    Parts(*form).View.PaintSuspended = true;
    testing::Find<QSpinBox>(form, "zoomed")->setValue(300);
    EXPECT_EQ(testing::Find<TPaintBox>(form, "PaintBox1")->size(), QSize(1608, 2256));
    EXPECT_NEAR(form->PixelsPerMm(), 3.7795350, 1e-6);
}

TEST_F(MainFormTest, StatusBarShowsThePointerInMillimetresWithTheLocaleSeparator) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    form->PaintBox1MouseMove(105, 5);
    EXPECT_EQ(testing::Find<QStatusBar>(form, "StatusBar1")->currentMessage().toStdString(),
              "26,46 mm, 0,00 mm");
    QLocale::setDefault(QLocale::c());
    form->PaintBox1MouseMove(105, 5);
    EXPECT_EQ(testing::Find<QStatusBar>(form, "StatusBar1")->currentMessage().toStdString(),
              "26.46 mm, 0.00 mm");
}

TEST_F(MainFormTest, TypedValuesMoveTheInstrumentAtEveryCharacter) {
    QLocale::setDefault(QLocale::c());
    std::vector<double> seen;
    QObject::connect(testing::Find<QDoubleSpinBox>(form, "LinXEd"), &QDoubleSpinBox::valueChanged,
                     [&] { seen.push_back(Parts(*form).Session->Drawing().Placement.LinealX); });
    QLineEdit* edit = testing::Find<QDoubleSpinBox>(form, "LinXEd")->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, "25");
    EXPECT_EQ(seen, (std::vector<double>{2, 25}));
    EXPECT_EQ(Parts(*form).Session->Drawing().Placement.LinealX, 25);

    // Written by UpdateEds, the fields move nothing.
    Parts(*form).Session->Drawing().Placement.WinkelX = 70;
    Parts(*form).Session->Drawing().Placement.LinealY = 33;
    form->UpdateEds();
    EXPECT_EQ(testing::Find<QDoubleSpinBox>(form, "WinkXed")->value(), 70);
    EXPECT_EQ(Parts(*form).Session->Drawing().Placement.LinealY, 33);
    EXPECT_FALSE(form->Changed());  // typing does not change the drawing
}

// Each field moves its own value of the placement, and nothing else.
TEST_F(MainFormTest, EveryNumericFieldEntersItsOwnPlacementValue) {
    const char* fields[] = {"LinXEd",  "Linyed",  "linwed",  "WinkXed", "WinkYEd", "WinkWEd",
                            "ZirkXed", "ZirkYed", "ZirksEd", "GeoXEd",  "GeoYEd",  "GeoWEd"};
    double value = 1;
    for (const char* name : fields) testing::Find<QDoubleSpinBox>(form, name)->setValue(value++);
    const InstrumentPlacement typed{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    EXPECT_EQ(Parts(*form).Session->Drawing().Placement, typed);
    EXPECT_FALSE(form->Changed());
}

// The set square's fields show its start-up place and take typed numbers as the ruler's do:
// at every character, into its own value only, with no step in the history.
TEST_F(MainFormTest, TypedNumbersMoveTheSetSquareAtEveryCharacterAndNothingElse) {
    QLocale::setDefault(QLocale::c());
    const struct {
        const char* field;
        double InstrumentPlacement::*value;
        double shown;  // at start
        const char* typed;
        std::vector<double> seen;
    } cases[] = {
        {"GeoXEd", &InstrumentPlacement::GeoX, 105, "37.5", {3, 37, 37.5}},
        {"GeoYEd", &InstrumentPlacement::GeoY, 160, "-8.25", {-8, -8.2, -8.25}},
        {"GeoWEd", &InstrumentPlacement::GeoAngle, 0, "212", {2, 21, 212}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        auto* field = testing::Find<QDoubleSpinBox>(form, c.field);
        EXPECT_EQ(field->value(), c.shown);
        const InstrumentPlacement before = Parts(*form).Session->Drawing().Placement;
        std::vector<double> seen;
        const auto watch = QObject::connect(field, &QDoubleSpinBox::valueChanged, [&] {
            seen.push_back(Parts(*form).Session->Drawing().Placement.*c.value);
        });
        QLineEdit* edit = field->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        QTest::keyClicks(edit, c.typed);
        QObject::disconnect(watch);
        EXPECT_EQ(seen, c.seen);
        InstrumentPlacement expected = before;
        expected.*c.value = c.seen.back();
        EXPECT_EQ(Parts(*form).Session->Drawing().Placement, expected);
    }
    EXPECT_EQ(Parts(*form).Session->History().count(), 0);
    EXPECT_FALSE(form->Changed());
}

TEST_F(MainFormTest, PenColourFromTheDialogOrKeptWhenCancelled) {
    std::optional<Color> answer = 0x0000FF;
    form->Hooks().ChooseColor = [&](Color) { return answer; };
    testing::Find<QPushButton>(form, "FarbeBtn")->click();
    EXPECT_EQ(form->PenColor(), 0x0000FFu);
    answer.reset();
    QTest::mouseClick(testing::Find<TShape>(form, "Shape1"), Qt::RightButton);
    EXPECT_EQ(form->PenColor(), 0x0000FFu);
}

TEST_F(MainFormTest, SheetPixelsShowTheFrameAndArcsCounterClockwise) {
    TDrawElement* arc = Parts(*form).Session->Drawing().AppendElement();
    arc->Kind = ekArc;
    arc->Width = 0.1;
    // Circle of radius 20 mm about (100, 100); from the ray to the right to the ray upwards,
    // counter-clockwise on screen: the upper right quarter.
    arc->X1 = 80, arc->Y1 = 80, arc->X2 = 120, arc->Y2 = 120;
    arc->X3 = 130, arc->Y3 = 100, arc->X4 = 100, arc->Y4 = 70;
    testing::Find<QAction>(form, "Lineal2")->setChecked(false);
    testing::Find<QAction>(form, "Winkelmesser2")->setChecked(false);
    testing::Find<QAction>(form, "Zirkel2")->setChecked(false);
    form->SetChanged();
    form->PaintBox1Paint();
    QImage sheet(794, 1123, QImage::Format_RGB32);
    Parts(*form).View.RenderSheet(sheet, 0);

    const auto black = [&](int x, int y) { return sheet.pixelColor(x, y) == QColor(Qt::black); };
    EXPECT_TRUE(black(0, 0));
    EXPECT_TRUE(black(793, 500));   // the frame's right column is the buffer's last
    EXPECT_TRUE(black(400, 1122));  // and its bottom row
    EXPECT_FALSE(black(1, 1));
    const double s = form->PixelsPerMm();
    const auto onCircle = [&](double degrees) {
        const double a = degrees * 3.14159265358979 / 180;
        const int cx = static_cast<int>(Round(100 * s)), cy = cx;
        const int r = static_cast<int>(Round(20 * s));
        bool any = false;  // look in a small neighbourhood of the ideal point
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                any = any || black(cx + static_cast<int>(r * std::cos(a)) + dx,
                                   cy - static_cast<int>(r * std::sin(a)) + dy);
        return any;
    };
    EXPECT_TRUE(onCircle(45));    // upper right: drawn
    EXPECT_FALSE(onCircle(225));  // lower left: not drawn
    EXPECT_FALSE(onCircle(-45));
}

TEST_F(MainFormTest, ASmallRepaintShowsExactlyWhatTheWholeSheetShowsThere) {
    Parts(*form).Session->Drawing().Placement.LinealAngle = 30;
    Parts(*form).Session->Drawing().Placement.WinkelAngle = 17;
    form->PaintBox1Paint();
    // Overlay lines, wide and thin, across many tiles: a small repaint draws only the lines
    // that reach it, and those whole.
    Canvas& overlay = Parts(*form).Tools->ScreenCanvas();
    overlay.setPen(kRed, 9);
    overlay.moveTo(30, 47);
    overlay.lineTo(400, 233);
    overlay.setPen(0x00AA00, 1);
    overlay.moveTo(13, 500);
    overlay.lineTo(790, 21);
    QImage whole(testing::Find<TPaintBox>(form, "PaintBox1")->size(), QImage::Format_RGB32);
    whole.fill(Qt::gray);
    {
        QPainter p(&whole);
        Parts(*form).View.Paint(p, whole.rect());
    }
    // Small tiles over the instruments: labels and ticks cut at every possible place.
    QImage part(whole.size(), QImage::Format_RGB32);
    int mismatches = 0;
    for (int y = 0; y < 560; y += 20) {
        for (int x = 0; x < 804; x += 20) {
            const QRect r(x, y, 20, 20);
            part.fill(Qt::gray);
            {
                QPainter p(&part);
                p.setClipRect(r);
                Parts(*form).View.Paint(p, r);
            }
            if (part.copy(r) != whole.copy(r)) ++mismatches;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(MainFormTest, SheetsShowEveryChangeAndASingleSheetRefreshTouchesOnlyTheBuffer) {
    for (QAction* a :
         {testing::Find<QAction>(form, "Lineal2"), testing::Find<QAction>(form, "Winkelmesser2"),
          testing::Find<QAction>(form, "Zirkel2")})
        a->setChecked(false);
    testing::Find<QSpinBox>(form, "PageAnz")->setValue(3);
    form->PaintBox1Paint();
    QImage sheet(794, 1123, QImage::Format_RGB32);
    const auto blackAt = [&](int a, int x, int y) {
        Parts(*form).View.RenderSheet(sheet, a);
        return sheet.pixelColor(x, y) == QColor(Qt::black);
    };
    EXPECT_FALSE(blackAt(1, 200, 400));

    // A line at y = 400 mm lies on the second sheet only; the kept sheet pictures follow.
    TDrawElement* e = Parts(*form).Session->Drawing().AppendElement();
    e->Kind = ekLine;
    e->Width = 1;
    e->X1 = 40, e->Y1 = 400, e->X2 = 80, e->Y2 = 400;
    form->SetChanged();
    form->PaintBox1Paint();
    const int row = static_cast<int>(
        Round((400 - Parts(*form).Session->Drawing().SheetHeightMm()) * form->PixelsPerMm()));
    EXPECT_TRUE(blackAt(1, 200, row));
    EXPECT_FALSE(blackAt(0, 200, row));
    EXPECT_FALSE(blackAt(2, 200, row));

    // The single-sheet refresh draws sheet PointerSheet into the buffer and nothing else.
    Parts(*form).View.Overlay().moveTo(0, 0);
    Parts(*form).View.Overlay().lineTo(10, 10);
    bool updated = false;
    SheetScene scene;
    scene.drawing = &Parts(*form).Session->Drawing();
    scene.pages = 3;
    scene.ruler = scene.protractor = scene.compass = false;
    Parts(*form).View.SingleSheetPaint = true;
    Parts(*form).View.PointerSheet = 1;
    Parts(*form).View.SheetBuffer.fill(Qt::red);
    Parts(*form).View.Cycle(
        scene, testing::Find<TPaintBox>(form, "PaintBox1")->size(), [](int, int) { FAIL(); },
        [&] { updated = true; });
    Parts(*form).View.SingleSheetPaint = false;
    EXPECT_FALSE(updated);
    EXPECT_EQ(Parts(*form).View.Overlay().entries().size(), 1u);  // the screen keeps its overlay
    EXPECT_EQ(Parts(*form).View.SheetBuffer.pixelColor(200, row), QColor(Qt::black));
    EXPECT_EQ(Parts(*form).View.SheetBuffer.pixelColor(1, 1), QColor(Qt::white));
}

}  // namespace
}  // namespace tervasko
