#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "document/drawmodel.h"
#include "platform/error.h"
#include "platform/progress.h"

namespace tervasko {

// Room FormatDxfNumber needs at most: sign, 15 digits, point and four leading zeros
// ("-0.0000123456789012345"), or a mantissa and "E-324".
inline constexpr std::size_t kDxfNumberCapacity = 32;

// A number as CAD programs read it, the same in every locale (no setlocale, no iostreams):
// rounded to 15 significant digits, trailing zeros dropped ("0", "297", "12.5",
// "0.333333333333333"), with a full stop. From 0.00001 up to 15 integer digits the number is
// written plainly; outside that, as mantissa, "E" and exponent, the exponent with a minus
// sign only when negative and without leading zeros ("1E-6", "1.5E20", "-2.5E15").
// Negative zero is written "0" (a CAD program has no use for "-0", and segments meeting at
// 0 and -0 are joined anyway). NaN and infinities also give "0"; the writer never passes them.
// Writes into out (at least kDxfNumberCapacity chars, no terminator) and returns the length.
std::size_t FormatDxfNumber(double value, char* out);
std::string FormatDxfNumber(double value);

// Receives the DXF text in order, in pieces of up to about 64 KiB; returns false to stop.
using DxfSink = std::function<bool(std::string_view chunk)>;

// Writes the whole drawing as a DXF text: CR LF line ends, Windows-1252 texts, millimetres
// with y up and the origin at the bottom-left corner of the last of pageCount sheets. Walks
// both lists with Rewind and Next, which moves CurElement and CurText; changes nothing else.
//
// Elements and texts whose coordinates are not finite numbers (a damaged or hostile file)
// are left out whole, so no "nan" or "inf" reaches the file; a segment whose computed end
// points overflow is left out, and a bulge that overflows makes the segment straight.
// Returns false as soon as the sink refuses a piece or the progress says stop. With a
// progress, every element and text is a unit of it, and the last report comes before the
// last piece goes to the sink.
bool WriteDxf(TDrawing& drawing, int pageCount, const DxfSink& sink, Progress* progress = nullptr);

// The same text in one string.
std::string DxfText(TDrawing& drawing, int pageCount);

// About how many bytes WriteDxf writes for the drawing, worked out from the number of
// elements of each kind and the texts' lengths without formatting anything: every arc and
// circle takes some 14 to 20 KB.
std::uint64_t EstimateDxfSize(const TDrawing& drawing);

// The bytes free to this user on the file system that holds `folder`; nullopt when the
// system cannot tell.
using FreeSpaceQuery = std::function<std::optional<std::uint64_t>(const std::string& folder)>;

// Where savedxfArc learns the free space; an empty query puts back the system's
// (std::filesystem::space). Returns the query it replaces. For tests.
FreeSpaceQuery SetDxfFreeSpaceQuery(FreeSpaceQuery query);

// Creates or replaces fileName with the DXF text of the drawing. The file is written beside
// the target under a temporary name and renamed over it only when complete, so a failure
// never leaves a partial file and never destroys an existing one. A failure names the file
// and the system's reason, e.g. `Cannot create "/x/a.dxf": No such file or directory` or
// `Cannot write "a.dxf": No space left on device`. Before anything is written, the size
// the file would take (EstimateDxfSize) is held against the free space of its folder: when
// it does not fit, nothing is written and the failure (NotEnoughSpace) names both sizes.
// Told to stop by the progress, it returns
// ErrorCode::Cancelled and leaves no file and no temporary file, and an old one as it was.
Error savedxfArc(const std::string& fileName, TDrawing& drawing, int pageCount,
                 Progress* progress = nullptr);

}  // namespace tervasko
