#include "print/PrinterSetupForm.h"

#include <QComboBox>
#include <QRadioButton>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace {

class FixedPrinters : public INkPrinterSource {
  public:
    explicit FixedPrinters(std::vector<TNkPrinterEntry> set) : set_(std::move(set)) {}
    std::vector<TNkPrinterEntry> Enumerate() const override { return set_; }

  private:
    std::vector<TNkPrinterEntry> set_;
};

// The program's printer object looks at a fixed set for the test and at CUPS again afterwards.
class PrinterSetupFormTest : public ::testing::Test {
  protected:
    void Use(std::vector<TNkPrinterEntry> set) {
        NkPrinter().SetSource(std::make_unique<FixedPrinters>(std::move(set)));
    }
    void TearDown() override { NkPrinter().SetSource(CupsPrinterSource()); }
};

} // namespace

TEST_F(PrinterSetupFormTest, OffersTheVisiblePrintersWithTheJobsOneChosen) {
    Use({{"Office", 0}, {"Secret", NkPrinterAttributeHidden}, {"Labels", 0}});
    TPrinterSetupForm form(TJobSettings{"labels", 4, true});
    ASSERT_EQ(form.PrinterCombo->count(), 2);
    EXPECT_EQ(form.PrinterCombo->currentText(), "Labels");
    EXPECT_EQ(form.CopiesEdit->value(), 4);
    EXPECT_TRUE(form.LandscapeBtn->isChecked());
    form.PrinterCombo->setCurrentIndex(0);
    form.CopiesEdit->setValue(2);
    form.PortraitBtn->setChecked(true);
    const TJobSettings job = form.Settings();
    EXPECT_EQ(job.printerName, "Office");
    EXPECT_EQ(job.copies, 2);
    EXPECT_FALSE(job.landscape);
}

TEST_F(PrinterSetupFormTest, UnknownPrinterProposesTheDefaultOneAndCopiesStayInRange) {
    Use({{"Office", 0}, {"Labels", NkPrinterAttributeDefault}});
    TPrinterSetupForm form(TJobSettings{"Gone", 0, false});
    EXPECT_EQ(form.PrinterCombo->currentText(), "Labels");
    EXPECT_EQ(form.CopiesEdit->value(), 1);
    EXPECT_TRUE(form.PortraitBtn->isChecked());
}

TEST_F(PrinterSetupFormTest, WithoutPrintersTheSetupDoesNotOpen) {
    Use({{"Secret", NkPrinterAttributeHidden}});
    EXPECT_THROW(TPrinterSetupForm(TJobSettings{}), ENkPrinterNoPrinter);
}
