#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "document/drawmodel.h"
#include "platform/recordingcanvas.h"
#include "tools/dispatch.h"
#include "tools/handzoom.h"
#include "tools/toolhost.h"
#include "view/viewgeometry.h"

namespace tervasko::tooltest {

// The window as the drawing tools see it: one A4 page on a 96 dpi screen, a zoom field, a
// scroll box whose bars limit their positions as real ones do, and a text dialog that
// answers as the test says. Records what the tools ask of it.
class FakeWindow : public ToolHost {
public:
    std::set<ToolItem> checked;
    int zoom = 100;
    int pages = 1;
    Color penColor = 0x123456;
    double penWidth = 0.1, eraserWidth = 2;

    int paints = 0, changes = 0, changesOnScreen = 0, catchUps = 0;
    RecordingCanvas screen;  // the paint box, in paint-box pixels
    int refreshedSheet = -1;
    RecordingCanvas sheet;  // what the last single-sheet refresh drew on the sheet buffer

    // The text dialog: the memo and the chooser persist; `answer` decides OK or Cancel.
    TextInput dialog;
    std::function<void(TextInput&)> typing;  // what the user does in the open dialog
    bool answer = true;
    std::vector<std::optional<TextInput>> presets;  // per use

    int h = 0, v = 0;
    int boxWidth = 651, boxHeight = 410;
    bool suspended = false;
    std::vector<bool> suspendedWhenScrolled;

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
    void UpdateEds() override {}
    void SetChanged() override { ++changes; }
    Canvas& ScreenCanvas() override { return screen; }
    void SingleSheetRefresh(int index, const std::function<void(Canvas&)>& preview) override {
        refreshedSheet = index;
        sheet.clear();
        preview(sheet);
    }
    void ShowPointerPosition(int, int) override {}

    void SetChangedOnScreen() override { ++changesOnScreen; }
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
};

// Pointer events through the dispatch, in paint-box pixels.
class ToolTest : public ::testing::Test {
protected:
    FakeWindow host;
    TDrawing drawing;
    GestureState g;

    void press(int X, int Y, MouseButton b = MouseButton::Left) {
        PaintBox1MouseDown(host, drawing, g, b, X, Y);
    }
    void move(int X, int Y) { PaintBox1MouseMove(host, drawing, g, X, Y); }
    void release(int X, int Y) { PaintBox1MouseUp(host, drawing, g, MouseButton::Left, X, Y); }
    const TDrawElement& element(std::uint32_t i) { return drawing.Elements.At(i); }
    const TTextElement& text(std::uint32_t i) { return drawing.Texts.At(i); }
    double s() const { return host.PixelsPerMm(); }
};

}  // namespace tervasko::tooltest
