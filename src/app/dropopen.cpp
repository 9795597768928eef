#include "app/dropopen.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace tervasko {

std::optional<QString> DroppedDrawing(const QMimeData* data) {
    if (!data || !data->hasUrls()) return std::nullopt;
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return std::nullopt;
    const QString path = urls.front().toLocalFile();
    if (!path.endsWith(QLatin1String(".tvk"), Qt::CaseInsensitive)) return std::nullopt;
    return path;
}

TDropOpener::TDropOpener(QWidget& window, std::function<void(const std::string& path)> open)
    : QObject(&window), window_(window), open_(std::move(open)) {
    window_.setAcceptDrops(true);  // children that take no drops of their own pass them here
    window_.installEventFilter(this);
}

bool TDropOpener::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_) return false;
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (DroppedDrawing(drag->mimeData()))
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const auto path = DroppedDrawing(drop->mimeData());
            if (!path) {
                drop->ignore();
                return true;
            }
            drop->acceptProposedAction();
            // The question and any message box wait until the drag has ended: the source
            // program stays responsive, and a modal box never runs inside the drop.
            const std::string file = path->toStdString();
            QMetaObject::invokeMethod(
                &window_, [this, file] { open_(file); }, Qt::QueuedConnection);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace tervasko
