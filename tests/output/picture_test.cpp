#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QFileDialog>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "app/dialogs/DPIFUnit.h"
#include "export/output/sheetpages.h"
#include "export/output/sheetpicture.h"
#include "platform/numeric.h"
#include "platform/qt/qtcanvas.h"
#include "support/cancelprogress.h"
#include "support/tempdir.h"
#include "support/typedfiles.h"
#include "view/drawobjects.h"

namespace tervasko {
namespace {

using testing::TempDir;

void addLine(TDrawing& d, double x1, double y1, double x2, double y2, double widthMm) {
    TDrawElement* e = d.AppendElement();
    e->Kind = ekLine;
    e->Width = widthMm;
    e->X1 = x1, e->Y1 = y1, e->X2 = x2, e->Y2 = y2;
}

int px(double mm, int dpi) {
    return static_cast<int>(Round(mm * dpi / MmPerInch));
}

int greyPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == 0x808080;
    return n;
}

// The picture export's two dialogs, answered by the test.
struct PictureRun {
    TDPIForm form;
    std::unique_ptr<TSaveDialog> saveDialog{MakeSaveDialog2(nullptr)};
    TDrawing drawing;
    std::vector<std::string> messages;
    bool fileAsked = false;
    std::optional<PictureFormat> format;  // chosen in the form; as it stands when empty
    bool resolutionOffered = false;       // the resolution could be typed in the form
    int proposedFilter = 0;               // the file dialog's filter and file when it opened
    QString proposedFile;

    bool run(int sheet, int dpi, const std::string& fileName, int filterIndex, int pages,
             const SheetInstruments& instruments = {}, bool chooseFile = true) {
        fileAsked = false;
        form.Exec = [&] {
            if (format) form.SetFormat(*format);
            resolutionOffered = form.DPIED->isEnabled() && form.Label1->isEnabled();
            form.SeiteEd->setValue(sheet);
            form.DPIED->setValue(dpi);
            form.BitBtn1->click();
            return form.result();
        };
        saveDialog->Execute = [&] {
            fileAsked = true;
            proposedFilter = saveDialog->FilterIndex;
            proposedFile = saveDialog->FileName;
            saveDialog->FileName = QString::fromStdString(fileName);
            saveDialog->FilterIndex = filterIndex;
            return chooseFile;
        };
        return RunPictureExport(form, *saveDialog, drawing, pages, instruments,
                                [this](const std::string& m) { messages.push_back(m); });
    }
};

// Lines drawn in one go look exactly as the same lines drawn one by one: thin and wide pens,
// lines of no length, lines reaching far outside, with and without a cull rectangle.
TEST(QtCanvasLines, ABatchDrawsTheSamePixelsAsOneLineAtATime) {
    std::uint32_t seed = 7;
    const auto rnd = [&](int range) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(range));
    };
    for (const int width : {1, 2, 5, 9}) {
        for (const bool cull : {false, true}) {
            std::vector<IntLine> lines;
            for (int i = 0; i < 300; ++i) {
                const IntPoint a{rnd(400) - 50, rnd(300) - 50};
                const IntPoint b =
                    i % 25 == 0 ? a : IntPoint{a.x + rnd(80) - 40, a.y + rnd(80) - 40};
                lines.push_back({a, b});
            }
            lines.push_back({{-5000, 10}, {5000, 290}});
            QImage one(300, 200, QImage::Format_RGB32), batch(300, 200, QImage::Format_RGB32);
            for (QImage* image : {&one, &batch}) {
                image->fill(Qt::white);
                QPainter painter(image);
                QtCanvas canvas(painter, 96);
                if (cull) canvas.SetCullRect(QRect(40, 30, 120, 90));
                canvas.setPen(0x2060A0, width);
                if (image == &one) {
                    for (const IntLine& l : lines) {
                        canvas.moveTo(l.from.x, l.from.y);
                        canvas.lineTo(l.to.x, l.to.y);
                    }
                } else {
                    canvas.lines(lines.data(), lines.size());
                }
            }
            EXPECT_TRUE(one == batch) << "width " << width << (cull ? " culled" : "");
        }
    }
}

TEST(PictureExport, WritesTheChosenSheetAsBmpOrPngAtTrueScale) {
    TempDir dir;
    PictureRun r;
    EXPECT_EQ(r.form.DPIED->value(), 150);
    EXPECT_EQ(r.form.SeiteEd->value(), 1);
    addLine(r.drawing, 10, 297 + 20, 110, 297 + 20, 0.4);  // on the second sheet

    // No extension: the BMP filter's is added.
    ASSERT_TRUE(r.run(2, 150, dir.file("sheet"), 1, 2));
    const std::string bmp = dir.file("sheet.bmp");
    const auto bytes = testing::readBytes(bmp);
    ASSERT_GT(bytes.size(), 30u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[28], 24) << "bits per pixel";
    QImage image(QString::fromStdString(bmp));
    EXPECT_EQ(image.size(), QSize(1240, 1754));  // A4 at 150 dpi
    EXPECT_EQ(image.dotsPerMeterX(), 5906);      // 150 dots per inch travel with the picture
    EXPECT_EQ(image.pixel(px(60, 150), px(20, 150)) & 0xFFFFFF, 0u) << "the line, 20 mm down";
    EXPECT_EQ(image.pixel(px(60, 150), px(30, 150)) & 0xFFFFFF, 0xFFFFFFu) << "white paper";
    EXPECT_EQ(greyPixels(image), 0) << "no instruments unless asked";

    // The PNG filter, the first sheet, with the ruler.
    ASSERT_TRUE(r.run(1, 300, dir.file("first"), 2, 2, SheetInstruments{.ruler = true}));
    QImageReader reader(QString::fromStdString(dir.file("first.png")));
    EXPECT_EQ(reader.format(), "png");
    const QImage png = reader.read();
    EXPECT_EQ(png.size(), QSize(2480, 3508));
    EXPECT_EQ(png.pixel(px(60, 300), px(20, 300)) & 0xFFFFFF, 0xFFFFFFu)
        << "the line is on sheet 2";
    EXPECT_GT(greyPixels(png), 100) << "the ruler";
    EXPECT_TRUE(r.messages.empty());

    // A name ending in .png is written as PNG whichever filter was chosen.
    ASSERT_TRUE(r.run(1, 10, dir.file("small.PNG"), 1, 2));
    EXPECT_EQ(QImageReader(QString::fromStdString(dir.file("small.PNG"))).format(), "png");

    // The SVG filter: the second sheet as millimetres, whatever the resolution.
    ASSERT_TRUE(r.run(2, 10, dir.file("drawing"), 3, 2));
    const auto svgBytes = testing::readBytes(dir.file("drawing.svg"));
    const std::string svg(svgBytes.begin(), svgBytes.end());
    EXPECT_NE(svg.find("d=\"M10 20 L110 20\""), std::string::npos) << svg;
    EXPECT_NE(svg.find("stroke-width=\"0.4\""), std::string::npos) << svg;
    EXPECT_TRUE(r.messages.empty());
}

// The set square goes into a picture only when asked, at the same sheet-relative place on
// every sheet: its perpendicular runs down from the zero mark to the right-angle corner.
TEST(PictureExport, TheSetSquareOnALowerSheetAsOnTheFirst) {
    TDrawing d;
    d.Placement.GeoAngle = 0;
    const SheetInstruments shown{.setSquare = true};
    const QImage none = RenderSheetPicture(d, 1, 96, {});
    EXPECT_EQ(greyPixels(none), 0);
    for (const int sheet : {0, 1}) {
        const QImage image = RenderSheetPicture(d, sheet, 96, shown);
        ASSERT_FALSE(image.isNull());
        // Zero mark (397, 605), corner (397, 907) at 96 dpi.
        for (const int y : {640, 700, 850, 900})
            EXPECT_EQ(image.pixel(397, y) & 0xFFFFFF, 0x808080u) << sheet << " " << y;
        EXPECT_EQ(image.pixel(397, 930) & 0xFFFFFF, 0xFFFFFFu) << sheet;  // below the corner
        EXPECT_EQ(image.pixel(397, 590) & 0xFFFFFF, 0xFFFFFFu) << sheet;  // above the edge
    }
    // Turned half a turn, the corner stands above the long edge.
    d.Placement.GeoAngle = 180;
    const QImage turned = RenderSheetPicture(d, 1, 96, shown);
    EXPECT_EQ(turned.pixel(397, 330) & 0xFFFFFF, 0x808080u);
    EXPECT_EQ(turned.pixel(397, 700) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(PictureExport, RefusalsAndFailuresWriteNothing) {
    TempDir dir;
    const struct {
        int sheet, dpi;
        std::string file;
        bool chooseFile;
        std::string message;  // start of the message; empty: none
        bool fileAsked;
    } cases[] = {
        {3, 150, "a.bmp", true, std::string(kNoSuchSheetText) + " " + kPageCountLabel + " 2",
         false},
        {1, 4000, "a.bmp", true, kPictureTooLargeText, false},  // 33071 × 46772 pixels
        {1, 150, "missing/a.bmp", true,
         std::string(kCannotSaveText) + "\n" + dir.file("missing/a.bmp"), true},
        {1, 150, "a.bmp", false, "", true},  // file dialog cancelled
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file + " sheet " + std::to_string(c.sheet));
        PictureRun r;
        EXPECT_FALSE(r.run(c.sheet, c.dpi, dir.file(c.file), 1, 2, {}, c.chooseFile));
        EXPECT_EQ(r.fileAsked, c.fileAsked);
        if (c.message.empty()) {
            EXPECT_TRUE(r.messages.empty());
        } else {
            ASSERT_EQ(r.messages.size(), 1u);
            EXPECT_EQ(r.messages[0].substr(0, c.message.size()), c.message);
        }
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

// An SVG drawing has no resolution: choosing SVG greys the resolution out, and however large
// a picture it would give, nothing refuses it. The file dialog proposes the form's format.
TEST(PictureExport, AnSvgIsNeitherAskedForNorCheckedAgainstAResolution) {
    TempDir dir;
    PictureRun r;
    addLine(r.drawing, 10, 20, 110, 20, 0.4);
    ASSERT_TRUE(r.run(1, 150, dir.file("sheet.bmp"), 1, 1));
    EXPECT_TRUE(r.resolutionOffered);

    // 4000 dots per inch would make a BMP or PNG of this sheet too large.
    r.format = PictureFormat::Svg;
    ASSERT_TRUE(r.run(1, 4000, dir.file("sheet.svg"), 3, 1));
    EXPECT_FALSE(r.resolutionOffered);
    EXPECT_TRUE(r.messages.empty());
    EXPECT_EQ(r.proposedFilter, 3);
    EXPECT_EQ(r.proposedFile.toStdString(), dir.file("sheet.svg")) << "the last name as SVG";
    const auto bytes = testing::readBytes(dir.file("sheet.svg"));
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find("d=\"M10 20 L110 20\""),
              std::string::npos);

    // A PNG name typed after choosing SVG is checked once the file is known, and refused
    // as a too-large picture is; nothing is written.
    EXPECT_FALSE(r.run(1, 4000, dir.file("typed.png"), 3, 1));
    EXPECT_TRUE(r.fileAsked);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], kPictureTooLargeText);
    EXPECT_FALSE(std::filesystem::exists(dir.file("typed.png")));

    // A sheet no output takes is refused before the file, as for pictures.
    r.messages.clear();
    r.drawing.PageWidthInch = 2 * kMaxSheetMm / MmPerInch;
    EXPECT_FALSE(r.run(1, 150, dir.file("huge.svg"), 3, 1));
    EXPECT_FALSE(r.fileAsked);
    EXPECT_EQ(r.messages, std::vector<std::string>{kSheetTooLargeText});
    r.drawing.PageWidthInch = 210 / MmPerInch;

    // Back to PNG: the resolution is asked and a too-large picture refused before the file.
    r.messages.clear();
    r.format = PictureFormat::Png;
    EXPECT_FALSE(r.run(1, 4000, dir.file("typed.png"), 2, 1));
    EXPECT_TRUE(r.resolutionOffered);
    EXPECT_FALSE(r.fileAsked);
    EXPECT_EQ(r.messages.size(), 1u);
    ASSERT_TRUE(r.run(1, 100, dir.file("small.png"), 2, 1));
    EXPECT_EQ(r.proposedFilter, 2);
    EXPECT_EQ(r.proposedFile.toStdString(), dir.file("typed.png")) << "the last name typed";
    EXPECT_EQ(QImageReader(QString::fromStdString(dir.file("small.png"))).format(), "png");
}

// The picture's file dialog itself, answered as a person answers it (TypeFileNames).
TEST(PictureExport, TheFileDialogRefusesAFileInAFolderThatDoesNotExist) {
    TempDir dir;
    std::unique_ptr<TSaveDialog> dialog{MakeSaveDialog2(nullptr)};
    dialog->FileName = QString::fromStdString(dir.file("before.bmp"));
    std::vector<std::string> typed;
    std::vector<std::string> refusals;
    dialog->Runner.Refuse = [&](QWidget*, const std::string& text) { refusals.push_back(text); };
    dialog->Runner.Exec = testing::TypeFileNames(typed);

    typed = {dir.file("missing/a.bmp"), ""};
    EXPECT_FALSE(dialog->Execute());
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_NE(refusals[0].find(dir.file("missing")), std::string::npos) << refusals[0];
    EXPECT_EQ(dialog->FileName.toStdString(), dir.file("before.bmp"));

    typed = {dir.file("missing/a.bmp"), dir.file("a.png")};
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(refusals.size(), 2u);
    EXPECT_EQ(dialog->ChosenFileName().toStdString(), dir.file("a.png"));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

// Files may grow to 512 bytes while it lives; a write beyond fails with EFBIG instead of
// stopping the program.
class FileSizeLimit {
public:
    FileSizeLimit() {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old_;
        small.rlim_cur = 512;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int);
};

TEST(PictureExport, AWriteThatFailsHalfWayLeavesTheOldFileAndNoOther) {
    TempDir dir;
    TDrawing d;
    addLine(d, 10, 20, 110, 20, 0.4);
    const std::string bmp = dir.file("old.bmp"), pdf = dir.file("old.pdf");
    testing::writeBytes(bmp, {'o', 'l', 'd'});
    testing::writeBytes(pdf, {'o', 'l', 'd'});
    {
        FileSizeLimit limit;
        const OutputResult picture = WriteSheetPicture(bmp, PictureFormat::Bmp, d, 1, 0, 150, {});
        EXPECT_EQ(picture.failure, OutputFailure::CannotWrite);
        EXPECT_EQ(picture.reason.SystemError, EFBIG);
        const OutputResult pages = WriteDrawingPdf(pdf, d, 0, 0, {});
        EXPECT_EQ(pages.failure, OutputFailure::CannotWrite);
    }
    EXPECT_EQ(testing::readBytes(bmp), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(testing::readBytes(pdf), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);

    // Without the limit both are written.
    EXPECT_TRUE(WriteSheetPicture(bmp, PictureFormat::Bmp, d, 1, 0, 150, {}).ok());
    EXPECT_TRUE(WriteDrawingPdf(pdf, d, 0, 0, {}).ok());
    EXPECT_GT(testing::readBytes(bmp).size(), 1240u * 1754u * 3u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

// "Abbrechen" in the progress dialog of a picture export in each format: the old file
// stays as it was, no other file is left, and a stop is no failure to tell of.
TEST(PictureExport, CancelledInItsProgressDialogLeavesTheOldFileAndNoOther) {
    for (const char* name : {"old.png", "old.bmp", "old.svg"}) {
        SCOPED_TRACE(name);
        TempDir dir;
        PictureRun r;
        for (int i = 0; i < 3000; ++i) addLine(r.drawing, 10, 20 + i * 0.05, 110, 20, 0.4);
        const std::string file = dir.file(name);
        testing::writeBytes(file, {'o', 'l', 'd'});
        testing::CancelProgressDialog user;
        EXPECT_FALSE(r.run(1, 150, file, 1, 1));
        EXPECT_TRUE(user.Clicked());
        EXPECT_EQ(user.Label().toStdString(), "Als Bild exportieren...\n" + file);
        EXPECT_TRUE(r.messages.empty());
        EXPECT_EQ(testing::readBytes(file), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    }
}

// A drawing full of numbers no device can show (as a damaged file may hold them) still
// gives its picture; a text of a hundred thousand lines in the largest font is measured to
// the edge of the pixel range and drawn only where it can be seen.
TEST(PictureExport, HostileNumbersOnAUsableSheetGiveAPicture) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    TDrawing d;
    for (double v : {nan, inf, 1e308, -1e308}) {
        for (std::uint32_t kind : {ekLine, ekArc, ekCircle, ekCurve}) {
            TDrawElement* e = d.AppendElement();
            e->Kind = kind;
            e->Width = v;
            e->X1 = v, e->Y1 = 5, e->X2 = 20, e->Y2 = -v, e->X3 = 1, e->Y3 = v, e->X4 = v,
            e->Y4 = 2;
        }
    }
    addLine(d, 10, 10, 60, 10, 1e6);  // a pen wider than the sheet
    d.Placement.LinealX = 1e308, d.Placement.WinkelAngle = -1e308, d.Placement.ZirkelSpan = 1e300;
    QImage image = RenderSheetPicture(d, 0, 30, {true, true, true, false});
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), SheetPixelSize(d, 30));
    EXPECT_EQ(image.pixel(image.width() / 2, image.height() / 2) & 0xFFFFFF, 0u);  // the wide pen

    std::u16string lines;
    for (int i = 0; i < 100000; ++i) lines += u"Zeile\n";
    TTextElement* t = d.AppendText();
    t->X1 = 1, t->Y1 = 1;
    t->Text = NewWideBuffer(lines);
    t->FontName = NewAnsiBuffer("Arial");
    t->FontSize = std::numeric_limits<std::int32_t>::max();
    image = RenderSheetPicture(d, 0, 30, {true, true, true, false});
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), SheetPixelSize(d, 30));
    EXPECT_EQ(t->Y2, 0);  // output leaves the measured corner as it was

    QImage small(40, 40, QImage::Format_RGB32);
    QPainter painter(&small);
    QtCanvas canvas(painter, 96);
    FontSpec font;
    font.face = "Arial";
    font.height = kMaxFontPx;
    canvas.setFont(font);
    const IntRect r = canvas.drawText({0, 0, 0, 0}, lines, false);
    EXPECT_EQ(r.bottom, kPixelLimit);
}

// A text with a transparent background draws only its glyphs: a line beneath it shows
// between them; an opaque one fills its box.
TEST(TextOnCanvas, TransparentTextsLeaveWhatLiesBeneath) {
    for (bool transparent : {true, false}) {
        QImage image(100, 60, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QtCanvas canvas(painter, 96);
        canvas.setPen(kBlack, 6);
        canvas.moveTo(0, 20);
        canvas.lineTo(100, 20);
        FontSpec font;
        font.face = "Arial";
        font.height = 40;
        font.color = 0x0000FF;
        canvas.setFont(font);
        canvas.setTransparentBackground(transparent);
        canvas.drawText({0, 0, 0, 0}, u"  .", false);  // blanks over the line, a dot below it
        canvas.textOut(0, 0, u"  .");
        painter.end();
        EXPECT_EQ(image.pixel(4, 20) & 0xFFFFFF, transparent ? 0u : 0xFFFFFFu) << transparent;
    }
}

// Texts that follow one another on one canvas in the same face but other turns, colours or
// sizes look exactly as each drawn on a fresh canvas: nothing of the previous font lingers.
TEST(TextOnCanvas, ChangingTurnColourOrSizeDrawsAsAFreshCanvasWould) {
    struct Label {
        int escapement, height, weight;
        Color color;
        IntPoint at;
    };
    const Label labels[] = {
        {-300, 11, 400, 0x808080, {60, 60}},    {-1200, 11, 400, 0x808080, {160, 60}},
        {-1200, 11, 400, 0x2040C0, {160, 140}}, {0, 11, 400, 0x2040C0, {20, 150}},
        {2715, 11, 400, 0x2040C0, {250, 150}},  {2715, 17, 400, 0x2040C0, {250, 40}},
        {-450, 17, 700, 0x808080, {80, 100}}};
    const auto setFont = [](QtCanvas& canvas, const Label& l) {
        FontSpec font;
        font.face = "Arial";
        font.height = l.height;
        font.weight = l.weight;
        font.escapement = l.escapement;
        font.color = l.color;
        canvas.setFont(font);
        canvas.setTransparentBackground(true);
    };
    QImage shared(320, 200, QImage::Format_RGB32), fresh(320, 200, QImage::Format_RGB32);
    shared.fill(Qt::white);
    fresh.fill(Qt::white);
    {
        QPainter painter(&shared);
        QtCanvas canvas(painter, 96);
        for (const Label& l : labels) {
            setFont(canvas, l);
            canvas.textOut(l.at.x, l.at.y, u"120");
        }
    }
    for (const Label& l : labels) {
        QPainter painter(&fresh);
        QtCanvas canvas(painter, 96);
        setFont(canvas, l);
        canvas.textOut(l.at.x, l.at.y, u"120");
    }
    EXPECT_TRUE(shared == fresh);
    EXPECT_GT(greyPixels(shared), 0);
}

}  // namespace
}  // namespace tervasko
