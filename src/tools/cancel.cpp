#include "tools/cancel.h"

namespace tervasko {
namespace {

bool dragging(const GestureState& g) {
    return g.Stroke.Stroking || g.Text.Dragging || g.Elements.Dragging || g.Pan.Panning ||
           g.Ruler.Active() || g.Protractor.Active() || g.Compass.Active();
}

bool movesInstruments(const GestureState& g) {
    return g.Ruler.Drag.Active() || g.Protractor.Drag.Active() || g.Compass.Active();
}

}  // namespace

bool GestureState::Busy() const {
    return dragging(*this);
}

bool GestureState::Pending() const {
    return Busy() || Curve.Active();
}

void GestureState::Forget() {
    Stroke.Stroking = Text.Dragging = Elements.Dragging = Pan.Panning = false;
    Ruler.Drag.Sliding = Ruler.Drag.Turning = false;
    Ruler.DrawingAlong = Ruler.DrawingAcross = false;
    Protractor.Drag.Sliding = Protractor.Drag.Turning = Protractor.MarkingDegree = false;
    Compass.Drag.Sliding = false;
    Compass.SpanDragging = Compass.ArcDragging = Compass.ArcDirectionSet = false;
    Curve.AwaitEnd = Curve.AwaitControl1 = Curve.AwaitControl2 = false;
    Hover.Found = Hover.Valid = false;
    Guide.Caught.reset();
}

bool GestureInProgress(const GestureState& g) {
    return dragging(g) || g.Curve.Active();
}

void NoteGestureStart(const TDrawing& drawing, GestureState& g) {
    if (dragging(g)) return;
    g.AtStart.Placement = drawing.Placement;
    g.AtStart.ZirkelAngle = drawing.ZirkelAngle;
    g.AtStart.ElementCount = drawing.Elements.Count();
}

bool CancelGesture(ToolHost& host, TDrawing& drawing, GestureState& g) {
    if (!GestureInProgress(g)) return false;
    const bool instruments = movesInstruments(g);
    if (g.Stroke.Stroking) {
        // The stroke's segments are the elements appended since its press.
        while (drawing.Elements.Count() > g.AtStart.ElementCount)
            drawing.Elements.Delete(static_cast<std::int32_t>(drawing.Elements.Count()) - 1);
    }
    g.Stroke.Stroking = g.Text.Dragging = g.Elements.Dragging = g.Pan.Panning = false;
    g.Ruler.Drag.Sliding = g.Ruler.Drag.Turning = false;
    g.Ruler.DrawingAlong = g.Ruler.DrawingAcross = false;
    g.Protractor.Drag.Sliding = g.Protractor.Drag.Turning = g.Protractor.MarkingDegree = false;
    g.Compass.Drag.Sliding = false;
    g.Compass.SpanDragging = g.Compass.ArcDragging = g.Compass.ArcDirectionSet = false;
    g.Curve.AwaitEnd = g.Curve.AwaitControl1 = g.Curve.AwaitControl2 = false;
    if (instruments) {
        drawing.Placement = g.AtStart.Placement;
        drawing.ZirkelAngle = g.AtStart.ZirkelAngle;
        host.UpdateEds();
    }
    host.SheetsCatchUp();
    host.Paint();
    return true;
}

}  // namespace tervasko
