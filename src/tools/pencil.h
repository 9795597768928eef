#pragma once

#include <cstdint>

#include "tools/tool.h"
#include "tools/toolparts.h"

namespace tervasko {

// Pencil and eraser: while a button is held, every pointer move adds one line from the
// previous pointer position and draws it on the screen at once, without a paint cycle. The
// eraser's lines are white, with the eraser's width; they hide what lies below them.

struct StrokeTool final : Tool {
    bool Stroking = false;
    std::uint32_t FirstElement = 0;  // the first segment of the stroke in progress

    bool Busy() const override { return Stroking; }
    // The stroke's segments are the elements appended since its press: they go again.
    void Cancel(ToolHost& host, TDrawing& drawing) override;
    void Forget() override { Stroking = false; }
    bool Measure(const PointerContext&, Measurement& m) const override {
        if (Stroking) m = Measurement{};
        return Stroking;
    }

    void Press(PointerContext& p);
    void Segment(PointerContext& p);
    void Release(PointerContext& p);
};

}  // namespace tervasko
