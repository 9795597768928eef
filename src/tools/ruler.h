#pragma once

#include "tools/tool.h"
#include "tools/toolparts.h"

namespace tervasko {

// The ruler's four modes: slide, turn about its zero corner, draw along its graduated edge,
// draw across it. No mode has a hit zone: a press anywhere starts the gesture.
struct RulerTool final : Tool {
    InstrumentDrag Drag;
    bool DrawingAlong = false, DrawingAcross = false;
    // Foot of the pointer on the edge line, where a line across begins.
    double FootX = 0, FootY = 0;

    bool Active() const { return Drag.Active() || DrawingAlong || DrawingAcross; }

    bool Busy() const override { return Active(); }
    void Cancel(ToolHost& host, TDrawing& drawing) override;
    void Forget() override { Drag.End(), DrawingAlong = DrawingAcross = false; }
    bool Measure(const PointerContext& p, Measurement& m) const override;
    bool HoverMeasure(const PointerContext& p, Measurement& m) const override;
    void DrawOverlay(const PointerContext& p) const override;

    void SlidePress(PointerContext& p);
    void SlideMove(PointerContext& p);
    void SlideRelease(PointerContext& p);

    void TurnPress(PointerContext& p);
    void TurnMove(PointerContext& p);
    void TurnRelease(PointerContext& p);

    // Drawing along: the hover dot while the mode is chosen, the growing segment while
    // drawing.
    void AlongHoverOrExtend(PointerContext& p);
    void AlongPress(PointerContext& p);
    void AlongRelease(PointerContext& p);

    void AcrossHover(PointerContext& p);
    void AcrossPress(PointerContext& p);
    void AcrossExtend(PointerContext& p);
    void AcrossRelease(PointerContext& p);

private:
    void computeFoot(PointerContext& p);
    void acrossBlock(PointerContext& p, bool start);
};

// The guarded guide computation shared with the protractor: along the line through `a`
// with direction `phi`, met by the pointer's line with direction `psi`; starts the range
// (start) or widens it, and stores the segment; falls back to the vertical at fallbackX
// through the pointer's y on an arithmetic error. With `catching`, a snap point near the
// pointer's foot on the line takes the pointer's place.
void GuideBlock(PointerContext& p, PointD a, double phi, double psi, double fallbackX, bool start,
                bool catching = false);

// Adds the guide segment as a line; shared by the ruler's lines and the protractor's marks.
void AddGuideLine(PointerContext& p, const char* step);

}  // namespace tervasko
