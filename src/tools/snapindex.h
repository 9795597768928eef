#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "document/drawmodel.h"
#include "platform/canvas.h"

namespace tervasko {

// The points of a drawing that catch the pointer when snapping is on: the end points of
// lines, arcs and curves, the centres of circles and arcs, and where two lines cross.
// A stack of uniform grids over the drawing (millimetres, y down through the stack of
// sheets), each with cells twice as wide as the one below, holds the numbers of the elements:
// each element once, in the cell of the finest grid its box fits, by the centre of its box.
// The boxes are the ones the drawing keeps for its elements, so a build never reads the
// records themselves. A query looks at the few cells around the pointer on each grid, reads the
// elements from the drawing and never looks at the whole drawing. Texts hold no snap points.
//
// The index is built on the first query after it was invalidated. Elements appended at the
// end go to a short side list until the next build; any other change invalidates it.
class SnapIndex {
public:
    // The drawing changed in a way the index cannot follow cheaply (removal, change, undo,
    // load, new): the next query builds afresh.
    void Invalidate() { valid_ = false; }
    bool Valid() const { return valid_; }

    // Builds the index over every element of `drawing`.
    void Build(TDrawing& drawing);

    // Elements [first, first + count) were appended to `drawing`; an invalid index stays
    // invalid and is built whole at the next query.
    void Appended(const TDrawing& drawing, std::uint32_t first, std::uint32_t count);

    // The snap point nearest to `at` within `radiusMm`, if any; builds first when invalid.
    std::optional<PointD> Find(TDrawing& drawing, PointD at, double radiusMm);
    // The same on the index as it stands (it must be valid and built over `drawing`).
    std::optional<PointD> FindBuilt(const TDrawing& drawing, PointD at, double radiusMm) const;

private:
    struct Level {
        double cell, inverse;
        int cols, rows;
        std::uint32_t base;  // the number of its first cell
    };

    bool valid_ = false;
    double originX_ = 0, originY_ = 0;
    std::vector<Level> levels_;
    // Per cell, the element numbers (compressed rows); the last row, past every grid, holds
    // the elements too large or too far out for any grid, searched one by one.
    std::vector<std::uint32_t> start_, items_;
    std::vector<std::uint32_t> keys_;  // per element its cell while building
    // Appended since the last build, searched one by one.
    std::vector<std::uint32_t> extra_;
};

// The snap points one element offers (lines, arcs, circles and curves; other kinds none).
std::vector<PointD> ElementSnapPoints(const TDrawElement& e);

}  // namespace tervasko
