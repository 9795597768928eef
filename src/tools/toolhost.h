#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "document/drawingedit.h"
#include "platform/canvas.h"
#include "tools/measure.h"

namespace tervasko {

// The items of the tool menu whose check marks are the tool state.
enum class ToolItem {
    Lineal1,
    LinealVerschieben1,
    LinealDrehen1,
    LinealAnLinealentlangzeichnen1,
    LinealQuerzumLinealzeichnen1,
    Winkelmesser1,
    WinkelmesserVerschieben1,
    WinkelmesserDrehen1,
    WinkelmesserGradzahlmitBleistiftmarkieren1,
    Zirkel1,
    ZirkelVerschieben1,
    ZirkelZirkelspanne1,
    ZirkelKreisbogenzeichnen1,
    Kurven1,
    Bleistift1,
    Radierer1,
    Text1,
    TextTexthinzufgen1,
    TextTextndern1,
    TextTextlschen1,
    TextVerschieben1,
    Objekte1,
    ObjekteLschen1,
    ObjekteVerschieben1,
    Hand1,
    Zoom1,
    Geodreieck1,
    GeodreieckVerschieben1,
    GeodreieckDrehen1,
    GeodreieckAnderlangenKanteentlangzeichnen1,
    GeodreieckAndenkurzenKantenentlangzeichnen1,
    GeodreieckWinkelmarkieren1,
};
// The last item: the enumeration runs from Lineal1 to it without gaps.
inline constexpr ToolItem kLastToolItem = ToolItem::GeodreieckWinkelmarkieren1;

enum class MouseButton { Left, Right, Middle };

// The system's window-text colour as a colour value of the drawing: the text colour of the
// font chooser until the user picks another. Stored as such in the drawing.
inline constexpr std::int32_t kClWindowText = static_cast<std::int32_t>(0x80000008u);

// A text font as the font chooser holds it and as a text record stores it. The defaults are
// the chooser's font at start: Arial, 10 points, regular, the window-text colour, the ANSI
// character set and the default pitch. New texts store what the chooser holds; a face the
// user picks gets the default character set (1) and the default pitch, or fixed pitch for a
// fixed-pitch face (see the window's chooser).
struct TextFontChoice {
    std::string face = "Arial";  // UTF-8
    std::int32_t size = 10;      // points
    std::int32_t color = kClWindowText;
    std::uint8_t charset = 0;  // Windows character set number; 0 = ANSI
    std::uint8_t pitch = 0;    // 0 default, 1 variable, 2 fixed
    std::uint8_t style = 0;    // bits: 1 bold, 2 italic, 4 underline, 8 strikeout
    bool operator==(const TextFontChoice&) const = default;
};

// What the text dialog yields: the memo's text and the chooser's font.
struct TextInput {
    std::u16string text;
    TextFontChoice font;
};

// The scroll box around the paint box. Positions are the first visible paint-box pixel;
// a range is the paint box's extent; the box size is the scroll box's outer size.
struct ScrollState {
    int h = 0, v = 0;
    int hRange = 0, vRange = 0;
    int boxWidth = 0, boxHeight = 0;
};

// What the tools need of the window, and nothing more: the check marks, the pen settings
// in their fields, the paint cycle and the ways to draw over it. The Qt window implements
// it; tests use a fake.
class ToolHost {
public:
    virtual ~ToolHost() = default;

    virtual bool Checked(ToolItem item) const = 0;

    virtual double PixelsPerMm() const = 0;
    virtual int SheetHeightPx() const = 0;
    virtual Color PenColor() const = 0;      // the swatch
    virtual double PenWidth() const = 0;     // mm
    virtual double EraserWidth() const = 0;  // mm

    // The paint cycle: every sheet afresh; removes what was drawn over the picture.
    virtual void Paint() = 0;
    // The numeric fields take the placement.
    virtual void UpdateEds() = 0;
    // The paint box's own canvas, in paint-box pixels: what is drawn stays over the picture
    // until the next cycle. Its pen persists between uses; a cycle resets it to black, 1 px.
    virtual Canvas& ScreenCanvas() = 0;
    // Redraws sheet `sheet` alone into the sheet buffer, lets `preview` draw on it in
    // sheet-buffer pixels and shows it at its place, all without flicker.
    virtual void SingleSheetRefresh(int sheet, const std::function<void(Canvas&)>& preview) = 0;
    // The pointer readout of the status bar: where the pointer is, in drawing millimetres.
    virtual void ShowPointerPosition(PointD mm) = 0;

    // The rest has defaults for hosts of tests that need none of it; the window provides all.

    // A change of the drawing the tool has already drawn on the screen canvas and that wants
    // no cycle now (a pencil segment): the sheets catch up at the next cycle or at
    // SheetsCatchUp, not at every segment, so a long stroke costs the same on any drawing.
    virtual void DrawnAheadOfSheets() {}
    virtual void SheetsCatchUp() {}

    // The text dialog, modal. With a preset, the memo and the font chooser take it first;
    // otherwise both keep what they held. On OK, `result` gets the memo's text and the
    // chooser's current font and the answer is true.
    virtual bool AskText(const TextInput* /*preset*/, TextInput& /*result*/) { return false; }

    // The zoom field (percent). SetZoom hands the field a value, which limits it to its
    // range and rounds it; a change repaints at once (the paint box takes its new size).
    virtual int Zoom() const { return 100; }
    virtual void SetZoom(double /*percent*/) {}

    // The scroll bars limit what they are given to their span.
    virtual ScrollState Scroll() const { return {}; }
    virtual void SetScrollPosition(int /*h*/, int /*v*/) {}
    // While suspended the paint cycle does nothing.
    virtual void SetPaintSuspended(bool /*suspended*/) {}

    // Whether Shift is held now: it suspends the snap for the movement under way.
    virtual bool ShiftHeld() const { return false; }
    // Whether the view menu's snap switch is on.
    virtual bool SnapOn() const { return false; }
    // The snap point of the drawing nearest to `mm` within `radiusMm` (drawing millimetres),
    // if any.
    virtual std::optional<PointD> FindSnapPoint(PointD /*mm*/, double /*radiusMm*/) {
        return std::nullopt;
    }

    // A change of the drawing, already made, that the user can take back as one step;
    // `step` names it in German, as the menus do. This is how a tool reports that it changed
    // the drawing: the changed mark follows the history. Hosts without a history drop it.
    virtual void RecordEdit(std::unique_ptr<DrawingEdit> /*edit*/, const char* /*step*/) {}

    // The measure of the gesture in progress or of what the chosen mode points at, after
    // every pointer event; Kind::None when there is nothing to measure.
    virtual void ShowMeasurement(const Measurement& /*m*/) {}
};

}  // namespace tervasko
