#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "document/drawmodel.h"
#include "platform/recordingcanvas.h"
#include "support/fakehost.h"
#include "tools/dispatch.h"
#include "tools/handzoom.h"
#include "tools/toolhost.h"
#include "view/viewgeometry.h"

namespace tervasko::tooltest {

// The drawing tools' tests share the instruments' fake window.
using FakeWindow = testing::FakeHost;

// Pointer events through the dispatch, in paint-box pixels.
class ToolTest : public ::testing::Test {
protected:
    ToolTest() {
        host.checked.clear();
        host.penWidth = 0.1;
    }
    FakeWindow host;
    TDrawing drawing;
    GestureState g;

    void press(int X, int Y, MouseButton b = MouseButton::Left) {
        PaintBox1MouseDown(host, drawing, g, b, X, Y);
    }
    void move(int X, int Y) { PaintBox1MouseMove(host, drawing, g, X, Y); }
    void release(int X, int Y) { PaintBox1MouseUp(host, drawing, g, MouseButton::Left, X, Y); }
    const TDrawElement& element(std::uint32_t i) { return drawing.Elements.At(i); }
    const TTextElement& text(std::uint32_t i) { return drawing.Texts.At(i); }
    double s() const { return host.PixelsPerMm(); }
};

}  // namespace tervasko::tooltest
