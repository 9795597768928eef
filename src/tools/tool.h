#pragma once

#include <optional>

#include "tools/measure.h"

namespace tervasko {

struct PointerContext;
class ToolHost;
class TDrawing;

// What the code around a tool asks of it. The window, the history, Escape and the status bar
// ask every tool in turn instead of reading its flags, so a new tool or instrument answers
// for itself: its own files, its rows in the dispatch tables and its menu entry are all it
// takes (see docs/ARCHITECTURE.md).
class Tool {
public:
    virtual ~Tool() = default;

    // A gesture of this tool holds the pointer (a drag between press and release): the
    // history refuses to move meanwhile, since the release would act on what it moved.
    virtual bool Busy() const = 0;
    // A gesture waits for a further click without holding the pointer (a curve).
    virtual bool Waiting() const { return false; }
    // Ends the gesture under way without storing anything and puts back what it changed
    // (an instrument's placement, a stroke's segments); the caller repaints.
    virtual void Cancel(ToolHost& host, TDrawing& drawing) = 0;
    // Drops the gesture without touching the drawing or the screen: the drawing it was made
    // on is gone (a new or loaded drawing) or has moved under it (a step taken back).
    virtual void Forget() = 0;

    // The measure of this tool's gesture under way into `m`; false when none of its
    // gestures is. A gesture with nothing to measure gives Measurement{}.
    virtual bool Measure(const PointerContext&, Measurement&) const { return false; }
    // With no gesture under way: the measure of what the chosen mode points at, when the
    // mode is this tool's; false otherwise.
    virtual bool HoverMeasure(const PointerContext&, Measurement&) const { return false; }
    // Draws the preview of the gesture under way over the sheets (paint-box pixels); the
    // next paint cycle removes it.
    virtual void DrawOverlay(const PointerContext&) const {}
};

}  // namespace tervasko
