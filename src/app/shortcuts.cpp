#include "app/shortcuts.h"

#include <QAction>
#include <QKeySequence>
#include <QSpinBox>

#include "app/mainUnit.h"
#include "app/toolhostqt.h"
#include "session/drawingsession.h"
#include "tools/cancel.h"

namespace tervasko {
namespace {

QAction* windowAction(TMainForm& form, const char* name, const QList<QKeySequence>& keys) {
    auto* a = new QAction(&form);
    a->setObjectName(name);
    a->setShortcuts(keys);
    form.addAction(a);
    return a;
}

}  // namespace

void InstallShortcuts(TMainForm& form) {
    const auto key = [](QKeyCombination k) { return QKeySequence(k); };
    const struct {
        QAction* item;
        QKeySequence keys;
    } items[] = {
        {form.Neu1, key(Qt::CTRL | Qt::Key_N)},
        {form.ffnen1, key(Qt::CTRL | Qt::Key_O)},
        {form.Speichern1, key(Qt::CTRL | Qt::Key_S)},
        {form.Speichernunter1, key(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {form.DateiDrucken1, key(Qt::CTRL | Qt::Key_P)},
        {form.Beenden1, key(Qt::CTRL | Qt::Key_Q)},
        {form.ObjekteLetzesObjektlschen1, key(Qt::Key_Backspace)},
        {form.LinealVerschieben1, key(Qt::Key_R)},
        {form.LinealDrehen1, key(Qt::SHIFT | Qt::Key_R)},
        {form.LinealAnLinealentlangzeichnen1, key(Qt::Key_A)},
        {form.LinealQuerzumLinealzeichnen1, key(Qt::SHIFT | Qt::Key_A)},
        {form.WinkelmesserVerschieben1, key(Qt::Key_G)},
        {form.WinkelmesserDrehen1, key(Qt::SHIFT | Qt::Key_G)},
        {form.WinkelmesserGradzahlmitBleistiftmarkieren1, key(Qt::Key_M)},
        {form.ZirkelVerschieben1, key(Qt::Key_C)},
        {form.ZirkelZirkelspanne1, key(Qt::SHIFT | Qt::Key_C)},
        {form.ZirkelKreisbogenzeichnen1, key(Qt::Key_K)},
        {form.ZirkelKreiszeichnen1, key(Qt::SHIFT | Qt::Key_K)},
        {form.Kurven1, key(Qt::Key_B)},
        {form.Bleistift1, key(Qt::Key_P)},
        {form.Radierer1, key(Qt::Key_E)},
        {form.TextTexthinzufgen1, key(Qt::Key_T)},
        {form.TextTextndern1, key(Qt::SHIFT | Qt::Key_T)},
        {form.TextVerschieben1, key(Qt::Key_V)},
        {form.ObjekteVerschieben1, key(Qt::SHIFT | Qt::Key_V)},
        {form.ObjekteLschen1, key(Qt::Key_Delete)},
        {form.TextTextlschen1, key(Qt::SHIFT | Qt::Key_Delete)},
        {form.Hand1, key(Qt::Key_H)},
        {form.Zoom1, key(Qt::Key_Z)},
    };
    for (const auto& i : items) i.item->setShortcut(i.keys);

    // Ctrl++ on keyboards where '+' needs Shift, Ctrl+= where it shares the key with '='.
    QAction* zoomIn = windowAction(form, "ZoomInAction",
                                   {key(Qt::CTRL | Qt::Key_Plus), key(Qt::CTRL | Qt::Key_Equal)});
    QAction* zoomOut = windowAction(form, "ZoomOutAction", {key(Qt::CTRL | Qt::Key_Minus)});
    QAction* zoomReset = windowAction(form, "ZoomResetAction", {key(Qt::CTRL | Qt::Key_0)});
    QObject::connect(zoomIn, &QAction::triggered, &form, [&form] { form.zoomed->stepBy(1); });
    QObject::connect(zoomOut, &QAction::triggered, &form, [&form] { form.zoomed->stepBy(-1); });
    QObject::connect(zoomReset, &QAction::triggered, &form,
                     [&form] { form.zoomed->setValue(100); });

    QAction* cancel = windowAction(form, "CancelGestureAction", {key(Qt::Key_Escape)});
    QObject::connect(cancel, &QAction::triggered, &form, [&form] { form.CancelGestureUnderWay(); });
}

WindowKeyActions FindWindowKeyActions(TMainForm& form) {
    return {form.findChild<QAction*>("ZoomInAction", Qt::FindDirectChildrenOnly),
            form.findChild<QAction*>("ZoomOutAction", Qt::FindDirectChildrenOnly),
            form.findChild<QAction*>("ZoomResetAction", Qt::FindDirectChildrenOnly),
            form.findChild<QAction*>("CancelGestureAction", Qt::FindDirectChildrenOnly)};
}

}  // namespace tervasko
