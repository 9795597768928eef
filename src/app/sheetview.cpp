#include "app/sheetview.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

#include "platform/qt/qtcanvas.h"
#include "view/drawobjects.h"
#include "view/instruments.h"

namespace tervasko {
namespace {

// Sheet images kept at once: the sheets on screen, with room for scrolling across a border.
// Ten sheets at the highest zoom would need over 300 MB if all were kept.
constexpr std::size_t kMaxCachedLayers = 3;

std::uint64_t mix(std::uint64_t h, std::uint64_t v) {
    h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    return h;
}

std::uint64_t bits(double d) {
    std::uint64_t b;
    std::memcpy(&b, &d, sizeof b);
    return b;
}

}  // namespace

void SheetView::Cycle(const SheetScene& scene, QSize paintBoxSize, const ResizeFn& resize,
                      const std::function<void()>& requestUpdate,
                      const RegionFn& requestRegionUpdate) {
    if (PaintSuspended) return;
    scene_ = scene;
    haveScene_ = true;
    const TDrawing& d = *scene.drawing;
    Geometry = ViewGeometry::Compute(scene.zoom, scene.dpi, d.PageWidthInch, d.PageHeightInch);
    const IntPoint want = Geometry.PaintBoxSize(scene.pages);
    if (paintBoxSize.width() != want.x || paintBoxSize.height() != want.y) {
        // The repaint that the new size brings shows every sheet afresh: nothing drawn for
        // the old size (an overlay, a sheet buffer put on screen) outlives it.
        overlay_.clear();
        overlay_.setPen(kBlack, 1);
        shownBufferSheet_ = -1;
        shown_.reset();
        resize(want.x, want.y);
        return;
    }
    if (SheetBuffer.width() != Geometry.SheetWidthPx ||
        SheetBuffer.height() != Geometry.SheetHeightPx)
        SheetBuffer = QImage(std::max(1, Geometry.SheetWidthPx),
                             std::max(1, Geometry.SheetHeightPx), QImage::Format_RGB32);
    if (SingleSheetPaint) {
        RenderSheet(SheetBuffer, PointerSheet);
        return;
    }
    const bool extras = !overlay_.entries().empty() || shownBufferSheet_ >= 0;
    overlay_.clear();
    overlay_.setPen(kBlack, 1);  // the paint box's pen after a cycle
    shownBufferSheet_ = -1;
    LastDamage = requestRegionUpdate ? instrumentDamage(extras) : std::nullopt;
    if (LastDamage)
        requestRegionUpdate(*LastDamage);
    else
        requestUpdate();
}

SheetView::InstrumentLook SheetView::instrumentLook() const {
    const TDrawing& d = *scene_.drawing;
    return {d.Placement,       d.WinkelDiameter, d.ZirkelAngle, scene_.ruler,
            scene_.protractor, scene_.compass,   scene_.inches};
}

QRegion SheetView::instrumentArea(const InstrumentLook& look, const InstrumentLook* other) const {
    const int w = Geometry.SheetWidthPx, h = Geometry.SheetHeightPx;
    const double s = Geometry.PixelsPerMm;
    const InstrumentPlacement& p = look.placement;
    auto changed = [other](auto same) { return !other || !same(*other); };
    const bool ruler =
        look.ruler && changed([&](const InstrumentLook& o) {
            return o.ruler && o.inches == look.inches && o.placement.LinealX == p.LinealX &&
                   o.placement.LinealY == p.LinealY && o.placement.LinealAngle == p.LinealAngle;
        });
    const bool protractor = look.protractor && changed([&](const InstrumentLook& o) {
                                return o.protractor && o.winkelDiameter == look.winkelDiameter &&
                                       o.placement.WinkelX == p.WinkelX &&
                                       o.placement.WinkelY == p.WinkelY &&
                                       o.placement.WinkelAngle == p.WinkelAngle;
                            });
    const bool compass = look.compass && changed([&](const InstrumentLook& o) {
                             return o.compass && o.zirkelAngle == look.zirkelAngle &&
                                    o.placement.ZirkelX == p.ZirkelX &&
                                    o.placement.ZirkelY == p.ZirkelY &&
                                    o.placement.ZirkelSpan == p.ZirkelSpan;
                         });
    IntRect parts[3];
    int n = 0;
    if (ruler) parts[n++] = RulerBounds(p, s, w, h);
    if (protractor) parts[n++] = ProtractorBounds(p, look.winkelDiameter, s);
    if (compass) parts[n++] = CompassBounds(p, look.zirkelAngle, s);
    QRegion area;
    for (int a = 0; a < scene_.pages; ++a) {
        const IntRect r = ViewTransform{s, h, 0}.SheetRect(a, w);
        const QRect sheetRect(QPoint(r.left, r.top), QSize(w, h));
        for (int i = 0; i < n; ++i) {
            const QRect part(QPoint(parts[i].left, parts[i].top),
                             QPoint(parts[i].right - 1, parts[i].bottom - 1));
            area += part.translated(sheetRect.topLeft()).intersected(sheetRect);
        }
    }
    return area;
}

std::optional<QRegion> SheetView::instrumentDamage(bool screenHasExtras) {
    const ShownState now{layerKey(), scene_.pages, instrumentLook()};
    const std::optional<ShownState> before = shown_;
    shown_ = now;
    if (!before || screenHasExtras || before->key != now.key || before->pages != now.pages ||
        before->look == now.look)
        return std::nullopt;
    return instrumentArea(before->look, &now.look) + instrumentArea(now.look, &before->look);
}

// A buffer of another size was drawn for a view that a resize has since replaced.
void SheetView::ShowSheetBuffer() {
    if (SheetBuffer.width() == Geometry.SheetWidthPx &&
        SheetBuffer.height() == Geometry.SheetHeightPx)
        shownBufferSheet_ = PointerSheet;
}

std::uint64_t SheetView::layerKey() const {
    std::uint64_t k = drawingRevision_;
    k = mix(k, reinterpret_cast<std::uintptr_t>(scene_.drawing));
    k = mix(k, static_cast<std::uint64_t>(Geometry.SheetWidthPx));
    k = mix(k, static_cast<std::uint64_t>(Geometry.SheetHeightPx));
    k = mix(k, bits(Geometry.PixelsPerMm));
    k = mix(k, bits(scene_.zoom));
    k = mix(k, bits(scene_.drawing->PageHeightInch));
    return k;
}

const QImage& SheetView::drawingLayer(int sheet) {
    const std::uint64_t key = layerKey();
    for (auto it = layers_.begin(); it != layers_.end(); ++it) {
        if (it->sheet == sheet && it->key == key) {
            layers_.splice(layers_.begin(), layers_, it);
            return layers_.front().image;
        }
    }
    // Images of an older drawing or view are drawn anew first, then the least recently used;
    // an image of the right size is reused rather than allocated again.
    auto reuse = std::find_if(layers_.begin(), layers_.end(),
                              [key](const CachedLayer& l) { return l.key != key; });
    if (reuse == layers_.end() && layers_.size() >= kMaxCachedLayers)
        reuse = std::prev(layers_.end());
    const QSize size(std::max(1, Geometry.SheetWidthPx), std::max(1, Geometry.SheetHeightPx));
    if (reuse != layers_.end()) {
        layers_.splice(layers_.begin(), layers_, reuse);
        layers_.front().sheet = sheet;
        layers_.front().key = key;
        if (layers_.front().image.size() != size)
            layers_.front().image = QImage(size, QImage::Format_RGB32);
    } else {
        layers_.push_front({sheet, key, QImage(size, QImage::Format_RGB32)});
    }
    QImage& image = layers_.front().image;
    QPainter p(&image);
    QtCanvas canvas(p, scene_.dpi);
    canvas.setBrush(kWhite);
    canvas.setPen(kBlack, 1);
    canvas.rectangle(0, 0, Geometry.SheetWidthPx, Geometry.SheetHeightPx);
    const IntRect clip{0, 0, Geometry.SheetWidthPx, Geometry.SheetHeightPx};
    DrawObjects(canvas, *scene_.drawing, sheet, Geometry.PixelsPerMm, scene_.zoom / 100, &clip);
    return image;
}

void SheetView::drawInstruments(QPainter& painter, const QRect& visible) {
    QtCanvas canvas(painter, scene_.dpi);
    canvas.SetCullRect(visible);
    canvas.setPen(kGrey, 1);
    canvas.setBrushHollow();
    const TDrawing& d = *scene_.drawing;
    const double s = Geometry.PixelsPerMm;
    if (scene_.ruler)
        DrawRuler(canvas, d.Placement, s, Geometry.SheetWidthPx, Geometry.SheetHeightPx,
                  scene_.inches);
    if (scene_.protractor) DrawProtractor(canvas, d.Placement, d.WinkelDiameter, s);
    if (scene_.compass) DrawCompass(canvas, d.Placement, d.ZirkelAngle, s);
}

void SheetView::RenderSheet(QImage& target, int sheet) {
    {
        QPainter p(&target);
        p.drawImage(0, 0, drawingLayer(sheet));
        const QRect whole(0, 0, Geometry.SheetWidthPx, Geometry.SheetHeightPx);
        p.setClipRect(whole);
        drawInstruments(p, whole);
    }
}

void SheetView::Paint(QPainter& painter, const QRect& exposed) {
    if (!haveScene_) return;
    const int w = Geometry.SheetWidthPx, h = Geometry.SheetHeightPx;
    for (int a = 0; a < scene_.pages; ++a) {
        const IntRect r = ViewTransform{Geometry.PixelsPerMm, h, 0}.SheetRect(a, w);
        const QRect sheetRect(QPoint(r.left, r.top), QSize(w, h));
        if (!sheetRect.intersects(exposed)) continue;
        const QRect visible = sheetRect.intersected(exposed);
        // Only the exposed part is copied: a paint event of several rectangles paints each
        // in turn, and must not cover what an earlier one drew.
        const QRect source = visible.translated(-sheetRect.topLeft());
        if (a == shownBufferSheet_) {
            painter.drawImage(visible.topLeft(), SheetBuffer, source);
            continue;
        }
        painter.drawImage(visible.topLeft(), drawingLayer(a), source);
        painter.save();
        painter.setClipRect(visible);
        painter.translate(sheetRect.topLeft());
        drawInstruments(painter, visible.translated(-sheetRect.topLeft()));
        painter.restore();
    }
    if (!overlay_.entries().empty()) {
        painter.save();
        painter.setClipRect(exposed, Qt::IntersectClip);
        QtCanvas canvas(painter, scene_.dpi);
        const IntRect cull{exposed.left(), exposed.top(), exposed.right(), exposed.bottom()};
        overlay_.replay(canvas, &cull);
        painter.restore();
    }
}

}  // namespace tervasko
