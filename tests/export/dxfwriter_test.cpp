// The DXF text: numbers, the fixed frame, polylines, arcs, ellipses, curves and texts.

#include "export/dxfwriter.h"

#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <locale>
#include <numbers>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "dxftestsupport.h"

namespace tervasko {
namespace {

using namespace dxftest;

const double kNan = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// ---------------------------------------------------------------------------------------
// Numbers

TEST(FormatDxfNumber, Examples) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {297, "297"},
        {12.5, "12.5"},
        {-12.5, "-12.5"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {0.1, "0.1"},
        {297.00000000000006, "297"},  // A4 height through inches and back
        {123456789012345, "123456789012345"},
        {100000000000000.5, "100000000000000"},  // ties go to the even digit
        {100000000000001.5, "100000000000002"},
        {999999999999999, "999999999999999"},
        {1e15, "1E15"},
        {999999999999999.9, "1E15"},  // rounds up into the next decade
        {1234567890123456, "1.23456789012346E15"},
        {-2.5e15, "-2.5E15"},
        {1.5e20, "1.5E20"},
        {0.00001, "0.00001"},
        {0.0000123, "0.0000123"},
        {0.0000099999999999999995, "0.00001"},
        {0.000009, "9E-6"},
        {1e-6, "1E-6"},
        {-1e-6, "-1E-6"},
        {4.94065645841246544e-324, "4.94065645841247E-324"},
        {1.7976931348623157e308, "1.79769313486232E308"},
        {kNan, "0"},
        {kInf, "0"},
        {-kInf, "0"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatDxfNumber(c.value), c.text) << c.text;
}

// The same rules written plainly over printf's correctly rounded "%.14e".
std::string referenceNumber(double v) {
    if (v == 0 || !std::isfinite(v)) return "0";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(v));
    std::string digits(1, buffer[0]);
    digits += std::string(buffer + 2, 14);
    const int exponent = std::atoi(std::strchr(buffer, 'e') + 1);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string out = v < 0 ? "-" : "";
    if (exponent >= -5 && exponent <= 14) {
        if (exponent < 0) return out + "0." + std::string(-exponent - 1, '0') + digits;
        const std::size_t whole = exponent + 1;
        if (digits.size() <= whole) return out + digits + std::string(whole - digits.size(), '0');
        return out + digits.substr(0, whole) + "." + digits.substr(whole);
    }
    out += digits.substr(0, 1);
    if (digits.size() > 1) out += "." + digits.substr(1);
    return out + "E" + std::to_string(exponent);
}

TEST(FormatDxfNumber, AgreesWithCorrectRoundingToFifteenDigits) {
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> drawing(-5000, 5000);
    std::uniform_int_distribution<int> small(-100000, 100000);
    std::vector<double> values;
    for (int i = 0; i < 100000; ++i) {
        values.push_back(std::bit_cast<double>(rng()));  // every exponent, subnormals too
        values.push_back(drawing(rng));
        values.push_back(small(rng) / 1000.0);  // few digits: the shortest path
        values.push_back(std::nextafter(small(rng) / 8.0, kInf));
        // Exact halves of the 15th digit: ties, rounded to even.
        const double whole = static_cast<double>(rng() % 900'000'000'000'000 + 100'000'000'000'000);
        values.push_back(whole + 0.5);
        values.push_back(whole * 10 + 5);
    }
    for (int e = -330; e <= 310; ++e) {
        const double p = std::pow(10.0, e);
        for (double v : {p, std::nextafter(p, 0.0), std::nextafter(p, kInf), 9.999999999999995 * p,
                         9.9999999999999949 * p, 0.5 * p})
            values.push_back(v);
    }
    int failures = 0;
    for (double v : values) {
        const std::string expected = referenceNumber(v);
        const std::string got = FormatDxfNumber(v);
        if (got != expected && ++failures <= 10)
            ADD_FAILURE() << std::hexfloat << v << ": " << got << " instead of " << expected;
        char buffer[kDxfNumberCapacity];
        if (FormatDxfNumber(v, buffer) != got.size() && ++failures <= 10)
            ADD_FAILURE() << "length differs for " << got;
    }
    EXPECT_EQ(failures, 0);
}

// A numpunct with the decimal comma, for the C++ global locale.
struct CommaNumpunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

// Makes the C library's numeric locale one with a decimal comma: de_DE.UTF-8 when installed,
// otherwise compiled with localedef into a scratch folder found through LOCPATH. Returns the
// locale's name, or an empty string when neither is possible here.
std::string enterCommaCLocale(const std::string& scratch) {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE@euro", "fr_FR.UTF-8"})
        if (std::setlocale(LC_ALL, name)) return name;
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + scratch + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(command.c_str()) == -1) return {};
    ::setenv("LOCPATH", scratch.c_str(), 1);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8")) return "de_DE.UTF-8 (compiled)";
    ::unsetenv("LOCPATH");
    return {};
}

TEST(FormatDxfNumber, FullStopUnderACommaLocale) {
    char scratch[] = "/tmp/tervasko-locale-XXXXXX";
    ASSERT_NE(::mkdtemp(scratch), nullptr);
    const std::string cName = enterCommaCLocale(scratch);
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new CommaNumpunct));

    std::ostringstream cpp;
    cpp << 12.5;
    EXPECT_EQ(cpp.str(), "12,5") << "the comma locale is not in effect for C++ streams";
    if (!cName.empty()) {
        char c[16];
        std::snprintf(c, sizeof c, "%.1f", 12.5);
        EXPECT_STREQ(c, "12,5") << cName << " is not in effect for the C library";
    } else {
        std::printf("note: no comma locale for the C library here; tested C++ locale only\n");
    }

    TDrawing d;
    addElement(d, ekLine, {12.5, 20, 1234.5678, 0.25});
    addText(d, 0.5, 1.5, u"x", 125);
    EXPECT_EQ(FormatDxfNumber(12.5), "12.5");
    EXPECT_EQ(FormatDxfNumber(1.5e20), "1.5E20");
    const std::string text = DxfText(d, 1);

    std::locale::global(previous);
    std::setlocale(LC_ALL, "C");
    ::unsetenv("LOCPATH");
    std::filesystem::remove_all(scratch);

    EXPECT_EQ(text.find(','), std::string::npos);
    const Entities e = readEntities(text);
    ASSERT_EQ(e.polylines.size(), 1u);
    EXPECT_EQ(e.polylines[0][0].xText, "12.5");
    EXPECT_EQ(e.polylines[0][1].xText, "1234.5678");
    EXPECT_EQ(e.polylines[0][1].yText, "296.75");
    ASSERT_EQ(e.texts.size(), 1u);
    EXPECT_EQ(e.texts[0].height, 12.5);
}

// ---------------------------------------------------------------------------------------
// The frame and polylines

// clang-format off
const std::vector<std::string> kStart = {
    " 0", "SECTION",
    "  2", "TABLES",
    " 0", "TABLE",
    " 2", "LTYPE",
    "70", "1",
    "0", "LTYPE",
    "2", "AUSGEZOGEN",
    "70", "0",
    "3", "Ausgezogenen Linie",
    "72", "65",
    "73", "0",
    "40", "0.0",
    "0", "ENDTAB",
    " 0", "TABLE",
    " 2", "LAYER",
    "70", "1",
    "0", "LAYER",
    "2", "0",
    "70", "0",
    "62", "7",
    "6", "AUSGEZOGEN",
    " 0", "ENDTAB",
    " 0", "ENDSEC",
    " 0", "SECTION",
    "  2", "ENTITIES",
};
// clang-format on
const std::vector<std::string> kEnd = {"  0", "ENDSEC", "  0", "EOF"};

std::vector<std::string> framed(const std::vector<std::string>& entities) {
    std::vector<std::string> all = kStart;
    all.insert(all.end(), entities.begin(), entities.end());
    all.insert(all.end(), kEnd.begin(), kEnd.end());
    return all;
}

TEST(DxfText, EmptyDrawingIsTheFixedFrameOnly) {
    TDrawing d;
    const std::string text = DxfText(d, 3);
    const std::vector<std::string> lines = splitLines(text);
    EXPECT_EQ(lines.size(), 54u);
    EXPECT_EQ(lines, framed({}));
    EXPECT_EQ(text.find("SEQEND"), std::string::npos);
}

TEST(DxfText, LineOnOneA4Sheet) {
    TDrawing d;
    addElement(d, ekLine, {10, 20, 110, 20});
    EXPECT_EQ(splitLines(DxfText(d, 1)),
              framed({"0", "POLYLINE", "8", "0", "66", "1",                            //
                      "0", "VERTEX",   "8", "0", "10", "10",  "20", "277", "42", "0",  //
                      "0", "VERTEX",   "8", "0", "10", "110", "20", "277", "42", "0",  //
                      "0", "SEQEND"}));
}

TEST(DxfText, TheLastSheetsBottomIsTheOrigin) {
    TDrawing d;
    addElement(d, ekLine, {0, 300, 5, 0});
    const Entities e = readEntities(DxfText(d, 2));
    EXPECT_EQ(e.polylines.at(0).at(0).yText, "294");
    EXPECT_EQ(e.polylines.at(0).at(1).yText, "594");

    d.PageHeightInch = 11;  // Letter, ten sheets: 10 * 11 in * 25.39995 mm/in
    EXPECT_EQ(readEntities(DxfText(d, 10)).polylines.at(0).at(0).yText, "2493.9945");
}

std::vector<std::size_t> polylineSizes(TDrawing& d) {
    std::vector<std::size_t> sizes;
    for (const auto& p : readEntities(DxfText(d, 1)).polylines) sizes.push_back(p.size());
    return sizes;
}

TEST(DxfText, SegmentsThatMeetExactlyShareAPolyline) {
    struct Step {
        std::uint32_t kind;
        std::vector<double> xy;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::vector<std::size_t> sizes;
    };
    const double justOff = std::nextafter(10.0, 11.0);
    const std::vector<Case> cases = {
        {"meets", {{ekLine, {0, 0, 10, 0}}, {ekLine, {10, 0, 10, 10}}}, {4}},
        {"starts elsewhere", {{ekLine, {0, 0, 10, 0}}, {ekLine, {20, 0, 30, 0}}}, {2, 2}},
        {"one ulp off", {{ekLine, {0, 0, 10, 0}}, {ekLine, {justOff, 0, 30, 0}}}, {2, 2}},
        {"meets the start only", {{ekLine, {0, 0, 10, 0}}, {ekLine, {0, 0, 0, 10}}}, {2, 2}},
        {"reversed", {{ekLine, {0, 0, 10, 0}}, {ekLine, {10, 5, 10, 0}}}, {2, 2}},
        {"minus zero meets zero", {{ekLine, {5, 5, -0.0, 0}}, {ekLine, {0, 0, 3, 3}}}, {4}},
        {"stroke of three",
         {{ekLine, {0, 0, 1, 1}}, {ekLine, {1, 1, 2, 1}}, {ekLine, {2, 1, 2, 3}}},
         {6}},
        {"unknown kind in between",
         {{ekLine, {0, 0, 10, 0}}, {7, {50, 50, 60, 60}}, {ekLine, {10, 0, 20, 0}}},
         {4}},
        {"line into curve",
         {{ekLine, {0, 0, 10, 0}}, {ekCurve, {10, 0, 20, 10, 30, 10, 40, 0}}},
         {18}},
        {"curve into line",
         {{ekCurve, {10, 0, 20, 10, 30, 10, 40, 0}}, {ekLine, {40, 0, 50, 0}}},
         {18}},
    };
    for (const Case& c : cases) {
        TDrawing d;
        for (const Step& s : c.steps) {
            TDrawElement& el = addElement(d, s.kind, {});
            std::copy(s.xy.begin(), s.xy.end(), &el.X1);
        }
        EXPECT_EQ(polylineSizes(d), c.sizes) << c.name;
    }
}

TEST(DxfText, JointsAppearTwiceAndNegativeZeroIsNotWritten) {
    TDrawing d;
    addElement(d, ekLine, {0, 297, -0.0, 297});
    addElement(d, ekLine, {0, 297, 1, 296});
    const std::string text = DxfText(d, 1);
    EXPECT_EQ(text.find("-0"), std::string::npos);
    const Entities e = readEntities(text);
    ASSERT_EQ(e.polylines.size(), 1u);
    const auto& v = e.polylines[0];
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[1].xText + "," + v[1].yText, "0,0");
    EXPECT_EQ(v[2].xText + "," + v[2].yText, "0,0");
    EXPECT_EQ(v[3].xText + "," + v[3].yText, "1,1");
}

// ---------------------------------------------------------------------------------------
// Arcs, ellipses and curves

struct Pt {
    double x, y;
};

// Points of a polyline in order: its first vertex and the end of every segment.
std::vector<Pt> pathPoints(const std::vector<Vertex>& v) {
    std::vector<Pt> out;
    if (v.empty()) return out;
    out.push_back({v[0].x, v[0].y});
    for (std::size_t i = 1; i < v.size(); i += 2) out.push_back({v[i].x, v[i].y});
    return out;
}

// Signed angle swept around c from point to point, degrees, counter-clockwise positive.
double sweptDegrees(const std::vector<Pt>& points, Pt c) {
    double sum = 0;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const double ax = points[i - 1].x - c.x, ay = points[i - 1].y - c.y;
        const double bx = points[i].x - c.x, by = points[i].y - c.y;
        sum += std::atan2(ax * by - ay * bx, ax * bx + ay * by);
    }
    return sum * 180 / std::numbers::pi;
}

TEST(DxfText, ArcsAreHundredChordsCounterClockwiseOnScreen) {
    // Box (50,60)-(90,70): centre (70,65), radius 20 from the width (the height is ignored).
    const double cx = 70, cy = 65;
    struct Case {
        const char* name;
        double x3, y3, x4, y4;
        double degrees;
    };
    const Case cases[] = {
        {"east to north", cx + 20, cy, cx, cy - 35, 90},  // north is up on screen: smaller y
        {"north to east", cx, cy - 1, cx + 90, cy, 270},
        {"east to west", cx + 5, cy, cx - 5, cy, 180},
        {"west to east", cx - 5, cy, cx + 5, cy, 180},
        {"same ray: full circle", cx + 3, cy + 3, cx + 30, cy + 30, 360},
        {"same point: full circle", cx + 20, cy, cx + 20, cy, 360},
    };
    for (const Case& c : cases) {
        TDrawing d;
        addElement(d, ekArc, {50, 60, 90, 70, c.x3, c.y3, c.x4, c.y4});
        const Entities e = readEntities(DxfText(d, 1));
        ASSERT_EQ(e.polylines.size(), 1u) << c.name;
        const auto& v = e.polylines[0];
        ASSERT_EQ(v.size(), 200u) << c.name;
        const Pt centre{cx, 297 - cy};
        const std::vector<Pt> points = pathPoints(v);
        ASSERT_EQ(points.size(), 101u);
        for (const Pt& p : points)
            ASSERT_NEAR(std::hypot(p.x - centre.x, p.y - centre.y), 20, 1e-9) << c.name;
        for (const Vertex& x : v) ASSERT_EQ(x.bulgeText, "0") << c.name;
        EXPECT_NEAR(sweptDegrees(points, centre), c.degrees, 1e-9) << c.name;
        // Starts on the ray through P3.
        const double startAngle = std::atan2(points[0].y - centre.y, points[0].x - centre.x);
        const double rayAngle = std::atan2(-(c.y3 - cy), c.x3 - cx);
        EXPECT_NEAR(std::remainder(startAngle - rayAngle, 2 * std::numbers::pi), 0, 1e-12)
            << c.name;
    }
}

TEST(DxfText, EllipsesAreSixteenCurvedPiecesInOnePolyline) {
    // Box 40 x 20 mm; P(0) is the top of the box, and the pieces run from there towards the
    // side of P2, so a box given left to right and top to bottom turns clockwise (y up).
    struct Case {
        const char* name;
        double x1, y1, x2, y2;
        double degrees;
    };
    const Case cases[] = {
        {"left-top to right-bottom", 100, 100, 140, 120, -360},
        {"right-top to left-bottom", 140, 100, 100, 120, 360},
        {"left-bottom to right-top", 100, 120, 140, 100, 360},
        {"right-bottom to left-top", 140, 120, 100, 100, -360},
    };
    for (const Case& c : cases) {
        TDrawing d;
        addElement(d, ekCircle, {c.x1, c.y1, c.x2, c.y2});
        const Entities e = readEntities(DxfText(d, 1));
        ASSERT_EQ(e.polylines.size(), 1u) << c.name;
        const auto& v = e.polylines[0];
        ASSERT_EQ(v.size(), 256u) << c.name;
        const Pt centre{120, 297 - 110.0};
        const std::vector<Pt> points = pathPoints(v);
        EXPECT_NEAR(points.front().x, 120, 1e-12) << c.name;
        EXPECT_NEAR(points.front().y, 297 - c.y1, 1e-12) << c.name;
        for (std::size_t i = 0; i < points.size(); ++i) {
            const double r =
                std::hypot((points[i].x - centre.x) / 20, (points[i].y - centre.y) / 10);
            if (i % 8 == 0)  // piece ends lie on the ellipse
                EXPECT_NEAR(r, 1, 1e-12) << c.name << " point " << i;
            else  // the rest bulges out slightly towards the pushed control point
                EXPECT_TRUE(r > 1 - 1e-12 && r < 1.02) << c.name << " point " << i << ": " << r;
        }
        EXPECT_NEAR(sweptDegrees(points, centre), c.degrees, 1e-9) << c.name;
        for (const Vertex& x : v)
            EXPECT_TRUE(x.bulge != 0 && std::signbit(x.bulge) == (c.degrees < 0)) << c.name;
    }
}

TEST(DxfText, ZeroWidthEllipseIsOneStraightSegment) {
    TDrawing d;
    addElement(d, ekCircle, {30, 40, 30, 60});  // a box of zero width, 20 mm high
    addElement(d, ekCircle, {80, 80, 80, 80});  // a circle of radius 0
    const Entities e = readEntities(DxfText(d, 1));
    ASSERT_EQ(e.polylines.size(), 2u);
    ASSERT_EQ(e.polylines[0].size(), 2u);
    EXPECT_EQ(e.polylines[0][0].xText + "," + e.polylines[0][0].yText, "30,257");
    EXPECT_EQ(e.polylines[0][1].xText + "," + e.polylines[0][1].yText, "30,237");
    ASSERT_EQ(e.polylines[1].size(), 2u);
    EXPECT_EQ(e.polylines[1][0].xText + "," + e.polylines[1][0].yText, "80,217");
    EXPECT_EQ(e.polylines[1][1].xText + "," + e.polylines[1][1].yText, "80,217");
    EXPECT_EQ(e.polylines[1][1].bulgeText, "0");
}

TEST(DxfText, CurvesAreEightPieces) {
    // A quarter circle of radius 50 around (100,100) from east to north on screen, as the
    // usual cubic (handle length 0.5523 r): counter-clockwise, each piece about 11.25 degrees,
    // bulge about tan(11.25 / 4 degrees) = 0.049.
    const double k = 0.5523 * 50;
    TDrawing d;
    addElement(d, ekCurve, {150, 100, 150, 100 - k, 100 + k, 50, 100, 50});
    addElement(d, ekCurve, {0, 0, 10, 10, 20, 20, 30, 30});    // straight
    addElement(d, ekCurve, {200, 5, 200, 5, 200, 5, 200, 5});  // a point
    const Entities e = readEntities(DxfText(d, 1));
    ASSERT_EQ(e.polylines.size(), 3u);
    for (const auto& p : e.polylines) ASSERT_EQ(p.size(), 16u);

    const std::vector<Pt> arc = pathPoints(e.polylines[0]);
    EXPECT_NEAR(arc.front().x, 150, 1e-12);
    EXPECT_NEAR(arc.back().y, 297 - 50, 1e-12);
    for (const Pt& p : arc) EXPECT_NEAR(std::hypot(p.x - 100, p.y - 197), 50, 0.02);
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_NEAR(e.polylines[0][i].bulge, 0.049, 0.004) << i;
        // Both vertices of a segment carry its bulge.
        EXPECT_EQ(e.polylines[0][i].bulgeText, e.polylines[0][i ^ 1].bulgeText) << i;
    }
    for (const Vertex& v : e.polylines[1]) EXPECT_EQ(v.bulgeText, "0");
    for (const Vertex& v : e.polylines[2]) {
        EXPECT_EQ(v.xText + "," + v.yText + "," + v.bulgeText, "200,292,0");
    }
}

// ---------------------------------------------------------------------------------------
// Texts

TEST(DxfText, TextRecords) {
    struct Case {
        std::u16string text;
        std::int32_t fontSize;
        std::string content;
        std::string height;
    };
    const Case cases[] = {
        {u"ab\r\ncd", 12, "abcd", "1.2"},
        {u"tab\there\x1f.", -12, "tabhere.", "1.2"},
        {u"\u20ac \u00e4\u00df", 100, "\x80 \xe4\xdf", "10"},
        // Outside Windows-1252: one "?" per character, a surrogate pair being one.
        {u"a\u2192b\U0001F600c\u0101", INT_MIN, "a?b?c?", "214748364.8"},
        {u"", 0, "", "0"},
    };
    TDrawing d;
    for (const Case& c : cases) addText(d, 20, 30.5, c.text, c.fontSize);
    const std::vector<std::string> lines = splitLines(DxfText(d, 1));
    ASSERT_EQ(lines.size(), 54u + 14u * std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::vector<std::string> record(lines.begin() + 50 + 14 * i,
                                              lines.begin() + 64 + 14 * i);
        const std::vector<std::string> expected = {
            "  0",   "TEXT", "8",   "0",   " 10",           "20",  " 20",
            "266.5", " 30",  "0.0", " 40", cases[i].height, "  1", cases[i].content};
        EXPECT_EQ(record, expected) << i;
    }
}

TEST(DxfText, TextsFollowTheElementsAfterTheLastPolylineIsClosed) {
    TDrawing d;
    addText(d, 1, 2, u"first");
    addElement(d, ekLine, {0, 0, 1, 1});
    addText(d, 3, 4, u"second");
    const std::string text = DxfText(d, 1);
    const Entities e = readEntities(text);  // throws on TEXT inside a polyline
    ASSERT_EQ(e.texts.size(), 2u);
    EXPECT_EQ(e.texts[0].content, "first");
    EXPECT_EQ(e.texts[1].content, "second");
    EXPECT_LT(text.find("SEQEND"), text.find("TEXT"));
}

// ---------------------------------------------------------------------------------------
// Damaged input

TEST(DxfText, NonFiniteCoordinatesNeverReachTheFile) {
    TDrawing d;
    addElement(d, ekLine, {0, 0, 10, 0});
    addElement(d, ekLine, {10, 0, kNan, 5});
    addElement(d, ekLine, {10, 0, 20, 0});  // still continues the first line
    addElement(d, ekArc, {0, 0, 10, 10, kInf, 0, 5, 5});
    addElement(d, ekArc, {-1.7e308, 0, 1.7e308, 10, 5, 0, 5, 5});  // radius overflows
    addElement(d, ekCircle, {0, 0, -kInf, 10});
    addElement(d, ekCircle, {-1.7e308, -1.7e308, 1.7e308, 1.7e308});
    addElement(d, ekCurve, {0, 0, 1, 1, 2, kNan, 3, 3});
    addElement(d, ekCurve, {-1.7e308, 0, 1.7e308, 1.7e308, -1.7e308, 1e308, 1.7e308, 0});
    addText(d, kNan, 10, u"lost");
    addText(d, 10, -kInf, u"lost too");
    addText(d, 10, 10, u"kept");
    const std::string text = DxfText(d, 1);
    for (const char* bad : {"nan", "NAN", "inf", "INF", "Nan", "Inf"})
        EXPECT_EQ(text.find(bad), std::string::npos) << bad;
    const Entities e = readEntities(text);
    ASSERT_FALSE(e.polylines.empty());
    EXPECT_EQ(e.polylines[0].size(), 4u);
    for (const auto& p : e.polylines)
        for (const Vertex& v : p)
            EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.bulge));
    ASSERT_EQ(e.texts.size(), 1u);
    EXPECT_EQ(e.texts[0].content, "kept");

    // A sheet height that is not a number leaves nothing that could be placed.
    d.PageHeightInch = kNan;
    EXPECT_EQ(splitLines(DxfText(d, 1)), framed({}));
}

}  // namespace
}  // namespace tervasko
