// The chunk area after the extension block: when it is written, what it carries through a
// load and a save, and what a damaged one leaves of the drawing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "document/bytes.h"
#include "document/drawingfile.h"
#include "document/recovery.h"
#include "support/tempdir.h"

namespace tervasko {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

using Bytes = std::vector<std::uint8_t>;

// What a reader that knows only the fixed part sees of a file: everything it reads, raw, and
// where it stops. Written from the format's tables, not from the program's reader.
struct FixedPart {
    std::vector<Bytes> elements;  // 88 bytes each
    std::vector<std::u16string> texts;
    std::vector<std::string> fonts;
    Bytes textRecords;  // the 56-byte records without their two address fields
    Bytes settings;     // 96 bytes
    Bytes extension;    // 32 bytes
    std::size_t end = 0;
    bool operator==(const FixedPart&) const = default;
};

std::uint32_t u32At(const Bytes& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

FixedPart readFixedPart(const Bytes& b) {
    FixedPart f;
    std::size_t at = 0;
    const auto take = [&](std::size_t n) {
        EXPECT_LE(at + n, b.size()) << "the fixed part is cut at " << at;
        Bytes part(b.begin() + static_cast<std::ptrdiff_t>(std::min(at, b.size())),
                   b.begin() + static_cast<std::ptrdiff_t>(std::min(at + n, b.size())));
        at += n;
        return part;
    };
    const std::uint32_t n = u32At(take(4), 0);
    for (std::uint32_t i = 0; i < n; ++i) f.elements.push_back(take(88));
    const std::uint32_t m = u32At(take(4), 0);
    for (std::uint32_t i = 0; i < m; ++i) {
        Bytes record = take(56);
        record.erase(record.begin() + 32, record.begin() + 40);
        f.textRecords.insert(f.textRecords.end(), record.begin(), record.end());
        const Bytes units = take(2 * std::size_t{u32At(take(4), 0)});
        std::u16string text;
        for (std::size_t k = 0; k + 1 < units.size(); k += 2)
            text.push_back(static_cast<char16_t>(units[k] | units[k + 1] << 8));
        f.texts.push_back(text);
        const Bytes font = take(u32At(take(4), 0));
        f.fonts.emplace_back(font.begin(), font.end());
    }
    f.settings = take(96);
    f.extension = take(32);
    f.end = at;
    return f;
}

void addText(TDrawing& d, std::u16string_view text, std::string_view font) {
    TTextElement* t = d.AppendText();
    t->X1 = 5, t->Y1 = 6, t->X2 = 25, t->Y2 = 11;
    t->Text = NewWideBuffer(text);
    t->FontName = NewAnsiBuffer(font);
    t->FontSize = 14;
}

// A drawing with elements, texts and settings away from their start values, and the set
// square left where a new drawing has it.
void fillSample(TDrawing& d, DrawingSettings& s, std::uint32_t elements = 3) {
    for (std::uint32_t i = 0; i < elements; ++i) {
        TDrawElement* e = d.AppendElement();
        e->Kind = i % 4;
        e->Width = 0.25;
        e->X1 = i, e->Y1 = 2.0 * i, e->X2 = 3.0 * i + 1, e->Y2 = 7;
        e->Color = 0x00FF00 + i;
    }
    addText(d, u"Höhe h", "Arial");
    addText(d, u"", "Courier New");
    d.Placement = {1.5, 2.5, 30, 4.5, 5.5, -60, 7.5, 8.5, 12.25};
    d.PageWidthInch = 420 / MmPerInch;
    s = {150, 0.5, 0x123456, true, false, true, false, 3.5, 4};
}

Bytes chunk(std::string_view tag, const Bytes& body) {
    Bytes b(tag.begin(), tag.end());
    ByteWriter w(b);
    w.u32(static_cast<std::uint32_t>(body.size()));
    w.bytes(body.data(), body.size());
    return b;
}

Bytes setSquareBody(double x, double y, double angle, std::uint8_t shown) {
    Bytes b;
    ByteWriter w(b);
    w.f64(x);
    w.f64(y);
    w.f64(angle);
    w.u8(shown);
    return b;
}

Bytes areaHead(std::uint32_t version = kChunkAreaVersion) {
    Bytes b{'T', 'V', 'K', 'X'};
    ByteWriter(b).u32(version);
    return b;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

bool setSquareAtStart(const TDrawing& d, const DrawingSettings& s) {
    const InstrumentPlacement start;
    return d.Placement.GeoX == start.GeoX && d.Placement.GeoY == start.GeoY &&
           d.Placement.GeoAngle == start.GeoAngle && !s.SetSquareShown;
}

// The area is there exactly when something needs it, and then in its documented bytes; a
// drawing that uses nothing of it is the fixed part alone.
TEST(ChunkArea, IsWrittenOnlyWhenTheSetSquareOrAKeptChunkNeedsIt) {
    struct Case {
        const char* name;
        double x, y, angle;
        bool shown;
        Bytes kept;
        Bytes area;  // empty: none
    };
    const Bytes other = chunk("zzz9", {1, 2, 3});
    const Case cases[] = {
        {"nothing new", 105, 160, 0, false, {}, {}},
        {"shown", 105, 160, 0, true, {}, areaHead() + chunk("SQR1", setSquareBody(105, 160, 0, 1))},
        {"moved sideways",
         104.5,
         160,
         0,
         false,
         {},
         areaHead() + chunk("SQR1", setSquareBody(104.5, 160, 0, 0))},
        {"moved down",
         105,
         161,
         0,
         false,
         {},
         areaHead() + chunk("SQR1", setSquareBody(105, 161, 0, 0))},
        {"turned",
         105,
         160,
         -30,
         false,
         {},
         areaHead() + chunk("SQR1", setSquareBody(105, 160, -30, 0))},
        {"a kept chunk", 105, 160, 0, false, other, areaHead() + other},
        {"both", 1, 2, 3, true, other,
         areaHead() + chunk("SQR1", setSquareBody(1, 2, 3, 1)) + other},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDrawing d;
        DrawingSettings s;
        fillSample(d, s);
        d.Placement.GeoX = c.x, d.Placement.GeoY = c.y, d.Placement.GeoAngle = c.angle;
        s.SetSquareShown = c.shown;
        d.KeptChunks = c.kept;
        const Bytes bytes = EncodeDrawing(d, s);
        const FixedPart fixed = readFixedPart(bytes);
        EXPECT_EQ(Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(fixed.end), bytes.end()),
                  c.area);
        // The fixed part is the same with or without the area.
        TDrawing plain;
        DrawingSettings plainSettings;
        fillSample(plain, plainSettings);
        const Bytes plainBytes = EncodeDrawing(plain, plainSettings);
        EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(fixed.end)),
                  plainBytes);
    }
    TDrawing empty;
    EXPECT_EQ(EncodeDrawing(empty, DrawingSettings{}).size(), 136u);
}

// A set square away from its start survives a save and a read, small files and large ones
// (whose records are read straight from the file) alike; a file without its chunk, or without
// the extension block, puts it back at the start, hidden, whatever it was before.
TEST(ChunkArea, RoundTripsWithAndWithoutTheArea) {
    TempDir dir;
    for (const std::uint32_t elements : {3u, 12000u}) {
        SCOPED_TRACE(elements);
        TDrawing original;
        DrawingSettings s;
        fillSample(original, s, elements);
        original.Placement.GeoX = -12.5, original.Placement.GeoY = 1e5;
        original.Placement.GeoAngle = 271.25;
        s.SetSquareShown = true;
        const std::string path = dir.file("with.tvk");
        ASSERT_FALSE(WriteDrawingFile(path, original, s));

        TDrawing loaded;
        DrawingSettings ls;
        std::vector<Error> dropped{Failure(ErrorCode::Other)};  // emptied by the read
        const Error error =
            ReadDrawingFile(path, loaded, ls, SheetSizeCheck::Keep, nullptr, &dropped);
        ASSERT_FALSE(error) << EnglishText(error);
        EXPECT_TRUE(dropped.empty());
        EXPECT_EQ(loaded.Placement, original.Placement);
        EXPECT_EQ(ls, s);
        EXPECT_EQ(loaded.Elements.Count(), elements);
        EXPECT_TRUE(loaded.KeptChunks.empty());
        EXPECT_EQ(EncodeDrawing(loaded, ls), readBytes(path));

        // Read over the drawing just loaded: the file without the area says "at the start".
        TDrawing plain;
        DrawingSettings plainSettings;
        fillSample(plain, plainSettings, elements);
        Bytes bytes = EncodeDrawing(plain, plainSettings);
        for (const bool extension : {true, false}) {
            if (!extension) bytes.resize(bytes.size() - kExtensionBlockSize);
            writeBytes(dir.file("without.tvk"), bytes);
            const Error again = ReadDrawingFile(dir.file("without.tvk"), loaded, ls);
            ASSERT_FALSE(again) << EnglishText(again);
            EXPECT_TRUE(setSquareAtStart(loaded, ls)) << "extension " << extension;
        }
    }
}

// Chunks of a later version are kept with the drawing, written back unchanged and in their
// order after the set square's, and go with "Neu".
TEST(ChunkArea, UnknownChunksAreCarriedThroughASave) {
    TempDir dir;
    TDrawing d;
    DrawingSettings s;
    fillSample(d, s);
    const Bytes later =
        chunk("LAYR", {9, 8, 7, 6, 5}) + chunk("note", {}) + chunk("LAYR", Bytes(300, 0xAB));
    const Bytes file = EncodeDrawing(d, s) + areaHead() + chunk("LAYR", {9, 8, 7, 6, 5}) +
                       chunk("SQR1", setSquareBody(50, 60, 90, 0)) + chunk("note", {}) +
                       chunk("LAYR", Bytes(300, 0xAB));
    writeBytes(dir.file("later.tvk"), file);

    TDrawing loaded;
    DrawingSettings ls;
    std::vector<Error> dropped;
    ASSERT_FALSE(ReadDrawingFile(dir.file("later.tvk"), loaded, ls, SheetSizeCheck::Keep, nullptr,
                                 &dropped));
    EXPECT_TRUE(dropped.empty());
    EXPECT_EQ(loaded.KeptChunks, later);
    EXPECT_EQ(loaded.Placement.GeoAngle, 90);
    EXPECT_FALSE(ls.SetSquareShown);

    loaded.Placement.GeoX = 70;  // the user moves the set square, then saves
    ASSERT_FALSE(SaveTheFile(loaded, ls));
    const Bytes saved = readBytes(dir.file("later.tvk"));
    EXPECT_EQ(saved, EncodeDrawing(d, s) + areaHead() +
                         chunk("SQR1", setSquareBody(70, 60, 90, 0)) + later);

    loaded.NewAll();
    EXPECT_TRUE(loaded.KeptChunks.empty());
    const Bytes afterNew = EncodeDrawing(loaded, ls);
    EXPECT_EQ(Bytes(afterNew.begin() + static_cast<std::ptrdiff_t>(readFixedPart(afterNew).end),
                    afterNew.end()),
              areaHead() + chunk("SQR1", setSquareBody(70, 60, 90, 0)));
}

// Whatever follows the extension block, the drawing is read from its fixed part; what could
// not be read is named, and the chunks before the damage stay.
TEST(ChunkArea, ADamagedAreaLeavesTheFixedPartAndNamesWhatWasDropped) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Bytes square = chunk("SQR1", setSquareBody(1, 2, 3, 1));
    const Bytes other = chunk("LAYR", {4, 5});
    struct Case {
        const char* name;
        Bytes area;
        std::vector<ErrorCode> dropped;
        std::vector<std::vector<std::string>> args;
        bool squareRead;  // at 1, 2, 3 and shown; otherwise at the start, hidden
        Bytes kept;
    };
    const Case cases[] = {
        {"three bytes of garbage",
         {'T', 'V', 'K'},
         {ErrorCode::ChunkAreaUnknown},
         {{"3"}},
         false,
         {}},
        {"another mark",
         Bytes{'T', 'V', 'K', 'Y', 1, 0, 0, 0} + square,
         {ErrorCode::ChunkAreaUnknown},
         {{"41"}},
         false,
         {}},
        {"a later version",
         areaHead(2) + square,
         {ErrorCode::ChunkAreaVersion},
         {{"2", "41"}},
         false,
         {}},
        {"version 0", areaHead(0), {ErrorCode::ChunkAreaVersion}, {{"0", "8"}}, false, {}},
        {"a chunk head cut short",
         areaHead() + square + Bytes{'L', 'A', 'Y', 'R', 1},
         {ErrorCode::ChunkAreaTail},
         {{"5"}},
         true,
         {}},
        {"a tag that is no text",
         areaHead() + other + Bytes{0, 0, 0, 0, 0, 0, 0, 0} + square,
         {ErrorCode::ChunkAreaTail},
         {{"41"}},
         false,
         other},
        {"a length near 4 GiB",
         areaHead() + square + Bytes{'L', 'A', 'Y', 'R', 0xF0, 0xFF, 0xFF, 0xFF, 1},
         {ErrorCode::ChunkPastEnd},
         {{"LAYR", "4294967280", "1"}},
         true,
         {}},
        {"a length one past the end",
         areaHead() + other + Bytes{'S', 'Q', 'R', '1', 26, 0, 0, 0} + setSquareBody(1, 2, 3, 1),
         {ErrorCode::ChunkPastEnd},
         {{"SQR1", "26", "25"}},
         false,
         other},
        {"a set square too short",
         areaHead() + chunk("SQR1", Bytes(24, 0)) + other,
         {ErrorCode::SetSquareDamaged},
         {{}},
         false,
         other},
        {"a set square too long",
         areaHead() + chunk("SQR1", setSquareBody(1, 2, 3, 1) + Bytes{0}),
         {ErrorCode::SetSquareDamaged},
         {{}},
         false,
         {}},
        {"a set square no number",
         areaHead() + chunk("SQR1", setSquareBody(1, nan, 3, 1)),
         {ErrorCode::SetSquareDamaged},
         {{}},
         false,
         {}},
        {"two set squares",
         areaHead() + square + chunk("SQR1", setSquareBody(7, 7, 7, 0)),
         {ErrorCode::SetSquareRepeated},
         {{}},
         true,
         {}},
        {"a damaged then a good set square",
         areaHead() + chunk("SQR1", {}) + square,
         {ErrorCode::SetSquareDamaged},
         {{}},
         true,
         {}},
        {"two faults",
         areaHead() + chunk("SQR1", {1}) + other + Bytes{'x'},
         {ErrorCode::SetSquareDamaged, ErrorCode::ChunkAreaTail},
         {{}, {"1"}},
         false,
         other},
        {"an empty area", areaHead(), {}, {}, false, {}},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDrawing sample;
        DrawingSettings sampleSettings;
        fillSample(sample, sampleSettings);
        const Bytes fixed = EncodeDrawing(sample, sampleSettings);
        writeBytes(dir.file("damaged.tvk"), fixed + c.area);

        TDrawing d;
        d.Placement.GeoX = 99;  // from the drawing before: must not survive
        DrawingSettings s;
        s.SetSquareShown = true;
        std::vector<Error> dropped;
        const Error error =
            ReadDrawingFile(dir.file("damaged.tvk"), d, s, SheetSizeCheck::Keep, nullptr, &dropped);
        ASSERT_FALSE(error) << EnglishText(error);
        ASSERT_EQ(dropped.size(), c.dropped.size());
        for (std::size_t i = 0; i < dropped.size(); ++i) {
            EXPECT_EQ(dropped[i].Code, c.dropped[i]) << EnglishText(dropped[i]);
            EXPECT_EQ(dropped[i].Args, c.args[i]);
            EXPECT_FALSE(EnglishText(dropped[i]).empty());
        }
        EXPECT_EQ(d.KeptChunks, c.kept);
        if (c.squareRead) {
            EXPECT_EQ(d.Placement.GeoX, 1);
            EXPECT_EQ(d.Placement.GeoAngle, 3);
            EXPECT_TRUE(s.SetSquareShown);
        } else {
            EXPECT_TRUE(setSquareAtStart(d, s));
        }
        // Everything of the fixed part is there, and a save writes a sound file.
        const Bytes resaved = EncodeDrawing(d, s);
        EXPECT_EQ(readFixedPart(resaved), readFixedPart(fixed));
        DecodedDrawing again;
        ASSERT_FALSE(DecodeDrawing(resaved.data(), resaved.size(), again));
        EXPECT_TRUE(again.dropped.empty());
    }
}

// A reader of the fixed part alone, given a file with the area, stops where the area begins
// and finds the same records and settings as in the file without it.
TEST(ChunkArea, AFixedPartReaderSeesTheSameDrawing) {
    TDrawing d;
    DrawingSettings s;
    fillSample(d, s);
    const Bytes without = EncodeDrawing(d, s);
    d.Placement.GeoX = 10;
    s.SetSquareShown = true;
    d.KeptChunks = chunk("LAYR", Bytes(40, 'T'));
    const Bytes with = EncodeDrawing(d, s);
    ASSERT_GT(with.size(), without.size());

    const FixedPart seen = readFixedPart(with);
    EXPECT_EQ(seen, readFixedPart(without));
    EXPECT_EQ(seen.end, without.size());
    ASSERT_EQ(seen.elements.size(), 3u);
    double x2;
    std::memcpy(&x2, seen.elements[2].data() + 32, 8);
    EXPECT_EQ(x2, 7);
    EXPECT_EQ(seen.texts, (std::vector<std::u16string>{u"Höhe h", u""}));
    EXPECT_EQ(seen.fonts, (std::vector<std::string>{"Arial", "Courier New"}));
    EXPECT_EQ(seen.settings[92], 1);  // the panel shown
    double zoom;
    std::memcpy(&zoom, seen.settings.data() + 72, 8);
    EXPECT_EQ(zoom, 150);
}

// A restored recovery copy keeps the set square and the chunks of a later version.
TEST(ChunkArea, TheRecoveryCopyCarriesTheArea) {
    TDrawing d;
    DrawingSettings s;
    fillSample(d, s);
    d.Placement.GeoY = 20;
    s.SetSquareShown = true;
    d.KeptChunks = chunk("LAYR", {1});
    const Bytes copy = EncodeRecoveryCopy("/x/plan.tvk", d, s);
    const Result<RecoveryHead> head = DecodeRecoveryHead(copy);
    ASSERT_TRUE(head.ok());
    TDrawing restored;
    DrawingSettings rs;
    ASSERT_FALSE(ReadDrawingBytes(copy.data() + head->drawingOffset,
                                  copy.size() - head->drawingOffset, "copy", restored, rs));
    EXPECT_EQ(restored.Placement, d.Placement);
    EXPECT_TRUE(rs.SetSquareShown);
    EXPECT_EQ(restored.KeptChunks, d.KeptChunks);
}

}  // namespace
}  // namespace tervasko
