#include <gtest/gtest.h>

#include <QImage>
#include <QXmlStreamReader>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "export/output/sheetpicture.h"
#include "export/output/sheetsvg.h"
#include "platform/numeric.h"
#include "support/tempdir.h"

namespace tervasko {
namespace {

using testing::TempDir;

// A small sheet, so that pictures of it stay small; the second sheet starts at y = 90 mm.
constexpr double kSheetW = 120, kSheetH = 90;

void smallSheets(TDrawing& d) {
    d.PageWidthInch = kSheetW / MmPerInch;
    d.PageHeightInch = kSheetH / MmPerInch;
}

TDrawElement& add(TDrawing& d, std::uint32_t kind, double widthMm, Color color,
                  std::initializer_list<double> xy) {
    TDrawElement* e = d.AppendElement();
    e->Kind = kind;
    e->Width = widthMm;
    e->Color = static_cast<std::int32_t>(color);
    double* fields[] = {&e->X1, &e->Y1, &e->X2, &e->Y2, &e->X3, &e->Y3, &e->X4, &e->Y4};
    std::size_t i = 0;
    for (double v : xy) *fields[i++] = v;
    return *e;
}

void addText(TDrawing& d, double x, double y, std::u16string_view text, const char* font,
             int points, Color color = kBlack) {
    TTextElement* t = d.AppendText();
    t->X1 = x, t->Y1 = y;
    t->Text = NewWideBuffer(text);
    t->FontName = NewAnsiBuffer(font);
    t->FontSize = points;
    t->Color = static_cast<std::int32_t>(color);
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The character data of every <text>, in order; empty with a failure when not well-formed.
std::vector<std::u16string> textsOf(const std::string& svg) {
    QXmlStreamReader xml(QByteArray::fromStdString(svg));
    std::vector<std::u16string> texts;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"text")
            texts.push_back(
                xml.readElementText(QXmlStreamReader::IncludeChildElements).toStdU16String());
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line "
                                 << xml.lineNumber();
    return texts;
}

// The character data of every underlined <tspan>, in order.
std::vector<std::u16string> underlinedOf(const std::string& svg) {
    QXmlStreamReader xml(QByteArray::fromStdString(svg));
    std::vector<std::u16string> spans;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"tspan" &&
            xml.attributes().value(QStringLiteral("text-decoration")) == u"underline")
            spans.push_back(xml.readElementText().toStdU16String());
    }
    return spans;
}

// The picture draws a text's "&" marks as Windows does: "&&" shows one ampersand, a single
// "&" is not shown and underlines the character after it (a space as well), and one at the
// end shows nothing. The SVG shows the same characters, the same underlined.
TEST(SheetSvg, AmpersandsShowAsOnThePicture) {
    const struct {
        std::u16string text, shown;
        std::vector<std::u16string> underlined;
    } cases[] = {
        {u"A & B", u"A  B", {u" "}},
        {u"A && B", u"A & B", {}},
        {u"&x", u"x", {u"x"}},
        {u"x&", u"x", {}},
        {u"&&&x &&& y&", u"&x & y", {u"x", u" "}},
        {u"&ab&cd", u"abcd", {u"a", u"c"}},
        {u"&\xd83d\xde00!", u"\xd83d\xde00!", {u"\xd83d\xde00"}},
    };
    for (const auto& c : cases) {
        TDrawing d;
        smallSheets(d);
        addText(d, 5, 5, c.text, "Arial", 12);
        const std::string svg = SheetSvg(d, 0, {});
        EXPECT_EQ(textsOf(svg), std::vector<std::u16string>{c.shown}) << svg;
        EXPECT_EQ(underlinedOf(svg), c.underlined) << svg;
    }
}

TEST(SheetSvg, HostileTextsAndFontNamesStayWellFormedXml) {
    TDrawing d;
    smallSheets(d);
    const std::u16string hostile[] = {
        u"a < b && c > \"d\" 'e'",
        u"]]><!-- -->&amp;</text></svg>",
        std::u16string(u"bell\x0007 esc\x001b nul-free\x0001 del\x007f") + u"\xfffe",
        std::u16string(u"lone \xd800 surrogate, pair \xd83d\xde00"),
    };
    double y = 5;
    for (const std::u16string& t : hostile) addText(d, 5, y += 10, t, "Ar\"i<al'&", 10);
    const std::string svg = SheetSvg(d, 0, {});
    const std::vector<std::u16string> texts = textsOf(svg);
    ASSERT_EQ(texts.size(), 4u) << svg;
    // Texts show as on the sheet, "&" marking the next character.
    EXPECT_EQ(texts[0], u"a < b & c > \"d\" 'e'");
    EXPECT_EQ(texts[1], u"]]><!-- -->amp;</text></svg>");
    EXPECT_EQ(texts[2], u"bell\xfffd esc\xfffd nul-free\xfffd del\x007f\xfffd");
    EXPECT_EQ(texts[3], u"lone \xfffd surrogate, pair \xd83d\xde00");
    EXPECT_NE(svg.find("font-family=\"'Ar&quot;i&lt;al&amp;', sans-serif\""), std::string::npos)
        << svg;

    TempDir dir;
    const std::string path = dir.file("hostile.svg");
    ASSERT_TRUE(WriteSheetSvg(path, d, 1, 0, {}).ok());
    EXPECT_EQ(std::system(("xmllint --noout " + path).c_str()), 0);
}

TEST(SheetSvg, WritesTrueSizeAndDrawingMillimetresOfTheChosenSheet) {
    TDrawing d;
    smallSheets(d);
    // All on the second sheet, which starts 90 mm down.
    add(d, ekLine, 0.5, 0x0000FF, {10, 100, 30.25, 125.5});
    add(d, ekLine, 0, kBlack, {30.25, 125.5, 50, 100});  // the thinnest pen
    add(d, ekCircle, 0.3, 0x00FF00, {60, 100, 80, 120});
    // Quarter from the ray to the right up to the ray upward, counter-clockwise ...
    add(d, ekArc, 1, kBlack, {10, 130, 30, 150, 40, 140, 20, 120});
    // ... and three quarters from upward round to the right.
    add(d, ekArc, 1, kBlack, {40, 130, 60, 150, 50, 120, 70, 140});
    add(d, ekCurve, 0.2, kBlack, {70, 130, 80, 150, 90, 125, 100, 140});
    add(d, ekLine, 0.5, kBlack, {1, 1, 50, 50});  // first sheet: not on the second
    const std::string svg = SheetSvg(d, 1, {});
    textsOf(svg);
    const char* expected[] = {
        "width=\"120mm\" height=\"90mm\" viewBox=\"0 0 120 90\"",
        "stroke=\"#ff0000\" stroke-width=\"0.5\" stroke-linecap=\"round\" "
        "stroke-linejoin=\"round\" d=\"M10 10 L30.25 35.5\"/>",
        "stroke=\"#000000\" stroke-width=\"0.1\" stroke-linecap=\"butt\" d=\"M30.25 35.5 L50 "
        "10\"/>",
        "<ellipse cx=\"70\" cy=\"20\" rx=\"10\" ry=\"10\" fill=\"none\" stroke=\"#00ff00\" "
        "stroke-width=\"0.3\"",
        // One path, as one pen draws both arcs.
        "d=\"M30 50 A10 10 0 0 0 20 40 M50 40 A10 10 0 1 0 60 50\"/>",
        "stroke-width=\"0.2\" stroke-linecap=\"round\" stroke-linejoin=\"round\" d=\"M70 40 C80 "
        "60 90 35 100 50\"/>",
    };
    for (const char* e : expected) EXPECT_NE(svg.find(e), std::string::npos) << e << "\n" << svg;
    EXPECT_EQ(svg.find("M1 1"), std::string::npos) << "a line of the first sheet";
    EXPECT_EQ(svg.find("-89"), std::string::npos) << svg;
}

TEST(SheetSvg, FailuresLeaveNoFileAndAnOldFileIntact) {
    TempDir dir;
    TDrawing d;
    smallSheets(d);
    add(d, ekLine, 0.5, kBlack, {10, 10, 20, 20});
    std::ofstream(dir.file("plain")) << "a file, not a folder";
    std::ofstream(dir.file("old.svg")) << "old";
    const struct {
        std::string path;
        int pages, sheet;
        OutputFailure failure;
    } cases[] = {
        {dir.file("no/such/folder/out.svg"), 1, 0, OutputFailure::CannotWrite},
        {dir.file("plain/out.svg"), 1, 0, OutputFailure::CannotWrite},
        {dir.path(), 1, 0, OutputFailure::CannotWrite},  // a folder where the file should go
        {dir.file("old.svg"), 2, 2, OutputFailure::NoSuchSheet},
    };
    for (const auto& c : cases) {
        const OutputResult r = WriteSheetSvg(c.path, d, c.pages, c.sheet, {});
        EXPECT_EQ(r.failure, c.failure) << c.path;
        if (c.failure == OutputFailure::CannotWrite) {
            EXPECT_TRUE(r.reason) << c.path;
        }
    }
    // Nothing but the two files the test made.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 2);
    EXPECT_EQ(readText(dir.file("old.svg")), "old");

    TDrawing huge;
    smallSheets(huge);
    for (const double widthMm : {2 * kMaxSheetMm, 1e-300 * MmPerInch, 0.999}) {
        huge.PageWidthInch = widthMm / MmPerInch;
        EXPECT_EQ(WriteSheetSvg(dir.file("old.svg"), huge, 1, 0, {}).failure,
                  OutputFailure::SheetTooLarge)
            << widthMm;
        EXPECT_EQ(readText(dir.file("old.svg")), "old");
    }
}

// How far a pixel is from the white paper, 0 .. 255.
int inkOf(QRgb c) {
    return 255 - std::min({qRed(c), qGreen(c), qBlue(c)});
}

int apart(QRgb p, QRgb q) {
    return std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                     std::abs(qBlue(p) - qBlue(q))});
}

// Whether `p` is `q`, or `q` partly covering white paper (a smoothed edge).
bool shadeOf(QRgb p, QRgb q) {
    return apart(p, q) <= 100 || (inkOf(q) >= 120 && qRed(p) >= qRed(q) - 40 &&
                                  qGreen(p) >= qGreen(q) - 40 && qBlue(p) >= qBlue(q) - 40);
}

// Pixels of `a` that are clearly inked (at least half-tone grey) without a pixel of their
// colour, or of a colour they are a lighter shade of, within one pixel in `b`. Edges that one
// renderer smooths and the other does not, and coordinates rounded to different grids, move
// a line's edge by at most one pixel and only lighten it.
int unmatched(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            if (inkOf(p) < 120) continue;
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx) {
                    const int u = x + dx, v = y + dy;
                    found = b.valid(u, v) && inkOf(b.pixel(u, v)) >= 40 &&
                            (shadeOf(p, b.pixel(u, v)) || shadeOf(b.pixel(u, v), p));
                }
            n += !found;
        }
    return n;
}

int inked(const QImage& a) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += inkOf(a.pixel(x, y)) >= 120;
    return n;
}

TEST(SheetSvg, AnIndependentRendererDrawsWhatThePictureShows) {
    TempDir dir;
    TDrawing d;
    smallSheets(d);
    // Everything on the second sheet (90 mm down).
    constexpr double o = kSheetH;
    add(d, ekLine, 0, kBlack, {5, o + 5, 115, o + 8});
    add(d, ekLine, 0.3, 0x0000FF, {5, o + 12, 115, o + 12});
    add(d, ekLine, 0.8, 0xFF0000, {5, o + 20, 60, o + 35});
    add(d, ekLine, 1.5, 0x008000, {60, o + 35, 115, o + 20});
    add(d, ekArc, 0.5, kBlack, {10, o + 40, 40, o + 70, 50, o + 55, 25, o + 30});
    add(d, ekArc, 0.5, 0x800080, {45, o + 40, 75, o + 70, 60, o + 30, 80, o + 55});
    add(d, ekCircle, 0.4, 0x0000FF, {80, o + 40, 110, o + 70});
    add(d, ekCircle, 0, kBlack, {90, o + 50, 100, o + 60});
    add(d, ekCurve, 0.6, 0x008000, {5, o + 85, 30, o + 60, 60, o + 100, 115, o + 75});
    addText(d, 15, o + 72, u"Tervasko 1:2 & more", "Arial", 12);
    addText(d, 70, o + 2, u"Two\nlines", "Arial", 9, 0x0000FF);
    // Instruments turned, so that their labels are rotated texts.
    d.Placement.LinealX = 20, d.Placement.LinealY = 80, d.Placement.LinealAngle = 25;
    d.Placement.WinkelX = 60, d.Placement.WinkelY = 45, d.Placement.WinkelAngle = 200;
    const SheetInstruments instruments{.ruler = true, .protractor = true};

    const std::string svg = dir.file("sheet.svg"), fromSvg = dir.file("from-svg.png");
    const std::string png = dir.file("picture.png"), first = dir.file("first.png");
    ASSERT_TRUE(WriteSheetSvg(svg, d, 2, 1, instruments).ok());
    ASSERT_EQ(std::system(("xmllint --noout " + svg).c_str()), 0);
    // 254 dots per inch: ten pixels to the millimetre, a 1200 x 900 picture.
    ASSERT_EQ(
        std::system(
            ("rsvg-convert --dpi-x 254 --dpi-y 254 -b white -o " + fromSvg + " " + svg).c_str()),
        0);
    ASSERT_TRUE(WriteSheetPicture(png, PictureFormat::Png, d, 2, 1, 254, instruments).ok());
    ASSERT_TRUE(WriteSheetPicture(first, PictureFormat::Png, d, 2, 0, 254, instruments).ok());
    const QImage a(QString::fromStdString(fromSvg)), b(QString::fromStdString(png));
    ASSERT_EQ(a.size(), QSize(1200, 900));
    ASSERT_EQ(b.size(), a.size());

    const int inkSvg = inked(a), inkPicture = inked(b);
    const int svgOnly = unmatched(a, b), pictureOnly = unmatched(b, a);
    std::cout << "inked pixels: SVG " << inkSvg << ", picture " << inkPicture << "; unmatched: SVG "
              << svgOnly << ", picture " << pictureOnly << "\n";
    // What stays unmatched (about 0.3 % each way) is glyph shapes: two font rasterisers, one
    // hinting at whole pixels, and where each puts an underline. A bound of 2 % leaves
    // room for another font version; an arc drawn the wrong way round leaves 10 % unmatched.
    EXPECT_GT(inkPicture, 20000);
    EXPECT_LT(svgOnly, inkSvg / 50);
    EXPECT_LT(pictureOnly, inkPicture / 50);
    // The same comparison sees a wrong sheet.
    const QImage wrong(QString::fromStdString(first));
    EXPECT_GT(unmatched(a, wrong), inkSvg / 3);
}

// The count of inked pixels of `image` outside `inside`, widened by a pixel of smoothing.
int inkedOutside(const QImage& image, const QRect& inside) {
    const QRect kept = inside.adjusted(-1, -1, 1, 1);
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += !kept.contains(x, y) && inkOf(image.pixel(x, y)) >= 40;
    return n;
}

TEST(SheetSvg, InstrumentsStopAtTheSheetsEdgeAsOnThePicture) {
    TempDir dir;
    TDrawing d;
    smallSheets(d);
    // The ruler runs out to the right (it is as long as the sheet's width and height), the
    // protractor straddles the left edge, the compass reaches above the top.
    d.Placement.LinealX = 100, d.Placement.LinealY = 70, d.Placement.LinealAngle = 0;
    d.Placement.WinkelX = 0, d.Placement.WinkelY = 45, d.Placement.WinkelAngle = 0;
    d.Placement.ZirkelX = 60, d.Placement.ZirkelY = 10, d.Placement.ZirkelSpan = 40;
    d.ZirkelAngle = -90;
    const SheetInstruments all{.ruler = true, .protractor = true, .compass = true};
    std::string svg = SheetSvg(d, 0, all);
    textsOf(svg);

    // Seen through a window three times the sheet's size with the sheet in its middle, at
    // 10 pixels to the millimetre: nothing shows outside the sheet.
    const std::string view = "width=\"120mm\" height=\"90mm\" viewBox=\"0 0 120 90\"";
    const std::size_t at = svg.find(view);
    ASSERT_NE(at, std::string::npos) << svg;
    svg.replace(at, view.size(), "width=\"360mm\" height=\"270mm\" viewBox=\"-120 -90 360 270\"");
    const std::string wide = dir.file("wide.svg"), png = dir.file("wide.png");
    std::ofstream(wide) << svg;
    ASSERT_EQ(std::system(
                  ("rsvg-convert --dpi-x 254 --dpi-y 254 -b white -o " + png + " " + wide).c_str()),
              0);
    const QImage image(QString::fromStdString(png));
    ASSERT_EQ(image.size(), QSize(3600, 2700));
    const QRect sheet(1200, 900, 1200, 900);
    EXPECT_EQ(inkedOutside(image, sheet), 0);
    // What lies on the sheet is there: the picture shows ink where the SVG does.
    const QImage onSheet = image.copy(sheet);
    ASSERT_TRUE(WriteSheetPicture(png, PictureFormat::Png, d, 1, 0, 254, all).ok());
    const QImage picture(QString::fromStdString(png));
    ASSERT_EQ(picture.size(), onSheet.size());
    EXPECT_GT(inked(picture), 5000);
    EXPECT_LT(unmatched(picture, onSheet), inked(picture) / 50);
    EXPECT_LT(unmatched(onSheet, picture), inked(onSheet) / 50);

    // The ruler's labels beyond the edge are not even written: of its 21, those at 10 and
    // 20 mm lie on the sheet.
    const std::vector<std::u16string> labels = textsOf(SheetSvg(d, 0, {.ruler = true}));
    EXPECT_GE(labels.size(), 1u);
    EXPECT_LE(labels.size(), 3u);
}

}  // namespace
}  // namespace tervasko
