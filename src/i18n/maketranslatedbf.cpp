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
    const tervasko::Result<std::vector<std::uint8_t>> read = tervasko::ReadWholeFile(argv[1]);
    if (!read.ok()) {
        std::fprintf(stderr, "%s: %s\n", argv[1], tervasko::EnglishText(read.error()).c_str());
        return 1;
    }
    const std::vector<std::uint8_t>& bytes = *read;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const auto rows = tervasko::ParseShippedTranslations(text);
    if (!rows.ok()) {
        std::fprintf(stderr, "%s: %s\n", argv[1], tervasko::EnglishText(rows.error()).c_str());
        return 1;
    }
    const auto installed = tervasko::InstallShippedTranslations(*rows, argv[2]);
    if (!installed.ok()) {
        // The user's table stays as it is; the build goes on without the shipped texts.
        std::fprintf(stderr, "warning: %s\n", tervasko::EnglishText(installed.error()).c_str());
        return 0;
    }
    const tervasko::InstallReport& report = *installed;
    if (report.created || report.rowsAdded || report.cellsFilled)
        std::printf("translate.dbf: %s, %d rows added, %d translations filled in\n",
                    report.created ? "created" : "kept", report.rowsAdded, report.cellsFilled);
    return 0;
}
