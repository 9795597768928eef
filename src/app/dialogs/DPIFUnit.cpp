#include "app/dialogs/DPIFUnit.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>

#include "app/dialogs/errortext.h"
#include "app/dialogs/workprogress.h"
#include "export/output/sheetpicture.h"
#include "i18n/messagetable.h"

namespace tervasko {
namespace {

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// The formats in the order of the form's list and of the file dialog's filters.
constexpr PictureFormat kFormats[] = {PictureFormat::Bmp, PictureFormat::Png, PictureFormat::Svg};
constexpr const char* kExtensions[] = {"bmp", "png", "svg"};

int indexOf(PictureFormat format) {
    for (int i = 0; i < 3; ++i)
        if (kFormats[i] == format) return i;
    return 0;
}

// The file the dialog proposes: the last one, its extension made the chosen format's when it
// named another picture format.
QString proposedFileName(const QString& last, PictureFormat format) {
    const std::optional<PictureFormat> named = PictureFormatOf(last.toStdString());
    if (!named || *named == format) return last;
    const QFileInfo info(last);
    const QString base = last.left(last.size() - info.suffix().size());
    return base + q(kExtensions[indexOf(format)]);
}

}  // namespace

TDPIForm::TDPIForm(QWidget* parent) : QDialog(parent) {
    setObjectName(q("TDPIForm"));
    setWindowTitle(q("DPI festlegen"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    Label3 = new QLabel(q("Dateiformat:"), this);
    Label3->setObjectName(q("Label3"));
    FormatCB = new QComboBox(this);
    FormatCB->setObjectName(q("FormatCB"));
    FormatCB->addItems({q("BMP-Bild"), q("PNG-Bild"), q("SVG-Zeichnung")});
    Label3->setBuddy(FormatCB);
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
    layout->addWidget(Label3, 0, 0);
    layout->addWidget(FormatCB, 0, 1);
    layout->addWidget(Label1, 1, 0);
    layout->addWidget(DPIED, 1, 1);
    layout->addWidget(Label2, 2, 0);
    layout->addWidget(SeiteEd, 2, 1);
    layout->addWidget(BitBtn1, 3, 1, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(FormatCB, &QComboBox::currentIndexChanged, this, [this] {
        const bool raster = Format() != PictureFormat::Svg;
        Label1->setEnabled(raster);
        DPIED->setEnabled(raster);
    });
    Exec = [this] { return exec(); };
}

PictureFormat TDPIForm::Format() const {
    const int i = FormatCB->currentIndex();
    return i >= 0 && i < 3 ? kFormats[i] : PictureFormat::Bmp;
}

void TDPIForm::SetFormat(PictureFormat format) {
    FormatCB->setCurrentIndex(indexOf(format));
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
    const PictureFormat chosen = form.Format();
    if (sheetNumber < 1 || sheetNumber > pageCount) {
        tell(TranslateText(kNoSuchSheetText) + " " + TranslateText(kPageCountLabel) + " " +
             std::to_string(pageCount));
        return false;
    }
    // A picture that cannot be made is refused before the file is asked for.
    const auto pictureRefused = [&] {
        const OutputFailure f = CheckPictureSize(drawing, dpi);
        if (f == OutputFailure::None) return false;
        tell(TranslateText(f == OutputFailure::SheetTooLarge ? kSheetTooLargeText
                                                             : kPictureTooLargeText));
        return true;
    };
    if (chosen != PictureFormat::Svg && pictureRefused()) return false;
    // An SVG drawing has no pixels to count, but the sheet must still be one output takes.
    if (chosen == PictureFormat::Svg && !SheetSizeUsable(drawing)) {
        tell(TranslateText(kSheetTooLargeText));
        return false;
    }

    saveDialog.FilterIndex = indexOf(chosen) + 1;
    saveDialog.FileName = proposedFileName(saveDialog.FileName, chosen);
    if (!saveDialog.Execute || !saveDialog.Execute()) return false;
    const QString fileName = saveDialog.ChosenFileName();
    if (fileName.isEmpty()) return false;
    const std::string path = fileName.toStdString();
    const PictureFormat format = PictureFormatOf(path).value_or(PictureFormat::Bmp);
    // A BMP or PNG name typed after choosing SVG: its resolution is the form's, checked now.
    if (chosen == PictureFormat::Svg && format != PictureFormat::Svg && pictureRefused())
        return false;
    WorkProgress progress(form.parentWidget(), "Als Bild exportieren...", path);
    const OutputResult result = WriteSheetPicture(path, format, drawing, pageCount, sheetNumber - 1,
                                                  dpi, instruments, &progress);
    if (result.ok()) {
        form.SetFormat(format);
        return true;
    }
    // Stopped by the user: nothing was written and nothing is to be told.
    if (result.failure == OutputFailure::Cancelled) return false;
    if (result.failure == OutputFailure::PictureTooLarge)
        tell(TranslateText(kPictureTooLargeText));
    else if (result.failure == OutputFailure::SheetTooLarge)
        tell(TranslateText(kSheetTooLargeText));
    else
        tell(TranslateText(kCannotSaveText) + "\n" + path + "\n" + DescribeError(result.reason));
    return false;
}

}  // namespace tervasko
