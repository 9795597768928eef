// The "Bearbeiten" menu and the drawing's history on the window: undo and redo of every
// change, the changed mark following the history, and the shortcuts wherever the focus is
// in the main window.
#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>

#include "app/mainUnit.h"
#include "app/recovery.h"
#include "i18n/messagetable.h"
#include "session/drawingsession.h"

namespace tervasko {
namespace {

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// "Rückgängig: Kreis zeichnen", both parts in the active language.
QString stepHint(const char* command, const QString& step) {
    const std::string lead = TranslateText(command);
    if (step.isEmpty()) return QString::fromStdString(lead);
    return QString::fromStdString(lead + ": " + TranslateText(step.toStdString()));
}

constexpr const char* kUndoFailed =
    "Der Schritt konnte nicht rückgängig gemacht werden, weil nicht genug Speicher frei ist:";
constexpr const char* kRedoFailed =
    "Der Schritt konnte nicht wiederholt werden, weil nicht genug Speicher frei ist:";
constexpr const char* kHistoryDropped =
    "Die Zeichnung bleibt, wie sie ist. Die Schritte zum Rückgängigmachen und Wiederholen sind "
    "verworfen.";

}  // namespace

void TMainForm::buildEditMenu(QMenuBar* bar) {
    QMenu* menu = bar->addMenu(q("Bearbeiten"));
    menu->setObjectName("Bearbeiten1");
    menu->menuAction()->setObjectName("Bearbeiten1");
    Rueckgaengig1 = menu->addAction(q("Rückgängig"));
    Rueckgaengig1->setObjectName("Rueckgaengig1");
    Rueckgaengig1->setShortcut(QKeySequence::Undo);
    Wiederholen1 = menu->addAction(q("Wiederholen"));
    Wiederholen1->setObjectName("Wiederholen1");
    Wiederholen1->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    for (QAction* a : {Rueckgaengig1, Wiederholen1}) {
        // Wherever the focus is in this window; the text dialog is a window of its own.
        a->setShortcutContext(Qt::WindowShortcut);
        a->setEnabled(false);
    }
    connect(Rueckgaengig1, &QAction::triggered, this, &TMainForm::Rueckgaengig1Click);
    connect(Wiederholen1, &QAction::triggered, this, &TMainForm::Wiederholen1Click);
}

void TMainForm::setUpHistory() {
    QUndoStack& history = Session->History();
    connect(&history, &QUndoStack::canUndoChanged, Rueckgaengig1, &QAction::setEnabled);
    connect(&history, &QUndoStack::canRedoChanged, Wiederholen1, &QAction::setEnabled);
    const auto hints = [this] {
        const QUndoStack& h = Session->History();
        Rueckgaengig1->setStatusTip(stepHint("Rückgängig", h.canUndo() ? h.undoText() : QString()));
        Rueckgaengig1->setToolTip(Rueckgaengig1->statusTip());
        Wiederholen1->setStatusTip(stepHint("Wiederholen", h.canRedo() ? h.redoText() : QString()));
        Wiederholen1->setToolTip(Wiederholen1->statusTip());
    };
    connect(&history, &QUndoStack::indexChanged, this, hints);
    // The star and whether a recovery copy is kept follow the history's clean state alone.
    connect(Session.get(), &DrawingSession::cleanChanged, this, [this](bool clean) {
        if (Recovery) {
            if (clean)
                Recovery->DrawingSettled();
            else
                Recovery->DrawingChanged();
        }
        showTitle();
    });
    connect(&history, &QUndoStack::indexChanged, this, [this] {
        // Whatever step came or went, the kept sheet pictures catch up at the next paint.
        View.InvalidateDrawing();
        // Every further step of unsaved work makes the kept copy old.
        if (Recovery && Session->Changed()) Recovery->DrawingChanged();
    });
    connect(Session.get(), &DrawingSession::Restored, this, [this] {
        // Whatever was highlighted may name another entry now; no gesture is under way (the
        // history refuses to move during one and drops a waiting curve first).
        Gesture.Forget();
        View.InvalidateDrawing();
        PaintBox1Paint();
    });
    connect(Session.get(), &DrawingSession::StepFailed, this,
            [this](bool undoing, const QString& step) {
                ShowError(TranslateText(undoing ? kUndoFailed : kRedoFailed) + "\n" +
                          TranslateText(step.toStdString()) + "\n\n" +
                          TranslateText(kHistoryDropped));
            });
}

void TMainForm::Rueckgaengig1Click() {
    Session->Undo();
}
void TMainForm::Wiederholen1Click() {
    Session->Redo();
}

// The fields' own text undo would swallow the keys: in this window they mean the drawing.
bool TMainForm::isHistoryKey(QObject* watched, QEvent* event) const {
    if (event->type() != QEvent::ShortcutOverride) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    return key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
           key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y);
}

}  // namespace tervasko
