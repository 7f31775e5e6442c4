// Sheets taken from the installed template catalogue, laid out by the print run's own page
// layout and cell flow.
#include "model/CardLayout.h"
#include "model/PageGeometry.h"
#include "sheets/SheetCatalogue.h"
#include "sheets/TemplateFixture.h"

#include <cmath>
#include <gtest/gtest.h>
#include <iostream>

namespace {

// The cells of one full sheet as the print run flows them, in tenth-millimetres.
std::vector<TPagePlan> Flowed(const SheetLayout& l) {
    const TPageDescription page = CardLayout::Compute(PaperOf(l.paperType), l, {}, {}, 96.0, false);
    return FlowCells(page, l.columns * l.rows);
}

// How far a cell's corner (tenth-millimetres) lies from the template's label (i, j), in mm.
double Offset(const QRect& cell, const TemplateLayout& t, int i, int j) {
    return std::max(std::fabs(cell.x() / 10.0 - (t.x0 + i * t.dx)),
                    std::fabs(cell.y() / 10.0 - (t.y0 + j * t.dy)));
}

QRect Tenths(const QRect& mm) {
    return QRect(mm.topLeft() * 10, mm.size() * 10);
}

TEST(TemplateSheetLayout, PrintRunPutsEveryCatalogueSheetOnOnePageWhereItsWholeMillimetresSay) {
    SKIP_WITHOUT_INSTALLED_TEMPLATES();
    SheetCatalogue catalogue;
    catalogue.Load(kInstalledTemplates);
    double worst = 0;
    int sheets = 0;
    for (const CatalogueEntry& e : catalogue.Entries()) {
        if (!e.Convertible())
            continue;
        const SheetLayout& l = e.conversion.sheet->layout;
        const std::string name = (e.sheet.brand + " " + e.sheet.part).toStdString();
        const std::vector<TPagePlan> pages = Flowed(l);
        ASSERT_EQ(pages.size(), 1u) << name;
        const SheetLayout mm = l.WholeMillimetres();
        const int lastColumn = l.columns - 1;
        const int lastRow = l.rows - 1;
        // The print run's cell holds the gap below the label: compare corners and widths.
        const QRect first = pages[0].cells.front().rect;
        const QRect end = pages[0].cells.back().rect;
        EXPECT_EQ(first.topLeft(), Tenths(mm.CellRect(0, 0)).topLeft()) << name;
        EXPECT_EQ(end.topLeft(), Tenths(mm.CellRect(lastColumn, lastRow)).topLeft()) << name;
        EXPECT_EQ(end.width(), mm.labelWidth * 10) << name;
        // Cutting to whole millimetres moves the first label by less than one, and each further
        // one by less than one more per label and gap.
        const TemplateLayout& t = e.sheet.layouts.front();
        EXPECT_LT(Offset(first, t, 0, 0), 1.05) << name;
        const double last = Offset(end, t, t.nx - 1, t.ny - 1);
        EXPECT_LT(last, 1.05 + 2.0 * std::max(lastColumn, lastRow)) << name;
        worst = std::max(worst, last);
        ++sheets;
    }
    std::cout << "[ catalogue ] " << sheets << " sheets flowed; the last label lies up to " << worst
              << " mm from the template's place\n";
}

TEST(TemplateSheetLayout, TwoByFiveSheetFlowsByWholeMillimetres) {
    TemplateFolder folder;
    SheetCatalogue catalogue;
    catalogue.Load(folder.Path());
    const std::vector<int> found = catalogue.Find({}, "AC-210");
    ASSERT_EQ(found.size(), 1u);
    const SheetLayout& l =
        catalogue.Entries()[static_cast<size_t>(found[0])].conversion.sheet->layout;
    const std::vector<TPagePlan> pages = Flowed(l);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].cells.size(), 10u);
    // 18.6, 21.2 and 86.4 x 50.8 mm become 18, 21 and 86 x 50: the second column starts at
    // 104 mm (the template: 105.0), the fifth row at 221 mm (the template: 224.4).
    EXPECT_EQ(pages[0].cells.front().rect, QRect(180, 210, 860, 500));
    EXPECT_EQ(pages[0].cells.back().rect, QRect(1040, 2210, 860, 500));
}

} // namespace
