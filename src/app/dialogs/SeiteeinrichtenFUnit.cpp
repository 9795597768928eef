#include "app/dialogs/SeiteeinrichtenFUnit.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "export/output/sheetrender.h"
#include "i18n/messagetable.h"
#include "platform/numeric.h"

namespace tervasko {
namespace {

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Both units share the fields: no sheet can be made smaller than 1 mm or 1 inch, or larger
// than output allows in millimetres; a size in inches is checked on OK.
constexpr double kMinSize = 1;
constexpr double kMaxSize = kMaxSheetMm;

QDoubleSpinBox* sizeField(QWidget* parent, const char* name) {
    auto* field = new QDoubleSpinBox(parent);
    field->setObjectName(q(name));
    field->setDecimals(2);
    field->setRange(kMinSize, kMaxSize);
    field->setSingleStep(0.1);
    return field;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(q(caption), parent);
    b->setObjectName(q(name));
    b->setAutoDefault(false);
    return b;
}

}  // namespace

TSeiteEinrichtenForm::TSeiteEinrichtenForm(QWidget* parent) : QDialog(parent) {
    setObjectName(q("TSeiteEinrichtenForm"));
    setWindowTitle(q("Seite einrichten"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    mmcheck = new QRadioButton(q("mm"), this);
    mmcheck->setObjectName(q("mmcheck"));
    mmcheck->setChecked(true);
    zollcheck = new QRadioButton(q("Zoll"), this);
    zollcheck->setObjectName(q("zollcheck"));
    BreiteLabel = new QLabel(q("Breite:"), this);
    BreiteLabel->setObjectName(q("BreiteLabel"));
    HoeheLabel = new QLabel(q("Höhe:"), this);
    HoeheLabel->setObjectName(q("HoeheLabel"));
    breited = sizeField(this, "breited");
    hoched = sizeField(this, "hoched");
    BreiteLabel->setBuddy(breited);
    HoeheLabel->setBuddy(hoched);
    BitBtnXP2 = button(this, "BitBtnXP2", "A4 Hochformat");
    BitBtnXP3 = button(this, "BitBtnXP3", "A4 Querformat");
    BitBtnXP4 = button(this, "BitBtnXP4", "A3 Hochformat");
    BitBtnXP5 = button(this, "BitBtnXP5", "A3 Querformat");
    VonDruckerBtn = button(this, "VonDruckerBtn", "Von Druckertreiber übernehmen");
    BitBtnXP1 = button(this, "BitBtnXP1", "OK");
    BitBtnXP1->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    auto* units = new QHBoxLayout;
    units->addWidget(mmcheck);
    units->addWidget(zollcheck);
    units->addStretch(1);
    layout->addLayout(units);
    auto* sizes = new QGridLayout;
    sizes->addWidget(BreiteLabel, 0, 0);
    sizes->addWidget(breited, 0, 1);
    sizes->addWidget(HoeheLabel, 1, 0);
    sizes->addWidget(hoched, 1, 1);
    layout->addLayout(sizes);
    auto* presets = new QGridLayout;
    presets->addWidget(BitBtnXP2, 0, 0);
    presets->addWidget(BitBtnXP3, 0, 1);
    presets->addWidget(BitBtnXP4, 1, 0);
    presets->addWidget(BitBtnXP5, 1, 1);
    layout->addLayout(presets);
    layout->addWidget(VonDruckerBtn);
    auto* ok = new QHBoxLayout;
    ok->addStretch(1);
    ok->addWidget(BitBtnXP1);
    layout->addLayout(ok);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(BitBtnXP1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtnXP2, &QPushButton::clicked, this, &TSeiteEinrichtenForm::BitBtnXP2Click);
    connect(BitBtnXP3, &QPushButton::clicked, this, &TSeiteEinrichtenForm::BitBtnXP3Click);
    connect(BitBtnXP4, &QPushButton::clicked, this, &TSeiteEinrichtenForm::BitBtnXP4Click);
    connect(BitBtnXP5, &QPushButton::clicked, this, &TSeiteEinrichtenForm::BitBtnXP5Click);
    connect(VonDruckerBtn, &QPushButton::clicked, this, &TSeiteEinrichtenForm::VonDruckerBtnClick);

    Exec = [this] { return exec(); };
    PrinterPage = [] { return DefaultPrinterPage(); };
    ShowMessage = MessageBoxOwnedBy(this);
}

void TSeiteEinrichtenForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

void TSeiteEinrichtenForm::accept() {
    const double factor = zollcheck->isChecked() ? MmPerInch : 1;
    if (std::max(breited->value(), hoched->value()) * factor > kMaxSheetMm) {
        if (ShowMessage) ShowMessage(TranslateText(kSheetTooLargeText));
        return;
    }
    QDialog::accept();
}

void TSeiteEinrichtenForm::preset(double widthMm, double heightMm) {
    mmcheck->setChecked(true);
    breited->setValue(widthMm);
    hoched->setValue(heightMm);
}

void TSeiteEinrichtenForm::BitBtnXP2Click() {
    preset(210, 297);
}
void TSeiteEinrichtenForm::BitBtnXP3Click() {
    preset(297, 210);
}
void TSeiteEinrichtenForm::BitBtnXP4Click() {
    preset(297, 420);
}
void TSeiteEinrichtenForm::BitBtnXP5Click() {
    preset(420, 297);
}

void TSeiteEinrichtenForm::VonDruckerBtnClick() {
    const std::optional<PrintablePage> page = PrinterPage ? PrinterPage() : std::nullopt;
    if (!page || page->dpiX <= 0 || page->widthDots <= 0 || page->heightDots <= 0) {
        if (ShowMessage) ShowMessage(TranslateText(kNoPrinterText));
        return;
    }
    // Whole millimetres; the height, too, through the horizontal resolution.
    const double dpi = page->dpiX;
    mmcheck->setChecked(true);
    breited->setValue(static_cast<double>(Round(page->widthDots / dpi * MmPerInch)));
    hoched->setValue(static_cast<double>(Round(page->heightDots / dpi * MmPerInch)));
}

bool RunPageSetup(TSeiteEinrichtenForm& form, TDrawing& drawing,
                  const std::function<void()>& setChanged) {
    form.mmcheck->setChecked(true);
    form.breited->setValue(drawing.PageWidthInch * MmPerInch);
    form.hoched->setValue(drawing.PageHeightInch * MmPerInch);
    // The fields hold two decimals; a field left as it was shown keeps the exact size, so
    // that OK on an 8.5 × 11 inch sheet does not turn it into 215.90 mm.
    const double shownWidth = form.breited->value(), shownHeight = form.hoched->value();
    form.setResult(QDialog::Rejected);
    if (form.Exec() != QDialog::Accepted) return false;

    double width, height;
    if (form.zollcheck->isChecked()) {
        width = form.breited->value();
        height = form.hoched->value();
    } else {
        width = form.breited->value() == shownWidth ? drawing.PageWidthInch
                                                    : form.breited->value() / MmPerInch;
        height = form.hoched->value() == shownHeight ? drawing.PageHeightInch
                                                     : form.hoched->value() / MmPerInch;
    }
    drawing.PageWidthInch = width;
    drawing.PageHeightInch = height;
    if (setChanged) setChanged();
    return true;
}

}  // namespace tervasko
