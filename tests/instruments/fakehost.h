#pragma once

#include <set>

#include "platform/recordingcanvas.h"
#include "tools/snapindex.h"
#include "tools/toolhost.h"

namespace tervasko::testing {

// The window as the tools see it, at zoom 100 on a 96 dpi screen with A4 sheets; counts
// the screen updates the tools ask for.
class FakeHost : public ToolHost {
public:
    std::set<ToolItem> checked{ToolItem::Lineal1, ToolItem::LinealVerschieben1};
    double pixelsPerMm = 100 * (96 / 25.39995) / 100;
    int sheetHeightPx = 1123;
    Color penColor = 0x123456;
    double penWidth = 0.5;
    int paints = 0, updateEds = 0, changes = 0;
    RecordingCanvas screen;

    void choose(ToolItem tool, ToolItem mode) { checked = {tool, mode}; }

    bool Checked(ToolItem item) const override { return checked.count(item) > 0; }
    double PixelsPerMm() const override { return pixelsPerMm; }
    int SheetHeightPx() const override { return sheetHeightPx; }
    Color PenColor() const override { return penColor; }
    double PenWidth() const override { return penWidth; }
    double EraserWidth() const override { return 2; }
    void Paint() override {
        ++paints;
        screen.clear();
        screen.setPen(kBlack, 1);
    }
    void UpdateEds() override { ++updateEds; }
    void SetChanged() override { ++changes; }
    Canvas& ScreenCanvas() override { return screen; }
    void SingleSheetRefresh(int, const std::function<void(Canvas&)>& preview) override {
        RecordingCanvas sheet;
        preview(sheet);
    }
    void ShowPointerPosition(int, int) override {}
    Measurement measured;
    // "Fangen", the Shift key and the drawing whose points catch.
    bool snapOn = false, shiftHeld = false;
    TDrawing* snapDrawing = nullptr;
    SnapIndex snapIndex;
    bool SnapOn() const override { return snapOn; }
    bool ShiftHeld() const override { return shiftHeld; }
    std::optional<PointD> FindSnapPoint(PointD mm, double radiusMm) override {
        if (!snapDrawing) return std::nullopt;
        return snapIndex.Find(*snapDrawing, mm, radiusMm);
    }
    void ShowMeasurement(const Measurement& m) override { measured = m; }
};

}  // namespace tervasko::testing
