#pragma once

// Helpers of the translation interface tests: a scratch program folder with a translation
// table, empty or holding the shipped translations.

#include <gtest/gtest.h>

#include <QString>
#include <cstdlib>
#include <string>
#include <vector>

#include "i18n/shippedtranslations.h"
#include "i18n/translationtable.h"
#include "support/tempdir.h"

namespace tervasko::test {

inline QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Brings data/translations.tsv into the table in `dir`, as the build does beside the program.
inline void InstallShipped(const std::string& dir) {
    const char* source = std::getenv("TERVASKO_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    const std::vector<std::uint8_t> bytes =
        testing::readBytes(std::string(source) + "/data/translations.tsv");
    const Result<std::vector<ShippedRow>> rows =
        ParseShippedTranslations(std::string(bytes.begin(), bytes.end()));
    ASSERT_TRUE(rows.ok()) << EnglishText(rows.error());
    const Result<InstallReport> installed = InstallShippedTranslations(*rows, dir);
    ASSERT_TRUE(installed.ok()) << EnglishText(installed.error());
}

// The source texts of the rows from `first` (a record number) on, in record order.
inline std::vector<std::string> SourcesFrom(TranslationTable& table, int first) {
    std::vector<std::string> texts;
    for (int r = first; r <= table.RowCount(); ++r) texts.push_back(table.Cell(r, 0));
    return texts;
}

}  // namespace tervasko::test
