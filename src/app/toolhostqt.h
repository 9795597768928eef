#pragma once

#include "tools/toolhost.h"

namespace tervasko {

class TMainForm;

// The main window as the tools see it.
class TMainToolHost : public ToolHost {
public:
    explicit TMainToolHost(TMainForm& form) : form_(form) {}

    bool Checked(ToolItem item) const override;
    double PixelsPerMm() const override;
    int SheetHeightPx() const override;
    Color PenColor() const override;
    double PenWidth() const override;
    double EraserWidth() const override;
    void Paint() override;
    void UpdateEds() override;
    void SetChanged() override;
    Canvas& ScreenCanvas() override;
    void SingleSheetRefresh(int sheet, const std::function<void(Canvas&)>& preview) override;
    void ShowPointerPosition(int x, int y) override;

private:
    TMainForm& form_;
};

}  // namespace tervasko
