#pragma once

// The measures of the instruments' gestures, defined here rather than with the rest of each
// tool so that the status bar's question after every pointer event costs no more than reading
// the flags it asks about.
#include <cmath>

#include "tools/pointer.h"

namespace tervasko {

inline bool RulerTool::Measure(const PointerContext& p, Measurement& m) const {
    using K = Measurement::Kind;
    if (Drag.Turning) {
        m = Measurement{K::RulerAngle, 0, p.placement().LinealAngle};
        return true;
    }
    if (DrawingAlong || DrawingAcross) {
        const GuideSegment& g = p.g.Guide;
        m = Measurement{K::GuideLength, std::hypot(g.X2 - g.X1, g.Y2 - g.Y1), 0};
        return true;
    }
    if (Drag.Sliding) {
        m = Measurement{};
        return true;
    }
    return false;
}

// The degree of a mark is that of its direction, fixed at the press; its length grows.
inline bool ProtractorTool::Measure(const PointerContext& p, Measurement& m) const {
    using K = Measurement::Kind;
    const InstrumentPlacement& pl = p.placement();
    if (MarkingDegree) {
        const PointD c = p.instrumentPx(pl.WinkelX, pl.WinkelY);
        m = Measurement{
            K::ProtractorDegree, 0,
            ProtractorDegree(p.g.InstrPointerX - c.x, p.g.InstrPointerY - c.y, pl.WinkelAngle)};
        return true;
    }
    if (Drag.Turning) {
        m = Measurement{K::ProtractorAngle, 0, pl.WinkelAngle};
        return true;
    }
    if (Drag.Sliding) {
        m = Measurement{};
        return true;
    }
    return false;
}

// As the protractor's: the degree is that of the mark's direction, fixed at the press.
inline bool SetSquareTool::Measure(const PointerContext& p, Measurement& m) const {
    using K = Measurement::Kind;
    if (MarkingDegree) {
        m = Measurement{K::SetSquareDegree, 0, MarkDegree};
        return true;
    }
    if (DrawingAlong) {
        const GuideSegment& g = p.g.Guide;
        m = Measurement{K::GuideLength, std::hypot(g.X2 - g.X1, g.Y2 - g.Y1), 0};
        return true;
    }
    if (Drag.Turning) {
        m = Measurement{K::SetSquareAngle, 0, p.placement().GeoAngle};
        return true;
    }
    if (Drag.Sliding) {
        m = Measurement{};
        return true;
    }
    return false;
}

inline bool CompassTool::Measure(const PointerContext& p, Measurement& m) const {
    using K = Measurement::Kind;
    const InstrumentPlacement& pl = p.placement();
    if (SpanDragging) {
        m = Measurement{K::CompassSpan, pl.ZirkelSpan, 0};
        return true;
    }
    if (ArcDragging) {
        const double turned = p.drawing.ZirkelAngle - ArcStartAngle;
        const double swept = !ArcDirectionSet    ? 0
                             : ArcClockwise == 1 ? Below360(turned)
                                                 : Below360(-turned);
        m = Measurement{K::Arc, pl.ZirkelSpan, swept};
        return true;
    }
    if (Drag.Sliding) {
        m = Measurement{};
        return true;
    }
    return false;
}

}  // namespace tervasko
