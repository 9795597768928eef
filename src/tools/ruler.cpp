#include "tools/ruler.h"

namespace tervasko {
namespace {

// Ruler corner R0 in drawing millimetres and in stack pixels, on the sheet of the last press.
PointD cornerMm(const PointerContext& p) {
    return p.instrumentMm(p.placement().LinealX, p.placement().LinealY);
}
PointD cornerPx(const PointerContext& p) {
    return p.instrumentPx(p.placement().LinealX, p.placement().LinealY);
}

void storeSegment(GestureState& g, PointD a, PointD b) {
    g.GuideX1 = a.x, g.GuideY1 = a.y, g.GuideX2 = b.x, g.GuideY2 = b.y;
}

}  // namespace

// One guarded block along the line through `a` with direction `phi`, met by the line through
// the pointer with direction `psi`: t of the pointer, GuideMin/GuideMax set to it (start) or
// widened by it, and the segment between them. On an arithmetic error the fallback takes
// the pointer's y and the vertical at fallbackX.
void GuideBlock(PointerContext& p, PointD a, double phi, double psi, double fallbackX, bool start) {
    GestureState& g = p.g;
    const PointD q = p.Q();
    const auto widen = [&](double t) {
        if (start) {
            g.GuideMin = g.GuideMax = t;
        } else {
            if (t < g.GuideMin) g.GuideMin = t;
            if (t > g.GuideMax) g.GuideMax = t;
        }
    };
    const double min0 = g.GuideMin, max0 = g.GuideMax;
    if (const auto t = GuideParameter(a, phi, psi, q)) {
        widen(*t);
        const auto p1 = GuidePoint(a, phi, g.GuideMin);
        const auto p2 = GuidePoint(a, phi, g.GuideMax);
        if (p1 && p2) {
            storeSegment(g, *p1, *p2);
            return;
        }
    }
    g.GuideMin = min0, g.GuideMax = max0;
    widen(q.y);
    storeSegment(g, {fallbackX, g.GuideMin}, {fallbackX, g.GuideMax});
}

namespace {

void slideTo(PointerContext& p) {
    FollowDrag(p, p.placement().LinealX, p.placement().LinealY, p.g.LinealPressX, p.g.LinealPressY,
               p.g.LinealXAtPress, p.g.LinealYAtPress);
}

// A pointer exactly on the corner has no direction: the ruler keeps its angle.
bool applyTurn(PointerContext& p) {
    return TurnWithPointer(p, cornerPx(p), p.g.LinealPressX, p.g.LinealPressY,
                           p.g.LinealAngleAtPress, p.placement().LinealAngle);
}

// Foot of the pointer on the edge line: GuideMin/GuideMax and FootX/FootY.
void computeFoot(PointerContext& p) {
    GestureState& g = p.g;
    const PointD q = p.Q();
    const double theta = p.placement().LinealAngle;
    if (const auto t = GuideParameter(cornerMm(p), theta, theta + 90, q)) {
        if (const auto foot = GuidePoint(cornerMm(p), theta, *t)) {
            g.GuideMin = g.GuideMax = *t;
            g.FootX = foot->x, g.FootY = foot->y;
            return;
        }
    }
    g.GuideMin = g.GuideMax = q.y;
    g.FootX = p.placement().LinealX;
    g.FootY = q.y;
}

void acrossBlock(PointerContext& p, bool start) {
    const double theta = p.placement().LinealAngle;
    GuideBlock(p, {p.g.FootX, p.g.FootY}, theta + 90, theta, p.g.FootX, start);
}

}  // namespace

void RulerSlidePress(PointerContext& p) {
    p.g.LinealMoving = true;
    p.g.LinealPressX = p.x;
    p.g.LinealPressY = p.y;
    p.g.LinealXAtPress = p.placement().LinealX;
    p.g.LinealYAtPress = p.placement().LinealY;
}

void RulerSlideMove(PointerContext& p) {
    slideTo(p);
}

void RulerSlideRelease(PointerContext& p) {
    p.g.LinealMoving = false;
    slideTo(p);
}

void RulerTurnPress(PointerContext& p) {
    p.g.LinealTurning = true;
    p.g.LinealPressX = p.x;
    p.g.LinealPressY = p.y;
    p.g.LinealAngleAtPress = p.placement().LinealAngle;
}

void RulerTurnMove(PointerContext& p) {
    if (!applyTurn(p)) return;
    p.host.Paint();
    p.host.UpdateEds();
}

void RulerTurnRelease(PointerContext& p) {
    p.g.LinealTurning = false;
    applyTurn(p);
    p.host.Paint();
    p.host.UpdateEds();
}

void AlongHoverOrExtend(PointerContext& p) {
    const double theta = p.placement().LinealAngle;
    if (!p.g.DrawingAlong) {
        GuideBlock(p, cornerMm(p), theta, theta + 90, p.placement().LinealX, true);
        p.host.Paint();
        DrawGuideSegment(p, 5);
        return;
    }
    GuideBlock(p, cornerMm(p), theta, theta + 90, p.placement().LinealX, false);
    p.host.Paint();
    DrawGuideSegment(p, 3);
}

void AlongPress(PointerContext& p) {
    p.g.DrawingAlong = true;
    const double theta = p.placement().LinealAngle;
    GuideBlock(p, cornerMm(p), theta, theta + 90, p.placement().LinealX, true);
    DrawGuideSegment(p, 3);
}

void AddGuideLine(PointerContext& p, const char* step) {
    if (TDrawElement* e = AddPenElement(p.host, p.drawing, step)) {
        e->Kind = ekLine;
        e->X1 = p.g.GuideX1, e->Y1 = p.g.GuideY1;
        e->X2 = p.g.GuideX2, e->Y2 = p.g.GuideY2;
    }
    p.host.Paint();
}

void AlongRelease(PointerContext& p) {
    p.g.DrawingAlong = false;
    AddGuideLine(p, "An Lineal entlang zeichnen");
}

void AcrossHover(PointerContext& p) {
    computeFoot(p);
    p.host.Paint();
    Canvas& c = p.host.ScreenCanvas();
    const IntPoint f = ScreenPoint(p, {p.g.FootX, p.g.FootY});
    c.setPen(kRed, 5);
    c.moveTo(f.x, f.y);
    c.lineTo(f.x, f.y);
    c.setPen(kRed, 1);
}

void AcrossPress(PointerContext& p) {
    p.g.DrawingAcross = true;
    computeFoot(p);
    acrossBlock(p, true);
    DrawGuideSegment(p, 3);
}

void AcrossExtend(PointerContext& p) {
    acrossBlock(p, false);
    DrawGuideSegment(p, 3);
}

void AcrossRelease(PointerContext& p) {
    p.g.DrawingAcross = false;
    AddGuideLine(p, "Quer zum Lineal zeichnen");
}

}  // namespace tervasko
