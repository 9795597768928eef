#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tools/instrumenthit.h"
#include "tools/tool.h"
#include "tools/toolhost.h"

namespace tervasko {

struct GestureState;

// One finger of a touch event, in paint-box pixels (unrounded, as the screen reports it).
struct TouchPoint {
    enum class State : std::uint8_t { Pressed, Moved, Stationary, Released };
    int id = 0;
    double X = 0, Y = 0;
    State state = State::Moved;
};

// What a touch event needs to know besides its fingers: the pen near the screen or touching
// it, and which instruments are shown.
struct TouchSituation {
    bool penNear = false, penDown = false;
    VisibleInstruments shown;
};

// The fingers. One or two fingers on an instrument's body take hold of it whatever tool is
// chosen: one slides it, two move it as one rigid body (their midpoint slides it, the change
// of their direction turns it about that midpoint; the compass only slides). Fingers away
// from the instruments move the view: one pans it as the hand does, two also zoom it with the
// ratio of their spread, keeping the point between them under them. A finger that joins
// nothing (a third one, one that lands during a gesture of the mouse or the pen, a palm while
// the pen is near) is ignored until it is lifted.
//
// While fingers hold the ruler or the set square, the pen draws along it: a line along the
// ruler's graduated edge, or along the set square's edge nearest to where the pen is set down.
struct TouchTool final : Tool {
    enum class Hold : std::uint8_t { None, Instrument, View };
    Hold Holding = Hold::None;
    Instrument Held = Instrument::None;
    // The pen is drawing along the held instrument (the ruler's or the set square's gesture).
    Instrument PenAlong = Instrument::None;

    bool Busy() const override { return Holding != Hold::None; }
    // The instrument goes back to where the fingers found it; the view stays where they took
    // it, as the hand leaves it. The fingers still down do nothing more until lifted.
    void Cancel(ToolHost& host, TDrawing& drawing) override;
    void Forget() override;
    bool Measure(const PointerContext& p, Measurement& m) const override;

    // Internal state of the gesture under way.
    struct Finger {
        int id = 0;
        double x = 0, y = 0;  // stack pixels
    };
    Finger Fingers[2];
    int Count = 0;
    std::vector<int> Ignored;  // fingers that join nothing until lifted
    // The holding fingers and the instrument as they were when the fingers last changed.
    Finger Base[2];
    double RefX = 0, RefY = 0, RefAngle = 0;  // sheet-relative millimetres, degrees
    double Turned = 0, LastDirection = 0;     // degrees swept since the base
    int Sheet = 0;                            // the sheet the instrument is held on
    InstrumentPlacement AtGrip;               // the placement at the first finger
    // The view: the drawing point under the fingers' midpoint, on its sheet, and the zoom
    // and spread at the base.
    PointD ViewPointMm;
    int ViewSheet = 0;
    double ZoomAtBase = 100, SpreadAtBase = 0;
};

// A touch event's fingers: those pressed, moved, held still and lifted.
void TouchFrame(ToolHost& host, TDrawing& drawing, GestureState& g, const TouchSituation& situation,
                std::span<const TouchPoint> points);
// The system took the touch sequence away: as Escape for what the fingers were doing.
void TouchCancelled(ToolHost& host, TDrawing& drawing, GestureState& g);

// The pen acts as the mouse (the pointer dispatch), except that while fingers hold the ruler
// or the set square its stroke draws along that instrument. Setting it down ends the view
// gesture of fingers: a palm that landed before it moves nothing.
void PenDown(ToolHost& host, TDrawing& drawing, GestureState& g, MouseButton button, int X, int Y);
void PenMove(ToolHost& host, TDrawing& drawing, GestureState& g, int X, int Y);
void PenUp(ToolHost& host, TDrawing& drawing, GestureState& g, MouseButton button, int X, int Y);

}  // namespace tervasko
