#pragma once

#include "tools/tool.h"
#include "tools/toolparts.h"

namespace tervasko {

// The protractor's modes: slide, turn about its centre, mark a degree with the pencil.
// Its drags measure from the instrument pointer the protractor and the compass share
// (GestureState::InstrPointerX/Y): a compass span or arc moves the point a protractor drag
// measures from.
struct ProtractorTool final : Tool {
    InstrumentDrag Drag;
    bool MarkingDegree = false;
    double MarkAngle = 0;  // direction of the degree mark being drawn

    bool Active() const { return Drag.Active() || MarkingDegree; }

    bool Busy() const override { return Active(); }
    void Cancel(ToolHost& host, TDrawing& drawing) override;
    void Forget() override { Drag.End(), MarkingDegree = false; }
    bool Measure(const PointerContext& p, Measurement& m) const override;
    bool HoverMeasure(const PointerContext& p, Measurement& m) const override;
    void DrawOverlay(const PointerContext& p) const override;

    void SlidePress(PointerContext& p);
    void SlideMove(PointerContext& p);
    void SlideRelease(PointerContext& p);

    void TurnPress(PointerContext& p);
    void TurnMove(PointerContext& p);
    void TurnRelease(PointerContext& p);

    void MarkHover(PointerContext& p);
    void MarkPress(PointerContext& p);
    void MarkExtend(PointerContext& p);
    void MarkRelease(PointerContext& p);

private:
    void markBlock(PointerContext& p, bool start);
    void fromSharedPointer(const PointerContext& p);
};

}  // namespace tervasko
