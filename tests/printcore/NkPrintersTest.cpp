#include "printcore/NkPrinters.h"
#include "printcore/PrintJob.h"

#include <gtest/gtest.h>

namespace {

// A printer set the test changes while the printer object watches it.
class FixedPrinters : public INkPrinterSource {
  public:
    explicit FixedPrinters(std::shared_ptr<std::vector<TNkPrinterEntry>> set)
        : set_(std::move(set)) {}
    std::vector<TNkPrinterEntry> Enumerate() const override { return *set_; }

  private:
    std::shared_ptr<std::vector<TNkPrinterEntry>> set_;
};

class FailingPrinters : public INkPrinterSource {
  public:
    std::vector<TNkPrinterEntry> Enumerate() const override {
        throw ENkPrinter(QStringLiteral("scheduler gone"));
    }
};

struct Watched {
    std::shared_ptr<std::vector<TNkPrinterEntry>> set =
        std::make_shared<std::vector<TNkPrinterEntry>>();
    TNkPrinter printer{std::make_unique<FixedPrinters>(set)};
};

QString ErrorOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const EError& e) {
        return e.message();
    }
    return {};
}

const QString kNoPrinter = QStringLiteral("TNkPrinter.CheckNoPrinter: No Printer");

} // namespace

TEST(NkPrinters, HiddenPrintersAreLeftOutOfTheNamesInTheirOrder) {
    Watched w;
    *w.set = {{"Zeta", 0}, {"Hidden", NkPrinterAttributeHidden}, {"alpha", 0x4}};
    w.printer.RefreshSnapshot();
    EXPECT_EQ(w.printer.GetPrinterNames(), QStringList({"Zeta", "alpha"}));
    EXPECT_EQ(w.printer.Snapshot().Count(), 3);
}

TEST(NkPrinters, NoPrinterOrOnlyHiddenOnesRaiseOnEveryCallUntilOneIsAdded) {
    Watched w;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ErrorOf([&] { w.printer.GetPrinterNames(); }), kNoPrinter);
        EXPECT_EQ(ErrorOf([&] { w.printer.CheckNoPrinter(); }), kNoPrinter);
    }
    *w.set = {{"Hidden", NkPrinterAttributeHidden | NkPrinterAttributeDefault}};
    EXPECT_EQ(ErrorOf([&] { w.printer.GetPrinterNames(); }), kNoPrinter);
    try {
        w.printer.CheckNoPrinter();
        FAIL() << "no visible printer";
    } catch (const ENkPrinterNoPrinter&) {
    }
    w.set->push_back({"Label", 0});
    EXPECT_EQ(w.printer.GetPrinterNames(), QStringList({"Label"}));
    EXPECT_EQ(ErrorOf([&] { w.printer.CheckNoPrinter(); }), "");
}

TEST(NkPrinters, AddedOrRemovedPrintersShowAtTheNextAskAndAnUnchangedSetKeepsItsSnapshot) {
    Watched w;
    *w.set = {{"A", 0}};
    w.printer.RefreshSnapshot();
    const TNkAllPrintersInfo* before = &w.printer.Snapshot();
    EXPECT_FALSE(w.printer.RefreshSnapshot());
    EXPECT_EQ(&w.printer.Snapshot(), before) << "the same set keeps the snapshot";

    w.set->push_back({"B", 0});
    EXPECT_EQ(w.printer.GetPrinterNames(), QStringList({"A", "B"}));
    w.set->erase(w.set->begin());
    EXPECT_EQ(w.printer.GetPrinterNames(), QStringList({"B"}));
    (*w.set)[0].attributes = NkPrinterAttributeDefault; // only an attribute changes
    EXPECT_TRUE(w.printer.RefreshSnapshot());
}

TEST(NkPrinters, SnapshotsAreTheSameOnlyWithTheSameNamesAndAttributesInOrder) {
    auto set = std::make_shared<std::vector<TNkPrinterEntry>>();
    FixedPrinters source(set);
    *set = {{"A", 0}, {"B", 4}};
    const TNkAllPrintersInfo first(source);
    EXPECT_TRUE(first.SameAs(TNkAllPrintersInfo(source)));
    *set = {{"B", 4}, {"A", 0}};
    EXPECT_FALSE(first.SameAs(TNkAllPrintersInfo(source)));
    *set = {{"A", 0}, {"b", 4}};
    EXPECT_FALSE(first.SameAs(TNkAllPrintersInfo(source))) << "names compare exactly";
    *set = {{"A", 0}, {"B", 0}};
    EXPECT_FALSE(first.SameAs(TNkAllPrintersInfo(source)));
    *set = {{"A", 0}};
    EXPECT_FALSE(first.SameAs(TNkAllPrintersInfo(source)));
    set->clear();
    EXPECT_EQ(TNkAllPrintersInfo(source).Count(), 0);
}

TEST(NkPrinters, FailingPrintingSystemRaisesItsOwnError) {
    Watched w;
    w.printer.SetSource(std::make_unique<FixedPrinters>(w.set));
    EXPECT_EQ(ErrorOf([&] { w.printer.SetSource(std::make_unique<FailingPrinters>()); }),
              "scheduler gone");
}

TEST(PrintJob, QueueIsFoundByNameThenWithoutLetterCaseThenTheDefaultOne) {
    const std::vector<TNkPrinterEntry> printers = {
        {"Office", 0}, {"office", 0}, {"Labels", NkPrinterAttributeDefault}};
    EXPECT_EQ(ResolvePrinterName("office", printers), "office");
    EXPECT_EQ(ResolvePrinterName("OFFICE", printers), "Office");
    EXPECT_EQ(ResolvePrinterName("labels", printers), "Labels");
    EXPECT_EQ(ResolvePrinterName("Gone", printers), "Labels");
    EXPECT_EQ(ResolvePrinterName("", printers), "Labels");
    const std::vector<TNkPrinterEntry> noDefault = {{"Office", 0}};
    EXPECT_EQ(ErrorOf([&] { ResolvePrinterName("Gone", noDefault); }), kNoPrinter);
    EXPECT_EQ(ErrorOf([&] { ResolvePrinterName("Gone", {}); }), kNoPrinter);
}

TEST(PrintJob, PapersGoToCupsUnderTheirMediaNames) {
    EXPECT_EQ(MediaName(TPaper::Standard(TPaper::A4)), "iso_a4_210x297mm");
    EXPECT_EQ(MediaName(TPaper::Standard(TPaper::B5)), "jis_b5_182x257mm");
    EXPECT_EQ(MediaName(TPaper::Standard(TPaper::A3)), "iso_a3_297x420mm");
    EXPECT_EQ(MediaName(TPaper::CustomSize(1000, 1480)), "Custom.100x148mm");
    EXPECT_EQ(MediaName(TPaper::CustomSize(1005, 1480)), "Custom.100.5x148mm");
}
