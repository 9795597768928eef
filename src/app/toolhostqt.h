#pragma once

#include <memory>

#include "tools/toolhost.h"

namespace tervasko {

class TMainForm;
class ScreenOverlay;
class MeasureField;

// The main window as the tools see it.
class TMainToolHost : public ToolHost {
public:
    explicit TMainToolHost(TMainForm& form);
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
    TMainForm& form_;
    std::unique_ptr<ScreenOverlay> screen_;
    std::unique_ptr<MeasureField> measure_;
};

}  // namespace tervasko
