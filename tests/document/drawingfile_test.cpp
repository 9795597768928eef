#include "document/drawingfile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

#include "document/bytes.h"
#include "support/stoppingprogress.h"
#include "support/tempdir.h"

namespace tervasko {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

TDrawElement element(std::uint32_t kind, double base) {
    TDrawElement e{};
    e.Kind = kind;
    e.Width = 0.35;
    e.X1 = base + 1, e.Y1 = base + 2, e.X2 = base + 3, e.Y2 = base + 4;
    e.X3 = base + 5, e.Y3 = base + 6, e.X4 = base + 7, e.Y4 = base + 8;
    e.Color = 0x0000FF;
    return e;
}

void addText(TDrawing& d, std::u16string_view text, std::string_view font, double x, double y) {
    TTextElement* t = d.AppendText();
    t->X1 = x, t->Y1 = y, t->X2 = x + 20, t->Y2 = y + 5;
    t->Text = NewWideBuffer(text);
    t->FontName = NewAnsiBuffer(font);
    t->FontSize = 12;
    t->Color = 0x00FF00;
    t->Charset = 238;
    t->Pitch = 2;
    t->Style = fsBold | fsStrikeOut;
}

// A drawing with every element kind, an unknown kind and texts of many sorts.
void fillSample(TDrawing& d, DrawingSettings& s) {
    for (std::uint32_t kind : {0u, 1u, 2u, 3u, 7u}) *d.AppendElement() = element(kind, kind * 10.0);
    std::string allBytes;  // every byte a font name can hold (it is zero-terminated)
    for (int b = 1; b < 256; ++b) allBytes.push_back(static_cast<char>(b));
    addText(d, u"Größe äöü ß", "Arial", 10, 20);
    addText(d, u"zwei\r\nZeilen", "Times New Roman", 30, 320);
    addText(d, u"Δ = ∑ 漢字 \U0001F600", allBytes, 50, 60);
    addText(d, u"", "", 70, 80);
    d.Placement = {1.5, 2.5, 30, 4.5, 5.5, -60, 7.5, 8.5, 12.25};
    d.PageWidthInch = 420 / MmPerInch;
    d.PageHeightInch = 297 / MmPerInch;
    s = {150, 0.5, 0x123456, true, false, true, false, 3.5, 4};
}

std::vector<std::uint8_t> encodeEmpty() {
    TDrawing d;
    return EncodeDrawing(d, DrawingSettings{});
}

TEST(DrawingFile, EmptyDrawingIs136BytesWithSettingsInTableOrder) {
    TDrawing d;
    d.Placement = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    DrawingSettings s{10, 11, 0xAABBCC, true, false, true, false, 12, 3};
    d.PageWidthInch = 13;
    d.PageHeightInch = 14;
    const auto bytes = EncodeDrawing(d, s);
    ASSERT_EQ(bytes.size(), 136u);
    ByteReader in(bytes.data(), bytes.size());
    EXPECT_EQ(in.u32(), 0u);
    EXPECT_EQ(in.u32(), 0u);
    for (double expected = 1; expected <= 11; ++expected) EXPECT_EQ(in.f64(), expected);
    EXPECT_EQ(in.u32(), 0xAABBCCu);
    EXPECT_EQ(in.u8(), 1);
    EXPECT_EQ(in.u8(), 0);
    EXPECT_EQ(in.u8(), 1);
    EXPECT_EQ(in.u8(), 0);
    for (double expected : {12.0, 13.0, 14.0, 3.0}) EXPECT_EQ(in.f64(), expected);
    EXPECT_TRUE(in.atEnd());
}

TEST(DrawingFile, TextAndElementRecordsAreByteExact) {
    TDrawing d;
    *d.AppendElement() = element(ekCurve, 0);
    addText(d, u"abc", "Arial", 1, 2);
    const auto bytes = EncodeDrawing(d, DrawingSettings{});

    ASSERT_EQ(bytes.size(), 4 + 88 + 4 + 56 + 10 + 9 + 96 + 32u);
    const std::uint8_t* e = bytes.data() + 4;
    EXPECT_EQ(e[0], 3);  // Kind
    double x1;
    std::memcpy(&x1, e + 16, 8);
    EXPECT_EQ(x1, 1.0);
    EXPECT_EQ(e[80], 0xFF);  // Color, low byte first

    const std::uint8_t* t = bytes.data() + 4 + 88 + 4;
    for (int i = 32; i < 40; ++i) EXPECT_EQ(t[i], 0) << "string address byte " << i;
    EXPECT_EQ(t[40], 12);     // FontSize
    EXPECT_EQ(t[48], 238);    // Charset
    EXPECT_EQ(t[49], 2);      // Pitch
    EXPECT_EQ(t[50], 1 | 8);  // Style
    const std::vector<std::uint8_t> strings(t + 56, t + 56 + 19);
    EXPECT_EQ(strings, (std::vector<std::uint8_t>{3, 0, 0, 0, 0x61, 0, 0x62, 0, 0x63, 0,  //
                                                  5, 0, 0, 0, 0x41, 0x72, 0x69, 0x61, 0x6C}));
}

TEST(DrawingFile, RoundTripKeepsEveryRecordStringAndSetting) {
    TempDir dir;
    TDrawing original;
    DrawingSettings s;
    fillSample(original, s);
    const std::string path = dir.file("sample.tvk");
    Error error = WriteDrawingFile(path, original, s);
    ASSERT_FALSE(error) << EnglishText(error);

    TDrawing loaded;
    loaded.ZirkelAngle = 12;  // not in the file: must survive a load
    DrawingSettings ls;
    error = ReadDrawingFile(path, loaded, ls);
    ASSERT_FALSE(error) << EnglishText(error);
    EXPECT_EQ(loaded.FileName, path);
    EXPECT_FALSE(loaded.Changed);
    EXPECT_EQ(loaded.ZirkelAngle, 12);
    EXPECT_EQ(ls, s);
    EXPECT_EQ(loaded.Placement, original.Placement);
    EXPECT_EQ(loaded.PageWidthInch, original.PageWidthInch);
    EXPECT_EQ(loaded.PageHeightInch, original.PageHeightInch);

    ASSERT_EQ(loaded.Elements.Count(), original.Elements.Count());
    for (std::uint32_t i = 0; i < original.Elements.Count(); ++i)
        EXPECT_EQ(
            std::memcmp(&loaded.Elements.At(i), &original.Elements.At(i), sizeof(TDrawElement)), 0)
            << "element " << i;
    ASSERT_EQ(loaded.Texts.Count(), original.Texts.Count());
    for (std::uint32_t i = 0; i < original.Texts.Count(); ++i) {
        const TTextElement& a = loaded.Texts.At(i);
        const TTextElement& b = original.Texts.At(i);
        EXPECT_EQ(WideView(a.Text), WideView(b.Text)) << "text " << i;
        EXPECT_EQ(AnsiView(a.FontName), AnsiView(b.FontName)) << "text " << i;
        EXPECT_EQ(
            std::tie(a.X1, a.Y1, a.X2, a.Y2, a.FontSize, a.Color, a.Charset, a.Pitch, a.Style),
            std::tie(b.X1, b.Y1, b.X2, b.Y2, b.FontSize, b.Color, b.Charset, b.Pitch, b.Style));
        EXPECT_NE(a.Text, nullptr);  // an empty text still owns its block
    }
    // Saving the loaded drawing again gives the same bytes.
    EXPECT_EQ(EncodeDrawing(loaded, ls), readBytes(path));
}

// A large file's records go straight into the list, their boxes worked out on the way: the
// drawing read is the one written, and its index is the one a fresh look gives, also when it
// replaces a drawing whose index was kept for another sheet height.
TEST(DrawingFile, LargeFileRoundTripsWithItsIndex) {
    TDrawing sample;
    DrawingSettings settings;
    fillSample(sample, settings);
    sample.PageHeightInch = 200 / MmPerInch;
    std::uint32_t seed = 5;
    auto rnd = [&] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / double(1 << 24);
    };
    for (int i = 0; i < 15000; ++i) {
        TDrawElement e = element(i % 4, 0);
        e.X1 = rnd() * 200, e.Y1 = rnd() * 1000, e.X2 = e.X1 + 4, e.Y2 = e.Y1 - 30 * rnd();
        e.Width = i % 7 ? 0.3 : std::nan("");
        if (i % 1000 == 3) e.Y2 = std::nan("");
        *sample.AppendElement() = e;
    }
    TempDir dir;
    const std::string path = dir.file("large.tvk");
    ASSERT_FALSE(WriteDrawingFile(path, sample, settings));
    ASSERT_GT(std::filesystem::file_size(path), std::uintmax_t{1} << 20);

    TDrawing d;
    for (int i = 0; i < 50; ++i) *d.AppendElement() = element(ekLine, i * 10);
    ASSERT_NE(d.ElementsNear(0, 100), nullptr);  // indexed under the old height
    DrawingSettings s;
    Error error = ReadDrawingFile(path, d, s);
    ASSERT_FALSE(error) << EnglishText(error);
    EXPECT_EQ(d.FileName, path);
    ASSERT_EQ(d.Elements.Count(), sample.Elements.Count());
    EXPECT_EQ(std::memcmp(&d.Elements.At(0), &sample.Elements.At(0),
                          sample.Elements.Count() * sizeof(TDrawElement)),
              0);
    EXPECT_EQ(d.Texts.Count(), sample.Texts.Count());

    const std::vector<ElementIndex::Box>& boxes = d.ElementBoxes();
    ASSERT_EQ(boxes.size(), d.Elements.Count());
    for (std::uint32_t i = 0; i < d.Elements.Count(); ++i) {
        const ElementIndex::Box fresh = ElementIndex::BoxOf(d.Elements.At(i));
        ASSERT_EQ(std::memcmp(&boxes[i], &fresh, sizeof fresh), 0) << i;
    }
    // Sheet 3 (400..600 mm) lists every element that reaches it.
    const std::vector<std::uint32_t>* near = d.ElementsNear(400, 600);
    ASSERT_NE(near, nullptr);
    std::vector<bool> listed(d.Elements.Count());
    for (std::uint32_t i : *near) listed[i] = true;
    for (std::uint32_t i = 0; i < d.Elements.Count(); ++i) {
        const TDrawElement& e = d.Elements.At(i);
        const bool reaches =
            e.Kind <= ekCircle && std::max(e.Y1, e.Y2) >= 399 && std::min(e.Y1, e.Y2) <= 601;
        if (reaches || std::isnan(e.Y2)) {
            EXPECT_TRUE(listed[i]) << i;
        }
    }
}

// A load reports how far it has come, in order, ending on (total, total); stopped at any
// report, the last one included, it changes nothing at all. Small files are read whole,
// large ones straight into the list, and a large one without elements whole in parts.
TEST(DrawingFile, AStoppedLoadChangesNothing) {
    TempDir dir;
    struct Sample {
        const char* name;
        std::uint32_t elements, texts;
    };
    const Sample samples[] = {
        {"small.tvk", 5, 4}, {"texts.tvk", 0, 30000}, {"large.tvk", 20005, 4}};
    for (const Sample& sample : samples) {
        TDrawing d;
        DrawingSettings s;
        if (sample.elements) fillSample(d, s);
        for (std::uint32_t i = d.Texts.Count(); i < sample.texts; ++i) *d.AppendText() = {};
        for (std::uint32_t i = d.Elements.Count(); i < sample.elements; ++i)
            *d.AppendElement() = element(i % 4, i * 0.01);
        ASSERT_FALSE(WriteDrawingFile(dir.file(sample.name), d, s));
    }

    for (const Sample& sample : samples) {
        SCOPED_TRACE(sample.name);
        const std::string path = dir.file(sample.name);
        const bool large = std::filesystem::file_size(path) > (1u << 20);
        testing::StoppingProgress all;
        {
            TDrawing d;
            DrawingSettings s;
            Error error = ReadDrawingFile(path, d, s, SheetSizeCheck::Keep, &all);
            ASSERT_FALSE(error) << EnglishText(error);
            EXPECT_EQ(d.Elements.Count(), sample.elements);
            EXPECT_EQ(d.Texts.Count(), sample.texts);
        }
        ASSERT_FALSE(all.reports.empty());
        for (std::size_t i = 1; i < all.reports.size(); ++i)
            EXPECT_LE(all.reports[i - 1].first, all.reports[i].first);
        EXPECT_EQ(all.reports.back().first, all.reports.back().second);
        EXPECT_EQ(large, all.reports.size() > 1);

        for (std::size_t stopAt : {std::size_t{1}, all.reports.size()}) {
            TDrawing d;
            *d.AppendElement() = element(ekLine, 1);
            d.FileName = "before.tvk";
            d.Changed = true;
            DrawingSettings s;
            s.Zoom = 42;
            testing::StoppingProgress stopping(stopAt);
            const Error error = ReadDrawingFile(path, d, s, SheetSizeCheck::Keep, &stopping);
            EXPECT_EQ(error.Code, ErrorCode::Cancelled) << EnglishText(error);
            EXPECT_EQ(EnglishText(error),
                      "Cannot open \"" + path + "\": stopped by the user; nothing was changed");
            EXPECT_EQ(stopping.reports.size(), stopAt);
            EXPECT_EQ(d.Elements.Count(), 1u);
            EXPECT_EQ(d.Texts.Count(), 0u);
            EXPECT_EQ(d.FileName, "before.tvk");
            EXPECT_TRUE(d.Changed);
            EXPECT_EQ(s.Zoom, 42);
        }
    }
}

TEST(DrawingFile, OlderFileWithoutExtensionKeepsSheetSizeEraserAndPageCount) {
    TempDir dir;
    auto bytes = encodeEmpty();
    bytes.resize(bytes.size() - kExtensionBlockSize);
    writeBytes(dir.file("old.tvk"), bytes);

    TDrawing d;
    d.PageWidthInch = 5;
    d.PageHeightInch = 6;
    DrawingSettings s;
    s.EraserWidth = 7;
    s.PageCount = 3;
    s.Zoom = 250;
    Error error = ReadDrawingFile(dir.file("old.tvk"), d, s);
    ASSERT_FALSE(error) << EnglishText(error);
    EXPECT_EQ(d.PageWidthInch, 5);
    EXPECT_EQ(d.PageHeightInch, 6);
    EXPECT_EQ(s.EraserWidth, 7);
    EXPECT_EQ(s.PageCount, 3);
    EXPECT_EQ(s.Zoom, 100);  // the settings block is always read
}

void putU32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void putF64(std::vector<std::uint8_t>& b, std::size_t at, double v) {
    std::memcpy(&b[at], &v, 8);
}

// Small files and large ones (whose records are read straight into the list) alike.
TEST(DrawingFile, BrokenFilesAreRefusedAndLeaveTheDrawingAsItWas) {
    TempDir dir;
    for (const std::uint32_t extra : {0u, 12000u}) {
        SCOPED_TRACE(extra);
        TDrawing sample;
        for (std::uint32_t i = 0; i < extra; ++i)
            *sample.AppendElement() = element(ekLine, i % 500);
        DrawingSettings sampleSettings;
        fillSample(sample, sampleSettings);
        const auto good = EncodeDrawing(sample, sampleSettings);
        const std::string total = std::to_string(5 + extra);
        const std::string lastRecord = "ends inside element record " + total + " of " + total;
        const std::size_t textsAt = 4 + (5 + extra) * 88;  // the text count
        const std::size_t firstText = textsAt + 4;
        const std::size_t settingsAt = good.size() - 128;

        struct Case {
            const char* name;
            std::vector<std::uint8_t> bytes;
            std::string expect;  // part of the message
        };
        auto cut = [&](std::size_t n) {
            return std::vector<std::uint8_t>(good.begin(), good.begin() + n);
        };
        auto with = [&](auto change) {
            auto b = good;
            change(b);
            return b;
        };
        std::vector<std::uint8_t> huge(200, 0);
        putU32(huge, 0, 0x80000000u);
        const std::vector<Case> cases = {
            {"empty file", {}, "empty"},
            {"inside the element count", cut(3), "element count"},
            {"inside an element record", cut(4 + 88 + 40),
             "ends inside element record 2 of " + total},
            {"inside the last element record", cut(textsAt - 40), lastRecord},
            {"2^31 - 1 elements", with([&](auto& b) { putU32(b, 0, 0x7FFFFFFFu); }),
             "larger than the file can hold"},
            {"2^31 elements in 200 bytes", huge, "larger than the file can hold"},
            {"inside the text count", cut(textsAt + 2), "text count"},
            {"huge text count", with([&](auto& b) { putU32(b, textsAt, 0xFFFFFFFFu); }),
             "of 4294967295"},
            {"inside a text record", cut(firstText + 30), "text record 1 of 4"},
            {"inside a text string", cut(firstText + 56 + 6), "text of text record 1 of 4"},
            {"text length beyond the end",
             with([&](auto& b) { putU32(b, firstText + 56, 0x7FFFFFFFu); }),
             "text of text record 1"},
            {"font name length beyond the end",
             with([&](auto& b) { putU32(b, firstText + 56 + 4 + 2 * 11, 0xFFFFFFF0u); }),
             "font name of text record 1"},
            {"inside the settings block", cut(settingsAt + 95), "settings block"},
            {"inside the extension block", cut(good.size() - 1), "extension block"},
            {"NaN in the placement", with([&](auto& b) { putF64(b, settingsAt, std::nan("")); }),
             "not a number"},
            {"infinite page count", with([&](auto& b) {
                 putF64(b, good.size() - 8, std::numeric_limits<double>::infinity());
             }),
             "not a number"},
            {"zero sheet height", with([&](auto& b) { putF64(b, good.size() - 16, 0.0); }),
             "sheet size"},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            const std::string path = dir.file("broken.tvk");
            writeBytes(path, c.bytes);
            TDrawing d;
            *d.AppendElement() = element(ekLine, 1);
            addText(d, u"keep me", "Arial", 1, 1);
            d.FileName = "previous.tvk";
            d.Changed = true;
            d.Placement.LinealX = 77;
            DrawingSettings s;
            s.Zoom = 42;
            Error error = ReadDrawingFile(path, d, s);
            EXPECT_TRUE(error);
            EXPECT_NE(EnglishText(error).find(path), std::string::npos) << EnglishText(error);
            EXPECT_NE(EnglishText(error).find(c.expect), std::string::npos) << EnglishText(error);
            EXPECT_EQ(d.Elements.Count(), 1u);
            ASSERT_EQ(d.Texts.Count(), 1u);
            EXPECT_EQ(WideView(d.Texts.At(0).Text), u"keep me");
            EXPECT_EQ(d.FileName, "previous.tvk");
            EXPECT_TRUE(d.Changed);
            EXPECT_EQ(d.Placement.LinealX, 77);
            EXPECT_EQ(s.Zoom, 42);
        }
    }

    // A file that cannot be opened at all is refused the same way.
    TDrawing d;
    DrawingSettings s;
    Error error = ReadDrawingFile(dir.file("missing.tvk"), d, s);
    EXPECT_TRUE(error);
    EXPECT_NE(EnglishText(error).find("missing.tvk"), std::string::npos);
    error = ReadDrawingFile(dir.path(), d, s);
    EXPECT_TRUE(error);  // a folder
}

// Damaged files of every shape: bytes flipped, cut off, counts overwritten. Each is either
// read whole or refused with a reason, never read past its end (the sanitizer build watches).
TEST(DrawingFile, MutatedFilesAreReadOrRefusedButNeverOverrun) {
    TDrawing sample;
    DrawingSettings settings;
    fillSample(sample, settings);
    const auto good = EncodeDrawing(sample, settings);
    std::uint32_t seed = 2026;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    int refused = 0;
    for (int round = 0; round < 3000; ++round) {
        auto bytes = good;
        switch (round % 3) {
            case 0:
                for (int k = 0; k < 4; ++k)
                    bytes[next() % bytes.size()] = static_cast<std::uint8_t>(next());
                break;
            case 1:
                bytes.resize(next() % bytes.size());
                break;
            default:
                putU32(bytes, (next() % (bytes.size() / 4)) * 4, next() | (next() << 24));
                break;
        }
        DecodedDrawing out;
        const Error error = DecodeDrawing(bytes.data(), bytes.size(), out);
        if (!error)
            EXPECT_LE(out.drawing.Elements.Count() * kElementRecordSize, bytes.size());
        else
            ++refused;
    }
    EXPECT_GT(refused, 1000);  // the sweep does reach the error paths
}

TEST(DrawingFile, SettingsOutsideTheFieldsRangesAreBroughtIntoThem) {
    TDrawing d;
    DrawingSettings s{1000, 0, 0, false, true, true, true, 500, 99.7};
    auto bytes = EncodeDrawing(d, s);
    DecodedDrawing out;
    Error error = DecodeDrawing(bytes.data(), bytes.size(), out);
    ASSERT_FALSE(error) << EnglishText(error);
    EXPECT_EQ(out.settings.Zoom, 300);
    EXPECT_EQ(out.settings.PenWidth, 0.01);
    EXPECT_EQ(out.settings.EraserWidth, 100);
    EXPECT_EQ(out.settings.PageCount, 10);
}

TEST(DrawingFile, FailedSaveKeepsThePreviousFileAndChanged) {
    TempDir dir;
    TDrawing d;
    DrawingSettings s;
    fillSample(d, s);
    d.Changed = true;

    d.FileName = dir.file("no-such-folder/x.tvk");
    Error error = SaveTheFile(d, s);
    EXPECT_TRUE(error);
    EXPECT_TRUE(d.Changed);
    EXPECT_NE(EnglishText(error).find("no-such-folder/x.tvk"), std::string::npos)
        << EnglishText(error);

    // A write that fails half-way (the file size limit stands in for a full disk) leaves
    // the old file untouched and no temporary file behind. Run in a child: the limit is
    // process-wide.
    const std::string path = dir.file("keep.tvk");
    const std::vector<std::uint8_t> old = {1, 2, 3};
    writeBytes(path, old);
    for (int i = 0; i < 2000; ++i) *d.AppendElement() = element(ekLine, i);
    d.FileName = path;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{65536, 65536};
        setrlimit(RLIMIT_FSIZE, &limit);
        const Error e = SaveTheFile(d, s);
        _exit(e && d.Changed && e.File.find("keep.tvk") != std::string::npos ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);

    error = SaveTheFile(d, s);
    ASSERT_FALSE(error) << EnglishText(error);
    EXPECT_FALSE(d.Changed);
    EXPECT_EQ(readBytes(path), EncodeDrawing(d, s));
}

// What is not a drawing file at all is refused at once with the file's name, and the
// drawing in hand stays as it was.
TEST(DrawingFile, PipesDevicesAndHugeFilesAreRefusedWithTheirName) {
    TempDir dir;
    const std::string fifo = dir.file("pipe.tvk");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string sparse = dir.file("sparse.tvk");
    {
        const int fd = ::open(sparse.c_str(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, off_t{8} << 30), 0);
        ::close(fd);
    }
    for (const std::string& path :
         {fifo, std::string("/dev/zero"), std::string("/dev/urandom"), sparse}) {
        TDrawing d;
        DrawingSettings s;
        fillSample(d, s);
        d.FileName = "before.tvk";
        const DrawingSettings before = s;
        Error error = ReadDrawingFile(path, d, s);
        EXPECT_TRUE(error) << path;
        EXPECT_NE(EnglishText(error).find("\"" + path + "\""), std::string::npos)
            << EnglishText(error);
        EXPECT_EQ(d.Elements.Count(), 5u);
        EXPECT_EQ(d.FileName, "before.tvk");
        EXPECT_EQ(s, before);
    }
}

// The file keeps any sheet size (it round-trips); the window refuses one it cannot show,
// larger than 5000 mm or smaller than 1 mm, and takes the sizes at the very limits.
TEST(DrawingFile, ASheetTooLargeOrTooSmallIsKeptOrRefusedAsTheReaderIsAsked) {
    TempDir dir;
    const std::string path = dir.file("sheet.tvk");
    struct Case {
        double widthMm, heightMm;
        const char* refusal;  // nullptr: the window takes it
    };
    const Case cases[] = {
        {1e300 * MmPerInch, 297, "a sheet can be at most 5000 mm wide and high"},
        {5000.001, 297, "a sheet can be at most 5000 mm wide and high"},
        {1e-300 * MmPerInch, 297, "e-299 x 297 mm; a sheet must be at least 1 mm"},
        {210, 0.999, "a sheet must be at least 1 mm wide and high"},
        {1e-300 * MmPerInch, 6000, "a sheet can be at most 5000 mm wide and high"},
        {5000, 297, nullptr},
        {1, 1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.widthMm);
        SCOPED_TRACE(c.heightMm);
        TDrawing d;
        DrawingSettings s;
        fillSample(d, s);
        d.PageWidthInch = c.widthMm / MmPerInch;
        d.PageHeightInch = c.heightMm / MmPerInch;
        Error error = WriteDrawingFile(path, d, s);
        ASSERT_FALSE(error) << EnglishText(error);
        const std::vector<std::uint8_t> stored = readBytes(path);

        TDrawing kept;
        DrawingSettings keptSettings;
        error = ReadDrawingFile(path, kept, keptSettings);
        ASSERT_FALSE(error) << EnglishText(error);
        EXPECT_EQ(EncodeDrawing(kept, keptSettings), stored);

        TDrawing shown;
        DrawingSettings shownSettings;
        *shown.AppendElement() = element(ekLine, 1);
        error = ReadDrawingFile(path, shown, shownSettings, SheetSizeCheck::Refuse);
        if (!c.refusal) {
            EXPECT_FALSE(error) << EnglishText(error);
            EXPECT_EQ(shown.PageWidthInch, d.PageWidthInch);
            continue;
        }
        EXPECT_TRUE(error);
        EXPECT_NE(EnglishText(error).find(path), std::string::npos) << EnglishText(error);
        EXPECT_NE(EnglishText(error).find(c.refusal), std::string::npos) << EnglishText(error);
        EXPECT_EQ(shown.Elements.Count(), 1u);
        EXPECT_EQ(shown.PageWidthInch, 210 / MmPerInch);
    }
}

TEST(DrawingFile, SavingOverAWriteProtectedFileIsRefusedAndKeepsChanged) {
    TempDir dir;
    const std::string path = dir.file("protected.tvk");
    writeBytes(path, {1, 2, 3});
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    TDrawing d;
    DrawingSettings s;
    fillSample(d, s);
    d.FileName = path;
    d.Changed = true;
    Error error = SaveTheFile(d, s);
    EXPECT_TRUE(error);
    EXPECT_TRUE(d.Changed);
    EXPECT_EQ(EnglishText(error), "Cannot save \"" + path + "\": The file is write-protected");
    EXPECT_EQ(readBytes(path), (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(DrawingModel, NewAllEmptiesTheListsButKeepsPlacementAndSheet) {
    TDrawing d;
    DrawingSettings s;
    fillSample(d, s);
    d.FileName = "x.tvk";
    const InstrumentPlacement placement = d.Placement;
    const double width = d.PageWidthInch;
    d.NewAll();  // the sanitizer build shows any string that was not freed
    EXPECT_EQ(d.Elements.Count(), 0u);
    EXPECT_EQ(d.Texts.Count(), 0u);
    EXPECT_EQ(d.CurText, nullptr);
    EXPECT_TRUE(d.FileName.empty());
    EXPECT_FALSE(d.Changed);
    EXPECT_EQ(d.Placement, placement);
    EXPECT_EQ(d.PageWidthInch, width);
}

}  // namespace
}  // namespace tervasko
