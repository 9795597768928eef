// The status bar's measure: its inch readout and the words it is shown in.

#include "app/measurefield.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/datafolder.h"
#include "i18n/messagetable.h"
#include "i18n/shippedtranslations.h"
#include "i18n/translationtable.h"
#include "support/tempdir.h"

namespace tervasko {
namespace {

using K = Measurement::Kind;

// Lengths whose inches lie just below a half hundredth with 25.4 mm to the inch and just
// above it with the program's 25.39995, so the two factors show different digits.
TEST(MeasureFieldInches, UseTheProgramsOneInchFactor) {
    const struct {
        Measurement m;
        const char* text;
    } cases[] = {
        {{K::GuideLength, 2540.125, 0}, "L\u00e4nge: 100,01 Zoll"},  // 100.00492 with 25.4
        {{K::CompassSpan, 990.726, 0}, "Radius: 39,01 Zoll"},        // 39.00496 with 25.4
        {{K::Circle, 990.726, 0}, "Kreis, Radius: 39,01 Zoll"},
    };
    for (const auto& c : cases) EXPECT_EQ(MeasurementText(c.m, true, ','), c.text);
}

// A user's table from a version that shipped "Inches" and "Pollici" for the unit: the next
// start brings the unit's small letters, and keeps what the user wrote there.
TEST(MeasureFieldInches, AnUpgradedUsersTableNamesTheUnitInSmallLetters) {
    const char* source = std::getenv("TERVASKO_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    testing::TempDir dir;
    const std::string folder = dir.path() + "/";
    {
        const std::vector<ShippedRow> before = {{1, {"Zoll", "Inches", "Pollici"}},
                                                {2, {"L\u00e4nge", "Length", "Lunghezza"}},
                                                {3, {"Radius", "Radius", "Raggio"}}};
        const Result<InstallReport> installed = InstallShippedTranslations(before, folder);
        ASSERT_TRUE(installed.ok()) << EnglishText(installed.error());
        TranslationTable table;
        table.Open(folder);
        const Error refused = table.SetCell(table.FindRow("Zoll"), 2, "poll.");  // the user's own
        ASSERT_FALSE(refused) << EnglishText(refused);
    }
    ASSERT_TRUE(PrepareDataFolder(folder, folder, std::string(source) + "/data").empty());

    TranslationTable table;
    ASSERT_TRUE(table.Open(folder));
    SetProgramTranslations(&table);
    const Measurement length{K::GuideLength, 2540.125, 0};
    table.SetActiveLanguage(1);
    EXPECT_EQ(MeasurementText(length, true, '.'), "Length: 100.01 inches");
    table.SetActiveLanguage(2);
    EXPECT_EQ(MeasurementText(length, true, ','), "Lunghezza: 100,01 poll.");
    SetProgramTranslations(nullptr);
}

}  // namespace
}  // namespace tervasko
