#pragma once

// The program's message boxes: every question, warning and notice goes through here.

#include <QMessageBox>
#include <string>

class QWidget;

namespace tervasko {

// The interface font of the program's windows ("MS Sans Serif", 8 points; Liberation Sans
// stands in for it where it is missing).
QFont InterfaceFont();

// Shows a modal message box owned by `owner` (or by no window) and returns the button
// chosen. The box uses the interface font, like the main window, rather than Qt's default
// font, and its text keeps room above the first line for the accents of capitals ("Ü"), which
// some fonts draw above their ascent where the label's edge would cut them off.
QMessageBox::StandardButton ShowMessageBox(QWidget* owner, QMessageBox::Icon icon,
                                           const std::string& caption, const std::string& text,
                                           QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// Gives the text of a message box room above its first line for what its glyphs draw above
// the font's ascent.
void KeepAccentsInside(QMessageBox& box);

}  // namespace tervasko
