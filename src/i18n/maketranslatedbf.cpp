// Build step: puts the shipped translations into the translate.dbf beside the program.
// A table that is already there keeps everything it holds; only what it lacks is added.

#include <cstdio>
#include <string>
#include <vector>

#include "i18n/shippedtranslations.h"
#include "platform/safefile.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s TRANSLATIONS.tsv PROGRAM-DIRECTORY\n", argv[0]);
        return 2;
    }
    std::vector<std::uint8_t> bytes;
    tervasko::Error failure;
    if (!tervasko::ReadWholeFile(argv[1], bytes, &failure)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], tervasko::EnglishText(failure).c_str());
        return 1;
    }
    std::string error;
    std::vector<tervasko::ShippedRow> rows;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!tervasko::ParseShippedTranslations(text, rows, &error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    tervasko::InstallReport report;
    if (!tervasko::InstallShippedTranslations(rows, argv[2], report, &error)) {
        // The user's table stays as it is; the build goes on without the shipped texts.
        std::fprintf(stderr, "warning: translations not installed: %s\n", error.c_str());
        return 0;
    }
    if (report.created || report.rowsAdded || report.cellsFilled)
        std::printf("translate.dbf: %s, %d rows added, %d translations filled in\n",
                    report.created ? "created" : "kept", report.rowsAdded, report.cellsFilled);
    return 0;
}
