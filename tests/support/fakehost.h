#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "document/drawingedit.h"
#include "platform/recordingcanvas.h"
#include "tools/handzoom.h"
#include "tools/snapindex.h"
#include "tools/toolhost.h"
#include "view/viewgeometry.h"

namespace tervasko::testing {

// The window as the instruments and the drawing tools see it: A4 sheets on a 96 dpi screen at
// the zoom of the field, a scroll box whose bars limit their positions as real ones do, a text
// dialog that answers as the test says, "Fangen" and Shift, and a record of what the tools ask
// of it: repaints, the fields, the steps of the history, the measure and the readout.
class FakeHost : public ToolHost {
public:
    std::set<ToolItem> checked{ToolItem::Lineal1, ToolItem::LinealVerschieben1};
    int zoom = 100;
    int pages = 1;
    Color penColor = 0x123456;
    double penWidth = 0.5, eraserWidth = 2;

    int paints = 0, updateEds = 0, catchUps = 0, drawnAhead = 0;
    RecordingCanvas screen;  // the paint box, in paint-box pixels
    int refreshedSheet = -1;
    RecordingCanvas sheet;  // what the last single-sheet refresh drew on the sheet buffer

    // The steps handed to the history, by name; `changes` counts them.
    std::vector<std::string> steps;
    int changes = 0;
    Measurement measured;
    std::optional<PointD> readout;  // the status bar's pointer position, mm

    // The text dialog: the memo and the chooser persist; `answer` decides OK or Cancel.
    TextInput dialog;
    std::function<void(TextInput&)> typing;  // what the user does in the open dialog
    bool answer = true;
    std::vector<std::optional<TextInput>> presets;  // per use

    int h = 0, v = 0;
    int boxWidth = 651, boxHeight = 410;
    bool suspended = false;
    std::vector<bool> suspendedWhenScrolled;

    // "Fangen", the Shift key and the drawing whose points catch.
    bool snapOn = false, shiftHeld = false;
    TDrawing* snapDrawing = nullptr;
    SnapIndex snapIndex;

    void choose(ToolItem tool, ToolItem mode) { checked = {tool, mode}; }
    void choose(std::initializer_list<ToolItem> items) { checked = items; }

    ViewGeometry geometry() const {
        return ViewGeometry::Compute(zoom, 96, 210 / MmPerInch, 297 / MmPerInch);
    }

    bool Checked(ToolItem item) const override { return checked.count(item) > 0; }
    double PixelsPerMm() const override { return geometry().PixelsPerMm; }
    int SheetHeightPx() const override { return geometry().SheetHeightPx; }
    Color PenColor() const override { return penColor; }
    double PenWidth() const override { return penWidth; }
    double EraserWidth() const override { return eraserWidth; }
    void Paint() override {
        if (suspended) return;
        ++paints;
        screen.clear();
        screen.setPen(kBlack, 1);
    }
    void UpdateEds() override { ++updateEds; }
    Canvas& ScreenCanvas() override { return screen; }
    void SingleSheetRefresh(int index, const std::function<void(Canvas&)>& preview) override {
        refreshedSheet = index;
        sheet.clear();
        preview(sheet);
    }
    void ShowPointerPosition(PointD mm) override { readout = mm; }
    void DrawnAheadOfSheets() override { ++drawnAhead; }
    void SheetsCatchUp() override { ++catchUps; }

    bool AskText(const TextInput* preset, TextInput& result) override {
        presets.push_back(preset ? std::optional<TextInput>(*preset) : std::nullopt);
        if (preset) dialog = *preset;
        if (typing) typing(dialog);
        if (!answer) return false;
        result = dialog;
        return true;
    }

    int Zoom() const override { return zoom; }
    void SetZoom(double percent) override {
        const int z = ZoomFieldValue(percent);
        if (z == zoom) return;
        zoom = z;
        Paint();  // the field's change event
    }
    ScrollState Scroll() const override {
        const IntPoint extent = geometry().PaintBoxSize(pages);
        return {h, v, extent.x, extent.y, boxWidth, boxHeight};
    }
    // The bars keep a position within 0 .. extent - box size.
    void SetScrollPosition(int nh, int nv) override {
        const ScrollState s = Scroll();
        h = std::clamp(nh, 0, std::max(0, s.hRange - boxWidth));
        v = std::clamp(nv, 0, std::max(0, s.vRange - boxHeight));
        suspendedWhenScrolled.push_back(suspended);
    }
    void SetPaintSuspended(bool on) override { suspended = on; }

    bool SnapOn() const override { return snapOn; }
    bool ShiftHeld() const override { return shiftHeld; }
    std::optional<PointD> FindSnapPoint(PointD mm, double radiusMm) override {
        if (!snapDrawing) return std::nullopt;
        return snapIndex.Find(*snapDrawing, mm, radiusMm);
    }
    void RecordEdit(std::unique_ptr<DrawingEdit>, const char* step) override {
        steps.emplace_back(step);
        ++changes;
    }
    void ShowMeasurement(const Measurement& m) override { measured = m; }
};

}  // namespace tervasko::testing
