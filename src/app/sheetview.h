#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>
#include <cstdint>
#include <functional>
#include <list>
#include <optional>

#include "document/drawmodel.h"
#include "platform/qt/textruns.h"
#include "platform/recordingcanvas.h"
#include "view/drawobjects.h"
#include "view/viewgeometry.h"
#include "worksheet/worksheet.h"

class QBrush;
class QPainter;
class QRegion;

namespace tervasko {

// What one paint cycle shows, read from the window's controls at the start of the cycle.
struct SheetScene {
    TDrawing* drawing = nullptr;
    int pages = 1;
    double zoom = 100;  // percent
    int dpi = 96;       // logical pixels per inch of the paint box's screen
    bool ruler = true, protractor = true, compass = true, inches = false;
    bool setSquare = false;
    bool worksheet = true;  // the drawing's worksheet beneath the elements, when it has one
};

// The sheets on the paint box: the paint cycle, the sheet buffer, and the two ways tools
// show previews. Qt paints a widget only in its paint event, so the cycle decides what the
// paint box shows and asks for a repaint; paint() then draws it. A cycle shows every sheet
// up to date; an overlay drawn after a cycle stays, and overlays add up, until the next
// cycle; a single-sheet refresh replaces one sheet's picture until the next cycle.
//
// Only the sheets in view are drawn. The drawing of each sheet (paper, frame, elements,
// texts) is kept as an image while neither the drawing nor the view changes, so moving an
// instrument redraws only the instruments; elements that cannot touch a sheet are skipped.
// A worksheet's page lies beneath the elements in that picture; the page last rendered is
// kept as well, so that a picture drawn again in part does not render it anew.
class SheetView {
public:
    ViewGeometry Geometry;
    bool PaintSuspended = false;
    bool SingleSheetPaint = false;
    int PointerSheet = 0;     // sheet of the last press
    int PointerSheetTop = 0;  // its top in stack pixels
    QImage SheetBuffer;       // one sheet
    // What the last cycle asked to repaint when it repainted only the instruments' area.
    std::optional<QRegion> LastDamage;

    // Runs the paint cycle: computes the geometry, and when the paint box has another size,
    // calls resize and draws nothing (the repaint after the resize draws). Otherwise shows
    // every sheet afresh (or, with SingleSheetPaint, draws sheet PointerSheet into
    // SheetBuffer only) and calls requestUpdate.
    // When only the instruments changed since the last cycle, and requestRegionUpdate is
    // given, it is called in place of requestUpdate with the paint-box area that the old and
    // new instruments cover; everything else on screen stays as it is.
    using ResizeFn = std::function<void(int width, int height)>;
    using RegionFn = std::function<void(const QRegion& damaged)>;
    void Cycle(const SheetScene& scene, QSize paintBoxSize, const ResizeFn& resize,
               const std::function<void()>& requestUpdate,
               const RegionFn& requestRegionUpdate = {});

    // The drawing changed: the kept sheet pictures catch up with it at the next paint, each
    // drawing again only the parts where elements changed (everything after a change of the
    // texts or of the whole drawing).
    void InvalidateDrawing() { catchUp_ = true; }
    // Every sheet picture is drawn afresh at the next paint.
    void RedrawSheets() { ++drawingRevision_; }

    // How often sheet pictures were drawn whole and in part, and worksheet pages rendered.
    struct LayerStats {
        std::uint64_t whole = 0, partial = 0, pages = 0;
    };
    const LayerStats& Stats() const { return stats_; }
    const TextMeasures& Measures() const { return measures_; }

    // Direct overlay, in paint-box pixels, shown over the sheets until the next cycle.
    RecordingCanvas& Overlay() { return overlay_; }

    // Single-sheet refresh: after a cycle with SingleSheetPaint, the tool drew its preview
    // into SheetBuffer; this puts the buffer on screen at sheet PointerSheet.
    void ShowSheetBuffer();

    // Draws the part `exposed` of the paint box; with `beside`, what lies beside the sheets
    // is filled with it (a paint box that paints all it shows: nothing beneath it is painted
    // first).
    void Paint(QPainter& painter, const QRect& exposed, const QBrush* beside = nullptr);

    // Renders sheet a completely, as the cycle shows it, into `target` (sheet-sized).
    void RenderSheet(QImage& target, int sheet);

    int Pages() const { return scene_.pages; }

private:
    struct CachedLayer {
        int sheet;
        std::uint64_t key;
        QImage image;
        // The picture scaled to a screen of a whole device pixel ratio (2 on a screen at twice
        // the size) exactly as the paint box's painter scales `image`, so that a paint copies
        // its pixels instead of scaling them again; `deviceStale` is where `image` changed since.
        QImage device;
        QRegion deviceStale;
    };
    const QImage& drawingLayer(int sheet);
    // The picture of `sheet` at device pixel ratio `ratio`, or nullptr where none is kept
    // (too large, or the ratio not whole).
    const QImage* deviceLayer(int sheet, qreal ratio);
    void drawLayer(QImage& image, int sheet, const QRegion* part);
    void catchUpWithDrawing();
    std::uint64_t textsFingerprint() const;
    void drawInstruments(QPainter& painter, const QRect& visible);

    // What the instruments look like: what a cycle compares to repaint only their area.
    struct InstrumentLook {
        InstrumentPlacement placement;
        double winkelDiameter = 0, zirkelAngle = 0;
        bool ruler = false, protractor = false, compass = false, inches = false;
        bool setSquare = false;
        bool operator==(const InstrumentLook&) const = default;
    };
    InstrumentLook instrumentLook() const;
    // The paint-box area that the instruments of `look` cover on every sheet; of those that
    // look otherwise in `other` only, when given.
    QRegion instrumentArea(const InstrumentLook& look, const InstrumentLook* other) const;
    // The area a cycle must repaint when only the instruments moved since the last one shown,
    // or nullopt when it must repaint everything.
    std::optional<QRegion> instrumentDamage(bool screenHasExtras);
    std::uint64_t layerKey() const;

    // The page of the worksheet beneath `sheet`, rendered at the present scale (or kept from
    // the last time); null when there is none.
    const QImage* worksheetPage(int sheet);

    SheetScene scene_;
    bool haveScene_ = false;
    WorksheetDocument worksheet_;
    struct KeptPage {
        int sheet = -1;
        double pixelsPerMm = 0;
        QImage image;
    } page_;
    std::uint64_t drawingRevision_ = 0;
    std::list<CachedLayer> layers_;  // most recently used first
    RecordingCanvas overlay_;
    int shownBufferSheet_ = -1;  // sheet whose picture is SheetBuffer until the next cycle
    bool catchUp_ = false;
    const TDrawing* caughtUpDrawing_ = nullptr;  // the drawing and texts the pictures show
    std::uint64_t caughtUpTexts_ = 0;
    TextMeasures measures_;
    TextRuns instrumentLabels_;  // shaped once for every paint of the instruments
    LayerStats stats_;
    // What the last cycle that updated the screen showed: its sheets' key, page count and
    // instruments; unset after a resize.
    struct ShownState {
        std::uint64_t key;
        int pages;
        InstrumentLook look;
    };
    std::optional<ShownState> shown_;
};

}  // namespace tervasko
