#pragma once

#include <cstdint>

#include "document/drawmodel.h"
#include "tools/compass.h"
#include "tools/curves.h"
#include "tools/elements.h"
#include "tools/handzoom.h"
#include "tools/pencil.h"
#include "tools/protractor.h"
#include "tools/ruler.h"
#include "tools/texts.h"

namespace tervasko {

// The state of the pointer tools between events: the facts of the last press that every tool
// reads, and one object per tool holding the flags and values of its gesture in progress. A
// press raises a flag, the matching release clears it. Pixel positions are stack pixels (from
// the top-left corner of the first sheet); millimetre values are drawing millimetres unless
// said otherwise.
struct GestureState {
    // The sheet under the pointer at the last press and its top in stack pixels.
    std::int32_t PointerSheet = 0, PointerSheetTop = 0;
    // Anchor or previous point of a free-hand, curve, drag or pan gesture. One anchor serves
    // all of them.
    std::int32_t AnchorX = 0, AnchorY = 0;
    // The text or element highlighted under the pointer; texts and elements share it.
    HoverState Hover;
    // The guide segment of a line along or across the ruler or of a degree mark.
    GuideSegment Guide;

    RulerTool Ruler;
    ProtractorTool Protractor;
    CompassTool Compass;
    StrokeTool Stroke;
    CurveTool Curve;
    TextTool Text;
    ElementTool Elements;
    PanTool Pan;

    // A gesture that holds the pointer is under way (an instrument slid, turned or spread, a
    // line, mark or arc being drawn, a stroke, an element or text carried, the sheets
    // panned): the history refuses to move meanwhile.
    bool Busy() const;
    // Busy, or a curve waiting for its next click.
    bool Pending() const;
    // Drops every gesture and highlight without touching the drawing or the screen: the
    // drawing they were made on is gone or has moved under them (a new or loaded drawing,
    // a step taken back).
    void Forget();

    // The protractor and the compass record the pointer in one place: a span or arc of the
    // compass moves the point a protractor drag measures from.
    void NoteInstrumentPointer(std::int32_t x, std::int32_t y) {
        Protractor.Drag.PressX = x;
        Protractor.Drag.PressY = y;
    }

    // What a drag may change, as it was when the drag began: Escape puts it back.
    struct Start {
        InstrumentPlacement Placement;
        double ZirkelAngle = 45;
        std::uint32_t ElementCount = 0;
    } AtStart;
};

}  // namespace tervasko
