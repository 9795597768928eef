#include "app/dialogs/DPIFUnit.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>

#include "app/dialogs/errortext.h"
#include "export/output/sheetpicture.h"
#include "i18n/messagetable.h"

namespace tervasko {
namespace {

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

}  // namespace

TDPIForm::TDPIForm(QWidget* parent) : QDialog(parent) {
    setObjectName(q("TDPIForm"));
    setWindowTitle(q("DPI festlegen"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    Label1 = new QLabel(q("Exportieren mit soviel DPI (Qualität/Größe):"), this);
    Label1->setObjectName(q("Label1"));
    DPIED = new QSpinBox(this);
    DPIED->setObjectName(q("DPIED"));
    DPIED->setRange(kMinOutputDpi, kMaxOutputDpi);
    DPIED->setSingleStep(10);
    DPIED->setValue(150);
    Label2 = new QLabel(q("Welche Seite exportieren?"), this);
    Label2->setObjectName(q("Label2"));
    SeiteEd = new QSpinBox(this);
    SeiteEd->setObjectName(q("SeiteEd"));
    SeiteEd->setRange(1, 100000);
    SeiteEd->setValue(1);
    Label1->setBuddy(DPIED);
    Label2->setBuddy(SeiteEd);
    BitBtn1 = new QPushButton(q("OK"), this);
    BitBtn1->setObjectName(q("BitBtn1"));
    BitBtn1->setDefault(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(DPIED, 0, 1);
    layout->addWidget(Label2, 1, 0);
    layout->addWidget(SeiteEd, 1, 1);
    layout->addWidget(BitBtn1, 2, 1, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    Exec = [this] { return exec(); };
}

void TDPIForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

TSaveDialog* MakeSaveDialog2(QWidget* owner) {
    return new TSaveDialog(owner, q("SaveDialog2"), q(kPictureFilter), q("bmp"));
}

bool RunPictureExport(TDPIForm& form, TSaveDialog& saveDialog, TDrawing& drawing, int pageCount,
                      const SheetInstruments& instruments, const ShowMessageFn& showMessage) {
    const auto tell = [&](const std::string& text) {
        if (showMessage) showMessage(text);
    };
    form.setResult(QDialog::Rejected);
    if (form.Exec() != QDialog::Accepted) return false;
    const int sheetNumber = form.SeiteEd->value();
    const int dpi = form.DPIED->value();
    if (sheetNumber < 1 || sheetNumber > pageCount) {
        tell(TranslateText(kNoSuchSheetText) + " " + TranslateText(kPageCountLabel) + " " +
             std::to_string(pageCount));
        return false;
    }
    if (const OutputFailure f = CheckPictureSize(drawing, dpi); f != OutputFailure::None) {
        tell(TranslateText(f == OutputFailure::SheetTooLarge ? kSheetTooLargeText
                                                             : kPictureTooLargeText));
        return false;
    }

    if (!saveDialog.Execute || !saveDialog.Execute()) return false;
    const QString fileName = saveDialog.ChosenFileName();
    if (fileName.isEmpty()) return false;
    const std::string path = fileName.toStdString();
    const PictureFormat format = PictureFormatOf(path).value_or(PictureFormat::Bmp);
    const OutputResult result =
        WriteSheetPicture(path, format, drawing, pageCount, sheetNumber - 1, dpi, instruments);
    if (result.ok()) return true;
    if (result.failure == OutputFailure::PictureTooLarge)
        tell(TranslateText(kPictureTooLargeText));
    else if (result.failure == OutputFailure::SheetTooLarge)
        tell(TranslateText(kSheetTooLargeText));
    else
        tell(TranslateText(kCannotSaveText) + "\n" + path + "\n" + DescribeError(result.reason));
    return false;
}

}  // namespace tervasko
