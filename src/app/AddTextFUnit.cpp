#include "app/AddTextFUnit.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <cmath>

#include "platform/qt/qtcanvas.h"

namespace tervasko {
namespace {

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

}  // namespace

QColor TextColorToQColor(std::int32_t color) {
    return ToQColor(static_cast<std::uint32_t>(color));
}

QFont ChoiceToQFont(const TextFontChoice& font) {
    QFont f(QString::fromStdString(font.face));
    f.setPointSize(std::max(1, font.size));
    f.setBold(font.style & 1);
    f.setItalic(font.style & 2);
    f.setUnderline(font.style & 4);
    f.setStrikeOut(font.style & 8);
    if (font.pitch == 2) f.setFixedPitch(true);
    return f;
}

TextFontChoice FontChoiceFrom(const QFont& font, std::int32_t color, const TextFontChoice& current,
                              const QString& shownFamily) {
    TextFontChoice f;
    const auto same = [&](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) == 0;
    };
    const bool faceKept = same(font.family(), shownFamily) ||
                          same(font.family(), QString::fromStdString(current.face));
    f.face = faceKept ? current.face : font.family().toStdString();
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : current.size;
    f.size = static_cast<std::int32_t>(std::nearbyint(points));
    f.color = color;
    f.style =
        static_cast<std::uint8_t>((font.weight() >= QFont::Bold ? 1 : 0) | (font.italic() ? 2 : 0) |
                                  (font.underline() ? 4 : 0) | (font.strikeOut() ? 8 : 0));
    // Qt's chooser offers no character set and no pitch. A face kept keeps the values it had
    // (a text loaded from a file keeps its own). A new face gets the default character set,
    // so that any system picks the face by its name alone (texts are Unicode), and fixed
    // pitch when the face is a fixed-pitch one, else the default pitch.
    if (faceKept) {
        f.charset = current.charset;
        f.pitch = current.pitch;
    } else {
        f.charset = 1;  // DEFAULT_CHARSET
        f.pitch = QFontInfo(font).fixedPitch() ? 2 : 0;
    }
    return f;
}

TFontDialog::TFontDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("FontDialog1");
    setWindowTitle(q("Schriftart"));
    auto* layout = new QVBoxLayout(this);
    Fonts = new QFontDialog(this);
    Fonts->setObjectName("Fonts");
    Fonts->setWindowFlags(Qt::Widget);
    Fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    layout->addWidget(Fonts);
    auto* colorRow = new QHBoxLayout;
    ColorSwatch = new QLabel(this);
    ColorSwatch->setObjectName("ColorSwatch");
    ColorSwatch->setFixedSize(40, 18);
    ColorSwatch->setFrameShape(QFrame::Box);
    ColorBtn = new QPushButton(q("Farbe..."), this);
    ColorBtn->setObjectName("ColorBtn");
    connect(ColorBtn, &QPushButton::clicked, this, [this] {
        const QColor c = QColorDialog::getColor(TextColorToQColor(color_), this, QString(),
                                                QColorDialog::DontUseNativeDialog);
        if (!c.isValid()) return;
        color_ = static_cast<std::int32_t>(FromQColor(c));
        showColor();
    });
    colorRow->addWidget(ColorSwatch);
    colorRow->addWidget(ColorBtn);
    colorRow->addStretch(1);
    layout->addLayout(colorRow);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TFontDialog::showColor() {
    ColorSwatch->setStyleSheet(
        QStringLiteral("background: %1").arg(TextColorToQColor(color_).name()));
}

std::optional<TextFontChoice> TFontDialog::Execute(const TextFontChoice& current) {
    // A face that is not installed shows as the face that stands in for it.
    QFont start = ChoiceToQFont(current);
    start.setFamily(QFontInfo(start).family());
    Fonts->setCurrentFont(start);
    const QString shownFamily = Fonts->currentFont().family();
    color_ = current.color;
    showColor();
    if (exec() != QDialog::Accepted) return std::nullopt;
    return FontChoiceFrom(Fonts->currentFont(), color_, current, shownFamily);
}

TAddTextForm::TAddTextForm(QWidget* parent) : QDialog(parent) {
    setObjectName("AddTextForm");
    setWindowTitle(q("Text hinzufügen"));
    // A fixed dialog border: the client area has one size.
    setFixedSize(399, 266);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    setSizeGripEnabled(false);

    Label1 = new QLabel(q("Text:"), this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(8, 6, 377, 16);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setGeometry(8, 24, 377, 137);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setTabChangesFocus(true);
    Memo1->installEventFilter(this);
    NewFontBtn = new QPushButton(q("Schriftart wählen..."), this);
    NewFontBtn->setObjectName("NewFontBtn");
    NewFontBtn->setGeometry(8, 172, 137, 25);
    OkBtn = new QPushButton(q("OK"), this);
    OkBtn->setObjectName("OkBtn");
    OkBtn->setGeometry(224, 232, 75, 25);
    OkBtn->setDefault(true);
    OkBtn->setEnabled(false);
    CancelBtn = new QPushButton(q("Abbrechen"), this);
    CancelBtn->setObjectName("CancelBtn");
    CancelBtn->setGeometry(310, 232, 75, 25);

    connect(Memo1, &QPlainTextEdit::textChanged, this, &TAddTextForm::Memo1Change);
    connect(NewFontBtn, &QPushButton::clicked, this, &TAddTextForm::NewFontBtnClick);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    FontDialog = new TFontDialog(this);
    ChooseFont = [this](const TextFontChoice& current) { return FontDialog->Execute(current); };
}

std::u16string TAddTextForm::Text() const {
    QString s = Memo1->toPlainText();
    s.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return s.toStdU16String();
}

void TAddTextForm::SetText(std::u16string_view text) {
    QString s = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Memo1->setPlainText(s);
}

void TAddTextForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    FormShow();
}

void TAddTextForm::applyFontToMemo() {
    if (!Font) return;
    Memo1->setFont(ChoiceToQFont(*Font));
    QPalette pal = Memo1->palette();
    pal.setColor(QPalette::Text, TextColorToQColor(Font->color));
    Memo1->setPalette(pal);
}

void TAddTextForm::FormShow() {
    applyFontToMemo();
    Memo1Change();
    Memo1->setFocus();
}

void TAddTextForm::Memo1Change() {
    OkBtn->setEnabled(!Memo1->document()->isEmpty());
}

bool TAddTextForm::Memo1KeyDown(int key, Qt::KeyboardModifiers modifiers) {
    // Alt+Return confirms even an empty text, which the OK button would not.
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && (modifiers & Qt::AltModifier)) {
        accept();
        return true;
    }
    return false;
}

void TAddTextForm::NewFontBtnClick() {
    if (!Font || !ChooseFont) return;
    if (const auto chosen = ChooseFont(*Font)) {
        *Font = *chosen;
        applyFontToMemo();
    }
}

bool TAddTextForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Memo1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (Memo1KeyDown(key->key(), key->modifiers())) return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tervasko
