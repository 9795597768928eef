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
#include "tools/setsquare.h"
#include "tools/texts.h"
#include "tools/touch.h"

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

    // The pointer a protractor drag measures from, noted by the protractor's presses and
    // by every step of a compass span or arc (stack pixels).
    std::int32_t InstrPointerX = 0, InstrPointerY = 0;

    // The tools, each holding the flags and values of its own gesture. AnyTool lists them
    // for the questions asked of every tool; a new tool is one member and one entry there.
    RulerTool Ruler;
    ProtractorTool Protractor;
    CompassTool Compass;
    SetSquareTool SetSquare;
    StrokeTool Stroke;
    CurveTool Curve;
    TextTool Text;
    ElementTool Elements;
    PanTool Pan;
    TouchTool Touch;

    // Asks `ask` of every tool in this order until it answers true; true when one did. Each
    // tool is handed as its own type, so the questions cost a direct call, not a lookup.
    template <class Ask>
    bool AnyTool(Ask&& ask) {
        return ask(Ruler) || ask(Protractor) || ask(Compass) || ask(SetSquare) || ask(Stroke) ||
               ask(Curve) || ask(Text) || ask(Elements) || ask(Pan) || ask(Touch);
    }
    template <class Ask>
    bool AnyTool(Ask&& ask) const {
        return const_cast<GestureState&>(*this).AnyTool(
            [&](const auto& tool) { return ask(tool); });
    }

    // A gesture that holds the pointer is under way (an instrument slid, turned or spread, a
    // line, mark or arc being drawn, a stroke, an element or text carried, the sheets
    // panned, fingers holding an instrument or moving the view): the history refuses to move
    // meanwhile.
    bool Busy() const;
    // Busy, or a curve waiting for its next click.
    bool Pending() const;
    // Drops every gesture and highlight without touching the drawing or the screen: the
    // drawing they were made on is gone or has moved under them (a new or loaded drawing,
    // a step taken back).
    void Forget();

    void NoteInstrumentPointer(std::int32_t x, std::int32_t y) {
        InstrPointerX = x;
        InstrPointerY = y;
    }
};

}  // namespace tervasko
