#include "tools/cancel.h"

namespace tervasko {

bool GestureState::Busy() const {
    return AnyTool([](const auto& tool) { return tool.Busy(); });
}

bool GestureState::Pending() const {
    return AnyTool([](const auto& tool) { return tool.Busy() || tool.Waiting(); });
}

void GestureState::Forget() {
    AnyTool([](Tool& tool) {
        tool.Forget();
        return false;
    });
    Hover.Found = Hover.Valid = false;
    Guide.Caught.reset();
}

bool GestureInProgress(const GestureState& g) {
    return g.Pending();
}

bool CancelGesture(ToolHost& host, TDrawing& drawing, GestureState& g) {
    if (!g.Pending()) return false;
    g.AnyTool([&](Tool& tool) {
        if (tool.Busy() || tool.Waiting()) tool.Cancel(host, drawing);
        return false;
    });
    g.Guide.Caught.reset();
    host.SheetsCatchUp();
    host.Paint();
    // The measure goes with the gesture; the next pointer move shows the mode's again.
    host.ShowMeasurement({});
    return true;
}

}  // namespace tervasko
