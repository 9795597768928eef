#include "document/drawingfile.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>

#include "document/bytes.h"
#include "platform/safefile.h"

namespace tervasko {

void WriteWideString(ByteWriter& out, std::u16string_view text) {
    out.u32(static_cast<std::uint32_t>(text.size()));
    for (char16_t unit : text) {
        out.u8(static_cast<std::uint8_t>(unit));
        out.u8(static_cast<std::uint8_t>(unit >> 8));
    }
}

void WriteAnsiString(ByteWriter& out, std::string_view text) {
    out.u32(static_cast<std::uint32_t>(text.size()));
    out.bytes(text.data(), text.size());
}

bool ReadWideString(ByteReader& in, std::u16string& text) {
    if (in.remaining() < 4) return false;
    ByteReader probe = in;
    const std::uint64_t n = probe.u32();
    if (n * 2 > probe.remaining()) return false;
    text.resize(static_cast<std::size_t>(n));
    for (auto& unit : text) {
        const auto lo = probe.u8();
        const auto hi = probe.u8();
        unit = static_cast<char16_t>(lo | hi << 8);
    }
    in = probe;
    return true;
}

bool ReadAnsiString(ByteReader& in, std::string& text) {
    if (in.remaining() < 4) return false;
    ByteReader probe = in;
    const std::uint32_t n = probe.u32();
    if (n > probe.remaining()) return false;
    text.assign(reinterpret_cast<const char*>(probe.here()), n);
    probe.skip(n);
    in = probe;
    return true;
}

namespace {

// The in-memory element record has the file's layout on a little-endian machine, so
// records move in and out of the file as whole blocks.
static_assert(std::endian::native == std::endian::little, "the drawing file is little-endian");
static_assert(sizeof(TDrawElement) == kElementRecordSize && offsetof(TDrawElement, Width) == 8 &&
              offsetof(TDrawElement, X1) == 16 && offsetof(TDrawElement, Y4) == 72 &&
              offsetof(TDrawElement, Color) == 80 && offsetof(TDrawElement, Reserved2) == 84);

void encodeText(ByteWriter& w, const TTextElement& t) {
    w.f64(t.X1);
    w.f64(t.Y1);
    w.f64(t.X2);
    w.f64(t.Y2);
    w.zeros(8);  // two string addresses; meaningless outside the running program
    w.i32(t.FontSize);
    w.i32(t.Color);
    w.u8(t.Charset);
    w.u8(t.Pitch);
    w.u8(t.Style);
    w.zeros(5);
    WriteWideString(w, WideView(t.Text));
    WriteAnsiString(w, AnsiView(t.FontName));
}

// A plain value in place of the check marks and fields that hold it in the window.
std::uint8_t flag(bool b) {
    return b ? 1 : 0;
}

// The set square needs its chunk when it differs from how a file without one loads it.
bool setSquareNeedsChunk(const InstrumentPlacement& p, const DrawingSettings& s) {
    const InstrumentPlacement start;
    return s.SetSquareShown || p.GeoX != start.GeoX || p.GeoY != start.GeoY ||
           p.GeoAngle != start.GeoAngle;
}

// The chunk area, only when it has something to hold: a drawing that uses nothing of it is
// saved as the fixed part alone.
void encodeChunkArea(ByteWriter& w, const TDrawing& drawing, const DrawingSettings& s) {
    const bool setSquare = setSquareNeedsChunk(drawing.Placement, s);
    if (!setSquare && !drawing.Worksheet && drawing.KeptChunks.empty()) return;
    w.bytes(kChunkAreaMark, sizeof kChunkAreaMark);
    w.u32(kChunkAreaVersion);
    if (setSquare) {
        w.bytes(kSetSquareTag, sizeof kSetSquareTag);
        w.u32(kSetSquareChunkSize);
        w.f64(drawing.Placement.GeoX);
        w.f64(drawing.Placement.GeoY);
        w.f64(drawing.Placement.GeoAngle);
        w.u8(flag(s.SetSquareShown));
    }
    if (drawing.Worksheet) {
        w.bytes(kWorksheetTag, sizeof kWorksheetTag);
        w.u32(static_cast<std::uint32_t>(drawing.Worksheet->size()));
        if (!drawing.Worksheet->empty())
            w.bytes(drawing.Worksheet->data(), drawing.Worksheet->size());
    }
    if (!drawing.KeptChunks.empty()) w.bytes(drawing.KeptChunks.data(), drawing.KeptChunks.size());
}

}  // namespace

std::vector<std::uint8_t> EncodeDrawing(const TDrawing& drawing, const DrawingSettings& s) {
    std::vector<std::uint8_t> bytes;
    AppendDrawing(bytes, drawing, s);
    return bytes;
}

void AppendDrawing(std::vector<std::uint8_t>& bytes, const TDrawing& drawing,
                   const DrawingSettings& s) {
    const std::uint32_t n = drawing.Elements.Count();
    const std::uint32_t m = drawing.Texts.Count();
    bytes.reserve(bytes.size() + 8 + std::size_t{n} * kElementRecordSize +
                  std::size_t{m} * (kTextRecordSize + 64) + kSettingsBlockSize +
                  kExtensionBlockSize + 8 + kChunkHeadSize + kSetSquareChunkSize +
                  (drawing.Worksheet ? kChunkHeadSize + drawing.Worksheet->size() : 0) +
                  drawing.KeptChunks.size());
    ByteWriter w(bytes);
    w.u32(n);
    if (n) w.bytes(&drawing.Elements.At(0), std::size_t{n} * kElementRecordSize);
    w.u32(m);
    for (std::uint32_t i = 0; i < m; ++i) encodeText(w, drawing.Texts.At(i));

    const InstrumentPlacement& p = drawing.Placement;
    for (double v : {p.LinealX, p.LinealY, p.LinealAngle, p.WinkelX, p.WinkelY, p.WinkelAngle,
                     p.ZirkelX, p.ZirkelY, p.ZirkelSpan, s.Zoom, s.PenWidth})
        w.f64(v);
    w.u32(s.PenColor);
    w.u8(flag(s.PanelShown));
    w.u8(flag(s.RulerShown));
    w.u8(flag(s.ProtractorShown));
    w.u8(flag(s.CompassShown));

    w.f64(s.EraserWidth);
    w.f64(drawing.PageWidthInch);
    w.f64(drawing.PageHeightInch);
    w.f64(s.PageCount);
    encodeChunkArea(w, drawing, s);
}

Error WriteDrawingFile(const std::string& path, const TDrawing& drawing,
                       const DrawingSettings& settings) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = EncodeDrawing(drawing, settings);
    } catch (const std::bad_alloc&) {
        return WithLead(Failure(ErrorCode::OutOfMemory), ErrorLead::CannotSave, path);
    }
    if (Error failed = WriteFileSafely(path, bytes.data(), bytes.size()))
        return WithLead(std::move(failed), ErrorLead::CannotSave, path);
    return {};
}

Error SaveTheFile(TDrawing& drawing, const DrawingSettings& settings) {
    if (Error failed = WriteDrawingFile(drawing.FileName, drawing, settings)) return failed;
    drawing.Changed = false;
    return {};
}

namespace {

// Record i of count, counted from 1, as the values of a sentence.
std::vector<std::string> ordinal(std::uint32_t i, std::uint32_t count) {
    return {std::to_string(std::uint64_t{i} + 1), std::to_string(count)};
}

// Values restored into spin fields are brought into the fields' ranges, as the fields
// themselves would do; values that are no numbers at all mean the file is broken.
double clampTo(double v, double lo, double hi) {
    return std::min(std::max(v, lo), hi);
}

// The element count at the start of a file whose remaining bytes after it are `remaining`;
// a failure when the records cannot all be there (refused before anything is allocated).
Error checkElementCount(std::uint32_t n, std::uint64_t remaining) {
    if (std::uint64_t{n} * kElementRecordSize <= remaining) return {};
    std::vector<std::string> args =
        ordinal(static_cast<std::uint32_t>(remaining / kElementRecordSize), n);
    args.insert(args.begin(), std::to_string(n));
    return Failure(ErrorCode::ElementCountTooLarge, std::move(args));
}

// Room for the n element records of a drawing being read, each to be written whole.
Result<TDrawElement*> elementRoom(TDrawing& d, std::uint32_t n) {
    if (TDrawElement* records = d.Elements.AppendManyUnset(n)) return records;
    return Failure(ErrorCode::OutOfMemoryForElements, {std::to_string(n)});
}

// The chunk area, from here to the end of the file. What cannot be read is dropped and
// listed; the chunks before it stay.
void decodeChunkArea(ByteReader& in, DecodedDrawing& out) {
    const auto count = [](std::uint64_t n) { return std::to_string(n); };
    const std::size_t areaSize = in.remaining();
    if (areaSize < 8 || std::memcmp(in.here(), kChunkAreaMark, sizeof kChunkAreaMark) != 0) {
        out.dropped.push_back(Failure(ErrorCode::ChunkAreaUnknown, {count(areaSize)}));
        return;
    }
    in.skip(sizeof kChunkAreaMark);
    const std::uint32_t version = in.u32();
    if (version != kChunkAreaVersion) {
        out.dropped.push_back(
            Failure(ErrorCode::ChunkAreaVersion, {count(version), count(areaSize)}));
        return;
    }
    bool setSquareRead = false, worksheetRead = false;
    while (!in.atEnd()) {
        const std::uint8_t* head = in.here();
        // A tag is four printable ASCII characters; anything else is no chunk at all.
        const bool tagReadable =
            in.remaining() >= kChunkHeadSize &&
            std::all_of(head, head + 4, [](std::uint8_t c) { return c >= 0x20 && c <= 0x7E; });
        if (!tagReadable) {
            out.dropped.push_back(Failure(ErrorCode::ChunkAreaTail, {count(in.remaining())}));
            return;
        }
        const std::string tag(reinterpret_cast<const char*>(head), 4);
        in.skip(4);
        const std::uint32_t length = in.u32();
        if (length > in.remaining()) {
            out.dropped.push_back(
                Failure(ErrorCode::ChunkPastEnd, {tag, count(length), count(in.remaining())}));
            return;
        }
        ByteReader body(in.here(), length);
        in.skip(length);
        if (std::memcmp(head, kWorksheetTag, sizeof kWorksheetTag) == 0) {
            if (worksheetRead) {
                out.dropped.push_back(Failure(ErrorCode::WorksheetRepeated));
            } else if (length > kMaxWorksheetBytes) {
                out.dropped.push_back(Failure(ErrorCode::WorksheetChunkTooLarge,
                                              {count(length), count(kMaxWorksheetBytes >> 20)}));
            } else {
                const std::uint8_t* bytes = head + kChunkHeadSize;
                out.drawing.Worksheet =
                    std::make_shared<const std::vector<std::uint8_t>>(bytes, bytes + length);
                worksheetRead = true;
            }
            continue;
        }
        if (std::memcmp(head, kSetSquareTag, sizeof kSetSquareTag) != 0) {
            out.drawing.KeptChunks.insert(out.drawing.KeptChunks.end(), head,
                                          head + kChunkHeadSize + length);
            continue;
        }
        if (setSquareRead) {
            out.dropped.push_back(Failure(ErrorCode::SetSquareRepeated));
            continue;
        }
        const double x = body.f64(), y = body.f64(), angle = body.f64();
        const bool shown = body.u8() != 0;
        if (length != kSetSquareChunkSize || !std::isfinite(x) || !std::isfinite(y) ||
            !std::isfinite(angle)) {
            out.dropped.push_back(Failure(ErrorCode::SetSquareDamaged));
            continue;
        }
        InstrumentPlacement& p = out.drawing.Placement;
        p.GeoX = x, p.GeoY = y, p.GeoAngle = angle;
        out.settings.SetSquareShown = shown;
        setSquareRead = true;
    }
}

// Everything after the element records: texts, placement, settings and the extension. Each
// text's bytes are counted on `counter`; a stop leaves the rest undecoded (see Stopped).
Error decodeAfterElements(ByteReader& in, DecodedDrawing& out, ProgressCounter& counter);

// How a load that the progress stopped ends.
Error cancelled(const std::string& name) {
    return WithLead(Failure(ErrorCode::Cancelled), ErrorLead::CannotOpen, name);
}

// The bytes of a file read whole, in parts, each counted on `counter`.
constexpr std::size_t kReadPart = std::size_t{1} << 20;

}  // namespace

namespace {

Error decode(const std::uint8_t* data, std::size_t size, DecodedDrawing& out,
             ProgressCounter& counter) {
    ByteReader in(data, size);
    if (in.remaining() < 4) return Failure(ErrorCode::EmptyOrEndsInElementCount);
    const std::uint32_t n = in.u32();
    if (Error refused = checkElementCount(n, in.remaining())) return refused;
    if (n) {
        Result<TDrawElement*> room = elementRoom(out.drawing, n);
        if (!room.ok()) return room.error();
        TDrawElement* records = *room;
        // The sheets' index takes the records in at the first paint, which draws them anyway:
        // a load that is only read (the exporter, a thumbnail of one sheet) never pays for it.
        std::memcpy(static_cast<void*>(records), in.here(), std::size_t{n} * kElementRecordSize);
        in.skip(std::size_t{n} * kElementRecordSize);
        if (!counter.Advance(std::uint64_t{n} * kElementRecordSize)) return {};
    }
    return decodeAfterElements(in, out, counter);
}

}  // namespace

Error DecodeDrawing(const std::uint8_t* data, std::size_t size, DecodedDrawing& out) {
    ProgressCounter none(nullptr);
    return decode(data, size, out, none);
}

namespace {

Error decodeAfterElements(ByteReader& in, DecodedDrawing& out, ProgressCounter& counter) {
    TDrawing& d = out.drawing;
    if (in.remaining() < 4) return Failure(ErrorCode::EndsInTextCount);
    const std::uint32_t m = in.u32();
    // Texts vary in length, so their count cannot be checked up front; each record is
    // checked before it is appended, so a false count costs at most one record per 64 bytes.
    std::u16string text;
    std::string fontName;
    for (std::uint32_t i = 0; i < m; ++i) {
        const std::size_t before = in.remaining();
        if (in.remaining() < kTextRecordSize)
            return Failure(ErrorCode::EndsInTextRecord, ordinal(i, m));
        TTextElement* t = d.Texts.Append();
        if (!t) return Failure(ErrorCode::OutOfMemoryForTexts, {std::to_string(m)});
        *t = TTextElement{};
        t->X1 = in.f64();
        t->Y1 = in.f64();
        t->X2 = in.f64();
        t->Y2 = in.f64();
        in.skip(8);
        t->FontSize = in.i32();
        t->Color = in.i32();
        t->Charset = in.u8();
        t->Pitch = in.u8();
        t->Style = in.u8();
        in.skip(5);
        if (!ReadWideString(in, text)) return Failure(ErrorCode::EndsInText, ordinal(i, m));
        if (!ReadAnsiString(in, fontName)) return Failure(ErrorCode::EndsInFontName, ordinal(i, m));
        t->Text = NewWideBuffer(text);
        t->FontName = NewAnsiBuffer(fontName);
        if (!t->Text || !t->FontName) return Failure(ErrorCode::OutOfMemoryForStrings);
        if (!counter.Advance(before - in.remaining())) return {};
    }

    if (in.remaining() < kSettingsBlockSize) return Failure(ErrorCode::EndsInSettings);
    InstrumentPlacement& p = d.Placement;
    for (double* v : {&p.LinealX, &p.LinealY, &p.LinealAngle, &p.WinkelX, &p.WinkelY,
                      &p.WinkelAngle, &p.ZirkelX, &p.ZirkelY, &p.ZirkelSpan})
        *v = in.f64();
    DrawingSettings& s = out.settings;
    s.Zoom = in.f64();
    s.PenWidth = in.f64();
    s.PenColor = in.u32();
    s.PanelShown = in.u8() != 0;
    s.RulerShown = in.u8() != 0;
    s.ProtractorShown = in.u8() != 0;
    s.CompassShown = in.u8() != 0;
    for (double v : {p.LinealX, p.LinealY, p.LinealAngle, p.WinkelX, p.WinkelY, p.WinkelAngle,
                     p.ZirkelX, p.ZirkelY, p.ZirkelSpan, s.Zoom, s.PenWidth})
        if (!std::isfinite(v)) return Failure(ErrorCode::SettingsNotANumber);
    s.Zoom = std::nearbyint(clampTo(s.Zoom, 1, 300));
    s.PenWidth = clampTo(s.PenWidth, 0.01, 100);

    // Whatever the file holds of the set square comes from its chunk; without one it is at
    // its start-up placement (the placement starts there), hidden.
    s.SetSquareShown = false;
    out.hasExtension = !in.atEnd();
    if (out.hasExtension) {
        if (in.remaining() < kExtensionBlockSize) return Failure(ErrorCode::EndsInExtension);
        s.EraserWidth = in.f64();
        d.PageWidthInch = in.f64();
        d.PageHeightInch = in.f64();
        s.PageCount = in.f64();
        for (double v : {s.EraserWidth, d.PageWidthInch, d.PageHeightInch, s.PageCount})
            if (!std::isfinite(v)) return Failure(ErrorCode::ExtensionNotANumber);
        if (d.PageWidthInch <= 0 || d.PageHeightInch <= 0)
            return Failure(ErrorCode::SheetNotPositive);
        s.EraserWidth = clampTo(s.EraserWidth, 0.01, 100);
        s.PageCount = std::trunc(clampTo(s.PageCount, 1, 10));
        if (!in.atEnd()) decodeChunkArea(in, out);
    }
    return {};
}

// A decoded drawing's values before decoding: what an older file does not hold keeps the
// values the drawing has now.
void prepare(DecodedDrawing& decoded, const TDrawing& drawing, const DrawingSettings& settings) {
    decoded.drawing.PageWidthInch = drawing.PageWidthInch;
    decoded.drawing.PageHeightInch = drawing.PageHeightInch;
    decoded.settings = settings;
}

// Takes a decoded drawing over, unless its sheet size is refused; what its chunk area lost goes
// to *dropped.
Error adopt(DecodedDrawing& decoded, const std::string& name, TDrawing& drawing,
            DrawingSettings& settings, SheetSizeCheck sheetCheck, std::vector<Error>* dropped);

}  // namespace

namespace {

// Decodes a whole drawing file held in memory and takes it over (see ReadDrawingBytes).
Error readBytes(const std::uint8_t* data, std::size_t size, const std::string& name,
                TDrawing& drawing, DrawingSettings& settings, SheetSizeCheck sheetCheck,
                ProgressCounter& counter, std::vector<Error>* dropped) {
    Error reason;
    DecodedDrawing decoded;
    prepare(decoded, drawing, settings);
    try {
        reason = decode(data, size, decoded, counter);
    } catch (const std::bad_alloc&) {
        reason = Failure(ErrorCode::OutOfMemoryToRead);
    }
    if (counter.Stopped()) return cancelled(name);
    if (reason) return WithLead(std::move(reason), ErrorLead::NotADrawing, name);
    if (!counter.Finish()) return cancelled(name);
    return adopt(decoded, name, drawing, settings, sheetCheck, dropped);
}

}  // namespace

Error ReadDrawingBytes(const std::uint8_t* data, std::size_t size, const std::string& name,
                       TDrawing& drawing, DrawingSettings& settings, SheetSizeCheck sheetCheck,
                       std::vector<Error>* dropped) {
    if (dropped) dropped->clear();
    ProgressCounter none(nullptr);
    return readBytes(data, size, name, drawing, settings, sheetCheck, none, dropped);
}

namespace {

Error adopt(DecodedDrawing& decoded, const std::string& name, TDrawing& drawing,
            DrawingSettings& settings, SheetSizeCheck sheetCheck, std::vector<Error>* dropped) {
    if (sheetCheck == SheetSizeCheck::Refuse && decoded.hasExtension &&
        !(SheetSideUsable(decoded.drawing.PageWidthInch) &&
          SheetSideUsable(decoded.drawing.PageHeightInch))) {
        const auto mm = [](double inch) {
            char text[48];
            std::snprintf(text, sizeof text, "%.6g", inch * MmPerInch);
            return std::string(text);
        };
        const double width = decoded.drawing.PageWidthInch * MmPerInch;
        const double height = decoded.drawing.PageHeightInch * MmPerInch;
        const bool tooSmall =
            std::max(width, height) <= kMaxSheetMm && std::min(width, height) < kMinSheetMm;
        return WithLead(
            Failure(tooSmall ? ErrorCode::SheetTooSmall : ErrorCode::SheetTooLarge,
                    {mm(decoded.drawing.PageWidthInch), mm(decoded.drawing.PageHeightInch),
                     std::to_string(static_cast<int>(tooSmall ? kMinSheetMm : kMaxSheetMm))}),
            ErrorLead::None, name);
    }

    drawing.NewAll();
    drawing.SwapLists(decoded.drawing);
    drawing.Placement = decoded.drawing.Placement;
    drawing.PageWidthInch = decoded.drawing.PageWidthInch;
    drawing.PageHeightInch = decoded.drawing.PageHeightInch;
    drawing.KeptChunks.swap(decoded.drawing.KeptChunks);
    drawing.Worksheet = std::move(decoded.drawing.Worksheet);
    settings = decoded.settings;
    drawing.Changed = false;
    if (dropped) *dropped = std::move(decoded.dropped);
    return {};
}

// Reads a drawing file whose element records are read straight into their list, without
// holding the file's bytes first: the read's outcome (an empty Error when it succeeded), or
// nullopt when the file is better read whole: small, or with an element count the decoder is
// to report.
std::optional<Error> readStreamed(FileReader& file, const std::string& path, TDrawing& drawing,
                                  DrawingSettings& settings, SheetSizeCheck sheetCheck,
                                  ProgressCounter& counter, std::vector<Error>* dropped) {
    const auto cannotRead = [&](Error reason) {
        return WithLead(std::move(reason), ErrorLead::CannotOpen, path);
    };
    constexpr std::uint64_t kStreamFrom = 1 << 20;
    if (file.Size() < kStreamFrom) return std::nullopt;
    std::uint8_t head[4];
    if (Error failed = file.Read(head, sizeof head)) return cannotRead(failed);
    const std::uint32_t n = ByteReader(head, sizeof head).u32();
    if (n == 0 || checkElementCount(n, file.Left())) return std::nullopt;

    DecodedDrawing decoded;
    prepare(decoded, drawing, settings);
    Error reason;
    std::vector<std::uint8_t> rest;
    try {
        Result<TDrawElement*> room = elementRoom(decoded.drawing, n);
        if (room.ok()) {
            // Part by part, each part's boxes worked out while its records are at hand.
            constexpr std::uint32_t kPart = 512;
            for (std::uint32_t first = 0; first < n; first += kPart) {
                const std::uint32_t count = std::min(kPart, n - first);
                const std::size_t bytes = std::size_t{count} * kElementRecordSize;
                if (Error failed = file.Read(*room + first, bytes)) return cannotRead(failed);
                decoded.drawing.Index.TakeInBoxes(first + count);
                if (!counter.Advance(bytes)) return cancelled(path);
            }
            if (Error failed = file.ReadRest(rest)) return cannotRead(failed);
            if (Error failed = file.Finish()) return cannotRead(failed);
            counter.Advance(4);  // the count read first
            ByteReader in(rest.data(), rest.size());
            reason = decodeAfterElements(in, decoded, counter);
        } else {
            reason = room.error();
        }
    } catch (const std::bad_alloc&) {
        reason = Failure(ErrorCode::OutOfMemoryToRead);
    }
    if (counter.Stopped()) return cancelled(path);
    if (reason) return WithLead(std::move(reason), ErrorLead::NotADrawing, path);
    if (!counter.Finish()) return cancelled(path);
    return adopt(decoded, path, drawing, settings, sheetCheck, dropped);
}

// The rest of an open file read whole, part by part, each counted at half its size (decoding
// is the other half); a stop ends the reading early, without a failure.
Error readRestCounted(FileReader& file, std::vector<std::uint8_t>& bytes,
                      ProgressCounter& counter) {
    try {
        bytes.resize(static_cast<std::size_t>(file.Left()));
    } catch (const std::bad_alloc&) {
        return Failure(ErrorCode::OutOfMemoryToRead);
    }
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t part = std::min(kReadPart, bytes.size() - at);
        if (Error failed = file.Read(bytes.data() + at, part)) return failed;
        at += part;
        if (!counter.Advance(part / 2)) return {};
    }
    return file.Finish();
}

}  // namespace

Error ReadDrawingFile(const std::string& path, TDrawing& drawing, DrawingSettings& settings,
                      SheetSizeCheck sheetCheck, Progress* progress, std::vector<Error>* dropped) {
    if (dropped) dropped->clear();
    FileReader file;
    if (Error failed = file.Open(path, kMaxDrawingFileSize))
        return WithLead(std::move(failed), ErrorLead::CannotOpen, path);
    ProgressCounter counter(progress, file.Size(), kReadPart);
    // A large drawing's records go straight from the file into the element list.
    if (std::optional<Error> streamed =
            readStreamed(file, path, drawing, settings, sheetCheck, counter, dropped)) {
        if (!*streamed) drawing.FileName = path;
        return std::move(*streamed);
    }
    // Read whole: from the start again when the streamed read looked at the count.
    FileReader whole;
    if (Error failed = whole.Open(path, kMaxDrawingFileSize))
        return WithLead(std::move(failed), ErrorLead::CannotOpen, path);
    std::vector<std::uint8_t> bytes;
    counter.SetTotal(whole.Size() + whole.Size() / 2);
    if (Error failed = readRestCounted(whole, bytes, counter))
        return WithLead(std::move(failed), ErrorLead::CannotOpen, path);
    if (counter.Stopped()) return cancelled(path);
    if (Error failed = readBytes(bytes.data(), bytes.size(), path, drawing, settings, sheetCheck,
                                 counter, dropped))
        return failed;
    drawing.FileName = path;
    return {};
}

}  // namespace tervasko
