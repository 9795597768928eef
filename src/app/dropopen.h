#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

class QMimeData;

namespace tervasko {

// The drawing a drag carries: exactly one local file whose name ends in ".tvk" (any case).
// Anything else (several files, other files, text, remote addresses) is not taken.
std::optional<QString> DroppedDrawing(const QMimeData* data);

// Lets the window take a drawing dropped anywhere on it: `open` asks about unsaved work as
// "Öffnen..." does and reads the file, once the drag has ended. Installed on the window as an
// event filter.
class TDropOpener : public QObject {
    Q_OBJECT
public:
    TDropOpener(QWidget& window, std::function<void(const std::string& path)> open);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    std::function<void(const std::string& path)> open_;
};

}  // namespace tervasko
