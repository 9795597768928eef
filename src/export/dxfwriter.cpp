#include "export/dxfwriter.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <numbers>
#include <string>

#include "export/dxfgeometry.h"
#include "platform/cp1252.h"
#include "platform/numeric.h"
#include "platform/safefile.h"

namespace tervasko {
namespace {

constexpr int kSignificantDigits = 15;

// One TABLES section declaring the continuous line type "AUSGEZOGEN" and layer "0" (colour 7)
// that uses it, then the start of ENTITIES. The group-code lines keep their leading spaces
// exactly; DXF readers strip them.
constexpr std::string_view kFileStart =
    " 0\r\nSECTION\r\n"
    "  2\r\nTABLES\r\n"
    " 0\r\nTABLE\r\n"
    " 2\r\nLTYPE\r\n"
    "70\r\n1\r\n"
    "0\r\nLTYPE\r\n"
    "2\r\nAUSGEZOGEN\r\n"
    "70\r\n0\r\n"
    "3\r\nAusgezogenen Linie\r\n"
    "72\r\n65\r\n"
    "73\r\n0\r\n"
    "40\r\n0.0\r\n"
    "0\r\nENDTAB\r\n"
    " 0\r\nTABLE\r\n"
    " 2\r\nLAYER\r\n"
    "70\r\n1\r\n"
    "0\r\nLAYER\r\n"
    "2\r\n0\r\n"
    "70\r\n0\r\n"
    "62\r\n7\r\n"
    "6\r\nAUSGEZOGEN\r\n"
    " 0\r\nENDTAB\r\n"
    " 0\r\nENDSEC\r\n"
    " 0\r\nSECTION\r\n"
    "  2\r\nENTITIES\r\n";

constexpr std::string_view kFileEnd = "  0\r\nENDSEC\r\n  0\r\nEOF\r\n";

constexpr std::string_view kPolylineStart = "0\r\nPOLYLINE\r\n8\r\n0\r\n66\r\n1\r\n";
constexpr std::string_view kPolylineEnd = "0\r\nSEQEND\r\n";

// Digits and decimal exponent of a positive finite number rounded to 15 significant digits:
// value = 0.d1d2... * 10^(exponent + 1), no trailing zeros.
struct Decimal {
    char digits[kSignificantDigits + 2];
    int count;
    int exponent;  // of the first digit: 297 has exponent 2
};

// Reads to_chars' scientific form "d.ddde+XX".
Decimal parseScientific(const char* begin, const char* end) {
    Decimal d{};
    const char* p = begin;
    for (; p != end && *p != 'e'; ++p) {
        if (*p != '.' && d.count < static_cast<int>(sizeof d.digits)) d.digits[d.count++] = *p;
    }
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+'), end, exponent);  // from_chars takes '-', not '+'
    d.exponent = exponent;
    while (d.count > 1 && d.digits[d.count - 1] == '0') --d.count;
    return d;
}

// Unsigned 128-bit integers (a compiler extension, hence the marker for -Wpedantic).
__extension__ typedef unsigned __int128 Wide;

// The exact rounding of a magnitude in [1e-6, 1e15), the range of every coordinate a drawing
// holds, in integer arithmetic: the double is m * 2^e exactly, so m * 10^k * 2^e is the
// number scaled to 15 integer digits, and its remainder decides the rounding (halves to
// even, as printf does). Several times faster than to_chars with a precision.
Decimal roundInRange(double magnitude) {
    static constexpr int kMaxPower = 21;  // 1e-6 needs 10^20, one more for the first guess
    static const auto powers = [] {
        std::array<Wide, kMaxPower + 1> p{};
        p[0] = 1;
        for (int i = 1; i <= kMaxPower; ++i) p[i] = p[i - 1] * 10;
        return p;
    }();
    // A normal double: 52 stored fraction bits, the leading 1 implied, exponent biased by 1023.
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int e2 = static_cast<int>(bits >> 52) - 1022;  // magnitude = m / 2^53 * 2^e2
    const int shift = 53 - e2;  // magnitude = m / 2^shift; 3 <= shift <= 72 in this range
    // The first digit's decimal exponent is floor(log10 magnitude): this guess or one more.
    int exponent = static_cast<int>(std::floor((e2 - 1) * 0.30102999566398120));
    Wide scaled = static_cast<Wide>(m) * powers[kSignificantDigits - 1 - exponent];
    constexpr std::uint64_t kLimit = 1'000'000'000'000'000;  // 10^15
    if ((scaled >> shift) >= kLimit) {
        ++exponent;
        scaled = static_cast<Wide>(m) * powers[kSignificantDigits - 1 - exponent];
    }
    auto q = static_cast<std::uint64_t>(scaled >> shift);
    const Wide rest = scaled & ((static_cast<Wide>(1) << shift) - 1);
    const Wide half = static_cast<Wide>(1) << (shift - 1);
    if (rest > half || (rest == half && (q & 1))) ++q;
    if (q == kLimit) {  // 9.99...95 rounded up into the next decade
        q /= 10;
        ++exponent;
    }
    Decimal d{};
    d.exponent = exponent;
    d.count = kSignificantDigits;
    for (int i = kSignificantDigits - 1; i > 0; i -= 2) {  // two digits per division
        const auto pair = static_cast<unsigned>(q % 100);
        q /= 100;
        d.digits[i] = static_cast<char>('0' + pair % 10);
        d.digits[i - 1] = static_cast<char>('0' + pair / 10);
    }
    d.digits[0] = static_cast<char>('0' + q);
    while (d.count > 1 && d.digits[d.count - 1] == '0') --d.count;
    return d;
}

Decimal toDecimal(double magnitude) {
    if (magnitude >= 1e-6 && magnitude < 1e15) return roundInRange(magnitude);
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                 std::chars_format::scientific, kSignificantDigits - 1);
    return parseScientific(buffer, r.ptr);
}

std::size_t layOut(const Decimal& d, bool negative, char* out) {
    char* p = out;
    if (negative) *p++ = '-';
    if (d.exponent >= -5 && d.exponent < kSignificantDigits) {
        if (d.exponent < 0) {
            *p++ = '0';
            *p++ = '.';
            for (int i = -1; i > d.exponent; --i) *p++ = '0';
            std::memcpy(p, d.digits, d.count);
            p += d.count;
        } else {
            const int integerDigits = d.exponent + 1;
            for (int i = 0; i < integerDigits; ++i) *p++ = i < d.count ? d.digits[i] : '0';
            if (d.count > integerDigits) {
                *p++ = '.';
                std::memcpy(p, d.digits + integerDigits, d.count - integerDigits);
                p += d.count - integerDigits;
            }
        }
    } else {
        *p++ = d.digits[0];
        if (d.count > 1) {
            *p++ = '.';
            std::memcpy(p, d.digits + 1, d.count - 1);
            p += d.count - 1;
        }
        *p++ = 'E';
        p = std::to_chars(p, out + kDxfNumberCapacity, d.exponent).ptr;
    }
    return static_cast<std::size_t>(p - out);
}

// Collects the text and hands it to the sink in chunks.
class DxfOutput {
public:
    static constexpr std::size_t kChunk = 64 * 1024;

    explicit DxfOutput(const DxfSink& sink) : sink_(sink) { buffer_.reserve(kChunk + 4096); }

    void text(std::string_view s) { buffer_.append(s); }
    void text(const char* s, std::size_t n) { buffer_.append(s, n); }

    // Passes the collected text on once a chunk is full; false once the sink refused.
    bool checkpoint() { return buffer_.size() < kChunk ? ok_ : flush(); }

    bool flush() {
        if (ok_ && !buffer_.empty()) ok_ = sink_(buffer_);
        buffer_.clear();
        return ok_;
    }

private:
    const DxfSink& sink_;
    std::string buffer_;
    bool ok_ = true;
};

// A formatted number, kept so that a shared end point is formatted once.
struct NumberText {
    char text[kDxfNumberCapacity];
    std::size_t size = 0;

    void set(double v) { size = FormatDxfNumber(v, text); }
};

// Writes segments and joins those that meet exactly into one polyline.
class PolylineWriter {
public:
    explicit PolylineWriter(DxfOutput& out) : out_(out) {}

    // bulge: tangent of a quarter of the included angle, positive counter-clockwise (y up).
    void segment(DxfPoint s, DxfPoint e, double bulge) {
        if (!std::isfinite(s.x) || !std::isfinite(s.y) || !std::isfinite(e.x) ||
            !std::isfinite(e.y))
            return;
        if (!std::isfinite(bulge)) bulge = 0;
        // -0 == 0 here, and both are written "0", so the reused text is right either way.
        const bool continues = open_ && s.x == last_.x && s.y == last_.y;
        if (!open_) {
            out_.text(kPolylineStart);
            open_ = true;
        } else if (!continues) {
            out_.text(kPolylineEnd);
            out_.text(kPolylineStart);
        }
        if (!continues) {
            lastX_.set(s.x);
            lastY_.set(s.y);
        }
        NumberText b;
        b.set(bulge);
        vertex(lastX_, lastY_, b);
        lastX_.set(e.x);
        lastY_.set(e.y);
        vertex(lastX_, lastY_, b);
        last_ = e;
    }

    void finish() {
        if (open_) out_.text(kPolylineEnd);
        open_ = false;
    }

private:
    void vertex(const NumberText& x, const NumberText& y, const NumberText& bulge) {
        static constexpr std::string_view head = "0\r\nVERTEX\r\n8\r\n0\r\n10\r\n";
        char line[head.size() + 3 * kDxfNumberCapacity + 20];
        char* p = line;
        const auto put = [&p](const char* s, std::size_t n) {
            std::memcpy(p, s, n);
            p += n;
        };
        put(head.data(), head.size());
        put(x.text, x.size);
        put("\r\n20\r\n", 6);
        put(y.text, y.size);
        put("\r\n42\r\n", 6);
        put(bulge.text, bulge.size);
        put("\r\n", 2);
        out_.text(line, static_cast<std::size_t>(p - line));
    }

    DxfOutput& out_;
    bool open_ = false;
    DxfPoint last_{};
    NumberText lastX_, lastY_;
};

bool finite(std::initializer_list<double> values) {
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

// The cubic cut into 8 pieces of equal parameter length, each written as one circular (or,
// where no circle can be formed, straight) segment through an apex near its middle point.
void writeCurve(PolylineWriter& lines, DxfPoint p0, DxfPoint p1, DxfPoint p2, DxfPoint p3) {
    for (int i = 1; i <= 8; ++i) {
        const DxfPoint s = DxfBezierPoint(p0, p1, p2, p3, (i - 1) / 8.0);
        const DxfPoint m = DxfBezierPoint(p0, p1, p2, p3, (i - 0.5) / 8.0);
        const DxfPoint e = DxfBezierPoint(p0, p1, p2, p3, i / 8.0);
        lines.segment(s, e, DxfPieceBulge(s, e, DxfApexIndex(s, m, e)));
    }
}

// Box P1/P2 in drawing coordinates; the arc from the ray through P3 to the ray through P4,
// counter-clockwise on screen (the angle decreases in the y-down frame), as 100 chords of
// the circle with the box's half width as radius. Equal rays give the full circle.
void writeArc(PolylineWriter& lines, const TDrawElement& el, double totalHeight) {
    constexpr double pi = std::numbers::pi;
    const double cx = (el.X1 + el.X2) / 2;
    const double cy = (el.Y1 + el.Y2) / 2;
    const double radius = (el.X2 - el.X1) / 2;
    double a3 = std::atan2(el.Y3 - cy, el.X3 - cx);
    const double a4 = std::atan2(el.Y4 - cy, el.X4 - cx);
    if (!(a3 > a4)) a3 += 2 * pi;
    DxfPoint previous{};
    for (int i = 0; i <= 100; ++i) {
        const double k = a3 + (a4 - a3) * i / 100;
        const DxfPoint p{cx + radius * std::cos(k), totalHeight - (cy + radius * std::sin(k))};
        if (i > 0) lines.segment(previous, p, 0);
        previous = p;
    }
}

// The ellipse inscribed in the box P1/P2 (output frame) as 16 quadratic pieces of 22.5
// degrees, raised to cubics. Each quadratic's control point is the ellipse point in the
// middle of the piece pushed 2 % outwards.
void writeEllipse(PolylineWriter& lines, DxfPoint p1, DxfPoint p2) {
    constexpr double degree = std::numbers::pi / 180;
    const DxfPoint c{(p1.x + p2.x) / 2, (p1.y + p2.y) / 2};
    const double hx = (p2.x - p1.x) / 2;
    const double hy = (p1.y - p2.y) / 2;
    if (hx == 0) {
        // A box of zero width (a circle of radius 0, a compass closed to nothing) would give
        // 128 straight segments running up and down one line. CAD programs take the
        // flattened ellipse better as what it is: one straight segment from the top of the
        // box to its bottom, a zero-length one (a point) when the box has no height either.
        lines.segment({c.x, c.y + hy}, {c.x, c.y - hy}, 0);
        return;
    }
    const auto at = [&](double phiDegrees, double scale) {
        const double phi = phiDegrees * degree;
        return DxfPoint{c.x + scale * hx * std::sin(phi), c.y + scale * hy * std::cos(phi)};
    };
    for (int k = 1; k <= 16; ++k) {
        const double phi = k * 22.5;
        const DxfPoint q0 = at(phi - 22.5, 1);
        const DxfPoint q3 = at(phi, 1);
        const DxfPoint q = at(phi - 11.25, 1.02);
        const DxfPoint c1{q0.x + 2.0 / 3.0 * (q.x - q0.x), q0.y + 2.0 / 3.0 * (q.y - q0.y)};
        const DxfPoint c2{q.x + 1.0 / 3.0 * (q3.x - q.x), q.y + 1.0 / 3.0 * (q3.y - q.y)};
        writeCurve(lines, q0, c1, c2, q3);
    }
}

void writeElement(PolylineWriter& lines, const TDrawElement& el, double totalHeight) {
    const auto out = [totalHeight](double x, double y) { return DxfPoint{x, totalHeight - y}; };
    switch (el.Kind) {
        case ekLine:
            if (!finite({el.X1, el.Y1, el.X2, el.Y2})) return;
            lines.segment(out(el.X1, el.Y1), out(el.X2, el.Y2), 0);
            return;
        case ekArc:
            if (!finite({el.X1, el.Y1, el.X2, el.Y2, el.X3, el.Y3, el.X4, el.Y4})) return;
            writeArc(lines, el, totalHeight);
            return;
        case ekCircle:
            if (!finite({el.X1, el.Y1, el.X2, el.Y2})) return;
            writeEllipse(lines, out(el.X1, el.Y1), out(el.X2, el.Y2));
            return;
        case ekCurve:
            if (!finite({el.X1, el.Y1, el.X2, el.Y2, el.X3, el.Y3, el.X4, el.Y4})) return;
            writeCurve(lines, out(el.X1, el.Y1), out(el.X2, el.Y2), out(el.X3, el.Y3),
                       out(el.X4, el.Y4));
            return;
        default:  // kinds from newer or damaged files are kept in the drawing, not exported
            return;
    }
}

void writeText(DxfOutput& out, const TTextElement& t, double totalHeight) {
    const double y = totalHeight - t.Y1;
    if (!std::isfinite(t.X1) || !std::isfinite(y)) return;
    // Line breaks and other control characters would end the DXF value line early; the
    // lines of the text are simply run together.
    std::string text = Utf16ToCp1252(WideView(t.Text), '?');
    std::erase_if(text, [](char c) { return static_cast<unsigned char>(c) < 32; });
    // Through double: |INT_MIN| does not fit an int.
    const double height = std::fabs(static_cast<double>(t.FontSize)) / 10;

    NumberText n;
    out.text("  0\r\nTEXT\r\n8\r\n0\r\n 10\r\n");
    n.set(t.X1);
    out.text(n.text, n.size);
    out.text("\r\n 20\r\n");
    n.set(y);
    out.text(n.text, n.size);
    out.text("\r\n 30\r\n0.0\r\n 40\r\n");
    n.set(height);
    out.text(n.text, n.size);
    out.text("\r\n  1\r\n");
    out.text(text);
    out.text("\r\n");
}

}  // namespace

std::size_t FormatDxfNumber(double value, char* out) {
    if (!std::isfinite(value) || value == 0) {
        out[0] = '0';
        return 1;
    }
    return layOut(toDecimal(std::fabs(value)), value < 0, out);
}

std::string FormatDxfNumber(double value) {
    char buffer[kDxfNumberCapacity];
    return std::string(buffer, FormatDxfNumber(value, buffer));
}

namespace {

bool writeDxf(TDrawing& drawing, int pageCount, const DxfSink& sink, ProgressCounter& counter) {
    const double totalHeight = pageCount * drawing.PageHeightInch * MmPerInch;
    DxfOutput out(sink);
    out.text(kFileStart);

    PolylineWriter lines(out);
    drawing.Elements.Rewind();
    while (drawing.Elements.Next()) {
        writeElement(lines, *drawing.CurElement, totalHeight);
        if (!out.checkpoint() || !counter.Advance()) return false;
    }
    lines.finish();

    drawing.Texts.Rewind();
    while (drawing.Texts.Next()) {
        writeText(out, *drawing.CurText, totalHeight);
        if (!out.checkpoint() || !counter.Advance()) return false;
    }

    out.text(kFileEnd);
    return counter.Finish() && out.flush();
}

std::uint64_t dxfWorkUnits(const TDrawing& drawing) {
    return std::uint64_t{drawing.Elements.Count()} + drawing.Texts.Count();
}

}  // namespace

bool WriteDxf(TDrawing& drawing, int pageCount, const DxfSink& sink, Progress* progress) {
    ProgressCounter counter(progress, dxfWorkUnits(drawing));
    return writeDxf(drawing, pageCount, sink, counter);
}

std::string DxfText(TDrawing& drawing, int pageCount) {
    std::string text;
    WriteDxf(drawing, pageCount, [&text](std::string_view chunk) {
        text.append(chunk);
        return true;
    });
    return text;
}

namespace {

// What the writer makes of each kind, in bytes, as the file has it: a vertex is its group
// lines (37 bytes) and three numbers, coordinates taken at 16 characters ("123.456789012345"),
// a bulge at 1 ("0", straight pieces) or 6 (the pieces of curves and circles are rounded to
// short bulges such as "-0.012"); a polyline's start and end take 38 bytes, counted once for
// every element as if none joined the one before.
constexpr std::uint64_t kPolylineBytes = 38;
constexpr std::uint64_t kStraightVertexBytes = 37 + 16 + 16 + 1;
constexpr std::uint64_t kBulgedVertexBytes = 37 + 16 + 16 + 6;
constexpr std::uint64_t kLineBytes = kPolylineBytes + 2 * kStraightVertexBytes;
constexpr std::uint64_t kArcBytes = kPolylineBytes + 100 * 2 * kStraightVertexBytes;
constexpr std::uint64_t kCurveBytes = kPolylineBytes + 8 * 2 * kBulgedVertexBytes;
constexpr std::uint64_t kCircleBytes = kPolylineBytes + 16 * 8 * 2 * kBulgedVertexBytes;
// The text's group lines and three numbers; its characters come on top.
constexpr std::uint64_t kTextBytes = 48 + 16 + 16 + 4;

FreeSpaceQuery& freeSpaceQuery() {
    static FreeSpaceQuery query;
    return query;
}

std::optional<std::uint64_t> systemFreeSpace(const std::string& folder) {
    std::error_code ec;
    const std::filesystem::space_info space = std::filesystem::space(folder, ec);
    if (ec || space.available == static_cast<std::uintmax_t>(-1)) return std::nullopt;
    return space.available;
}

// A size as people read it: "812 bytes", "3.4 KB", "10.2 GB" (units of 1024).
std::string sizeText(std::uint64_t bytes) {
    if (bytes < 1024) return std::to_string(bytes) + " bytes";
    static constexpr const char* kUnits[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    double value = static_cast<double>(bytes) / 1024;
    std::size_t unit = 0;
    while (value >= 1024 && unit + 1 < std::size(kUnits)) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, value < 100 ? "%.1f %s" : "%.0f %s", value, kUnits[unit]);
    return text;
}

// NotEnoughSpace when the file would not fit into the free space of the target's folder.
Error checkFreeSpace(const std::string& fileName, const TDrawing& drawing) {
    std::filesystem::path folder = std::filesystem::path(fileName).parent_path();
    if (folder.empty()) folder = ".";
    const FreeSpaceQuery& query = freeSpaceQuery();
    const std::optional<std::uint64_t> free =
        query ? query(folder.string()) : systemFreeSpace(folder.string());
    if (!free) return {};  // the writes will tell
    const std::uint64_t needed = EstimateDxfSize(drawing);
    if (needed <= *free) return {};
    return Failure(ErrorCode::NotEnoughSpace, {sizeText(needed), sizeText(*free)});
}

}  // namespace

std::uint64_t EstimateDxfSize(const TDrawing& drawing) {
    std::uint64_t bytes = kFileStart.size() + kFileEnd.size();
    const std::uint32_t n = drawing.Elements.Count();
    for (std::uint32_t i = 0; i < n; ++i) {
        switch (drawing.Elements.At(i).Kind) {
            case ekLine:
                bytes += kLineBytes;
                break;
            case ekArc:
                bytes += kArcBytes;
                break;
            case ekCircle:
                bytes += kCircleBytes;
                break;
            case ekCurve:
                bytes += kCurveBytes;
                break;
            default:
                break;
        }
    }
    const std::uint32_t m = drawing.Texts.Count();
    for (std::uint32_t i = 0; i < m; ++i)
        bytes += kTextBytes + WideLength(drawing.Texts.At(i).Text);
    return bytes;
}

FreeSpaceQuery SetDxfFreeSpaceQuery(FreeSpaceQuery query) {
    FreeSpaceQuery previous = std::move(freeSpaceQuery());
    freeSpaceQuery() = std::move(query);
    return previous;
}

Error savedxfArc(const std::string& fileName, TDrawing& drawing, int pageCount,
                 Progress* progress) {
    if (Error tooLarge = checkFreeSpace(fileName, drawing))
        return WithLead(std::move(tooLarge), ErrorLead::CannotWrite, fileName);
    ProgressCounter counter(progress, dxfWorkUnits(drawing));
    SafeFileWriter file(fileName);
    if (Error failed = file.open())
        return WithLead(std::move(failed), ErrorLead::CannotCreate, fileName);
    // The sink only says whether to go on; the writer keeps the reason.
    const bool written = writeDxf(
        drawing, pageCount,
        [&file](std::string_view chunk) { return !file.write(chunk.data(), chunk.size()); },
        counter);
    // A stopped export leaves its unfinished file to the writer, which removes it.
    if (counter.Stopped())
        return WithLead(Failure(ErrorCode::Cancelled), ErrorLead::CannotWrite, fileName);
    Error failed = written ? file.commit() : file.failure();
    if (failed) return WithLead(std::move(failed), ErrorLead::CannotWrite, fileName);
    return {};
}

}  // namespace tervasko
