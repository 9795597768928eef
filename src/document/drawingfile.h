#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/drawmodel.h"
#include "platform/error.h"
#include "platform/progress.h"

namespace tervasko {

// The values that the main window keeps in its controls and the drawing file stores
// with the drawing. Start values are those of the controls.
struct DrawingSettings {
    double Zoom = 100;            // percent (zoomed)
    double PenWidth = 0.1;        // mm (StrichEd)
    std::uint32_t PenColor = 0;   // 0x00BBGGRR (Shape1)
    bool PanelShown = false;      // numeric entry panel (LeistefrZahleneingabe1)
    bool RulerShown = true;       // Lineal2
    bool ProtractorShown = true;  // Winkelmesser2
    bool CompassShown = true;     // Zirkel2
    // From the extension block; an older file leaves them as they were.
    double EraserWidth = 2;  // mm (RadierEd)
    double PageCount = 1;    // whole number 1..10 (PageAnz)
    // From the chunk area after the extension block; a file without it leaves it hidden.
    bool SetSquareShown = false;  // Geodreieck2
    bool operator==(const DrawingSettings&) const = default;
};

inline constexpr std::size_t kElementRecordSize = 88;
inline constexpr std::size_t kTextRecordSize = 56;
inline constexpr std::size_t kSettingsBlockSize = 96;
inline constexpr std::size_t kExtensionBlockSize = 32;

// The chunk area after the extension block (docs/FILEFORMAT.md): the mark "TVKX", a u32
// version, then chunks, each a four-character tag, a u32 byte length and that many bytes.
// It is written only when it has something to hold; a reader of the fixed part stops before
// it. The set square's chunk "SQR1" holds GeoX, GeoY, GeoAngle (f64) and the shown flag (u8).
inline constexpr char kChunkAreaMark[4] = {'T', 'V', 'K', 'X'};
inline constexpr std::uint32_t kChunkAreaVersion = 1;
inline constexpr std::size_t kChunkHeadSize = 8;
inline constexpr char kSetSquareTag[4] = {'S', 'Q', 'R', '1'};
inline constexpr std::size_t kSetSquareChunkSize = 25;
// The worksheet's chunk "PDF1": the PDF file's bytes, unchanged. A larger one is refused
// when it is inserted and dropped when it is read.
inline constexpr char kWorksheetTag[4] = {'P', 'D', 'F', '1'};
inline constexpr std::size_t kMaxWorksheetBytes = std::size_t{64} << 20;

// Serialises the whole drawing file into memory: both lists, the settings block and the
// extension block, little-endian, field by field, then the chunk area when the set square is
// shown or away from its start-up placement, the drawing has a worksheet or it keeps chunks
// of a later version.
std::vector<std::uint8_t> EncodeDrawing(const TDrawing& drawing, const DrawingSettings& settings);
// The same, appended to `bytes` (one allocation for whatever goes before it and the drawing).
void AppendDrawing(std::vector<std::uint8_t>& bytes, const TDrawing& drawing,
                   const DrawingSettings& settings);

// Writes the drawing file through a temporary file that replaces `path` only when it is
// complete, so a failed save leaves the previous file intact. A failure names the file and
// the reason.
Error WriteDrawingFile(const std::string& path, const TDrawing& drawing,
                       const DrawingSettings& settings);

// Saves to drawing.FileName and marks the drawing unchanged on success; a failed save keeps
// Changed set.
Error SaveTheFile(TDrawing& drawing, const DrawingSettings& settings);

struct DecodedDrawing {
    TDrawing drawing;  // lists; placement; sheet size only when hasExtension
    DrawingSettings settings;
    bool hasExtension = false;
    // What the chunk area held that could not be read, one sentence each; the drawing is read
    // from everything else.
    std::vector<Error> dropped;
};

// Parses a whole drawing file held in memory into `out`, which must be fresh. Every count
// and string length is checked against the bytes left before anything is allocated. A
// failure says what is wrong, without the file name. A damaged chunk area is no failure: what
// could not be read is listed in out.dropped. Without a readable set square chunk the set
// square is at its start-up placement, hidden.
Error DecodeDrawing(const std::uint8_t* data, std::size_t size, DecodedDrawing& out);

// What a reader does with a sheet size no window or output can show (see SheetSideUsable):
// the exporter keeps it (and its outputs refuse it), the window refuses the file.
enum class SheetSizeCheck { Keep, Refuse };

// Reads a drawing file and, only when it was read completely, replaces the drawing's lists
// and placement and the settings; for an older file without the extension block the sheet
// size, eraser width and page count keep their values. On success FileName := path and the
// drawing is unchanged. On failure nothing at all changes and the Error names the file and
// what is wrong. Only a regular file of at most kMaxDrawingFileSize bytes is read; a lack of
// memory is a failure like any other. The chunks the program does not know go into
// KeptChunks; what of the chunk area had to be dropped goes into *dropped (emptied first),
// and the read still succeeds: the caller tells the user, and the drawing no longer matches
// its file.
//
// With a progress, the work is counted in the file's bytes as they are read and decoded,
// then in the elements as the sheets' index takes them in; told to stop, the read returns
// ErrorCode::Cancelled and nothing at all changes.
Error ReadDrawingFile(const std::string& path, TDrawing& drawing, DrawingSettings& settings,
                      SheetSizeCheck sheetCheck = SheetSizeCheck::Keep,
                      Progress* progress = nullptr, std::vector<Error>* dropped = nullptr);

// The same for a drawing file held in memory; `name` stands for the file in messages.
// FileName is emptied; the caller names the drawing.
Error ReadDrawingBytes(const std::uint8_t* data, std::size_t size, const std::string& name,
                       TDrawing& drawing, DrawingSettings& settings,
                       SheetSizeCheck sheetCheck = SheetSizeCheck::Keep,
                       std::vector<Error>* dropped = nullptr);

// The largest drawing file that is read: 1 GiB, about twelve million elements, sixty times
// the largest drawings the program is measured with. Anything larger is no drawing anyone
// made with it, and reading it would need as much memory again for the lists.
inline constexpr std::uint64_t kMaxDrawingFileSize = std::uint64_t{1} << 30;

}  // namespace tervasko
