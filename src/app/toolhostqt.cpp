#include "app/toolhostqt.h"

#include <QAction>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>

#include "app/mainUnit.h"
#include "app/paintbox.h"
#include "platform/qt/qtcanvas.h"
#include "tools/handzoom.h"

namespace tervasko {

bool TMainToolHost::Checked(ToolItem item) const { return form_.ToolAction(item)->isChecked(); }
double TMainToolHost::PixelsPerMm() const { return form_.PixelsPerMm(); }
int TMainToolHost::SheetHeightPx() const { return form_.View.Geometry.SheetHeightPx; }
Color TMainToolHost::PenColor() const { return form_.PenColor(); }
double TMainToolHost::PenWidth() const { return form_.PenWidth(); }
double TMainToolHost::EraserWidth() const { return form_.EraserWidth(); }
void TMainToolHost::Paint() { form_.PaintBox1Paint(); }
void TMainToolHost::UpdateEds() { form_.UpdateEds(); }
void TMainToolHost::SetChanged() { form_.SetChanged(); }

Canvas& TMainToolHost::ScreenCanvas() {
    // What is drawn now shows at the next repaint, right after this event.
    form_.PaintBox1->update();
    return form_.View.Overlay();
}

void TMainToolHost::SingleSheetRefresh(int sheet, const std::function<void(Canvas&)>& preview) {
    SheetView& view = form_.View;
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
    form_.PaintBox1->update(SheetMarginPx, SheetMarginPx + sheet * g.SheetHeightPx, g.SheetWidthPx,
                            g.SheetHeightPx);
}

void TMainToolHost::ShowPointerPosition(int x, int y) { form_.ShowPointerPosition(x, y); }

void TMainToolHost::SetChangedOnScreen() { form_.SetChangedOnScreen(); }
void TMainToolHost::SheetsCatchUp() { form_.CatchUpSheets(); }

bool TMainToolHost::AskText(const TextInput* preset, TextInput& result) { return form_.AskText(preset, result); }

int TMainToolHost::Zoom() const { return form_.zoomed->value(); }

// The field's change event repaints, as when the user types a value.
void TMainToolHost::SetZoom(double percent) { form_.zoomed->setValue(ZoomFieldValue(percent)); }

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

void TMainToolHost::SetPaintSuspended(bool suspended) { form_.View.PaintSuspended = suspended; }

}  // namespace tervasko
