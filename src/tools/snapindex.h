#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "document/drawmodel.h"
#include "platform/canvas.h"

namespace tervasko {

// The points of a drawing that catch the pointer when snapping is on: the end points of
// lines, arcs and curves, the centres of circles and arcs, and where two lines cross.
// A uniform grid over the drawing (millimetres, y down through the stack of sheets) holds
// the points and the line segments, so a query looks at the few cells around the pointer
// and never at the whole drawing. Texts hold no snap points.
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
    void Build(const TDrawing& drawing);

    // Elements [first, first + count) were appended to `drawing`; an invalid index stays
    // invalid and is built whole at the next query.
    void Appended(const TDrawing& drawing, std::uint32_t first, std::uint32_t count);

    // The snap point nearest to `at` within `radiusMm`, if any; builds first when invalid.
    std::optional<PointD> Find(const TDrawing& drawing, PointD at, double radiusMm);
    // The same on the index as it stands (it must be valid).
    std::optional<PointD> FindBuilt(PointD at, double radiusMm) const;

private:
    struct Segment {
        double x1, y1, x2, y2;
    };
    void addElement(const TDrawElement& e, std::vector<PointD>& points,
                    std::vector<Segment>& segments) const;
    void cellRange(double lo, double hi, double origin, int cells, int& first, int& last) const;

    bool valid_ = false;
    double originX_ = 0, originY_ = 0, cell_ = 1;
    int cols_ = 0, rows_ = 0;
    // Per cell, the indices into points_ and segments_ (compressed rows).
    std::vector<std::uint32_t> pointStart_, pointItems_;
    std::vector<std::uint32_t> segStart_, segItems_;
    std::vector<PointD> points_;
    std::vector<Segment> segments_;
    // Appended since the last build, searched one by one.
    std::vector<PointD> extraPoints_;
    std::vector<Segment> extraSegments_;
};

// The snap points one element offers (lines, arcs, circles and curves; other kinds none).
std::vector<PointD> ElementSnapPoints(const TDrawElement& e);

}  // namespace tervasko
