#pragma once

#include <cstdint>

#include "document/drawmodel.h"

namespace tervasko {

struct PointerContext;

// What the status bar's measure field shows for the gesture in progress or the mode under the
// pointer. Lengths in drawing millimetres, angles in degrees.
struct Measurement {
    enum class Kind : std::uint8_t {
        None,
        RulerAngle,        // angle: the ruler's
        GuideLength,       // length: the line being drawn along or across the ruler
        ProtractorDegree,  // angle: the degree on the protractor's own scale
        ProtractorAngle,   // angle: the protractor's turn
        CompassSpan,       // length: the radius
        Arc,               // length: the radius; angle: swept so far
        Line,              // length
        Circle,            // length: the radius
        ArcElement,        // length: the radius
        Curve,             // length
        SetSquareAngle,    // angle: the set square's turn
        SetSquareDegree,   // angle: the degree on the set square's scale, 0 .. 180
    };
    Kind kind = Kind::None;
    double length = 0;
    double angle = 0;
    bool operator==(const Measurement&) const = default;
};

// The measure for the state the last pointer event left: the active gesture first, then the
// chosen mode's hover.
Measurement MeasureGesture(const PointerContext& p);

// Degrees brought into 0 up to below 360.
double Below360(double degrees);

// The degree of the protractor's scale in the direction of `dx`, `dy` (y downward) from its
// centre, with the protractor turned by `turn` degrees: 0 up to below 360.
double ProtractorDegree(double dx, double dy, double turn);

// An element's kind and its length or radius; a curve's length is that of its polygon of
// 64 pieces, closer than a hundredth of a millimetre for the curves one draws.
Measurement MeasureElement(const TDrawElement& e);

}  // namespace tervasko
