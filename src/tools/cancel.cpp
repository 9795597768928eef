#include "tools/cancel.h"

namespace tervasko {

bool GestureState::Busy() const {
    for (const Tool* tool : Tools())
        if (tool->Busy()) return true;
    return false;
}

bool GestureState::Pending() const {
    for (const Tool* tool : Tools())
        if (tool->Busy() || tool->Waiting()) return true;
    return false;
}

void GestureState::Forget() {
    for (Tool* tool : Tools()) tool->Forget();
    Hover.Found = Hover.Valid = false;
    Guide.Caught.reset();
}

bool GestureInProgress(const GestureState& g) {
    return g.Pending();
}

bool CancelGesture(ToolHost& host, TDrawing& drawing, GestureState& g) {
    if (!g.Pending()) return false;
    for (Tool* tool : g.Tools())
        if (tool->Busy() || tool->Waiting()) tool->Cancel(host, drawing);
    g.Guide.Caught.reset();
    host.SheetsCatchUp();
    host.Paint();
    // The measure goes with the gesture; the next pointer move shows the mode's again.
    host.ShowMeasurement({});
    return true;
}

}  // namespace tervasko
