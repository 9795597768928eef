#include "app/toolhostqt.h"

#include <QAction>
#include <QGuiApplication>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <algorithm>

#include "app/measurefield.h"
#include "app/paintbox.h"
#include "app/sheetview.h"
#include "platform/qt/qtcanvas.h"
#include "session/drawingsession.h"
#include "tools/handzoom.h"

namespace tervasko {

// The paint box's canvas as the tools draw on it: every operation goes into the overlay that
// each repaint draws over the sheets, and asks for a repaint of just the pixels it can touch,
// so that a pencil segment repaints a few pixels rather than the whole view.
class ScreenOverlay : public Canvas {
public:
    ScreenOverlay(RecordingCanvas& overlay, QWidget& paintBox)
        : overlay_(overlay), box_(paintBox), probe_(1, 1, QImage::Format_RGB32) {}

    void setPen(Color color, int width, PenStyle style) override {
        overlay_.setPen(color, width, style);
    }
    void setBrush(Color color) override { overlay_.setBrush(color); }
    void setBrushHollow() override { overlay_.setBrushHollow(); }
    void setFont(const FontSpec& font) override {
        overlay_.setFont(font);
        font_ = font;
    }
    void setTransparentBackground(bool transparent) override {
        overlay_.setTransparentBackground(transparent);
    }
    void moveTo(int x, int y) override { overlay_.moveTo(x, y); }
    void lineTo(int x, int y) override {
        const IntPoint from = overlay_.position();
        touched({from, {x, y}});
        overlay_.lineTo(x, y);
    }
    void rectangle(int left, int top, int right, int bottom) override {
        touched({{left, top}, {right, bottom}});
        overlay_.rectangle(left, top, right, bottom);
    }
    void ellipse(int left, int top, int right, int bottom) override {
        touched({{left, top}, {right, bottom}});
        overlay_.ellipse(left, top, right, bottom);
    }
    void arc(int left, int top, int right, int bottom, int x3, int y3, int x4, int y4) override {
        touched({{left, top}, {right, bottom}});
        overlay_.arc(left, top, right, bottom, x3, y3, x4, y4);
    }
    void bezierTo(IntPoint c1, IntPoint c2, IntPoint end) override {
        touched({overlay_.position(), c1, c2, end});  // the curve stays inside its hull
        overlay_.bezierTo(c1, c2, end);
    }
    // Rotated or single-line text: its extent is not known here, the whole view repaints.
    void textOut(int x, int y, std::u16string_view text) override {
        box_.update();
        overlay_.textOut(x, y, text);
    }
    // Texts are measured with the real fonts, as the sheets measure them, so a highlight
    // covers its text exactly.
    int textWidth(std::u16string_view text) override {
        QPainter painter(&probe_);
        return measuring(painter).textWidth(text);
    }
    IntRect drawText(IntRect r, std::u16string_view text, bool measureOnly) override {
        QPainter painter(&probe_);
        const IntRect laidOut = measuring(painter).drawText(r, text, true);
        if (measureOnly) return laidOut;
        const int slack = std::clamp(font_.height, 0, 1 << 16);  // italic overhang and the like
        touched(
            {{laidOut.left - slack, laidOut.top}, {laidOut.right + slack, laidOut.bottom + slack}});
        overlay_.drawText(r, text, false);
        return laidOut;
    }
    // The paint box's resolution, which the sheets are drawn at too.
    int logicalDpiX() const override { return box_.logicalDpiX(); }
    int logicalDpiY() const override { return box_.logicalDpiX(); }

private:
    // A canvas on a private image with the font in force, for measuring text.
    QtCanvas measuring(QPainter& painter) {
        QtCanvas canvas(painter, logicalDpiX());
        canvas.setFont(font_);
        return canvas;
    }

    // The box around the points, widened by the pen and a pixel of rounding on each side.
    void touched(std::initializer_list<IntPoint> points) {
        int left = points.begin()->x, top = points.begin()->y, right = left, bottom = top;
        for (const IntPoint& p : points) {
            left = std::min(left, p.x), right = std::max(right, p.x);
            top = std::min(top, p.y), bottom = std::max(bottom, p.y);
        }
        const int margin = std::min(std::max(1, overlay_.penWidth()), 1 << 20) / 2 + 2;
        // Held to the paint box, so that far-off points of a broken drawing cannot overflow.
        const auto inX = [&](long long v) {
            return static_cast<int>(std::clamp<long long>(v, -1, box_.width()));
        };
        const auto inY = [&](long long v) {
            return static_cast<int>(std::clamp<long long>(v, -1, box_.height()));
        };
        box_.update(QRect(QPoint(inX(1LL * left - margin), inY(1LL * top - margin)),
                          QPoint(inX(1LL * right + margin), inY(1LL * bottom + margin))));
    }

    RecordingCanvas& overlay_;
    QWidget& box_;
    QImage probe_;
    FontSpec font_;
};

TMainToolHost::TMainToolHost(ToolWindow window)
    : form_(std::move(window)),
      screen_(std::make_unique<ScreenOverlay>(form_.View->Overlay(), *form_.PaintBox1)),
      measure_(std::make_unique<MeasureField>(*form_.StatusBar)) {}

TMainToolHost::~TMainToolHost() = default;

bool TMainToolHost::Checked(ToolItem item) const {
    return form_.Session->Tool.Checked(item);
}
double TMainToolHost::PixelsPerMm() const {
    return form_.View->Geometry.PixelsPerMm;
}
int TMainToolHost::SheetHeightPx() const {
    return form_.View->Geometry.SheetHeightPx;
}
// The pen and the eraser as the session's settings hold them.
Color TMainToolHost::PenColor() const {
    return form_.Session->Settings.Values().PenColor;
}
double TMainToolHost::PenWidth() const {
    return form_.Session->Settings.Values().PenWidth;
}
double TMainToolHost::EraserWidth() const {
    return form_.Session->Settings.Values().EraserWidth;
}
void TMainToolHost::Paint() {
    form_.PaintBox1Paint();
}
void TMainToolHost::UpdateEds() {
    form_.UpdateEds();
}

// What is drawn shows at the next repaint, right after this event.
Canvas& TMainToolHost::ScreenCanvas() {
    return *screen_;
}

void TMainToolHost::SingleSheetRefresh(int sheet, const std::function<void(Canvas&)>& preview) {
    SheetView& view = *form_.View;
    view.SingleSheetPaint = true;
    view.PointerSheet = sheet;
    form_.PaintBox1Paint();
    view.SingleSheetPaint = false;
    {
        QPainter painter(&view.SheetBuffer);
        QtCanvas canvas(painter, form_.PaintBox1->logicalDpiX());
        preview(canvas);
    }
    view.ShowSheetBuffer();
    const ViewGeometry& g = view.Geometry;
    const IntRect r =
        ViewTransform{g.PixelsPerMm, g.SheetHeightPx, 0}.SheetRect(sheet, g.SheetWidthPx);
    form_.PaintBox1->update(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TMainToolHost::ShowPointerPosition(PointD mm) {
    form_.ShowPointerPosition(mm);
}

void TMainToolHost::ShowMeasurement(const Measurement& m) {
    measure_->Show(m, form_.Session->Settings.Inches());
}

void TMainToolHost::DrawnAheadOfSheets() {
    form_.DrawnAheadOfSheets();
}
void TMainToolHost::SheetsCatchUp() {
    form_.CatchUpSheets();
}

bool TMainToolHost::AskText(const TextInput* preset, TextInput& result) {
    return form_.AskText(preset, result);
}

int TMainToolHost::Zoom() const {
    return form_.Session->Settings.Zoom();
}

// The zoom field's value: whole percent within its range. The field follows the model and
// its change repaints, as when the user types a value.
void TMainToolHost::SetZoom(double percent) {
    form_.Session->Settings.SetZoom(ZoomFieldValue(percent));
}

ScrollState TMainToolHost::Scroll() const {
    const QScrollArea& box = *form_.ScrollBox1;
    ScrollState s;
    s.h = box.horizontalScrollBar()->value();
    s.v = box.verticalScrollBar()->value();
    // The paint box lies at the scroll box's origin: its size is the extent to scroll over.
    s.hRange = form_.PaintBox1->width();
    s.vRange = form_.PaintBox1->height();
    s.boxWidth = box.width();
    s.boxHeight = box.height();
    return s;
}

void TMainToolHost::SetScrollPosition(int h, int v) {
    form_.ScrollBox1->horizontalScrollBar()->setValue(h);
    form_.ScrollBox1->verticalScrollBar()->setValue(v);
}

void TMainToolHost::SetPaintSuspended(bool suspended) {
    form_.View->PaintSuspended = suspended;
}

void TMainToolHost::RecordEdit(std::unique_ptr<DrawingEdit> edit, const char* step) {
    form_.Session->Record(std::move(edit), step);
}

bool TMainToolHost::ShiftHeld() const {
    return QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
}

bool TMainToolHost::SnapOn() const {
    return form_.Session->Settings.Snap();
}

std::optional<PointD> TMainToolHost::FindSnapPoint(PointD mm, double radiusMm) {
    return form_.Session->Snap.Find(form_.Session->Drawing(), mm, radiusMm);
}

}  // namespace tervasko
