#pragma once

#include <cstdint>
#include <optional>

#include "platform/canvas.h"

namespace tervasko {

struct PointerContext;

// The text or element highlighted under the pointer. Texts and elements share it; Kind says
// which list Index counts in, so that a mode switched by keyboard, with no pointer move
// since, cannot let the text tools act on an element's index or the other way round.
struct HoverState {
    enum class List : std::uint8_t { None, Texts, Elements };
    bool Found = false, Valid = false;
    std::int32_t Index = 0;
    List Kind = List::None;
    // The sheet the pointer found it on: its highlight and a drag of it are drawn as that
    // sheet shows it.
    std::int32_t Sheet = 0;
};

// The guide segment of a line being drawn along or across the ruler or of a degree mark, and
// the range of line parameters it spans.
struct GuideSegment {
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    double Min = 0, Max = 0;
    // The snap point that caught the end last computed, marked with the segment.
    std::optional<PointD> Caught;
};

// The drag the ruler, the protractor and the compass have in common. The press notes the
// pointer and where the instrument stood or how it was turned; each move puts it at that
// position plus the pointer's travel, or turns it by what the pointer swept about its pivot;
// the release ends the drag.
struct InstrumentDrag {
    bool Sliding = false, Turning = false;
    std::int32_t PressX = 0, PressY = 0;  // the pointer at the press
    double XAtPress = 0, YAtPress = 0, AngleAtPress = 0;

    bool Active() const { return Sliding || Turning; }
    void End() { Sliding = Turning = false; }
    // Puts the placement back where the drag found it.
    void Undo(double& x, double& y, double& angle) const {
        if (Sliding) x = XAtPress, y = YAtPress;
        if (Turning) angle = AngleAtPress;
    }

    void BeginSlide(const PointerContext& p, double x, double y);
    // Moves (x, y) by the pointer's travel since the press, then repaints and shows the
    // numeric fields.
    void SlideTo(PointerContext& p, double& x, double& y) const;
    // Ends the slide where the pointer is; nothing is left marked on the screen.
    void EndSlide(PointerContext& p, double& x, double& y);

    void BeginTurn(const PointerContext& p, double angle);
    // The angle at the press plus what the pointer swept about `pivot` (stack pixels) since;
    // false, with the angle kept, where the pointer gives no direction.
    bool TurnTo(PointerContext& p, PointD pivot, double& angle) const;
    void EndTurn() { Turning = false; }
};

}  // namespace tervasko
