#pragma once

#include <functional>
#include <memory>

#include "tools/toolhost.h"

class QScrollArea;
class QStatusBar;
class QWidget;

namespace tervasko {

class DrawingSession;
class SheetView;
class ScreenOverlay;
class MeasureField;

// The window as the tools' host needs it: the session, the view and the widgets the tools
// reach, and the window's own work they ask for.
struct ToolWindow {
    DrawingSession* Session = nullptr;
    SheetView* View = nullptr;
    QWidget* PaintBox1 = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QStatusBar* StatusBar = nullptr;
    std::function<void()> PaintBox1Paint;      // the paint cycle
    std::function<void()> UpdateEds;           // the numeric fields take the placement
    std::function<void()> DrawnAheadOfSheets;  // a pencil segment is on the screen already
    std::function<void()> CatchUpSheets;
    std::function<void(PointD mm)> ShowPointerPosition;
    std::function<bool(const TextInput* preset, TextInput& result)> AskText;
};

// The main window as the tools see it.
class TMainToolHost : public ToolHost {
public:
    explicit TMainToolHost(ToolWindow window);
    ~TMainToolHost() override;

    bool Checked(ToolItem item) const override;
    double PixelsPerMm() const override;
    int SheetHeightPx() const override;
    Color PenColor() const override;
    double PenWidth() const override;
    double EraserWidth() const override;
    void Paint() override;
    void UpdateEds() override;
    Canvas& ScreenCanvas() override;
    void SingleSheetRefresh(int sheet, const std::function<void(Canvas&)>& preview) override;
    void ShowPointerPosition(PointD mm) override;
    void DrawnAheadOfSheets() override;
    void SheetsCatchUp() override;
    bool AskText(const TextInput* preset, TextInput& result) override;
    int Zoom() const override;
    void SetZoom(double percent) override;
    ScrollState Scroll() const override;
    void SetScrollPosition(int h, int v) override;
    void SetPaintSuspended(bool suspended) override;
    void RecordEdit(std::unique_ptr<DrawingEdit> edit, const char* step) override;
    void ShowMeasurement(const Measurement& m) override;
    bool ShiftHeld() const override;
    bool SnapOn() const override;
    std::optional<PointD> FindSnapPoint(PointD mm, double radiusMm) override;

private:
    ToolWindow form_;
    std::unique_ptr<ScreenOverlay> screen_;
    std::unique_ptr<MeasureField> measure_;
};

}  // namespace tervasko
