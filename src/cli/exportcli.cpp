#include "cli/exportcli.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImageWriter>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>

#include "document/drawingfile.h"
#include "export/dxfwriter.h"
#include "export/output/safedevice.h"
#include "export/output/sheetpages.h"
#include "export/output/sheetpicture.h"

namespace tervasko {
namespace {

constexpr const char* kUsage =
    "Usage: tervasko-export [--dpi N | --size N] [--sheet N] [--no-instruments]\n"
    "                       [--no-worksheet] DRAWING.tvk OUT\n"
    "\n"
    "Reads a Tervasko drawing and writes it in the format that OUT's extension names:\n"
    "  .dxf   all sheets as one DXF drawing (millimetres, y up, origin at the bottom-left\n"
    "         corner of the last sheet), with the page count and sheet size stored in the\n"
    "         drawing; a drawing from an older version without them counts as one A4 sheet.\n"
    "  .pdf   all sheets, one page each of exactly the sheet's size, at true scale.\n"
    "  .bmp   one sheet as a picture (24 bits per pixel), at --dpi dots per inch.\n"
    "  .png   the same as a PNG picture.\n"
    "  .svg   one sheet as an SVG drawing at true size, in millimetres (--dpi plays no\n"
    "         part).\n"
    "\n"
    "Options:\n"
    "  --dpi N           resolution of a picture, 10 to 4000 dots per inch (default 150)\n"
    "  --size N          a PNG picture whose longer side is N pixels (16 to 4096), whatever\n"
    "                    OUT's extension: the thumbnail that file managers ask for\n"
    "  --sheet N         the sheet a picture or SVG shows, counted from 1 (default 1)\n"
    "  --no-instruments  leave out the ruler, protractor and compass, which pictures and\n"
    "                    PDF pages otherwise show as the drawing was last shown on screen\n"
    "  --no-worksheet    leave out the worksheet (the PDF pages beneath the sheets), which\n"
    "                    pictures, SVG and PDF pages otherwise show; DXF never holds it\n"
    "\n"
    "OUT is replaced only when it has been written completely. No display is needed. On a\n"
    "terminal, a line shows how far reading and writing have come. An interrupt (Ctrl+C) or\n"
    "SIGTERM stops the export with nothing written; a second one ends it at once.\n"
    "Exit status: 0 on success, 1 when the drawing cannot be read, has no such sheet or OUT\n"
    "cannot be written, 2 for wrong arguments or an unknown output type, 128 + the signal's\n"
    "number when stopped (130 for an interrupt, 143 for SIGTERM).\n";

constexpr int kDefaultDpi = 150;
constexpr int kMinThumbnailSize = 16;
constexpr int kMaxThumbnailSize = 4096;

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

struct Options {
    std::optional<int> dpi;
    std::optional<int> sheet;  // from 1
    std::optional<int> size;   // longer side of a PNG thumbnail, pixels
    bool instruments = true;
    bool worksheet = true;
    std::vector<std::string> files;
};

struct LoadedDrawing {
    TDrawing drawing;
    DrawingSettings settings;
    int pages() const { return std::max(1, static_cast<int>(settings.PageCount)); }
    SheetInstruments instruments(const Options& o) const {
        SheetInstruments i;
        if (o.instruments) {
            i.ruler = settings.RulerShown;
            i.protractor = settings.ProtractorShown;
            i.compass = settings.CompassShown;
            i.setSquare = settings.SetSquareShown;
        }
        i.worksheet = o.worksheet;
        return i;
    }
};

std::optional<int> wholeNumber(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || p != end) return std::nullopt;
    return value;
}

// Shows on a terminal what is being read or written and how far it has come, as one line
// rewritten in place, and tells the work to stop once a signal asked for it.
class CommandProgress final : public Progress {
public:
    explicit CommandProgress(const ExportControl& control) : control_(control) {}
    ~CommandProgress() override { Wipe(); }
    CommandProgress(const CommandProgress&) = delete;
    CommandProgress& operator=(const CommandProgress&) = delete;

    // What the line says from now on: "reading", "writing", with the file's name.
    void Stage(const char* doing, const std::string& path) {
        stage_ = std::string("tervasko-export: ") + doing + " " +
                 std::filesystem::path(path).filename().string();
        percent_ = -1;
    }

    // The signal that asked to stop, or 0.
    int StopSignal() const { return control_.stop ? control_.stop->load() : 0; }

    bool Report(std::uint64_t done, std::uint64_t total) override {
        if (StopSignal()) return false;
        if (!control_.progress) return true;
        const int percent = total ? static_cast<int>(std::min(done, total) * 100 / total) : 0;
        if (percent == percent_) return true;
        percent_ = percent;
        std::string line = stage_ + " " + std::to_string(percent) + "%";
        const std::size_t width = line.size();
        if (width < width_) line.append(width_ - width, ' ');  // over a longer line before
        width_ = std::max(width_, width);
        *control_.progress << '\r' << line << std::flush;
        return true;
    }

    // Takes the line away again, before a message or at the end.
    void Wipe() {
        if (!control_.progress || width_ == 0) return;
        *control_.progress << '\r' << std::string(width_, ' ') << '\r' << std::flush;
        width_ = 0;
        percent_ = -1;
    }

private:
    const ExportControl& control_;
    std::string stage_;
    int percent_ = -1;
    std::size_t width_ = 0;  // of the longest line shown
};

// Fonts, images and PDF need a Qt GUI application. When the caller has none, the exporter
// makes one for the time of the export, on the offscreen platform, which needs no display.
class GuiSession {
public:
    GuiSession() {
        if (!QCoreApplication::instance()) app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    GuiSession(const GuiSession&) = delete;  // the application holds argc_ and argv_
    GuiSession& operator=(const GuiSession&) = delete;

private:
    char name_[16] = "tervasko-export";
    char option_[10] = "-platform";
    char platform_[10] = "offscreen";
    char* argv_[4] = {name_, option_, platform_, nullptr};
    int argc_ = 3;
    std::unique_ptr<QGuiApplication> app_;
};

// A caller's Qt application without GUI cannot draw.
Error ensureGuiApplication() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return {};
    return Failure(ErrorCode::NeedsGuiApplication);
}

// A failure that names `file` in its own sentence, without a lead.
Error about(const std::string& file, ErrorCode code, std::vector<std::string> args = {}) {
    return WithLead(Failure(code, std::move(args)), ErrorLead::None, file);
}

Error noSuchSheet(const LoadedDrawing& in, const std::string& inPath, int sheet) {
    if (in.pages() == 1) return about(inPath, ErrorCode::NoSecondSheet, {std::to_string(sheet)});
    return about(inPath, ErrorCode::NoSuchSheet,
                 {std::to_string(in.pages()), std::to_string(sheet)});
}

using Writer = Error (*)(LoadedDrawing&, const Options&, const std::string& inPath,
                         const std::string& outPath, CommandProgress& progress);

Error exportDxf(LoadedDrawing& in, const Options&, const std::string&, const std::string& outPath,
                CommandProgress& progress) {
    return savedxfArc(outPath, in.drawing, in.pages(), &progress);
}

// How an export stopped by the progress ends: the error the caller turns into the message.
Error stopped(const std::string& outPath) {
    return WithLead(Failure(ErrorCode::Cancelled), ErrorLead::CannotWrite, outPath);
}

// sheet: the one asked for, counted from 1.
Error outputFailure(const OutputResult& r, const LoadedDrawing& in, const std::string& inPath,
                    const std::string& outPath, int dpi, int sheet) {
    switch (r.failure) {
        case OutputFailure::NoSuchSheet:
            return noSuchSheet(in, inPath, sheet);
        case OutputFailure::SheetTooLarge:
            if (std::max(in.drawing.PageWidthInch, in.drawing.PageHeightInch) * MmPerInch <=
                kMaxSheetMm)
                return about(inPath, ErrorCode::SheetTooSmallToExport,
                             {std::to_string(static_cast<int>(kMinSheetMm))});
            return about(inPath, ErrorCode::SheetTooLargeToExport,
                         {std::to_string(static_cast<int>(kMaxSheetMm))});
        case OutputFailure::PictureTooLarge: {
            const QSize size = SheetPixelSize(in.drawing, dpi);
            return about(outPath, ErrorCode::PictureTooLarge,
                         {std::to_string(size.width()), std::to_string(size.height()),
                          std::to_string(dpi), std::to_string(kMaxPicturePixels)});
        }
        case OutputFailure::BadResolution:
            return about(outPath, ErrorCode::ResolutionOutOfRange,
                         {std::to_string(kMinOutputDpi), std::to_string(kMaxOutputDpi)});
        case OutputFailure::Cancelled:
            return stopped(outPath);
        case OutputFailure::CannotWrite:
        case OutputFailure::PrinterFailed:
        case OutputFailure::None:
            break;
    }
    return WithLead(r.reason, ErrorLead::CannotWrite, outPath);
}

Error exportPicture(LoadedDrawing& in, const Options& o, const std::string& inPath,
                    const std::string& outPath, CommandProgress& progress) {
    const int sheet = o.sheet.value_or(1);
    const int dpi = o.dpi.value_or(kDefaultDpi);
    if (sheet > in.pages()) return noSuchSheet(in, inPath, sheet);
    if (Error noGui = ensureGuiApplication()) return noGui;
    const PictureFormat format = PictureFormatOf(outPath).value_or(PictureFormat::Bmp);
    const OutputResult r = WriteSheetPicture(outPath, format, in.drawing, in.pages(), sheet - 1,
                                             dpi, in.instruments(o), &progress);
    if (!r.ok()) return outputFailure(r, in, inPath, outPath, dpi, sheet);
    return {};
}

// A PNG of one sheet whose longer side is exactly o.size pixels: drawn at the smallest
// resolution that gives at least that many, then scaled down smoothly.
Error exportThumbnail(LoadedDrawing& in, const Options& o, const std::string& inPath,
                      const std::string& outPath, CommandProgress& progress) {
    const int sheet = o.sheet.value_or(1);
    if (sheet > in.pages()) return noSuchSheet(in, inPath, sheet);
    if (Error noGui = ensureGuiApplication()) return noGui;
    const double longerInch = std::max(in.drawing.PageWidthInch, in.drawing.PageHeightInch);
    const double wanted = longerInch > 0 ? std::ceil(*o.size / longerInch) : kMinOutputDpi;
    const int dpi =
        static_cast<int>(std::clamp(wanted, double(kMinOutputDpi), double(kMaxOutputDpi)));
    if (const OutputFailure f = CheckPictureSize(in.drawing, dpi); f != OutputFailure::None)
        return outputFailure({f, {}}, in, inPath, outPath, dpi, sheet);
    ProgressCounter counter(&progress);
    const QImage sheetImage =
        RenderSheetPicture(in.drawing, sheet - 1, dpi, in.instruments(o), &counter);
    if (counter.Stopped() || !counter.Finish()) return stopped(outPath);
    if (sheetImage.isNull())
        return outputFailure({OutputFailure::PictureTooLarge, Failure(ErrorCode::OutOfMemory)}, in,
                             inPath, outPath, dpi, sheet);
    const QImage image =
        sheetImage.scaled(*o.size, *o.size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    SafeFileDevice file(outPath);
    QImageWriter writer(&file, "png");
    if (!file.openForWriting() || !writer.write(image) || !file.commit()) {
        // The file's own reason where it has one, the encoder's otherwise.
        const Error reason =
            file.failure() ? file.failure() : OtherFailure(writer.errorString().toStdString());
        return WithLead(reason, ErrorLead::CannotWrite, outPath);
    }
    return {};
}

Error exportPdf(LoadedDrawing& in, const Options& o, const std::string& inPath,
                const std::string& outPath, CommandProgress& progress) {
    if (Error noGui = ensureGuiApplication()) return noGui;
    const OutputResult r = WriteDrawingPdf(outPath, in.drawing, 0, in.pages() - 1,
                                           in.instruments(o), nullptr, &progress);
    if (!r.ok()) return outputFailure(r, in, inPath, outPath, kPdfDpi, 1);
    return {};
}

struct OutputType {
    const char* extension;
    Writer write;
    bool picture;  // takes --dpi and --sheet
    bool needsGui;
};

constexpr OutputType kOutputTypes[] = {
    {".dxf", &exportDxf, false, false},   {".pdf", &exportPdf, false, true},
    {".bmp", &exportPicture, true, true}, {".png", &exportPicture, true, true},
    {".svg", &exportPicture, true, true},
};

// Reads the options; a mistake is the failure.
Error parseArguments(const std::vector<std::string>& args, Options& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--dpi" || a == "--sheet" || a == "--size") {
            if (i + 1 >= args.size()) return Failure(ErrorCode::OptionNeedsNumber, {a});
            const std::string& value = args[++i];
            const std::optional<int> n = wholeNumber(value);
            if (a == "--dpi") {
                if (!n || *n < kMinOutputDpi || *n > kMaxOutputDpi)
                    return Failure(
                        ErrorCode::NumberOutOfRange,
                        {a, std::to_string(kMinOutputDpi), std::to_string(kMaxOutputDpi), value});
                o.dpi = n;
            } else if (a == "--size") {
                if (!n || *n < kMinThumbnailSize || *n > kMaxThumbnailSize)
                    return Failure(ErrorCode::NumberOutOfRange,
                                   {a, std::to_string(kMinThumbnailSize),
                                    std::to_string(kMaxThumbnailSize), value});
                o.size = n;
            } else {
                if (!n || *n < 1) return Failure(ErrorCode::NumberBelowOne, {a, value});
                o.sheet = n;
            }
        } else if (a == "--no-instruments") {
            o.instruments = false;
        } else if (a == "--no-worksheet") {
            o.worksheet = false;
        } else if (a.size() > 1 && a[0] == '-') {
            return Failure(ErrorCode::UnknownOption, {a});
        } else {
            o.files.push_back(a);
        }
    }
    if (o.dpi && o.size) return Failure(ErrorCode::DpiWithSize);
    if (o.files.size() != 2) return Failure(ErrorCode::NeedsTwoFiles);
    return {};
}

// One line on err for a failure; the exit code that goes with it. A failure that is a stop
// asked for by a signal says so, with the signal's exit code.
int report(std::ostream& err, const Error& failure, int code, CommandProgress& progress) {
    progress.Wipe();
    if (failure.Code == ErrorCode::Cancelled) {
        const int signal = progress.StopSignal() ? progress.StopSignal() : SIGINT;
        const char* name = signal == SIGINT ? "SIGINT" : signal == SIGTERM ? "SIGTERM" : nullptr;
        const Error interrupted = WithLead(
            Failure(ErrorCode::Interrupted, {name ? name : "signal " + std::to_string(signal)}),
            ErrorLead::None, failure.File);
        err << "tervasko-export: " << EnglishText(interrupted) << "\n";
        return kExitSignalBase + signal;
    }
    err << "tervasko-export: " << EnglishText(failure) << "\n";
    return code;
}

}  // namespace

int RunExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const ExportControl& control) {
    CommandProgress progress(control);
    const auto report = [&](const Error& failure, int code) {
        return tervasko::report(err, failure, code, progress);
    };
    const auto read = [&](const std::string& inPath, LoadedDrawing& loaded) {
        progress.Stage("reading", inPath);
        return ReadDrawingFile(inPath, loaded.drawing, loaded.settings, SheetSizeCheck::Keep,
                               &progress);
    };
    if (std::any_of(args.begin(), args.end(),
                    [](const std::string& a) { return a == "--help" || a == "-h"; })) {
        out << kUsage;
        return kExitOk;
    }
    Options options;
    if (Error mistake = parseArguments(args, options)) return report(mistake, kExitUsage);
    const std::string& inPath = options.files[0];
    const std::string& outPath = options.files[1];

    if (options.size) {
        // A thumbnailer names its output as it likes; the picture is a PNG whatever the name.
        LoadedDrawing loaded;
        if (Error failure = read(inPath, loaded)) return report(failure, kExitFailed);
        GuiSession gui;
        progress.Stage("writing", outPath);
        if (Error failure = exportThumbnail(loaded, options, inPath, outPath, progress))
            return report(failure, kExitFailed);
        return kExitOk;
    }

    const std::string ext = lowerExtension(outPath);
    const auto type = std::find_if(std::begin(kOutputTypes), std::end(kOutputTypes),
                                   [&](const OutputType& t) { return ext == t.extension; });
    if (type == std::end(kOutputTypes)) {
        std::string known;
        for (const OutputType& t : kOutputTypes)
            known += (known.empty() ? "" : " ") + std::string(t.extension);
        return report(about(outPath, ErrorCode::UnknownOutputType, {ext, known}), kExitUsage);
    }
    if (!type->picture && (options.dpi || options.sheet))
        return report(about(outPath, ErrorCode::OnlyForPictures), kExitUsage);

    LoadedDrawing loaded;
    if (Error failure = read(inPath, loaded)) return report(failure, kExitFailed);
    std::optional<GuiSession> gui;
    if (type->needsGui) gui.emplace();
    progress.Stage("writing", outPath);
    if (Error failure = type->write(loaded, options, inPath, outPath, progress))
        return report(failure, kExitFailed);
    return kExitOk;
}

}  // namespace tervasko
