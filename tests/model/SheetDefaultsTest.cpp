#include "model/SheetDefaults.h"

#include <gtest/gtest.h>

namespace {

TEST(PaperPresets, SixTypesInTheirListedOrderWithTheirSizes) {
    EXPECT_EQ(PaperTypeNames(), (QStringList{"A3", "A4", "A5", "B4", "B5", "その他"}));
    const QList<PaperPreset>& p = PaperPresets();
    ASSERT_EQ(p.size(), 6);
    const int sizes[][2] = {{2970, 4200}, {2100, 2970}, {1485, 2100},
                            {2570, 3640}, {1820, 2570}, {0, 0}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(p[i].width, sizes[i][0]) << p[i].name.toStdString();
        EXPECT_EQ(p[i].height, sizes[i][1]) << p[i].name.toStdString();
    }
}

TEST(PaperPresets, LookupIgnoresCaseAndUnknownTypesHaveNoSize) {
    EXPECT_EQ(PaperPresetFor("b5").width, 1820);
    EXPECT_EQ(PaperPresetFor("b5").height, 2570);
    EXPECT_EQ(PaperPresetFor(FreePaperType()).width, 0);
    for (const QString& unknown : {QString(), QStringLiteral("Letter"), QStringLiteral(" A4")}) {
        EXPECT_EQ(PaperPresetFor(unknown).width, 0);
        EXPECT_EQ(PaperPresetFor(unknown).height, 0);
    }
}

TEST(NewSheetDefaults, IdFirstThenA4AndOneByOneWithEverythingElseZero) {
    const auto defaults = NewSheetDefaults();
    QStringList order;
    for (const auto& [field, value] : defaults)
        order << field;
    EXPECT_EQ(order, (QStringList{"ID", "PaperType", "Top_M", "Left_M", "Retsu", "Dan", "L_Width",
                                  "L_Height", "X_Skip", "Y_Skip", "Pr_LeftM", "Pr_TopM"}));
    for (const auto& [field, value] : defaults) {
        if (field == "PaperType")
            EXPECT_EQ(value.toString(), "A4");
        else if (field == "Retsu" || field == "Dan")
            EXPECT_EQ(value.toInt(), 1) << field.toStdString();
        else
            EXPECT_EQ(value.toInt(), 0) << field.toStdString();
    }
    // The names, vendors and printers of new sheets stay empty.
    EXPECT_FALSE(order.contains("PAPERNAME"));
    EXPECT_FALSE(order.contains("CoName"));
    EXPECT_FALSE(order.contains("PrinterName"));
}

} // namespace
