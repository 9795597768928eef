#include <gtest/gtest.h>

#include <QDoubleSpinBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <vector>

#include "app/dialogs/SeiteeinrichtenFUnit.h"
#include "app/dialogs/outputmessages.h"
#include "platform/numeric.h"

namespace tervasko {
namespace {

// Drives the page setup window the way a person would: whatever `act` does to the open
// window, then OK.
struct PageSetupRun {
    TSeiteEinrichtenForm form;
    TDrawing drawing;
    int changed = 0;
    std::vector<std::string> messages;

    PageSetupRun() {
        form.ShowMessage = [this](const std::string& m) { messages.push_back(m); };
    }

    bool run(const std::function<void()>& act) {
        form.Exec = [&] {
            act();
            return form.result();
        };
        return RunPageSetup(form, drawing, [this] { ++changed; });
    }
};

TEST(PageSetup, PresetsAndInchesAreStoredOnOkAndTheWindowAlwaysOpensInMillimetres) {
    PageSetupRun r;
    // Inches as they stand, whatever the fields showed.
    ASSERT_TRUE(r.run([&] {
        EXPECT_TRUE(r.form.mmcheck->isChecked());
        EXPECT_DOUBLE_EQ(r.form.breited->value(), 210);
        EXPECT_DOUBLE_EQ(r.form.hoched->value(), 297);
        r.form.zollcheck->setChecked(true);
        r.form.breited->setValue(8.5);
        r.form.hoched->setValue(11);
        r.form.BitBtnXP1->click();
    }));
    EXPECT_EQ(r.drawing.PageWidthInch, 8.5);
    EXPECT_EQ(r.drawing.PageHeightInch, 11);
    EXPECT_EQ(r.changed, 1);

    // Back in millimetres, rounded to the fields' two decimals; OK without an edit keeps
    // the exact size rather than 215.90 mm.
    ASSERT_TRUE(r.run([&] {
        EXPECT_TRUE(r.form.mmcheck->isChecked());
        EXPECT_DOUBLE_EQ(r.form.breited->value(), 215.90);
        EXPECT_DOUBLE_EQ(r.form.hoched->value(), 279.40);
        r.form.BitBtnXP1->click();
    }));
    EXPECT_EQ(r.drawing.PageWidthInch, 8.5);
    EXPECT_EQ(r.drawing.PageHeightInch, 11);

    const struct {
        QPushButton* button;
        double widthMm, heightMm;
    } presets[] = {
        {r.form.BitBtnXP2, 210, 297},
        {r.form.BitBtnXP3, 297, 210},
        {r.form.BitBtnXP4, 297, 420},
        {r.form.BitBtnXP5, 420, 297},
    };
    for (const auto& p : presets) {
        SCOPED_TRACE(p.button->objectName().toStdString());
        ASSERT_TRUE(r.run([&] {
            r.form.zollcheck->setChecked(true);
            p.button->click();
            EXPECT_TRUE(r.form.mmcheck->isChecked());
            EXPECT_EQ(r.form.breited->value(), p.widthMm);
            EXPECT_EQ(r.form.hoched->value(), p.heightMm);
            r.form.BitBtnXP1->click();
        }));
        EXPECT_EQ(r.drawing.PageWidthInch, p.widthMm / MmPerInch);
        EXPECT_EQ(r.drawing.PageHeightInch, p.heightMm / MmPerInch);
    }
    EXPECT_EQ(r.changed, 2 + 4);
    EXPECT_TRUE(r.messages.empty());
}

TEST(PageSetup, ClosingOtherwiseOrTooLargeASheetChangesNothing) {
    PageSetupRun r;
    EXPECT_FALSE(r.run([&] {
        r.form.BitBtnXP5->click();
        r.form.reject();  // the close box
    }));
    EXPECT_EQ(r.drawing.PageWidthInch, 210 / MmPerInch);
    EXPECT_EQ(r.drawing.PageHeightInch, 297 / MmPerInch);
    EXPECT_EQ(r.changed, 0);

    // 300 inches are beyond any sheet: OK says so and leaves the window open; a size that
    // fits is then taken.
    ASSERT_TRUE(r.run([&] {
        r.form.zollcheck->setChecked(true);
        r.form.breited->setValue(300);
        r.form.hoched->setValue(11);
        r.form.BitBtnXP1->click();
        EXPECT_NE(r.form.result(), QDialog::Accepted);
        ASSERT_EQ(r.messages.size(), 1u);
        EXPECT_EQ(r.messages[0], kSheetTooLargeText);
        r.form.breited->setValue(30);
        r.form.BitBtnXP1->click();
    }));
    EXPECT_EQ(r.drawing.PageWidthInch, 30);
    EXPECT_EQ(r.changed, 1);

    // Nothing below 1 in either unit: no sheet of size zero.
    r.form.breited->setValue(0);
    EXPECT_EQ(r.form.breited->value(), 1);
}

TEST(PageSetup, PrinterSizeInWholeMillimetresOrAMessageWithoutPrinter) {
    PageSetupRun r;
    r.form.zollcheck->setChecked(true);
    r.form.breited->setValue(8.5);
    r.form.PrinterPage = [] { return PrintablePage{600, 4960, 7016}; };
    r.form.VonDruckerBtn->click();
    EXPECT_TRUE(r.form.mmcheck->isChecked());
    EXPECT_EQ(r.form.breited->value(), 210);  // 4960 / 600 * 25.39995 = 209.97
    EXPECT_EQ(r.form.hoched->value(), 297);   // 7016 / 600 * 25.39995 = 297.01

    r.form.PrinterPage = [] { return std::optional<PrintablePage>(); };
    r.form.breited->setValue(100);
    r.form.VonDruckerBtn->click();
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], kNoPrinterText);
    EXPECT_EQ(r.form.breited->value(), 100);

    // The real printer query on a machine without printers.
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "this machine has printers";
    TSeiteEinrichtenForm plain;
    std::vector<std::string> told;
    plain.ShowMessage = [&](const std::string& m) { told.push_back(m); };
    plain.VonDruckerBtn->click();
    EXPECT_EQ(told, std::vector<std::string>{kNoPrinterText});
}

}  // namespace
}  // namespace tervasko
