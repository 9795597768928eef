#pragma once

#include <QObject>
#include <QString>
#include <optional>

class QMimeData;

namespace tervasko {

class TMainForm;

// The drawing a drag carries: exactly one local file whose name ends in ".tvk" (any case).
// Anything else (several files, other files, text, remote addresses) is not taken.
std::optional<QString> DroppedDrawing(const QMimeData* data);

// Lets the window take a drawing dropped anywhere on it: the unsaved-changes question as for
// "Öffnen...", then the file is read. Installed on the window as an event filter.
class TDropOpener : public QObject {
    Q_OBJECT
public:
    explicit TDropOpener(TMainForm& form);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TMainForm& form_;
};

}  // namespace tervasko
