// The worksheet in the window: inserted and removed as one step each, lying at true scale
// beneath the elements of every sheet at any zoom, hidden by the eraser and the view switch,
// carried through a save and a load, and every bad file told without a change.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>

#include "app/commandline.h"
#include "app/filecommands.h"
#include "app/sheetview.h"
#include "app/worksheetcommands.h"
#include "document/drawingfile.h"
#include "session/drawingsession.h"
#include "support/mainformparts.h"
#include "support/mainwindow.h"
#include "support/worksheetpdf.h"

namespace tervasko {
namespace {

using testing::HandPdf;
using testing::kPdfLine;
using testing::PdfBytes;
using testing::WriteTestPdf;

class WorksheetWindow : public testing::MainWindowTest {
protected:
    DrawingSession& session() { return *Parts(*form).Session; }
    TWorksheetCommands& commands() { return *Parts(*form).Worksheets; }

    void SetUp() override {
        MainWindowTest::SetUp();
        SettingsModel& s = session().Settings;
        s.SetRulerShown(false);
        s.SetProtractorShown(false);
        s.SetCompassShown(false);
    }

    std::string pdfFile(const std::string& name, const PdfBytes& bytes) {
        const std::string path = dir.file(name);
        testing::writeBytes(path, bytes);
        return path;
    }

    void paint() {
        form->PaintBox1Paint();
        QApplication::processEvents();
        form->PaintBox1Paint();
        QApplication::processEvents();
    }

    QImage sheet(int a) {
        SheetView& view = Parts(*form).View;
        QImage image(view.Geometry.SheetWidthPx, view.Geometry.SheetHeightPx, QImage::Format_RGB32);
        view.RenderSheet(image, a);
        return image;
    }

    // Dark pixels in column x, and in row y, of an image.
    static std::vector<int> darkInColumn(const QImage& image, int x) {
        std::vector<int> rows;
        for (int y = 2; y < image.height() - 2; ++y)  // not the frame
            if (qGray(image.pixel(x, y)) < 128) rows.push_back(y);
        return rows;
    }
    static std::vector<int> darkInRow(const QImage& image, int y) {
        std::vector<int> columns;
        for (int x = 2; x < image.width() - 2; ++x)
            if (qGray(image.pixel(x, y)) < 128) columns.push_back(x);
        return columns;
    }
};

// The PDF's 100 mm line on the second page lies on the pixels the program's own line of the
// same millimetres on the second sheet takes, to a pixel, at zoom 100 and 200; its circle is
// there too. The sheet takes the first page's size and the page count the PDF's pages.
TEST_F(WorksheetWindow, APageLiesBeneathItsSheetAtTrueScale) {
    ASSERT_TRUE(commands().InsertPath(pdfFile("sheet.pdf", WriteTestPdf(200, 280, 3))));
    EXPECT_TRUE(errors.empty());
    TDrawing& d = session().Drawing();
    EXPECT_NEAR(d.PageWidthInch * MmPerInch, 200, 0.4);
    EXPECT_NEAR(d.SheetHeightMm(), 280, 0.4);
    EXPECT_EQ(session().Settings.PageCount(), 3);

    // The program's own line where the PDF has it on page 2 (a millimetre lower than on 1).
    const double top = d.SheetHeightMm();
    TDrawElement own{};
    own.Kind = ekLine;
    own.Width = 0.3;
    own.X1 = kPdfLine.x1, own.Y1 = top + kPdfLine.y1 + 1;
    own.X2 = kPdfLine.x2, own.Y2 = own.Y1;
    for (const int zoom : {100, 200}) {
        SCOPED_TRACE(zoom);
        session().Settings.SetZoom(zoom);
        session().Settings.SetWorksheetShown(true);
        paint();
        const double s = Parts(*form).View.Geometry.PixelsPerMm;
        const QImage page = sheet(1);
        const QImage first = sheet(0);
        // Only the worksheet: the element comes and goes.
        *d.AppendElement() = own;
        session().Settings.SetWorksheetShown(false);
        Parts(*form).View.InvalidateDrawing();
        paint();
        const QImage line = sheet(1);
        d.Elements.Delete(d.Elements.Count() - 1);
        Parts(*form).View.InvalidateDrawing();

        const int column = static_cast<int>(60 * s);  // clear of the circle
        const std::vector<int> pdfRows = darkInColumn(page, column);
        const std::vector<int> ownRows = darkInColumn(line, column);
        ASSERT_FALSE(pdfRows.empty());
        ASSERT_FALSE(ownRows.empty());
        EXPECT_NEAR(pdfRows.front(), ownRows.front(), 1);
        EXPECT_NEAR(pdfRows.back(), ownRows.back(), 1);
        const std::vector<int> pdfColumns = darkInRow(page, pdfRows[pdfRows.size() / 2]);
        const std::vector<int> ownColumns = darkInRow(line, ownRows[ownRows.size() / 2]);
        ASSERT_FALSE(pdfColumns.empty());
        EXPECT_NEAR(pdfColumns.front(), ownColumns.front(), 1);
        EXPECT_NEAR(pdfColumns.back(), ownColumns.back(), 1);
        // The circle's leftmost point, 70 mm across and 151 mm down.
        bool circle = false;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                circle |= qGray(page.pixel(static_cast<int>(70 * s) + dx,
                                           static_cast<int>(151 * s) + dy)) < 128;
        EXPECT_TRUE(circle);
        // The first sheet shows the first page: its line a millimetre higher.
        const std::vector<int> firstRows = darkInColumn(first, column);
        ASSERT_FALSE(firstRows.empty());
        EXPECT_NEAR(firstRows.front(), pdfRows.front() - s, 1);
    }
}

// Inserting and removing are one step each; undo puts back the sheet size, the page count and
// the worksheet before, redo makes them again.
TEST_F(WorksheetWindow, InsertAndRemoveAreOneStepEach) {
    TDrawing& d = session().Drawing();
    const double width = d.PageWidthInch, height = d.PageHeightInch;
    session().Settings.SetPageCount(5);
    const int steps = session().History().count();
    ASSERT_TRUE(commands().InsertPath(pdfFile("a5.pdf", WriteTestPdf(148, 210, 2))));
    EXPECT_EQ(session().History().count(), steps + 1);
    const auto inserted = d.Worksheet;
    ASSERT_TRUE(inserted);
    EXPECT_EQ(session().Settings.PageCount(), 2);
    EXPECT_TRUE(commands().ViewItem()->isChecked());

    ASSERT_TRUE(session().Undo());
    EXPECT_FALSE(d.Worksheet);
    EXPECT_EQ(d.PageWidthInch, width);
    EXPECT_EQ(d.PageHeightInch, height);
    EXPECT_EQ(session().Settings.PageCount(), 5);
    EXPECT_FALSE(commands().RemoveItem()->isEnabled());
    ASSERT_TRUE(session().Redo());
    EXPECT_EQ(d.Worksheet, inserted);
    EXPECT_EQ(session().Settings.PageCount(), 2);

    commands().RemoveItem()->trigger();
    EXPECT_FALSE(d.Worksheet);
    EXPECT_EQ(session().History().count(), steps + 2);
    EXPECT_NEAR(d.PageWidthInch * MmPerInch, 148, 0.4);  // the sheet stays as it is
    EXPECT_EQ(session().History().undoText(), "Arbeitsblatt entfernen");
    ASSERT_TRUE(session().Undo());
    EXPECT_EQ(d.Worksheet, inserted);
    EXPECT_TRUE(session().Changed());
}

// Every file that cannot lie beneath the sheets is told in the user's language, and the
// drawing, its sheet, its pages and its history stay as they were. A PDF of many pages comes
// in with its first ten and a message.
TEST_F(WorksheetWindow, BadFilesAreToldAndChangeNothing) {
    const double mm = 72 / MmPerInch;
    const std::string encrypt = "<< /Filter /Standard /V 1 /R 2 /P -4 /O <" + std::string(64, 'A') +
                                "> /U <" + std::string(64, '7') + "> >>";
    const PdfBytes good = WriteTestPdf(210, 297);
    struct Case {
        const char* name;
        PdfBytes bytes;
        const char* told;  // the program's own words (German; the table translates them)
    };
    const Case cases[] = {
        {"no PDF", PdfBytes{'G', 'I', 'F', '8', '9', 'a'}, "Die Datei ist keine PDF-Datei."},
        {"damaged", PdfBytes(good.begin(), good.begin() + 300), "Die PDF-Datei ist beschädigt."},
        {"encrypted", HandPdf({{595, 842}}, {encrypt}, "/Encrypt 4 0 R /ID [<00> <00>]"),
         "durch ein Kennwort geschützt"},
        {"five metres", HandPdf({{5000 * mm, 297 * mm}}), "Seite 1 der PDF-Datei ist 5000.0 x"},
        {"almost no size", HandPdf({{0.01, 0.01}}), "mindestens 1.0 mm"},
    };
    TDrawing& d = session().Drawing();
    const double height = d.PageHeightInch;
    const int steps = session().History().count();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        errors.clear();
        EXPECT_FALSE(commands().InsertPath(pdfFile("bad.pdf", c.bytes)));
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_NE(errors[0].find("Das Arbeitsblatt konnte nicht eingefügt werden."),
                  std::string::npos)
            << errors[0];
        EXPECT_NE(errors[0].find(c.told), std::string::npos) << errors[0];
        EXPECT_FALSE(d.Worksheet);
        EXPECT_EQ(d.PageHeightInch, height);
        EXPECT_EQ(session().Settings.PageCount(), 1);
        EXPECT_EQ(session().History().count(), steps);
    }

    errors.clear();
    std::vector<std::pair<double, double>> pages(10000, {100 * mm, 80 * mm});
    ASSERT_TRUE(commands().InsertPath(pdfFile("many.pdf", HandPdf(pages))));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("hat 10000 Seiten; nur die ersten 10"), std::string::npos)
        << errors[0];
    EXPECT_EQ(session().Settings.PageCount(), 10);
    EXPECT_NEAR(d.SheetHeightMm(), 80, 1e-3);
}

// The eraser's white strokes lie over the worksheet as over lines; the view switch hides the
// worksheet and shows it again; moving an instrument renders no page.
TEST_F(WorksheetWindow, TheEraserAndTheSwitchHideItAndInstrumentsLeaveItAlone) {
    ASSERT_TRUE(commands().InsertPath(pdfFile("sheet.pdf", WriteTestPdf(210, 297))));
    paint();
    const double s = Parts(*form).View.Geometry.PixelsPerMm;
    const int x = static_cast<int>(100 * s), y = static_cast<int>(std::lround(60 * s));
    const auto darkNear = [&](const QImage& image, int at = -1) {
        for (int dy = -2; dy <= 2; ++dy)
            if (qGray(image.pixel(at < 0 ? x : at, y + dy)) < 128) return true;
        return false;
    };
    ASSERT_TRUE(darkNear(sheet(0)));

    commands().ViewItem()->trigger();  // off
    EXPECT_FALSE(session().Settings.WorksheetShown());
    paint();
    EXPECT_FALSE(darkNear(sheet(0)));
    commands().ViewItem()->trigger();  // on again
    paint();
    EXPECT_TRUE(darkNear(sheet(0)));

    // Moving the ruler over the sheet again and again renders the page no more.
    session().Settings.SetRulerShown(true);
    paint();
    const SheetView::LayerStats before = Parts(*form).View.Stats();
    for (int i = 0; i < 5; ++i) {
        session().Drawing().Placement.LinealY += 3;
        form->PaintBox1Paint();
        QApplication::processEvents();
    }
    EXPECT_EQ(Parts(*form).View.Stats().pages, before.pages);
    EXPECT_EQ(Parts(*form).View.Stats().whole, before.whole);
    session().Settings.SetRulerShown(false);

    // An eraser stroke across the line, as the eraser stores it: a white line of its width.
    TDrawElement rub{};
    rub.Kind = ekLine;
    rub.Width = 4;
    rub.Color = kWhite;
    rub.X1 = 100, rub.Y1 = 50, rub.X2 = 100, rub.Y2 = 70;
    *session().Drawing().AppendElement() = rub;
    Parts(*form).View.InvalidateDrawing();
    paint();
    EXPECT_FALSE(darkNear(sheet(0)));
    EXPECT_TRUE(darkNear(sheet(0), static_cast<int>(80 * s)));  // the rest of the line stays
}

// A save and a load give the chunk back byte for byte; a drawing whose worksheet cannot be
// shown loads without it, tells why and counts as changed.
TEST_F(WorksheetWindow, TravelsInTheDrawingFile) {
    const PdfBytes pdf = WriteTestPdf(210, 297, 2);
    ASSERT_TRUE(commands().InsertPath(pdfFile("sheet.pdf", pdf)));
    const std::string path = dir.file("with.tvk");
    Error error;
    ASSERT_TRUE(session().SaveAs(path, &error)) << EnglishText(error);
    const PdfBytes saved = testing::readBytes(path);
    ASSERT_TRUE(Parts(*form).FileCommands->LoadDrawing(path));
    ASSERT_TRUE(session().Drawing().Worksheet);
    EXPECT_EQ(*session().Drawing().Worksheet, pdf);
    EXPECT_FALSE(session().Changed());
    ASSERT_TRUE(session().SaveAs(path, &error));
    EXPECT_EQ(testing::readBytes(path), saved);

    // The same drawing with the PDF's bytes damaged in its chunk.
    PdfBytes broken = saved;
    const std::size_t at = saved.size() - pdf.size();
    for (std::size_t i = at + 9; i < saved.size(); ++i) broken[i] = 'x';
    testing::writeBytes(dir.file("broken.tvk"), broken);
    errors.clear();
    ASSERT_TRUE(Parts(*form).FileCommands->LoadDrawing(dir.file("broken.tvk")));
    EXPECT_FALSE(session().Drawing().Worksheet);
    EXPECT_TRUE(session().Changed());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("Das Arbeitsblatt kann nicht gezeigt werden"), std::string::npos)
        << errors[0];
    EXPECT_NE(errors[0].find("Die PDF-Datei ist beschädigt."), std::string::npos) << errors[0];
}

// The two commands follow the DXF export in "Datei", the switch the set square in "Ansicht".
TEST_F(WorksheetWindow, TheItemsStandWhereTheyBelong) {
    QMenu* datei = qobject_cast<QMenu*>(
        form->findChild<QAction*>("DXFExportAction")->associatedObjects().value(0));
    ASSERT_TRUE(datei);
    const QList<QAction*> items = datei->actions();
    const qsizetype dxf = items.indexOf(form->findChild<QAction*>("DXFExportAction"));
    ASSERT_LT(dxf + 2, items.size());
    EXPECT_EQ(items[dxf + 1]->text(), "Arbeitsblatt einfügen...");
    EXPECT_EQ(items[dxf + 2]->text(), "Arbeitsblatt entfernen");
    QMenu* ansicht = qobject_cast<QMenu*>(
        form->findChild<QAction*>("Geodreieck2")->associatedObjects().value(0));
    ASSERT_TRUE(ansicht);
    const QList<QAction*> view = ansicht->actions();
    const qsizetype square = view.indexOf(form->findChild<QAction*>("Geodreieck2"));
    EXPECT_EQ(view[square + 1]->text(), "Arbeitsblatt");
    EXPECT_TRUE(view[square + 1]->isCheckable());
    EXPECT_FALSE(view[square + 1]->isChecked());  // no worksheet yet
}

// "tervasko WORKSHEET.pdf" starts a new, untitled drawing on it; a broken one is told and
// leaves the empty drawing; a drawing is still opened as a drawing.
TEST_F(WorksheetWindow, TheCommandLineStartsADrawingOnAPdf) {
    const std::string path = pdfFile("Blatt.PDF", WriteTestPdf(148, 210, 4));
    form->RunStartRequest(ParseCommandLine({QString::fromStdString(path)}));
    EXPECT_TRUE(errors.empty()) << errors[0];
    ASSERT_TRUE(session().Drawing().Worksheet);
    EXPECT_EQ(*session().Drawing().Worksheet, testing::readBytes(path));
    EXPECT_TRUE(session().Drawing().FileName.empty());
    EXPECT_EQ(session().Settings.PageCount(), 4);
    EXPECT_NEAR(session().Drawing().PageWidthInch * MmPerInch, 148, 0.4);

    const std::string broken = pdfFile("kaputt.pdf", PdfBytes{'%', 'P', 'D', 'F', '-', '1'});
    form = std::make_unique<TMainForm>(dir.path());
    form->Hooks().ShowError = [this](const std::string& text) { errors.push_back(text); };
    form->RunStartRequest(ParseCommandLine({QString::fromStdString(broken)}));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(broken), std::string::npos) << errors[0];
    EXPECT_FALSE(session().Drawing().Worksheet);
    EXPECT_FALSE(session().Changed());
}

}  // namespace
}  // namespace tervasko
