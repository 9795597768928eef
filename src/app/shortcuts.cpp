#include "app/shortcuts.h"

#include <QAction>
#include <QKeySequence>
#include <QSpinBox>
#include <QWidget>

namespace tervasko {
namespace {

QAction* windowAction(QWidget& window, const char* name, const QList<QKeySequence>& keys) {
    auto* a = new QAction(&window);
    a->setObjectName(name);
    a->setShortcuts(keys);
    window.addAction(a);
    return a;
}

}  // namespace

void InstallShortcuts(QWidget& window, std::function<void()> cancelGesture) {
    const auto key = [](QKeyCombination k) { return QKeySequence(k); };
    const struct {
        const char* item;
        QKeySequence keys;
    } items[] = {
        {"Neu1", key(Qt::CTRL | Qt::Key_N)},
        {"ffnen1", key(Qt::CTRL | Qt::Key_O)},
        {"Speichern1", key(Qt::CTRL | Qt::Key_S)},
        {"Speichernunter1", key(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {"DateiDrucken1", key(Qt::CTRL | Qt::Key_P)},
        {"Beenden1", key(Qt::CTRL | Qt::Key_Q)},
        {"ObjekteLetzesObjektlschen1", key(Qt::Key_Backspace)},
        {"LinealVerschieben1", key(Qt::Key_R)},
        {"LinealDrehen1", key(Qt::SHIFT | Qt::Key_R)},
        {"LinealAnLinealentlangzeichnen1", key(Qt::Key_A)},
        {"LinealQuerzumLinealzeichnen1", key(Qt::SHIFT | Qt::Key_A)},
        {"WinkelmesserVerschieben1", key(Qt::Key_G)},
        {"WinkelmesserDrehen1", key(Qt::SHIFT | Qt::Key_G)},
        {"WinkelmesserGradzahlmitBleistiftmarkieren1", key(Qt::Key_M)},
        {"ZirkelVerschieben1", key(Qt::Key_C)},
        {"ZirkelZirkelspanne1", key(Qt::SHIFT | Qt::Key_C)},
        {"ZirkelKreisbogenzeichnen1", key(Qt::Key_K)},
        {"ZirkelKreiszeichnen1", key(Qt::SHIFT | Qt::Key_K)},
        {"Kurven1", key(Qt::Key_B)},
        {"Bleistift1", key(Qt::Key_P)},
        {"Radierer1", key(Qt::Key_E)},
        {"TextTexthinzufgen1", key(Qt::Key_T)},
        {"TextTextndern1", key(Qt::SHIFT | Qt::Key_T)},
        {"TextVerschieben1", key(Qt::Key_V)},
        {"ObjekteVerschieben1", key(Qt::SHIFT | Qt::Key_V)},
        {"ObjekteLschen1", key(Qt::Key_Delete)},
        {"TextTextlschen1", key(Qt::SHIFT | Qt::Key_Delete)},
        {"Hand1", key(Qt::Key_H)},
        {"Zoom1", key(Qt::Key_Z)},
        {"GeodreieckVerschieben1", key(Qt::Key_D)},
        {"GeodreieckDrehen1", key(Qt::SHIFT | Qt::Key_D)},
        {"GeodreieckAnderlangenKanteentlangzeichnen1", key(Qt::Key_L)},
        {"GeodreieckAndenkurzenKantenentlangzeichnen1", key(Qt::SHIFT | Qt::Key_L)},
        {"GeodreieckWinkelmarkieren1", key(Qt::Key_W)},
    };
    for (const auto& i : items)
        if (auto* item = window.findChild<QAction*>(i.item)) item->setShortcut(i.keys);

    // Ctrl++ on keyboards where '+' needs Shift, Ctrl+= where it shares the key with '='.
    QAction* zoomIn = windowAction(window, "ZoomInAction",
                                   {key(Qt::CTRL | Qt::Key_Plus), key(Qt::CTRL | Qt::Key_Equal)});
    QAction* zoomOut = windowAction(window, "ZoomOutAction", {key(Qt::CTRL | Qt::Key_Minus)});
    QAction* zoomReset = windowAction(window, "ZoomResetAction", {key(Qt::CTRL | Qt::Key_0)});
    if (auto* zoom = window.findChild<QSpinBox*>("zoomed")) {
        QObject::connect(zoomIn, &QAction::triggered, zoom, [zoom] { zoom->stepBy(1); });
        QObject::connect(zoomOut, &QAction::triggered, zoom, [zoom] { zoom->stepBy(-1); });
        QObject::connect(zoomReset, &QAction::triggered, zoom, [zoom] { zoom->setValue(100); });
    }

    QAction* cancel = windowAction(window, "CancelGestureAction", {key(Qt::Key_Escape)});
    QObject::connect(cancel, &QAction::triggered, &window, std::move(cancelGesture));
}

WindowKeyActions FindWindowKeyActions(QWidget& window) {
    return {window.findChild<QAction*>("ZoomInAction", Qt::FindDirectChildrenOnly),
            window.findChild<QAction*>("ZoomOutAction", Qt::FindDirectChildrenOnly),
            window.findChild<QAction*>("ZoomResetAction", Qt::FindDirectChildrenOnly),
            window.findChild<QAction*>("CancelGestureAction", Qt::FindDirectChildrenOnly)};
}

}  // namespace tervasko
