#pragma once

#include <cstdint>

namespace tervasko {

// Kind values of TDrawElement. Other values may come from files; such elements are kept,
// saved and loaded, but never drawn or exported.
enum ElementKind : std::uint32_t {
    ekLine = 0,    // P1 -> P2
    ekArc = 1,     // ellipse in box P1/P2, from the ray through P3 to the ray through P4,
                   // counter-clockwise on screen
    ekCircle = 2,  // ellipse inscribed in box P1/P2
    ekCurve = 3,   // cubic Bezier P1, controls P2 and P3, end P4
};

// One drawn element. Millimetres, y down through the whole stack of sheets. The in-memory
// layout happens to equal the 88-byte record of the drawing file, but the file is read and
// written field by field.
struct TDrawElement {
    std::uint32_t Kind;
    std::uint32_t Reserved1;  // no meaning; kept as found
    double Width;             // pen width, mm
    double X1, Y1, X2, Y2, X3, Y3, X4, Y4;
    std::uint32_t Color;  // 0x00BBGGRR
    std::uint32_t Reserved2;
};
static_assert(sizeof(TDrawElement) == 88);

}  // namespace tervasko
