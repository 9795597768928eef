#pragma once

#include <functional>

class QAction;
class QWidget;

namespace tervasko {

// The keys of the window's commands and tools, shown in the menus beside the items:
//   Ctrl+N "Neu", Ctrl+O "Öffnen...", Ctrl+S "Speichern", Ctrl+Shift+S "Speichern unter...",
//   Ctrl+P "Drucken...", Ctrl+Q "Beenden"; Ctrl++ (also Ctrl+=) and Ctrl+- change the zoom
//   field by its step, Ctrl+0 sets it to 100 %; Backspace "Letzes Objekt löschen";
//   Escape cancels the gesture under way.
//   Tools, single keys: R ruler slide, Shift+R ruler turn, A along the ruler, Shift+A across
//   it; G protractor slide, Shift+G protractor turn, M degree mark; C compass slide, Shift+C
//   span, K arc, Shift+K full circle; B curves, P pencil, E eraser; T add text, Shift+T change
//   text, V carry text, Shift+V carry element, Delete delete element, Shift+Delete delete
//   text; H hand, Z zoom; D set square slide, Shift+D set square turn, L along its long edge,
//   Shift+L along its short edges, W angle mark.
//   On the sheet, once a click has given it the focus: the arrow keys and Page Up/Down move
//   the active tool's instrument (NudgeInstrument, session/placementkeys.h).
// The keys are the window's own (the text dialog and the translation editor have theirs), and
// a key that means text in the focused field (a letter, Backspace, Delete in a number field)
// stays with the field. The icon-only twins of the file commands carry no key, which would be
// ambiguous.
// The items and the zoom field ("zoomed") are found under `window` by their object names;
// `cancelGesture` is Escape's work.
void InstallShortcuts(QWidget& window, std::function<void()> cancelGesture);

// The window's commands that have a key and no menu item.
struct WindowKeyActions {
    QAction* zoomIn = nullptr;
    QAction* zoomOut = nullptr;
    QAction* zoomReset = nullptr;
    QAction* cancelGesture = nullptr;
};
WindowKeyActions FindWindowKeyActions(QWidget& window);

}  // namespace tervasko
