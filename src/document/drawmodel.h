#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "document/drawelement.h"
#include "document/dynaarray.h"
#include "document/elementindex.h"
#include "platform/numeric.h"

namespace tervasko {

// The largest sheet side (mm) that the window shows and output takes: a bit more than 5
// metres would exceed what a PDF page may measure (200 inches). Drawing files may hold any
// size and keep it.
inline constexpr double kMaxSheetMm = 5000;
// The smallest: a sheet below a millimetre would come out as an SVG of no size, a picture of
// one pixel. The page setup offers nothing smaller either.
inline constexpr double kMinSheetMm = 1;

// Whether a sheet side in inches is a number from kMinSheetMm to kMaxSheetMm.
inline bool SheetSideUsable(double inches) {
    const double mm = inches * MmPerInch;
    return mm >= kMinSheetMm && mm <= kMaxSheetMm;  // false for NaN
}

// One text element. Text and FontName are heap blocks owned by the record alone; whoever
// removes the record or replaces a string frees the old block (FreeTextStrings).
struct TTextElement {
    double X1, Y1;          // top-left corner, mm
    double X2, Y2;          // bottom-right corner as last measured by the renderer, mm
    char16_t* Text;         // UTF-16, zero-terminated, may hold line breaks
    char* FontName;         // 8-bit (Windows-1252), zero-terminated
    std::int32_t FontSize;  // points
    std::int32_t Color;     // 0x00BBGGRR
    std::uint8_t Charset;   // Windows character set number
    std::uint8_t Pitch;     // 0 default, 1 variable, 2 fixed
    std::uint8_t Style;     // bits: 1 bold, 2 italic, 4 underline, 8 strikeout
};

enum TextStyleBits : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A fresh zero-filled block of length + 1 code units holding the text and its terminating
// zero. nullptr only when the heap is exhausted.
char16_t* NewWideBuffer(std::u16string_view text);
// The same for an 8-bit font name: length + 1 bytes.
char* NewAnsiBuffer(std::string_view text);
void FreeWideBuffer(char16_t* block);
void FreeAnsiBuffer(char* block);

// Length of a zero-terminated text block; 0 for nullptr.
std::size_t WideLength(const char16_t* text);
inline std::u16string_view WideView(const char16_t* text) {
    return {text ? text : u"", WideLength(text)};
}
inline std::string_view AnsiView(const char* text) {
    return text ? std::string_view(text) : std::string_view();
}

// Frees both strings of a text record and clears the pointers.
void FreeTextStrings(TTextElement& text);

// Where the ruler, protractor and compass lie. Sheet-relative millimetres and degrees
// (clockwise on screen); every sheet shows the instruments at the same place.
struct InstrumentPlacement {
    double LinealX = 10, LinealY = 90, LinealAngle = 0;   // reference corner, rotation
    double WinkelX = 50, WinkelY = 50, WinkelAngle = 0;   // centre, rotation
    double ZirkelX = 150, ZirkelY = 50, ZirkelSpan = 40;  // needle point, radius
    // The set square: its zero mark (the middle of the long edge) and the direction from it
    // to the +70 mm end. Not in the fixed part of the drawing file (see the chunk area).
    double GeoX = 105, GeoY = 160, GeoAngle = 0;
    bool operator==(const InstrumentPlacement&) const = default;
};

// The drawing: both record lists, the sheet size and the instruments. The values that live
// in the window's controls (pen, zoom, page count, view switches) travel in DrawingSettings.
class TDrawing {
public:
    TDrawing() { Elements.SetObserver(&Index); }
    ~TDrawing();
    TDrawing(const TDrawing&) = delete;
    TDrawing& operator=(const TDrawing&) = delete;

    TDrawElement* CurElement = nullptr;
    TTextElement* CurText = nullptr;
    TDynaArray<TDrawElement> Elements{&CurElement};
    TDynaArray<TTextElement> Texts{&CurText};
    // Which elements lie near which sheet, following every change of Elements.
    ElementIndex Index{Elements};

    double PageWidthInch = 210 / MmPerInch;  // A4 portrait
    double PageHeightInch = 297 / MmPerInch;
    InstrumentPlacement Placement;
    double WinkelDiameter = 80;  // mm, fixed
    double ZirkelAngle = 45;     // degrees; not stored in the file

    std::string FileName;  // empty = untitled
    // The chunks of the drawing file's chunk area that this program does not know, each
    // whole (tag, length, bytes) and in the file's order: a save writes them back unchanged.
    std::vector<std::uint8_t> KeptChunks;
    // The worksheet beneath the sheets: a PDF file's bytes, exactly as they were given (the
    // chunk "PDF1"); page n lies beneath sheet n. Shared and never changed, so the history
    // and the pictures hold it without copies; null without a worksheet.
    std::shared_ptr<const std::vector<std::uint8_t>> Worksheet;
    bool Changed = false;

    double SheetHeightMm() const { return PageHeightInch * MmPerInch; }

    // The elements, in list order, that may reach the stripe top..bottom (drawing mm) with
    // half their pen; nullptr when every element must be taken (see ElementIndex::Near).
    const std::vector<std::uint32_t>* ElementsNear(double top, double bottom) {
        Index.Sync(SheetHeightMm());
        return Index.Near(top, bottom);
    }

    // The extent of every element, in list order (see ElementIndex::Box), brought up to date.
    const std::vector<ElementIndex::Box>& ElementBoxes() {
        Index.Sync(SheetHeightMm());
        return Index.Boxes();
    }

    // The sheet band y lies in, and the elements that may come within ElementIndex::kReachMm
    // of a point of it (see ElementIndex::BandAt and InBand).
    std::optional<int> BandAt(double y) {
        Index.Sync(SheetHeightMm());
        return Index.BandAt(y);
    }
    const std::vector<std::uint32_t>& ElementsInBand(int band) {
        Index.Sync(SheetHeightMm());
        return Index.InBand(band);
    }

    // Frees every text's strings, empties both lists, forgets the file name, the kept
    // chunks and the worksheet and marks the drawing unchanged. Sheet size, placement and the
    // control values stay as they are.
    void NewAll();

    // Exchanges both record lists with those of `other`; each drawing's CurElement and
    // CurText then point into its own new lists, and each index follows its records. A file
    // is read into a fresh drawing and swapped in only once it was read completely.
    void SwapLists(TDrawing& other);

    // Appends an element or text and marks the drawing changed; nullptr when memory ran out.
    TDrawElement* AppendElement();
    TTextElement* AppendText();

private:
    void freeAllTextStrings();
};

}  // namespace tervasko
