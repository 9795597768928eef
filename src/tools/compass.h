#pragma once

#include <cstdint>

#include "tools/tool.h"
#include "tools/toolparts.h"

namespace tervasko {

struct GestureState;
class ToolHost;
class TDrawing;

// The compass's modes: move, open to a span, swing an arc; and the full circle command.
struct CompassTool final : Tool {
    InstrumentDrag Drag;  // only slides: the compass turns with the arc it draws
    bool SpanDragging = false, ArcDragging = false, ArcDirectionSet = false;
    // The span and the leg angle before a span or arc gesture changed them.
    double SpanAtPress = 0, LegAngleAtPress = 0;
    // The arc being drawn: its start and end in drawing millimetres, the leg angle at the
    // press, and whether the first turn went clockwise (1) or not (0).
    double ArcStartX = 0, ArcStartY = 0, ArcEndX = 0, ArcEndY = 0, ArcStartAngle = 0;
    std::int32_t ArcClockwise = 0;

    bool Active() const { return Drag.Active() || SpanDragging || ArcDragging; }

    bool Busy() const override { return Active(); }
    void Cancel(ToolHost& host, TDrawing& drawing) override;
    void Forget() override { Drag.End(), SpanDragging = ArcDragging = ArcDirectionSet = false; }
    bool Measure(const PointerContext& p, Measurement& m) const override;
    bool HoverMeasure(const PointerContext& p, Measurement& m) const override;
    void DrawOverlay(const PointerContext& p) const override;

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
