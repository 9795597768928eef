#pragma once

#include <cstdint>

#include "tools/toolparts.h"

namespace tervasko {

struct GestureState;
class ToolHost;
class TDrawing;

// The compass's modes: move, open to a span, swing an arc; and the full circle command.
struct CompassTool {
    InstrumentDrag Drag;  // only slides: the compass turns with the arc it draws
    bool SpanDragging = false, ArcDragging = false, ArcDirectionSet = false;
    // The arc being drawn: its start and end in drawing millimetres, the leg angle at the
    // press, and whether the first turn went clockwise (1) or not (0).
    double ArcStartX = 0, ArcStartY = 0, ArcEndX = 0, ArcEndY = 0, ArcStartAngle = 0;
    std::int32_t ArcClockwise = 0;

    bool Active() const { return Drag.Active() || SpanDragging || ArcDragging; }

    void MovePress(PointerContext& p);
    void MoveMove(PointerContext& p);
    void MoveRelease(PointerContext& p);

    void SpanPress(PointerContext& p);
    void SpanMove(PointerContext& p);
    void SpanRelease(PointerContext& p);

    void ArcHover(PointerContext& p);
    void ArcPress(PointerContext& p);
    void ArcExtend(PointerContext& p);
    void ArcRelease(PointerContext& p);
};

// "Kreis zeichnen": a full circle at the compass on the sheet of the last press.
void AddCompassCircle(ToolHost& host, TDrawing& drawing, const GestureState& g);

}  // namespace tervasko
