#pragma once

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "document/drawmodel.h"
#include "platform/canvas.h"

namespace tervasko {

// The points of a drawing that catch the pointer when snapping is on: the end points of
// lines, arcs and curves, the centres of circles and arcs, and where two lines cross.
// A grid is a stack of uniform grids over the elements it holds (millimetres, y down
// through the stack of sheets), each with cells twice as wide as the one below: each element
// once, in the cell of the finest grid its box fits, by the centre of its box. A query looks
// at the few cells around the pointer on each grid, reads the elements from the drawing and
// never looks at the whole drawing. Texts hold no snap points.
//
// A query near a sheet uses the grid of a tile of that sheet, a square of kTileMm, which
// holds the elements that come within ElementIndex::kReachMm of the tile: a pass over the
// boxes of the elements the drawing's sheet index lists for that sheet picks them. A query
// reaching farther (or off the sheets) uses a grid of every element. Each grid is built, from
// the boxes the drawing keeps for its elements, on the first query that needs it after the
// index was invalidated. Elements appended at the end go to a short side list until the next
// build; any other change invalidates the index.
class SnapIndex {
public:
    static constexpr double kTileMm = 32;

    // The drawing changed in a way the index cannot follow cheaply (removal, change, undo,
    // load, new): every grid is built afresh when next needed.
    void Invalidate();
    // True while the grid of every element is built.
    bool Valid() const { return whole_.built; }

    // Builds the grid of every element of `drawing`.
    void Build(TDrawing& drawing);

    // Elements [first, first + count) were appended to `drawing`.
    void Appended(const TDrawing& drawing, std::uint32_t first, std::uint32_t count);

    // The snap point nearest to `at` within `radiusMm`, if any; builds the grid it needs.
    std::optional<PointD> Find(TDrawing& drawing, PointD at, double radiusMm);
    // The same through the grid of every element as it stands (Build first).
    std::optional<PointD> FindBuilt(const TDrawing& drawing, PointD at, double radiusMm) const;

    // Builds the grid a query at `at` within `radiusMm` needs, unless it stands.
    void Prepare(TDrawing& drawing, PointD at, double radiusMm);

private:
    struct Level {
        double cell, inverse;
        int cols, rows;
        std::uint32_t base;  // the number of its first cell
    };
    struct Grid {
        bool built = false;
        double originX = 0, originY = 0;
        std::vector<Level> levels;
        // Per cell, the element numbers (compressed rows); the last row, past every grid,
        // holds the elements too large or too far out for any grid, searched one by one.
        std::vector<std::uint32_t> start, items;
        std::vector<ElementIndex::Box> itemBoxes;  // the box of each of items

        // Over the elements `ids` (or every element when null) of `count`.
        void Build(const std::vector<ElementIndex::Box>& boxes, const std::uint32_t* ids,
                   std::uint32_t count, std::vector<std::uint32_t>& keys);
    };

    Grid& gridFor(TDrawing& drawing, PointD at, double radiusMm);
    std::optional<PointD> find(const Grid& grid, const TDrawing& drawing, PointD at,
                               double radiusMm) const;

    Grid whole_;
    // The grids of tiles by sheet band, column and row (tiles start at the top of a band).
    std::unordered_map<std::uint64_t, Grid> tiles_;
    double bandHeight_ = 0;  // the sheet height the tiles were cut under
    std::vector<std::uint32_t> picked_;
    std::vector<std::uint32_t> keys_;  // per element its cell while building
    // Appended since the grids were built, searched one by one.
    std::vector<std::uint32_t> extra_;
};

// The snap points one element offers (lines, arcs, circles and curves; other kinds none).
std::vector<PointD> ElementSnapPoints(const TDrawElement& e);

}  // namespace tervasko
