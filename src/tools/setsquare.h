#pragma once

#include "tools/tool.h"
#include "tools/toolparts.h"
#include "view/setsquaregeometry.h"

namespace tervasko {

// The set square's five modes: slide, turn about the zero mark, draw along the long edge,
// draw along the leg nearer to the press, mark a degree of its scale. As with the ruler, no
// mode has a hit zone: a press anywhere starts the gesture.
struct SetSquareTool final : Tool {
    InstrumentDrag Drag;
    // A line along an edge is being drawn: the edge, chosen at the press, and the part of
    // it the pointer has reached.
    bool DrawingAlong = false;
    SetSquareEdge Edge = SetSquareEdge::Long;
    SetSquareSpan Span;
    // A degree mark is being drawn: its direction and its degree, fixed at the press.
    bool MarkingDegree = false;
    double MarkAngle = 0, MarkDegree = 0;

    bool Active() const { return Drag.Active() || DrawingAlong || MarkingDegree; }

    bool Busy() const override { return Active(); }
    void Cancel(ToolHost& host, TDrawing& drawing) override;
    void Forget() override { Drag.End(), DrawingAlong = MarkingDegree = false; }
    bool Measure(const PointerContext& p, Measurement& m) const override;
    bool HoverMeasure(const PointerContext& p, Measurement& m) const override;
    void DrawOverlay(const PointerContext& p) const override;

    void SlidePress(PointerContext& p);
    void SlideMove(PointerContext& p);
    void SlideRelease(PointerContext& p);

    void TurnPress(PointerContext& p);
    void TurnMove(PointerContext& p);
    void TurnRelease(PointerContext& p);

    // Drawing along the long edge or along the nearer leg: the hover dot where the line
    // would begin, the press, the growing line, the release that stores it.
    void LongEdgeHover(PointerContext& p);
    void LegHover(PointerContext& p);
    void LongEdgePress(PointerContext& p);
    void LegPress(PointerContext& p);
    void AlongExtend(PointerContext& p);
    void AlongRelease(PointerContext& p);

    void MarkHover(PointerContext& p);
    void MarkPress(PointerContext& p);
    void MarkExtend(PointerContext& p);
    void MarkRelease(PointerContext& p);

private:
    void alongPress(PointerContext& p, SetSquareEdge edge);
    void hoverDot(PointerContext& p, SetSquareEdge edge);
};

}  // namespace tervasko
