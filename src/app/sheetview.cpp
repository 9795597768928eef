#include "app/sheetview.h"

#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/qt/qtcanvas.h"
#include "view/drawobjects.h"
#include "view/instruments.h"

namespace tervasko {
namespace {

// Sheet images kept at once: the sheets on screen, with room for scrolling across a border.
// Ten sheets at the highest zoom would need over 300 MB if all were kept.
constexpr std::size_t kMaxCachedLayers = 3;
// A sheet picture scaled to the screen's device pixels is kept up to this size (an A4 sheet at
// zoom 200 on a screen at twice the size); larger ones are scaled at every paint.
constexpr double kMaxDeviceLayerBytes = 64.0 * 1024 * 1024;

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
            scene_.protractor, scene_.compass,   scene_.inches, scene_.setSquare};
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
    const bool setSquare = look.setSquare && changed([&](const InstrumentLook& o) {
                               return o.setSquare && o.placement.GeoX == p.GeoX &&
                                      o.placement.GeoY == p.GeoY &&
                                      o.placement.GeoAngle == p.GeoAngle;
                           });
    IntRect parts[4];
    int n = 0;
    if (ruler) parts[n++] = RulerBounds(p, s, w, h);
    if (protractor) parts[n++] = ProtractorBounds(p, look.winkelDiameter, s);
    if (setSquare) parts[n++] = SetSquareBounds(p, s);
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
    k = mix(k, scene_.worksheet ? reinterpret_cast<std::uintptr_t>(scene_.drawing->Worksheet.get())
                                : 0);
    return k;
}

const QImage& SheetView::drawingLayer(int sheet) {
    catchUpWithDrawing();
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
        layers_.push_front({sheet, key, QImage(size, QImage::Format_RGB32), {}, {}});
    }
    drawLayer(layers_.front().image, sheet, nullptr);
    layers_.front().device = QImage();
    return layers_.front().image;
}

const QImage* SheetView::deviceLayer(int sheet, qreal ratio) {
    const int whole = static_cast<int>(ratio);
    if (whole < 2 || whole != ratio) return nullptr;
    const QImage& image = drawingLayer(sheet);
    CachedLayer& layer = layers_.front();
    const QSize size = image.size() * whole;
    if (static_cast<double>(size.width()) * size.height() * 4 > kMaxDeviceLayerBytes) {
        layer.device = QImage();
        return nullptr;
    }
    // Kept for the two most recent sheets only: a drag repaints those on screen.
    int kept = 0;
    for (auto it = std::next(layers_.begin()); it != layers_.end(); ++it)
        if (!it->device.isNull() && ++kept > 1) it->device = QImage();
    const bool fresh = layer.device.size() != size || layer.device.devicePixelRatio() != ratio;
    if (!fresh && layer.deviceStale.isEmpty()) return &layer.device;
    if (fresh) {
        layer.device = QImage(size, QImage::Format_RGB32);
        layer.device.setDevicePixelRatio(ratio);
    }
    // The same scaling as the paint box's painter applies to `image` (its device ratio
    // scales the painter), so the copied pixels are those the scaled drawing gave.
    QPainter p(&layer.device);
    if (!fresh) p.setClipRegion(layer.deviceStale);
    p.drawImage(0, 0, image);
    layer.deviceStale = QRegion();
    return &layer.device;
}

// The paper, its frame, the elements and the texts; with `part`, only there.
void SheetView::drawLayer(QImage& image, int sheet, const QRegion* part) {
    QPainter p(&image);
    IntRect clip{0, 0, Geometry.SheetWidthPx, Geometry.SheetHeightPx};
    if (part) {
        p.setClipRegion(*part);
        const QRect r = part->boundingRect();
        clip = {r.left(), r.top(), r.right() + 1, r.bottom() + 1};
        ++stats_.partial;
    } else {
        ++stats_.whole;
    }
    QtCanvas canvas(p, scene_.dpi);
    canvas.setBrush(kWhite);
    canvas.setPen(kBlack, 1);
    canvas.rectangle(0, 0, Geometry.SheetWidthPx, Geometry.SheetHeightPx);
    if (const QImage* page = worksheetPage(sheet)) {
        DrawWorksheetImage(
            p, *page, worksheet_, sheet, Geometry.PixelsPerMm,
            QRect(QPoint(clip.left, clip.top), QPoint(clip.right - 1, clip.bottom - 1)));
        canvas.setBrushHollow();  // the frame over the page's edge
        canvas.rectangle(0, 0, Geometry.SheetWidthPx, Geometry.SheetHeightPx);
    }
    DrawObjects(canvas, *scene_.drawing, sheet, Geometry.PixelsPerMm, scene_.zoom / 100, &clip,
                &measures_);
}

const QImage* SheetView::worksheetPage(int sheet) {
    const TDrawing& d = *scene_.drawing;
    if (!scene_.worksheet || !d.Worksheet) return nullptr;
    if (worksheet_.Bytes() != d.Worksheet) {
        page_ = KeptPage{};
        worksheet_.Open(d.Worksheet);
    }
    if (sheet >= worksheet_.PageCount() || sheet >= kMaxWorksheetPages) return nullptr;
    if (page_.sheet != sheet || page_.pixelsPerMm != Geometry.PixelsPerMm) {
        page_.image = QImage();  // gone before the next is made: one page at a time
        page_.image = worksheet_.Render(sheet, Geometry.PixelsPerMm);
        page_.sheet = sheet;
        page_.pixelsPerMm = Geometry.PixelsPerMm;
        ++stats_.pages;
    }
    return page_.image.isNull() ? nullptr : &page_.image;
}

std::uint64_t SheetView::textsFingerprint() const {
    std::uint64_t h = 0x51ED270B27D1A3F1ull;
    const TDynaArray<TTextElement>& texts = scene_.drawing->Texts;
    h = mix(h, texts.Count());
    for (std::uint32_t i = 0; i < texts.Count(); ++i) {
        const TTextElement& t = texts.At(i);
        h = mix(h, bits(t.X1));
        h = mix(h, bits(t.Y1));
        h = mix(h, static_cast<std::uint32_t>(t.FontSize));
        h = mix(h, static_cast<std::uint32_t>(t.Color));
        h = mix(h, t.Charset | t.Pitch << 8 | t.Style << 16);
        for (const char16_t c : WideView(t.Text)) h = mix(h, c);
        h = mix(h, 0x10000);
        for (const char c : AnsiView(t.FontName)) h = mix(h, static_cast<unsigned char>(c));
    }
    return h;
}

// Brings the kept pictures up to date: the areas where elements changed are drawn again in
// the pictures of the present view; any other change makes every picture be drawn afresh.
void SheetView::catchUpWithDrawing() {
    if (!catchUp_ || !haveScene_) return;
    catchUp_ = false;
    TDrawing& d = *scene_.drawing;
    d.Index.Sync(d.SheetHeightMm());
    std::vector<ElementIndex::Area> areas;
    bool all = d.Index.TakeChanges(areas);
    const std::uint64_t texts = textsFingerprint();
    if (caughtUpDrawing_ != &d || caughtUpTexts_ != texts) all = true;
    caughtUpDrawing_ = &d;
    caughtUpTexts_ = texts;
    if (all) {
        ++drawingRevision_;
        return;
    }
    if (areas.empty()) return;
    const std::uint64_t key = layerKey();
    const double s = Geometry.PixelsPerMm;
    const QRect sheetRect(0, 0, Geometry.SheetWidthPx, Geometry.SheetHeightPx);
    // Half the pen is in the area; the rounding of the points and the pen's own rounding
    // reach a few pixels further.
    constexpr double kSlackPx = 4;
    const auto pixel = [](double v) { return static_cast<int>(std::clamp(v, -1e6, 1e6)); };
    for (CachedLayer& layer : layers_) {
        if (layer.key != key) continue;
        const double off = ViewTransform{s, 0, d.PageHeightInch}.SheetTopMm(layer.sheet);
        QRegion part;
        for (const ElementIndex::Area& a : areas) {
            const QRect r = QRect(QPoint(pixel(std::floor(a.left * s - kSlackPx)),
                                         pixel(std::floor((a.top - off) * s - kSlackPx))),
                                  QPoint(pixel(std::ceil(a.right * s + kSlackPx)),
                                         pixel(std::ceil((a.bottom - off) * s + kSlackPx))))
                                .intersected(sheetRect);
            if (!r.isEmpty()) part += r;
        }
        // Many small pieces close together (a stroke's segments) are drawn as the one
        // rectangle around them: a simple clip costs less than the few pixels more.
        if (part.rectCount() > 1) {
            const QRect around = part.boundingRect();
            long long pieces = 0;
            for (const QRect& r : part) pieces += static_cast<long long>(r.width()) * r.height();
            if (static_cast<long long>(around.width()) * around.height() <= 4 * pieces)
                part = around;
        }
        if (!part.isEmpty()) {
            drawLayer(layer.image, layer.sheet, &part);
            if (!layer.device.isNull()) layer.deviceStale += part;
        }
    }
}

void SheetView::drawInstruments(QPainter& painter, const QRect& visible) {
    instrumentLabels_.Trim();
    QtCanvas canvas(painter, scene_.dpi);
    canvas.SetCullRect(visible);
    canvas.KeepTextRuns(&instrumentLabels_);
    canvas.setPen(kGrey, 1);
    canvas.setBrushHollow();
    const TDrawing& d = *scene_.drawing;
    const double s = Geometry.PixelsPerMm;
    // An instrument whose bounds miss the visible part touches none of its pixels: its ticks
    // and labels need not even be worked out (a move of one instrument repaints only around
    // it). The instruments set no pen or brush that another one draws with.
    const auto shows = [&visible](const IntRect& b) {
        return b.right > visible.left() && b.left <= visible.right() && b.bottom > visible.top() &&
               b.top <= visible.bottom();
    };
    const int w = Geometry.SheetWidthPx, h = Geometry.SheetHeightPx;
    if (scene_.ruler && shows(RulerBounds(d.Placement, s, w, h)))
        DrawRuler(canvas, d.Placement, s, w, h, scene_.inches);
    if (scene_.protractor && shows(ProtractorBounds(d.Placement, d.WinkelDiameter, s)))
        DrawProtractor(canvas, d.Placement, d.WinkelDiameter, s);
    if (scene_.setSquare && shows(SetSquareBounds(d.Placement, s)))
        DrawSetSquare(canvas, d.Placement, s);
    if (scene_.compass && shows(CompassBounds(d.Placement, d.ZirkelAngle, s)))
        DrawCompass(canvas, d.Placement, d.ZirkelAngle, s);
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

void SheetView::Paint(QPainter& painter, const QRect& exposed, const QBrush* beside) {
    if (!haveScene_) {
        if (beside) painter.fillRect(exposed, *beside);
        return;
    }
    const int w = Geometry.SheetWidthPx, h = Geometry.SheetHeightPx;
    if (beside) {
        QRegion rest(exposed);
        for (int a = 0; a < scene_.pages; ++a) {
            const IntRect r = ViewTransform{Geometry.PixelsPerMm, h, 0}.SheetRect(a, w);
            rest -= QRect(QPoint(r.left, r.top), QSize(w, h));
        }
        for (const QRect& r : rest) painter.fillRect(r, *beside);
    }
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
        if (const QImage* device = deviceLayer(a, painter.device()->devicePixelRatio())) {
            const qreal k = device->devicePixelRatio();
            painter.drawImage(
                QRectF(visible), *device,
                QRectF(source.x() * k, source.y() * k, source.width() * k, source.height() * k));
        } else {
            painter.drawImage(visible.topLeft(), drawingLayer(a), source);
        }
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
