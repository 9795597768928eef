#pragma once

#include <cstdint>

#include "document/drawmodel.h"

namespace tervasko {

// The state of the pointer tools between events: the sheet of the last press, and the flags
// and values of the gesture in progress. A press raises a flag, the matching release clears
// it. Pixel positions are stack pixels (from the top-left corner of the first sheet);
// millimetre values are drawing millimetres unless said otherwise.
struct GestureState {
    std::int32_t PointerSheet = 0, PointerSheetTop = 0;

    std::int32_t AnchorX = 0, AnchorY = 0;
    bool Stroking = false;
    std::uint32_t StrokeFirstElement = 0;  // the first segment of the stroke in progress
    bool CurveAwaitEnd = false, CurveAwaitControl1 = false, CurveAwaitControl2 = false;
    std::int32_t CurveEndX = 0, CurveEndY = 0, CurveCtrlX = 0, CurveCtrlY = 0;
    // The same three points in drawing millimetres, each taken at its own click: a change of
    // zoom or scroll between the clicks leaves the points already given where they were.
    double CurveStartMmX = 0, CurveStartMmY = 0, CurveEndMmX = 0, CurveEndMmY = 0;
    double CurveCtrlMmX = 0, CurveCtrlMmY = 0;
    bool TextDragging = false;
    bool ElementDragging = false;
    bool HoverFound = false, HoverValid = false;
    std::int32_t HoverIndex = 0;
    // Which list HoverIndex counts in. Texts and elements share the hover fields; without
    // this a mode switched by keyboard, with no pointer move since, would let the text
    // tools act on an element's index or the other way round.
    enum class HoverList : std::uint8_t { None, Texts, Elements };
    HoverList HoverKind = HoverList::None;
    bool Panning = false;

    // Ruler.
    bool LinealMoving = false, LinealTurning = false, DrawingAlong = false, DrawingAcross = false;
    std::int32_t LinealPressX = 0, LinealPressY = 0;
    double LinealXAtPress = 0, LinealYAtPress = 0, LinealAngleAtPress = 0;
    // Guide segment of a line along, across or a degree mark.
    double GuideX1 = 0, GuideY1 = 0, GuideX2 = 0, GuideY2 = 0;
    double GuideMin = 0, GuideMax = 0;
    double FootX = 0, FootY = 0;

    // Protractor.
    bool WinkelMoving = false, WinkelTurning = false, MarkingDegree = false;
    std::int32_t InstrPointerX = 0, InstrPointerY = 0;
    double WinkelXAtPress = 0, WinkelYAtPress = 0, WinkelAngleAtPress = 0;
    double MarkAngle = 0;

    // Compass.
    bool ZirkelMoving = false, SpanDragging = false, ArcDragging = false, ArcDirectionSet = false;
    std::int32_t ZirkelPressX = 0, ZirkelPressY = 0;
    double ZirkelXAtPress = 0, ZirkelYAtPress = 0;
    double ArcStartX = 0, ArcStartY = 0, ArcEndX = 0, ArcEndY = 0, ArcStartAngle = 0;
    std::int32_t ArcClockwise = 0;

    // What a drag may change, as it was when the drag began: Escape puts it back.
    struct Start {
        InstrumentPlacement Placement;
        double ZirkelAngle = 45;
        std::uint32_t ElementCount = 0;
    } AtStart;
};

}  // namespace tervasko
