#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "tools/toolhost.h"

class QFontDialog;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tervasko {

// Asks for a font (the font chooser unless replaced, e.g. by tests); nullopt when cancelled.
using FontChooser = std::function<std::optional<TextFontChoice>(const TextFontChoice& current)>;

// The font chooser: Qt's font chooser with a colour beside it, as the system's chooser has
// one. Made once, with the text dialog, so that the interface translation reaches its caption
// and its button like every other window's; its OK and Cancel are Qt's own buttons.
class TFontDialog : public QDialog {
    Q_OBJECT
public:
    explicit TFontDialog(QWidget* parent = nullptr);

    QFontDialog* Fonts = nullptr;
    QLabel* ColorSwatch = nullptr;
    QPushButton* ColorBtn = nullptr;

    // Shows the chooser modally, starting from `current`; the confirmed font, or nullopt.
    std::optional<TextFontChoice> Execute(const TextFontChoice& current);

private:
    void showColor();
    std::int32_t color_ = 0;
};

// The text dialog for adding and changing texts. Created once and reused: the memo is never
// cleared, so it opens with whatever it held last.
class TAddTextForm : public QDialog {
    Q_OBJECT
public:
    explicit TAddTextForm(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* NewFontBtn = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    TFontDialog* FontDialog = nullptr;  // the chooser that ChooseFont runs unless replaced

    // The font chooser's current font, shared with the main window (which owns it), and the
    // way to run the chooser.
    TextFontChoice* Font = nullptr;
    FontChooser ChooseFont;

    // The memo's text; line breaks are CR LF, as texts of the drawing hold them.
    std::u16string Text() const;
    void SetText(std::u16string_view text);

    void FormShow();
    void Memo1Change();
    // True when the key closed the dialog (Alt+Return).
    bool Memo1KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void NewFontBtnClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyFontToMemo();
};

// The font of a text as Qt shows it, and its colour (system colours resolved).
QFont ChoiceToQFont(const TextFontChoice& font);
QColor TextColorToQColor(std::int32_t color);

// What a font confirmed in a chooser gives, starting from the chooser's current font.
// shownFamily: the family the chooser showed for it at first (a face such as "Arial" may
// show as the family that stands in for it); keeping that keeps the current face.
TextFontChoice FontChoiceFrom(const QFont& font, std::int32_t color, const TextFontChoice& current,
                              const QString& shownFamily);

}  // namespace tervasko
