#include "tools/handzoom.h"

#include <cmath>

#include "tools/pointer.h"
#include "tools/toolpixels.h"

namespace tervasko {
namespace {

// RAII for the suspended paint cycle: the scroll changes must not paint half-way.
class PaintSuspension {
public:
    explicit PaintSuspension(ToolHost& host) : host_(host) { host_.SetPaintSuspended(true); }
    ~PaintSuspension() { host_.SetPaintSuspended(false); }
    PaintSuspension(const PaintSuspension&) = delete;
    PaintSuspension& operator=(const PaintSuspension&) = delete;

private:
    ToolHost& host_;
};

// Limits to 0 .. range - 1; the scroll bars then limit further to what can be shown.
template <typename T>
T clampToRange(T v, int range) {
    if (v < 0) v = 0;
    if (v > range - 1) v = static_cast<T>(range - 1);
    return v;
}

}  // namespace

void PanTool::Press(PointerContext& p) {
    Panning = true;
    p.g.AnchorX = p.x;
    p.g.AnchorY = p.y;
}

void PanTool::Move(PointerContext& p) {
    PaintSuspension suspended(p.host);
    const ScrollState s = p.host.Scroll();
    const int h = clampToRange(s.h + p.g.AnchorX - p.x, s.hRange);
    const int v = clampToRange(s.v + p.g.AnchorY - p.y, s.vRange);
    p.host.SetScrollPosition(h, v);
}

void PanTool::Release(PointerContext&) {
    Panning = false;
}

int ZoomFieldValue(double percent) {
    if (!(percent >= 1)) percent = 1;  // not a number as well
    if (percent > 300) percent = 300;
    return static_cast<int>(std::nearbyint(percent));
}

void ZoomPress(PointerContext& p) {
    const double z = p.host.Zoom();
    double qx = p.x / z, qy = p.y / z;
    // A change of the field repaints at once, which gives the paint box its new size and the
    // scroll bars their new ranges.
    if (p.button == MouseButton::Left)
        p.host.SetZoom(z * kZoomStep);
    else if (p.button == MouseButton::Right)
        p.host.SetZoom(z / kZoomStep);
    {
        PaintSuspension suspended(p.host);
        const double z2 = p.host.Zoom();
        const ScrollState s = p.host.Scroll();
        qx = clampToRange(z2 * qx - s.boxWidth / 2.0, s.hRange);
        qy = clampToRange(z2 * qy - s.boxHeight / 2.0, s.vRange);
        p.host.SetScrollPosition(ToPixel(qx), ToPixel(qy));
    }
    p.host.Paint();
}

void WheelNotch(ToolHost& host, bool down) {
    const ScrollState s = host.Scroll();
    host.SetScrollPosition(s.h, s.v + (down ? kWheelStepPx : -kWheelStepPx));
}

}  // namespace tervasko
