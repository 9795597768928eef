#include "export/output/sheetpicture.h"

#include <QImageWriter>
#include <QPainter>
#include <algorithm>
#include <cctype>
#include <filesystem>

#include "export/output/safedevice.h"
#include "export/output/sheetsvg.h"
#include "platform/numeric.h"

namespace tervasko {

std::optional<PictureFormat> PictureFormatOf(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == ".bmp") return PictureFormat::Bmp;
    if (ext == ".png") return PictureFormat::Png;
    if (ext == ".svg") return PictureFormat::Svg;
    return std::nullopt;
}

OutputFailure CheckPictureSize(const TDrawing& drawing, int dpi) {
    if (dpi < kMinOutputDpi || dpi > kMaxOutputDpi) return OutputFailure::BadResolution;
    if (!SheetSizeUsable(drawing)) return OutputFailure::SheetTooLarge;
    // In inches first: a huge sheet must not overflow the pixel count.
    const double pixels =
        static_cast<double>(dpi) * drawing.PageWidthInch * dpi * drawing.PageHeightInch;
    if (!(pixels <= static_cast<double>(kMaxPicturePixels))) return OutputFailure::PictureTooLarge;
    const QSize size = SheetPixelSize(drawing, dpi);
    if (static_cast<std::int64_t>(size.width()) * size.height() > kMaxPicturePixels)
        return OutputFailure::PictureTooLarge;
    return OutputFailure::None;
}

QImage RenderSheetPicture(TDrawing& drawing, int sheet, int dpi,
                          const SheetInstruments& instruments, ProgressCounter* progress) {
    if (CheckPictureSize(drawing, dpi) != OutputFailure::None) return QImage();
    QImage image(SheetPixelSize(drawing, dpi), QImage::Format_RGB32);
    if (image.isNull()) return image;  // no memory
    const int dotsPerMeter = static_cast<int>(Round(dpi * 1000.0 / MmPerInch));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    QPainter painter(&image);
    RenderSheet(painter, dpi, drawing, sheet, instruments, QRect(), progress);
    return image;
}

OutputResult WriteSheetPicture(const std::string& path, PictureFormat format, TDrawing& drawing,
                               int pages, int sheet, int dpi, const SheetInstruments& instruments,
                               Progress* progress) {
    if (format == PictureFormat::Svg)
        return WriteSheetSvg(path, drawing, pages, sheet, instruments, progress);
    if (sheet < 0 || sheet >= pages) return {OutputFailure::NoSuchSheet, {}};
    if (const OutputFailure f = CheckPictureSize(drawing, dpi); f != OutputFailure::None)
        return {f, {}};
    ProgressCounter counter(progress);
    // A BMP's rows are written one after the other, each of a known size: a row is a unit.
    const QSize size = SheetPixelSize(drawing, dpi);
    const std::uint64_t rowBytes =
        format == PictureFormat::Bmp
            ? (3 * static_cast<std::uint64_t>(size.width()) + 3) & ~std::uint64_t{3}
            : 0;
    if (progress)
        counter.SetTotal(SheetWorkUnits(drawing, dpi, sheet, SheetArea(drawing, dpi)) +
                         (rowBytes > 0 ? static_cast<std::uint64_t>(size.height()) : 0));
    const QImage image = RenderSheetPicture(drawing, sheet, dpi, instruments, &counter);
    if (counter.Stopped()) return {OutputFailure::Cancelled, {}};
    if (image.isNull()) return {OutputFailure::PictureTooLarge, Failure(ErrorCode::OutOfMemory)};

    SafeFileDevice file(path);
    if (!file.openForWriting()) return {OutputFailure::CannotWrite, file.failure()};
    file.reportTo(&counter, rowBytes);
    QImageWriter writer(&file, format == PictureFormat::Png ? "png" : "bmp");
    if (!writer.write(image)) {
        if (counter.Stopped()) return {OutputFailure::Cancelled, {}};
        // The device's reason (e.g. "No space left on device") says more than the writer's.
        const Error reason =
            file.failure() ? file.failure() : OtherFailure(writer.errorString().toStdString());
        return {OutputFailure::CannotWrite, reason};
    }
    if (counter.Stopped() || !counter.Finish()) return {OutputFailure::Cancelled, {}};
    if (!file.commit()) return {OutputFailure::CannotWrite, file.failure()};
    return {};
}

}  // namespace tervasko
