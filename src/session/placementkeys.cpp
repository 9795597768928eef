#include "session/placementkeys.h"

#include <algorithm>
#include <limits>

#include "session/placemententry.h"

namespace tervasko {
namespace {

// An instrument the keys move: the tool that moves it, the fields of its position, and the
// field Page Up and Page Down change (a rotation or the compass's span) with the least value
// they take it to.
struct KeyedInstrument {
    ToolItem tool;
    PlacementField x, y, turn;
    double least;
};

constexpr double kNoLeast = -std::numeric_limits<double>::infinity();

constexpr KeyedInstrument kKeyedInstruments[] = {
    {ToolItem::Lineal1, PlacementField::LinealX, PlacementField::LinealY,
     PlacementField::LinealAngle, kNoLeast},
    {ToolItem::Winkelmesser1, PlacementField::WinkelX, PlacementField::WinkelY,
     PlacementField::WinkelAngle, kNoLeast},
    {ToolItem::Zirkel1, PlacementField::ZirkelX, PlacementField::ZirkelY,
     PlacementField::ZirkelSpan, 0.0},
    {ToolItem::Geodreieck1, PlacementField::GeoX, PlacementField::GeoY, PlacementField::GeoAngle,
     kNoLeast},
};

void step(InstrumentPlacement& placement, PlacementField field, double by) {
    EnterPlacement(placement, field, PlacementValue(placement, field) + by);
}

}  // namespace

bool NudgeInstrument(ToolItem activeTool, int key, Qt::KeyboardModifiers modifiers,
                     InstrumentPlacement& placement) {
    const auto* instrument =
        std::find_if(std::begin(kKeyedInstruments), std::end(kKeyedInstruments),
                     [&](const KeyedInstrument& i) { return i.tool == activeTool; });
    if (instrument == std::end(kKeyedInstruments)) return false;
    // Arrow keys carry the keypad flag on some systems; it changes nothing here.
    const Qt::KeyboardModifiers held = modifiers & ~Qt::KeypadModifier;
    if (held != Qt::NoModifier && held != Qt::ShiftModifier) return false;
    const double by = held == Qt::ShiftModifier ? 0.1 : 1.0;

    switch (key) {
        case Qt::Key_Left:
            step(placement, instrument->x, -by);
            return true;
        case Qt::Key_Right:
            step(placement, instrument->x, by);
            return true;
        case Qt::Key_Up:
            step(placement, instrument->y, -by);
            return true;
        case Qt::Key_Down:
            step(placement, instrument->y, by);
            return true;
        case Qt::Key_PageUp:
            step(placement, instrument->turn, by);
            return true;
        case Qt::Key_PageDown: {
            // Down to the least value, and never up to it from below (a span typed negative).
            const double now = PlacementValue(placement, instrument->turn);
            const double to = std::max(now - by, std::min(now, instrument->least));
            EnterPlacement(placement, instrument->turn, to);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace tervasko
