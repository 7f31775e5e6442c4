#include "model/PageGeometry.h"
#include "platform/Error.h"
#include "support/LabelSheetPage.h"

#include <gtest/gtest.h>

namespace {

std::vector<QPoint> Origins(const TPagePlan& plan) {
    std::vector<QPoint> points;
    for (const TCellPlace& cell : plan.cells)
        points.push_back(cell.rect.topLeft());
    return points;
}

QString RefusalOf(const TPageDescription& page) {
    try {
        FlowCells(page, 3);
    } catch (const EError& e) {
        return e.message();
    }
    return {};
}

} // namespace

TEST(PageGeometry, LabelSheetFillsColumnOneTopToBottomThenColumnTwo) {
    const TPageDescription page = LabelSheet();
    EXPECT_EQ(ColumnWidth(page), 860); // (2100 - 150 - 210 - 20) / 2
    const auto pages = FlowCells(page, 10);
    ASSERT_EQ(pages.size(), 1u);
    const std::vector<QPoint> expected = {{150, 210},   {150, 710},  {150, 1210}, {150, 1710},
                                          {150, 2210},  {1030, 210}, {1030, 710}, {1030, 1210},
                                          {1030, 1710}, {1030, 2210}};
    EXPECT_EQ(Origins(pages[0]), expected);
    for (const TCellPlace& cell : pages[0].cells)
        EXPECT_EQ(cell.rect.size(), QSize(860, 500));
    // The fifth row ends exactly on the bottom margin: 2210 + 500 = 2970 - 260.
}

TEST(PageGeometry, RowsBeyondOnePageStartTheNextPageAtColumnOneRowOne) {
    const auto pages = FlowCells(LabelSheet(), 11);
    ASSERT_EQ(pages.size(), 2u);
    ASSERT_EQ(pages[1].cells.size(), 1u);
    EXPECT_EQ(pages[1].cells[0].row, 10);
    EXPECT_EQ(pages[1].cells[0].rect.topLeft(), QPoint(150, 210));
    EXPECT_EQ(FlowCells(LabelSheet(), 20).size(), 2u);
    EXPECT_EQ(FlowCells(LabelSheet(), 21).size(), 3u);
}

TEST(PageGeometry, NoRowsGiveOneBlankPage) {
    const auto pages = FlowCells(LabelSheet(), 0);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(pages[0].cells.empty());
}

TEST(PageGeometry, ColumnWidthDropsTheRemainderInTenthMillimetres) {
    TPageDescription page = LabelSheet();
    page.paper = TPaper::CustomSize(1000, 1480);
    page.leftMargin = -1; // margins may be negative
    page.rightMargin = 0.5;
    page.columns = 3;
    page.columnSpacing = 0;
    EXPECT_EQ(ColumnWidth(page), 335); // (1000 + 10 - 5) / 3
    page.paper.widthTenthMm = 1002;
    EXPECT_EQ(ColumnWidth(page), 335); // 1007 / 3 = 335.67, the remainder dropped
    page.bandHeight = 10;
    const auto pages = FlowCells(page, 3);
    EXPECT_EQ(Origins(pages[0]), (std::vector<QPoint>{{-10, 210}, {-10, 310}, {-10, 410}}));
}

TEST(PageGeometry, CellTallerThanTheSpaceBetweenMarginsStaysInItsColumn) {
    TPageDescription page = LabelSheet();
    page.bandHeight = 260; // more than 297 - 21 - 26 = 250
    const auto pages = FlowCells(page, 4);
    ASSERT_EQ(pages.size(), 1u) << "such cells must never start page after page";
    EXPECT_EQ(Origins(pages[0]),
              (std::vector<QPoint>{{150, 210}, {150, 2810}, {150, 5410}, {150, 8010}}));
    // A cell that just fits still moves on.
    page.bandHeight = 250;
    EXPECT_EQ(FlowCells(page, 4).size(), 2u);
}

TEST(PageGeometry, DescriptionsThatHoldNoCellAreRefusedWithAClearMessage) {
    TPageDescription page = LabelSheet();
    page.paper = TPaper::CustomSize(0, 1480);
    EXPECT_EQ(RefusalOf(page), "用紙の大きさが正しくありません。");
    page.paper = TPaper::CustomSize(1000, -5);
    EXPECT_EQ(RefusalOf(page), "用紙の大きさが正しくありません。");
    page = LabelSheet();
    page.columns = 0;
    EXPECT_EQ(RefusalOf(page), "列数が正しくありません。");
    page.columns = -2;
    EXPECT_EQ(RefusalOf(page), "列数が正しくありません。");
    page = LabelSheet();
    page.bandHeight = 0;
    EXPECT_EQ(RefusalOf(page), "ラベルの大きさが正しくありません。");
    page = LabelSheet();
    page.bandWidth = -86;
    EXPECT_EQ(RefusalOf(page), "ラベルの大きさが正しくありません。");
    // Margins larger than the paper are not refused: the cells just lie off the paper.
    page = LabelSheet();
    page.leftMargin = 300;
    page.rightMargin = 300;
    EXPECT_EQ(RefusalOf(page), "");
}

TEST(PageGeometry, StandardPapersCarryTheirSizes) {
    const std::vector<std::tuple<int, int, int>> papers = {{TPaper::A3, 2970, 4200},
                                                           {TPaper::A4, 2100, 2970},
                                                           {TPaper::A5, 1480, 2100},
                                                           {TPaper::B4, 2570, 3640},
                                                           {TPaper::B5, 1820, 2570}};
    for (const auto& [code, width, length] : papers) {
        const TPaper paper = TPaper::Standard(code);
        EXPECT_EQ(paper.code, code);
        EXPECT_EQ(paper.widthTenthMm, width);
        EXPECT_EQ(paper.lengthTenthMm, length);
    }
    EXPECT_EQ(TPaper::Standard(77).code, TPaper::A4);
    const TPaper custom = TPaper::CustomSize(1000, 1480);
    EXPECT_EQ(custom.code, 256);
    EXPECT_EQ(custom.widthTenthMm, 1000);
}
