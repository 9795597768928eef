#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "document/drawelement.h"
#include "document/dynaarray.h"

namespace tervasko {

// Which elements lie near which sheet, kept up to date with every change of the element
// list, and the areas that changed since they were last asked for.
//
// The stack is cut into bands one sheet high; an element is listed in every band that its
// extent (the box of the points its kind uses, widened by half its pen and by kReachMm) meets.
// Elements reaching over many bands, or with coordinates that are no numbers, are listed
// once for all bands. Each element's extent is kept too, as a box in single precision, for
// other indexes of the drawing to be built from without reading the records again. The index learns
// of removals, insertions and records handed out for writing from the list itself; records appended
// since it last looked are taken in when it is next asked. A record handed out for writing is
// looked at again when the index is next asked, so it must be written before that.
class ElementIndex final : public RecordListObserver {
public:
    static constexpr double kReachMm = 10;

    // An area in drawing millimetres (y down through the stack).
    struct Area {
        double left, top, right, bottom;
    };

    // An element's extent (the box of the points its kind uses, widened by half its pen),
    // rounded outwards to single precision: every point the element uses lies inside. An
    // element that is not drawn has NaN everywhere; one whose coordinates are no numbers or
    // endless spans everything (-inf .. +inf).
    struct Box {
        float left, top, right, bottom;
    };
    static Box BoxOf(const TDrawElement& e);

    explicit ElementIndex(const TDynaArray<TDrawElement>& list) : list_(list) {}
    ElementIndex(const ElementIndex&) = delete;
    ElementIndex& operator=(const ElementIndex&) = delete;

    // Takes in what changed since the last call; a new sheet height indexes everything anew.
    // Under a sheet height of no size only the boxes are kept.
    void Sync(double sheetHeightMm);

    // The box of every element, in list order. Call Sync first.
    const std::vector<Box>& Boxes() const { return boxes_; }

    // Works out the boxes of the records before `upTo` that have none yet, for a reader
    // filling a fresh list part by part while the records are at hand; the bands follow at
    // the next Sync, from the boxes. The records must not change unseen before that.
    void TakeInBoxes(std::uint32_t upTo);

    // Exchanges what the two indexes hold (after their lists exchanged their records); both
    // then report everything as changed.
    void SwapWith(ElementIndex& other);

    // The elements, in list order, that may reach the stripe top..bottom (mm) with half their
    // pen: every element that does is among them. nullptr when the index cannot tell cheaply
    // (a stripe over many sheets, far outside the stack): then every element is a candidate.
    // Call Sync first. The list stays valid until the next change or query.
    const std::vector<std::uint32_t>* Near(double top, double bottom);

    // The number of the band (one sheet high, counted from the top of the stack) that y lies
    // in, when bands are kept and it is one of those kept; else nullopt.
    std::optional<int> BandAt(double y) const;
    // The elements, in list order, that may come within kReachMm of a point of band b (from
    // BandAt) with half their pen. Call Sync first; valid until the next change or query.
    const std::vector<std::uint32_t>& InBand(int b);

    // The areas that the elements changed since the last call covered before or cover now
    // (the box of their points widened by half the pen); true when everything must be taken
    // as changed (a new drawing, a new sheet height, an element without a usable extent).
    // Call Sync first.
    bool TakeChanges(std::vector<Area>& areas);

    void Touching(std::uint32_t i, const void* record) override;
    void Removing(std::uint32_t i, const void* record) override;
    void Inserting(std::uint32_t i) override;
    void Reset() override;

private:
    static constexpr int kLastBand = 63;  // bands -1 .. kLastBand are kept
    static constexpr int kMostBands = 4;  // more than this: listed for all bands

    struct Placement {
        enum Kind { Nowhere, Bands, Everywhere } kind = Nowhere;
        int first = 0, last = -1;
    };
    struct Pending {
        std::uint32_t index;
        bool hadRecord;  // false: inserted, not yet listed anywhere
        TDrawElement before;
    };

    Placement place(const Box& box) const;
    bool bandsKept() const;
    bool sameHeight(double h) const { return h == height_ || (h != h && height_ != height_); }
    std::vector<std::uint32_t>& band(int b);
    void add(std::uint32_t i, const Placement& p);
    bool remove(std::uint32_t i, const Placement& p);
    void note(const TDrawElement& e);
    void resolvePending();
    void clearAll();
    void setHeight(double sheetHeightMm);
    void takeIn(std::uint32_t upTo);
    void dropAhead();

    const TDynaArray<TDrawElement>& list_;
    double height_ = 0;
    double perMm_ = 0;           // bands per millimetre
    std::uint32_t indexed_ = 0;  // records 0 .. indexed_-1 are listed
    // One for each listed record, then the boxes worked out ahead (see TakeInBoxes).
    std::vector<Box> boxes_;
    std::vector<std::vector<std::uint32_t>> bands_;  // band b at b + 1
    std::vector<std::uint32_t> everywhere_;
    std::vector<Pending> pending_;
    bool lastValid_ = false;  // the last record taken in, to see late writes to it
    std::uint32_t lastIndex_ = 0;
    TDrawElement last_{};
    bool broken_ = false;  // something did not match: index everything anew
    std::vector<std::uint32_t> merged_;
    bool allChanged_ = true;
    std::vector<Area> changed_;
};

}  // namespace tervasko
