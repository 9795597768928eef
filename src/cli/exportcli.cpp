#include "cli/exportcli.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "document/drawingfile.h"
#include "export/dxfwriter.h"

namespace tervasko {
namespace {

constexpr const char* kUsage =
    "Usage: tervasko-export DRAWING.tvk OUT.dxf\n"
    "\n"
    "Reads a Tervasko drawing and writes it in the format that OUT's extension names:\n"
    "  .dxf   all sheets as one DXF drawing (millimetres, y up, origin at the bottom-left\n"
    "         corner of the last sheet), with the page count and sheet size stored in the\n"
    "         drawing; a drawing from an older version without them counts as one A4 sheet.\n"
    "\n"
    "OUT is replaced only when it has been written completely.\n"
    "Exit status: 0 on success, 1 when the drawing cannot be read or OUT cannot be written,\n"
    "2 for wrong arguments or an unknown output type.\n";

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

struct LoadedDrawing {
    TDrawing drawing;
    DrawingSettings settings;
};

bool exportDxf(LoadedDrawing& in, const std::string& outPath, std::string* error) {
    const int pages = static_cast<int>(in.settings.PageCount);
    return savedxfArc(outPath, in.drawing, pages, error);
}

struct OutputType {
    const char* extension;
    bool (*write)(LoadedDrawing&, const std::string&, std::string*);
};

constexpr OutputType kOutputTypes[] = {
    {".dxf", &exportDxf},
};

}  // namespace

int RunExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (std::any_of(args.begin(), args.end(), [](const std::string& a) { return a == "--help" || a == "-h"; })) {
        out << kUsage;
        return kExitOk;
    }
    if (args.size() != 2) {
        err << "tervasko-export: expected a drawing and an output file; see tervasko-export --help\n";
        return kExitUsage;
    }
    const std::string& inPath = args[0];
    const std::string& outPath = args[1];

    const std::string ext = lowerExtension(outPath);
    const auto type = std::find_if(std::begin(kOutputTypes), std::end(kOutputTypes),
                                   [&](const OutputType& t) { return ext == t.extension; });
    if (type == std::end(kOutputTypes)) {
        err << "tervasko-export: \"" << outPath << "\": unknown output type \"" << ext << "\" (known:";
        for (const OutputType& t : kOutputTypes) err << " " << t.extension;
        err << ")\n";
        return kExitUsage;
    }

    LoadedDrawing loaded;
    std::string error;
    if (!ReadDrawingFile(inPath, loaded.drawing, loaded.settings, &error)) {
        err << "tervasko-export: " << error << "\n";
        return kExitFailed;
    }
    if (!type->write(loaded, outPath, &error)) {
        err << "tervasko-export: " << error << "\n";
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace tervasko
