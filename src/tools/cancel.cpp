#include "tools/cancel.h"

namespace tervasko {
namespace {

bool dragging(const GestureState& g) {
    return g.Stroking || g.TextDragging || g.ElementDragging || g.Panning || g.LinealMoving ||
           g.LinealTurning || g.DrawingAlong || g.DrawingAcross || g.WinkelMoving ||
           g.WinkelTurning || g.MarkingDegree || g.ZirkelMoving || g.SpanDragging || g.ArcDragging;
}

bool movesInstruments(const GestureState& g) {
    return g.LinealMoving || g.LinealTurning || g.WinkelMoving || g.WinkelTurning ||
           g.ZirkelMoving || g.SpanDragging || g.ArcDragging;
}

}  // namespace

bool GestureInProgress(const GestureState& g) {
    return dragging(g) || g.CurveAwaitEnd || g.CurveAwaitControl1 || g.CurveAwaitControl2;
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
    if (g.Stroking) {
        // The stroke's segments are the elements appended since its press.
        while (drawing.Elements.Count() > g.AtStart.ElementCount)
            drawing.Elements.Delete(static_cast<std::int32_t>(drawing.Elements.Count()) - 1);
    }
    g.Stroking = g.TextDragging = g.ElementDragging = g.Panning = false;
    g.LinealMoving = g.LinealTurning = g.DrawingAlong = g.DrawingAcross = false;
    g.WinkelMoving = g.WinkelTurning = g.MarkingDegree = false;
    g.ZirkelMoving = g.SpanDragging = g.ArcDragging = g.ArcDirectionSet = false;
    g.CurveAwaitEnd = g.CurveAwaitControl1 = g.CurveAwaitControl2 = false;
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
