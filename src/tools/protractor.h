#pragma once

#include "tools/toolparts.h"

namespace tervasko {

// The protractor's modes: slide, turn about its centre, mark a degree with the pencil.
struct ProtractorTool {
    // Its press point is also where a degree mark was begun and where a compass span or arc
    // last saw the pointer (GestureState::NoteInstrumentPointer).
    InstrumentDrag Drag;
    bool MarkingDegree = false;
    double MarkAngle = 0;  // direction of the degree mark being drawn

    bool Active() const { return Drag.Active() || MarkingDegree; }

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
};

}  // namespace tervasko
