#pragma once

#include <functional>

#include "platform/canvas.h"

namespace tervasko {

// The items of the tool menu whose check marks are the tool state.
enum class ToolItem {
    Lineal1, LinealVerschieben1, LinealDrehen1, LinealAnLinealentlangzeichnen1,
    LinealQuerzumLinealzeichnen1,
    Winkelmesser1, WinkelmesserVerschieben1, WinkelmesserDrehen1,
    WinkelmesserGradzahlmitBleistiftmarkieren1,
    Zirkel1, ZirkelVerschieben1, ZirkelZirkelspanne1, ZirkelKreisbogenzeichnen1,
    Kurven1, Bleistift1, Radierer1,
    Text1, TextTexthinzufgen1, TextTextndern1, TextTextlschen1, TextVerschieben1,
    Objekte1, ObjekteLschen1, ObjekteVerschieben1,
    Hand1, Zoom1,
};

enum class MouseButton { Left, Right, Middle };

// What the tools need of the window, and nothing more: the check marks, the pen settings
// in their fields, the paint cycle and the ways to draw over it. The Qt window implements
// it; tests use a fake.
class ToolHost {
public:
    virtual ~ToolHost() = default;

    virtual bool Checked(ToolItem item) const = 0;

    virtual double PixelsPerMm() const = 0;
    virtual int SheetHeightPx() const = 0;
    virtual Color PenColor() const = 0;  // the swatch
    virtual double PenWidth() const = 0;  // mm
    virtual double EraserWidth() const = 0;  // mm

    // The paint cycle: every sheet afresh; removes what was drawn over the picture.
    virtual void Paint() = 0;
    // The numeric fields take the placement.
    virtual void UpdateEds() = 0;
    // The drawing changed (the title shows a star).
    virtual void SetChanged() = 0;
    // The paint box's own canvas, in paint-box pixels: what is drawn stays over the picture
    // until the next cycle. Its pen persists between uses; a cycle resets it to black, 1 px.
    virtual Canvas& ScreenCanvas() = 0;
    // Redraws sheet `sheet` alone into the sheet buffer, lets `preview` draw on it in
    // sheet-buffer pixels and shows it at its place, all without flicker.
    virtual void SingleSheetRefresh(int sheet, const std::function<void(Canvas&)>& preview) = 0;
    // The pointer readout of the status bar (paint-box pixels).
    virtual void ShowPointerPosition(int x, int y) = 0;
};

}  // namespace tervasko
