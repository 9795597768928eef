#include "tools/touch.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/dispatch.h"
#include "tools/gesturestate.h"
#include "tools/instrumentgeometry.h"
#include "tools/pointer.h"
#include "tools/toolpixels.h"

namespace tervasko {
namespace {

constexpr double kDegToRad = std::numbers::pi / 180;
using State = TouchPoint::State;

PointerContext contextAt(ToolHost& host, TDrawing& drawing, GestureState& g, MouseButton button,
                         int X, int Y) {
    const IntPoint stack = ViewTransform::StackFromPaintBox(X, Y);
    const ViewTransform view{host.PixelsPerMm(), host.SheetHeightPx(), drawing.PageHeightInch};
    return {host, drawing, g, view, X, Y, stack.x, stack.y, button};
}

// The fingers work on a sheet of their own; a gesture of the mouse or the pen that begins
// while they hold something keeps the sheet of its press.
class PointerSheetKept {
public:
    explicit PointerSheetKept(GestureState& g)
        : g_(g), sheet_(g.PointerSheet), top_(g.PointerSheetTop) {}
    ~PointerSheetKept() { g_.PointerSheet = sheet_, g_.PointerSheetTop = top_; }
    PointerSheetKept(const PointerSheetKept&) = delete;
    PointerSheetKept& operator=(const PointerSheetKept&) = delete;

private:
    GestureState& g_;
    std::int32_t sheet_, top_;
};

// A gesture of another tool holds the pointer or waits for its next click: the mouse's or
// the pen's.
bool othersUnderWay(const GestureState& g, const TouchTool& self) {
    return g.AnyTool([&](const auto& tool) {
        return static_cast<const Tool*>(&tool) != &self && (tool.Busy() || tool.Waiting());
    });
}

double directionOf(const TouchTool::Finger& a, const TouchTool::Finger& b) {
    return std::atan2(b.y - a.y, b.x - a.x) / kDegToRad;
}

// The reference point and turn of an instrument; the compass has no turn of its own here.
struct Reference {
    double* x;
    double* y;
    double* angle;
};
Reference referenceOf(InstrumentPlacement& p, Instrument which) {
    switch (which) {
        case Instrument::Ruler:
            return {&p.LinealX, &p.LinealY, &p.LinealAngle};
        case Instrument::Protractor:
            return {&p.WinkelX, &p.WinkelY, &p.WinkelAngle};
        case Instrument::SetSquare:
            return {&p.GeoX, &p.GeoY, &p.GeoAngle};
        case Instrument::Compass:
        case Instrument::None:
            break;
    }
    return {&p.ZirkelX, &p.ZirkelY, nullptr};
}

class Fingers {
public:
    Fingers(ToolHost& host, TDrawing& drawing, GestureState& g)
        : host_(host), drawing_(drawing), g_(g), t_(g.Touch), kept_(g) {}

    void frame(const TouchSituation& situation, std::span<const TouchPoint> points);
    void cancelled();

private:
    ToolHost& host_;
    TDrawing& drawing_;
    GestureState& g_;
    TouchTool& t_;
    PointerSheetKept kept_;
    bool acted_ = false;

    ViewTransform view() const {
        return {host_.PixelsPerMm(), host_.SheetHeightPx(), drawing_.PageHeightInch};
    }
    PointerContext context(int X, int Y) {
        return contextAt(host_, drawing_, g_, MouseButton::Left, X, Y);
    }
    // A finger in millimetres from the corner of the sheet the instrument is held on.
    PointD onSheet(const TouchTool::Finger& f) const {
        const ViewTransform v = view();
        return {v.LengthMm(f.x), v.LengthMm(f.y - v.SheetTopPx(t_.Sheet))};
    }
    TouchTool::Finger* holding(int id) {
        for (int i = 0; i < t_.Count; ++i)
            if (t_.Fingers[i].id == id) return &t_.Fingers[i];
        return nullptr;
    }
    bool ignored(int id) const {
        return std::find(t_.Ignored.begin(), t_.Ignored.end(), id) != t_.Ignored.end();
    }

    void rebase();
    void press(const TouchSituation& situation, const TouchPoint& point);
    void release(int id);
    void moveInstrument();
    void moveView();
    void show();
};

void Fingers::rebase() {
    std::copy(std::begin(t_.Fingers), std::end(t_.Fingers), std::begin(t_.Base));
    t_.Turned = 0;
    if (t_.Count == 2) t_.LastDirection = directionOf(t_.Fingers[0], t_.Fingers[1]);
    if (t_.Holding == TouchTool::Hold::Instrument) {
        const Reference r = referenceOf(drawing_.Placement, t_.Held);
        t_.RefX = *r.x, t_.RefY = *r.y;
        t_.RefAngle = r.angle ? *r.angle : 0;
        return;
    }
    const ViewTransform v = view();
    double mx = t_.Fingers[0].x, my = t_.Fingers[0].y;
    t_.SpreadAtBase = 0;
    if (t_.Count == 2) {
        mx = (mx + t_.Fingers[1].x) / 2, my = (my + t_.Fingers[1].y) / 2;
        t_.SpreadAtBase =
            std::hypot(t_.Fingers[1].x - t_.Fingers[0].x, t_.Fingers[1].y - t_.Fingers[0].y);
    }
    t_.ViewSheet = v.SheetAt(ToPixel(my));
    t_.ViewPointMm = v.StackToMm(mx, my, t_.ViewSheet);
    t_.ZoomAtBase = host_.Zoom();
}

void Fingers::press(const TouchSituation& situation, const TouchPoint& point) {
    const auto ignore = [&] { t_.Ignored.push_back(point.id); };
    if (ignored(point.id) || holding(point.id)) return;
    // A touch that begins while the pen or the mouse draws joins nothing.
    if (t_.Count >= 2 || situation.penDown || othersUnderWay(g_, t_)) return ignore();
    const ViewTransform v = view();
    const TouchTool::Finger f{point.id, point.X - ViewTransform::MarginPx,
                              point.Y - ViewTransform::MarginPx};
    const int sheet = v.SheetAt(ToPixel(f.y));
    const PointD at{v.LengthMm(f.x), v.LengthMm(f.y - v.SheetTopPx(sheet))};
    const Instrument under = InstrumentAt(drawing_, situation.shown, v.PixelsPerMm, at);
    switch (t_.Holding) {
        case TouchTool::Hold::None:
            if (under != Instrument::None) {
                t_.Holding = TouchTool::Hold::Instrument;
                t_.Held = under;
                t_.Sheet = sheet;
                t_.AtGrip = drawing_.Placement;
            } else if (situation.penNear) {
                return ignore();  // a palm beside the pen
            } else {
                t_.Holding = TouchTool::Hold::View;
            }
            break;
        case TouchTool::Hold::Instrument:
            if (under != t_.Held || sheet != t_.Sheet) return ignore();
            break;
        case TouchTool::Hold::View:
            if (situation.penNear && under == Instrument::None) return ignore();
            break;
    }
    t_.Fingers[t_.Count++] = f;
    rebase();
    acted_ = true;
}

void Fingers::release(int id) {
    if (const auto it = std::find(t_.Ignored.begin(), t_.Ignored.end(), id);
        it != t_.Ignored.end()) {
        t_.Ignored.erase(it);
        return;
    }
    TouchTool::Finger* f = holding(id);
    if (!f) return;
    *f = t_.Fingers[--t_.Count];
    acted_ = true;
    if (t_.Count > 0) {
        rebase();
        return;
    }
    const bool instrument = t_.Holding == TouchTool::Hold::Instrument;
    t_.Holding = TouchTool::Hold::None;
    t_.Held = Instrument::None;
    if (instrument) {
        // The catch mark goes with the fingers.
        host_.Paint();
        host_.UpdateEds();
    }
}

void Fingers::moveInstrument() {
    const PointD a = onSheet(t_.Fingers[0]), a0 = onSheet(t_.Base[0]);
    double x = t_.RefX + (a.x - a0.x), y = t_.RefY + (a.y - a0.y), turn = 0;
    if (t_.Count == 2) {
        const double direction = directionOf(t_.Fingers[0], t_.Fingers[1]);
        t_.Turned += WrapDegrees(direction - t_.LastDirection);
        t_.LastDirection = direction;
        const PointD b = onSheet(t_.Fingers[1]), b0 = onSheet(t_.Base[1]);
        const PointD m{(a.x + b.x) / 2, (a.y + b.y) / 2};
        const PointD m0{(a0.x + b0.x) / 2, (a0.y + b0.y) / 2};
        // The compass moves as a whole without turning: its direction is its arc's.
        turn = t_.Held == Instrument::Compass ? 0 : t_.Turned;
        const double c = std::cos(turn * kDegToRad), s = std::sin(turn * kDegToRad);
        const double rx = t_.RefX - m0.x, ry = t_.RefY - m0.y;
        x = m.x + rx * c - ry * s;
        y = m.y + rx * s + ry * c;
    }
    g_.PointerSheet = t_.Sheet;
    g_.PointerSheetTop = view().SheetTopPx(t_.Sheet);
    PointerContext p = context(ToPixel(t_.Fingers[0].x + ViewTransform::MarginPx),
                               ToPixel(t_.Fingers[0].y + ViewTransform::MarginPx));
    // As the mouse's slide: the instrument's own point is what a snap point catches.
    const auto caught = CatchPoint(p, p.instrumentMm(x, y));
    if (caught) x = caught->x, y = caught->y - p.sheetTopMm();
    const Reference r = referenceOf(drawing_.Placement, t_.Held);
    *r.x = x, *r.y = y;
    if (r.angle) *r.angle = t_.RefAngle + turn;
    host_.Paint();
    if (caught) DrawCatchMarker(p, *caught);
    host_.UpdateEds();
}

// Limits to 0 .. range - 1; the scroll bars then limit further to what can be shown.
int clampToRange(double v, int range) {
    return std::clamp(ToPixel(v), 0, std::max(0, range - 1));
}

void Fingers::moveView() {
    // The midpoint where the screen shows it: the paint box has moved with the scroll bars.
    const ScrollState before = host_.Scroll();
    double mx = t_.Fingers[0].x, my = t_.Fingers[0].y;
    bool zoomed = false;
    if (t_.Count == 2) {
        mx = (mx + t_.Fingers[1].x) / 2, my = (my + t_.Fingers[1].y) / 2;
        const double spread =
            std::hypot(t_.Fingers[1].x - t_.Fingers[0].x, t_.Fingers[1].y - t_.Fingers[0].y);
        if (t_.SpreadAtBase > 0) {
            const int z = host_.Zoom();
            host_.SetZoom(t_.ZoomAtBase * spread / t_.SpreadAtBase);
            zoomed = host_.Zoom() != z;
        }
    }
    const double screenX = mx + ViewTransform::MarginPx - before.h;
    const double screenY = my + ViewTransform::MarginPx - before.v;
    // Where the paint box now shows the point that was under the midpoint.
    const ViewTransform v = view();
    const PointD mm = t_.ViewPointMm;
    const double px = mm.x * v.PixelsPerMm + ViewTransform::MarginPx;
    const double py = v.SheetTopPx(t_.ViewSheet) +
                      (mm.y - v.SheetTopMm(t_.ViewSheet)) * v.PixelsPerMm + ViewTransform::MarginPx;
    host_.SetPaintSuspended(true);
    const ScrollState s = host_.Scroll();
    host_.SetScrollPosition(clampToRange(px - screenX, s.hRange),
                            clampToRange(py - screenY, s.vRange));
    host_.SetPaintSuspended(false);
    if (zoomed) host_.Paint();
}

void Fingers::show() {
    if (!acted_) return;
    const TouchTool::Finger& f = t_.Count > 0 ? t_.Fingers[0] : t_.Base[0];
    PointerContext p =
        context(ToPixel(f.x + ViewTransform::MarginPx), ToPixel(f.y + ViewTransform::MarginPx));
    host_.ShowMeasurement(MeasureGesture(p));
}

void Fingers::frame(const TouchSituation& situation, std::span<const TouchPoint> points) {
    // First where the holding fingers are now, lifted ones included: one step of the gesture.
    bool moved = false;
    for (const TouchPoint& point : points) {
        if (point.state == State::Pressed) continue;
        if (TouchTool::Finger* f = holding(point.id)) {
            const double x = point.X - ViewTransform::MarginPx;
            const double y = point.Y - ViewTransform::MarginPx;
            // A finger held still over a view that moved has moved on the paint box.
            if (point.state == State::Moved || x != f->x || y != f->y) moved = true;
            f->x = x, f->y = y;
        }
    }
    if (moved && t_.Count > 0) {
        if (t_.Holding == TouchTool::Hold::Instrument)
            moveInstrument();
        else
            moveView();
        acted_ = true;
    }
    for (const TouchPoint& point : points)
        if (point.state == State::Released) release(point.id);
    for (const TouchPoint& point : points)
        if (point.state == State::Pressed) press(situation, point);
    show();
}

void Fingers::cancelled() {
    if (t_.Busy()) {
        t_.Cancel(host_, drawing_);
        host_.Paint();
        host_.ShowMeasurement({});
    }
    t_.Ignored.clear();
}

// The edge of the set square nearest to q: the long edge or the nearer leg.
SetSquareEdge nearestEdge(const SetSquarePose& pose, PointD q) {
    const auto distance = [&](SetSquareEdge edge) {
        const auto t = SetSquareProjection(pose, edge, q);
        if (!t) return HUGE_VAL;
        const PointD at = SetSquareEdgePoint(pose, edge, *t);
        return std::hypot(q.x - at.x, q.y - at.y);
    };
    const SetSquareEdge leg = SetSquareNearerLeg(pose, q);
    return distance(leg) < distance(SetSquareEdge::Long) ? leg : SetSquareEdge::Long;
}

}  // namespace

void TouchTool::Cancel(ToolHost& host, TDrawing& drawing) {
    if (Holding == Hold::Instrument) {
        InstrumentPlacement& p = drawing.Placement;
        const Reference now = referenceOf(p, Held);
        const Reference was = referenceOf(AtGrip, Held);
        *now.x = *was.x, *now.y = *was.y;
        if (now.angle) *now.angle = *was.angle;
        host.UpdateEds();
    }
    Forget();
}

void TouchTool::Forget() {
    for (int i = 0; i < Count; ++i) Ignored.push_back(Fingers[i].id);
    Count = 0;
    Holding = Hold::None;
    Held = PenAlong = Instrument::None;
}

bool TouchTool::Measure(const PointerContext& p, Measurement& m) const {
    using K = Measurement::Kind;
    if (Holding == Hold::None) return false;
    m = Measurement{};
    if (Holding == Hold::Instrument && Count == 2) {
        const InstrumentPlacement& pl = p.placement();
        if (Held == Instrument::Ruler) m = {K::RulerAngle, 0, pl.LinealAngle};
        if (Held == Instrument::Protractor) m = {K::ProtractorAngle, 0, pl.WinkelAngle};
        if (Held == Instrument::SetSquare) m = {K::SetSquareAngle, 0, pl.GeoAngle};
    }
    return true;
}

void TouchFrame(ToolHost& host, TDrawing& drawing, GestureState& g, const TouchSituation& situation,
                std::span<const TouchPoint> points) {
    Fingers(host, drawing, g).frame(situation, points);
}

void TouchCancelled(ToolHost& host, TDrawing& drawing, GestureState& g) {
    Fingers(host, drawing, g).cancelled();
}

void PenDown(ToolHost& host, TDrawing& drawing, GestureState& g, MouseButton button, int X, int Y) {
    TouchTool& t = g.Touch;
    if (t.Holding == TouchTool::Hold::View) t.Forget();
    const bool along = button == MouseButton::Left && t.Holding == TouchTool::Hold::Instrument &&
                       (t.Held == Instrument::Ruler || t.Held == Instrument::SetSquare) &&
                       !othersUnderWay(g, t);
    if (!along) {
        PaintBox1MouseDown(host, drawing, g, button, X, Y);
        return;
    }
    PointerContext p = contextAt(host, drawing, g, button, X, Y);
    g.PointerSheet = p.view.SheetAt(p.y);
    g.PointerSheetTop = p.view.SheetTopPx(g.PointerSheet);
    if (t.Held == Instrument::Ruler) {
        g.Ruler.AlongPress(p);
        t.PenAlong = Instrument::Ruler;
    } else {
        const InstrumentPlacement& pl = p.placement();
        const SetSquarePose pose{p.instrumentMm(pl.GeoX, pl.GeoY), pl.GeoAngle};
        if (nearestEdge(pose, p.Q()) == SetSquareEdge::Long)
            g.SetSquare.LongEdgePress(p);
        else
            g.SetSquare.LegPress(p);
        if (g.SetSquare.DrawingAlong) t.PenAlong = Instrument::SetSquare;
    }
    host.ShowMeasurement(MeasureGesture(p));
}

void PenMove(ToolHost& host, TDrawing& drawing, GestureState& g, int X, int Y) {
    TouchTool& t = g.Touch;
    if (t.PenAlong == Instrument::None) {
        PaintBox1MouseMove(host, drawing, g, X, Y);
        return;
    }
    PointerContext p = contextAt(host, drawing, g, MouseButton::Left, X, Y);
    if (p.s() != 0) host.ShowPointerPosition(p.here());
    // A line cancelled by Escape leaves the pen nothing to do until it is lifted.
    if (t.PenAlong == Instrument::Ruler && g.Ruler.DrawingAlong) g.Ruler.AlongHoverOrExtend(p);
    if (t.PenAlong == Instrument::SetSquare && g.SetSquare.DrawingAlong) g.SetSquare.AlongExtend(p);
    host.ShowMeasurement(MeasureGesture(p));
}

void PenUp(ToolHost& host, TDrawing& drawing, GestureState& g, MouseButton button, int X, int Y) {
    TouchTool& t = g.Touch;
    if (t.PenAlong == Instrument::None) {
        PaintBox1MouseUp(host, drawing, g, button, X, Y);
        return;
    }
    PointerContext p = contextAt(host, drawing, g, button, X, Y);
    if (t.PenAlong == Instrument::Ruler && g.Ruler.DrawingAlong) g.Ruler.AlongRelease(p);
    if (t.PenAlong == Instrument::SetSquare && g.SetSquare.DrawingAlong)
        g.SetSquare.AlongRelease(p);
    t.PenAlong = Instrument::None;
    host.ShowMeasurement(MeasureGesture(p));
}

}  // namespace tervasko
