// The worksheet's chunk "PDF1": its bytes travel through a save and a load unchanged, in
// their place among the other chunks; an oversized or repeated one is dropped and named.
#include <gtest/gtest.h>

#include <string>

#include "document/bytes.h"
#include "document/drawingfile.h"
#include "support/tempdir.h"

namespace tervasko {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

using Bytes = std::vector<std::uint8_t>;

Bytes chunk(std::string_view tag, const Bytes& body) {
    Bytes b(tag.begin(), tag.end());
    ByteWriter w(b);
    w.u32(static_cast<std::uint32_t>(body.size()));
    w.bytes(body.data(), body.size());
    return b;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Bytes kAreaHead{'T', 'V', 'K', 'X', 1, 0, 0, 0};

// Bytes standing for a PDF file: every byte value, a zero run and an "end" inside, so a
// reader that stops at a zero, a line end or a text mark loses some.
Bytes samplePdf() {
    Bytes b{'%', 'P', 'D', 'F', '-', '1', '.', '4', '\n'};
    for (int i = 0; i < 256; ++i) b.push_back(static_cast<std::uint8_t>(i));
    b.insert(b.end(), 40, 0);
    for (char c : std::string("TVKX\x01\0\0\0SQR1%%EOF\r\n", 19))
        b.push_back(static_cast<std::uint8_t>(c));
    return b;
}

std::shared_ptr<const Bytes> shared(Bytes b) {
    return std::make_shared<const Bytes>(std::move(b));
}

void fill(TDrawing& d) {
    TDrawElement* e = d.AppendElement();
    e->Kind = 0;
    e->Width = 0.3;
    e->X1 = 10, e->Y1 = 20, e->X2 = 110, e->Y2 = 20;
}

// The chunk holds the bytes as they were, after the set square's and before the kept chunks;
// a save and a load, of a small file and of one read straight from the disk, give them back
// byte for byte, and the saved file again the same bytes.
TEST(WorksheetChunk, TravelsByteForByteThroughSaveAndLoad) {
    TempDir dir;
    const Bytes pdf = samplePdf();
    const Bytes kept = chunk("LAYR", {7, 7});
    for (const std::uint32_t elements : {1u, 13000u}) {
        SCOPED_TRACE(elements);
        TDrawing d;
        DrawingSettings s;
        for (std::uint32_t i = 0; i < elements; ++i) fill(d);
        d.Worksheet = shared(pdf);
        d.KeptChunks = kept;
        d.Placement.GeoX = 90;
        const Bytes bytes = EncodeDrawing(d, s);
        TDrawing fixedOnly;
        for (std::uint32_t i = 0; i < elements; ++i) fill(fixedOnly);
        const Bytes fixed = EncodeDrawing(fixedOnly, s);
        Bytes square;
        ByteWriter w(square);
        w.f64(90), w.f64(160), w.f64(0), w.u8(0);
        EXPECT_EQ(bytes, fixed + kAreaHead + chunk("SQR1", square) + chunk("PDF1", pdf) + kept);

        const std::string path = dir.file("sheet.tvk");
        ASSERT_FALSE(WriteDrawingFile(path, d, s));
        TDrawing loaded;
        DrawingSettings ls;
        std::vector<Error> dropped;
        ASSERT_FALSE(ReadDrawingFile(path, loaded, ls, SheetSizeCheck::Keep, nullptr, &dropped));
        EXPECT_TRUE(dropped.empty());
        ASSERT_TRUE(loaded.Worksheet);
        EXPECT_EQ(*loaded.Worksheet, pdf);
        EXPECT_EQ(loaded.KeptChunks, kept);
        ASSERT_FALSE(SaveTheFile(loaded, ls));
        EXPECT_EQ(readBytes(path), bytes);
    }
}

// Without a worksheet nothing of the chunk is written (a drawing that uses nothing new is the
// fixed part alone); an empty PDF1 is still a chunk of its own, and "Neu" drops the worksheet.
TEST(WorksheetChunk, OnlyAWorksheetWritesIt) {
    TDrawing d;
    DrawingSettings s;
    fill(d);
    const Bytes plain = EncodeDrawing(d, s);
    EXPECT_EQ(plain.size(), 4 + 88 + 4 + kSettingsBlockSize + kExtensionBlockSize);
    d.Worksheet = shared({});
    EXPECT_EQ(EncodeDrawing(d, s), plain + kAreaHead + chunk("PDF1", {}));
    d.NewAll();
    EXPECT_FALSE(d.Worksheet);
}

// A chunk over the limit and a second one are dropped and named; the drawing and the first
// worksheet stay. A chunk just at the limit is read.
TEST(WorksheetChunk, AnOversizedOrRepeatedChunkIsDropped) {
    TDrawing d;
    DrawingSettings s;
    fill(d);
    const Bytes fixed = EncodeDrawing(d, s);
    const Bytes first = samplePdf();
    struct Case {
        const char* name;
        Bytes area;
        std::vector<ErrorCode> dropped;
        std::size_t worksheetBytes;  // 0: none
    };
    const Case cases[] = {
        {"repeated",
         kAreaHead + chunk("PDF1", first) + chunk("PDF1", {'%', 'P'}),
         {ErrorCode::WorksheetRepeated},
         first.size()},
        {"too large",
         kAreaHead + chunk("PDF1", Bytes(kMaxWorksheetBytes + 1, 'x')),
         {ErrorCode::WorksheetChunkTooLarge},
         0},
        {"too large, then one that fits",
         kAreaHead + chunk("PDF1", Bytes(kMaxWorksheetBytes + 1, 'x')) + chunk("PDF1", first),
         {ErrorCode::WorksheetChunkTooLarge},
         first.size()},
        {"at the limit",
         kAreaHead + chunk("PDF1", Bytes(kMaxWorksheetBytes, 'x')),
         {},
         kMaxWorksheetBytes},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = fixed + c.area;
        TDrawing loaded;
        DrawingSettings ls;
        std::vector<Error> dropped;
        ASSERT_FALSE(ReadDrawingBytes(file.data(), file.size(), "w.tvk", loaded, ls,
                                      SheetSizeCheck::Keep, &dropped));
        std::vector<ErrorCode> codes;
        for (const Error& e : dropped) codes.push_back(e.Code);
        EXPECT_EQ(codes, c.dropped);
        EXPECT_EQ(loaded.Elements.Count(), 1u);
        EXPECT_EQ(loaded.Worksheet ? loaded.Worksheet->size() : 0, c.worksheetBytes);
    }
}

}  // namespace
}  // namespace tervasko
