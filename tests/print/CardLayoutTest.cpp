#include "print/CardLayout.h"
#include "data/Query.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

namespace {

using namespace CardLayout;

// The sheet of the worked layout: A4, 2 × 5 labels of 86.4 × 50.8 mm.
SheetValues Worked() {
    SheetValues s;
    s.P_Width = 2100;
    s.P_Height = 2970;
    s.Left_M = 150;
    s.Top_M = 215;
    s.L_Width = 864;
    s.L_Height = 508;
    s.X_Skip = 25;
    s.Y_Skip = 0;
    s.Retsu = 2;
    s.Dan = 5;
    return s;
}

TPageDescription Layout(const SheetValues& s, Adjustments a = {}, Placement p = {},
                        const QString& type = "A4", bool printer = false) {
    return Compute(PaperOf(type), s, a, p, 96.0, printer);
}

TEST(CardLayout, WorkedSheetGivesWholeMillimetresAndMarginsThatCloseTheColumns) {
    const TPageDescription l = Layout(Worked());
    EXPECT_EQ(l.paper.code, 9);
    EXPECT_EQ(l.paper.widthTenthMm, 2100);
    EXPECT_EQ(l.paper.lengthTenthMm, 2970);
    EXPECT_EQ(l.leftMargin, 15);
    EXPECT_EQ(l.topMargin, 21);
    EXPECT_EQ(l.bandWidth, 86);
    EXPECT_EQ(l.bandHeight, 50);
    EXPECT_EQ(l.columnSpacing, 2);
    EXPECT_EQ(l.columns, 2);
    EXPECT_EQ(l.rightMargin, 21);
    EXPECT_EQ(l.bottomMargin, 26);
    // Five rows from the top margin end exactly at the bottom margin.
    EXPECT_EQ(l.topMargin + 5 * l.bandHeight, 297 - l.bottomMargin);
    EXPECT_EQ((210 - l.leftMargin - l.rightMargin - l.columnSpacing) / 2, 86);
}

TEST(CardLayout, RowGapBelongsToTheCellBelowTheLabel) {
    SheetValues s = Worked();
    s.Y_Skip = 39; // 3.9 mm: 3 mm
    const TPageDescription l = Layout(s);
    EXPECT_EQ(l.bandHeight, 53);
    EXPECT_EQ(l.bottomMargin, 297 - 21 - 5 * 53);
}

TEST(CardLayout, PaperTableIgnoresCaseButNotWidth) {
    const struct {
        const char16_t* type;
        int code, width, length;
    } rows[] = {{u"A3", 8, 297, 420},   {u"a4", 9, 210, 297},  {u"A5", 11, 148, 210},
                {u"b4", 12, 257, 364},  {u"B5", 13, 182, 257}, {u"Ａ４", 256, 0, 0},
                {u"その他", 256, 0, 0}, {u"", 256, 0, 0},      {u"A4 ", 256, 0, 0},
                {u"Letter", 256, 0, 0}};
    for (const auto& r : rows) {
        const QString type = QString::fromUtf16(r.type);
        SCOPED_TRACE(type.toStdString());
        const TPaper p = PaperOf(type);
        EXPECT_EQ(p.code, r.code);
        EXPECT_EQ(p.widthTenthMm, r.width * 10);
        EXPECT_EQ(p.lengthTenthMm, r.length * 10);
    }
}

TEST(CardLayout, CustomPaperTakesTheSheetsSizeInWholeMillimetres) {
    SheetValues s = Worked();
    s.P_Width = 1000;
    s.P_Height = 1489;
    s.Retsu = 1;
    s.Dan = 2;
    const TPageDescription l = Layout(s, {}, {}, QStringLiteral("その他"));
    EXPECT_EQ(l.paper.code, 256);
    EXPECT_EQ(l.paper.widthTenthMm, 1000);
    EXPECT_EQ(l.paper.lengthTenthMm, 1480);
    EXPECT_EQ(l.rightMargin, 100 - 15 - 86);
    // A standard paper ignores the sheet's own size.
    EXPECT_EQ(Layout(s).paper.widthTenthMm, 2100);
}

TEST(CardLayout, RemaindersGoTowardZeroAndCorrectionsKeepTheirTenth) {
    SheetValues s = Worked();
    s.L_Width = 625;
    s.Left_M = -15;
    const TPageDescription l = Layout(s, {5, -5});
    EXPECT_EQ(l.bandWidth, 62);
    EXPECT_EQ(l.leftMargin, -1);
    EXPECT_DOUBLE_EQ(l.textRect.top(), 0.5);
    EXPECT_DOUBLE_EQ(l.textRect.left(), -0.5);
    EXPECT_DOUBLE_EQ(l.textRect.width(), 62.5);
    EXPECT_DOUBLE_EQ(l.textRect.height(), 49.5);
}

TEST(CardLayout, PictureIsPlacedAtTheDisplayResolutionPlusTheCorrections) {
    const Placement p{96, 48, 192, 96, 1, 1};
    const TPageDescription l = Layout(Worked(), {15, -5}, p);
    EXPECT_DOUBLE_EQ(l.pictureRect.left(), 25.4 - 0.5);
    EXPECT_DOUBLE_EQ(l.pictureRect.top(), 12.7 + 1.5);
    EXPECT_DOUBLE_EQ(l.pictureRect.width(), 50.8);
    EXPECT_DOUBLE_EQ(l.pictureRect.height(), 25.4);
    EXPECT_TRUE(l.picturePrinted);
    EXPECT_TRUE(l.pictureStretch);
    const TPageDescription hiDpi = Compute(PaperOf("A4"), Worked(), {}, p, 192.0, false);
    EXPECT_DOUBLE_EQ(hiDpi.pictureRect.width(), 25.4);
}

TEST(CardLayout, OnlyOneMeansYesForTheFlags) {
    for (int flag : {0, 2, -1}) {
        const TPageDescription l = Layout(Worked(), {}, {0, 0, 10, 10, flag, flag});
        EXPECT_FALSE(l.picturePrinted) << flag;
        EXPECT_FALSE(l.pictureStretch) << flag;
    }
}

TEST(CardLayout, FrameIsWhiteOnlyForThePrinter) {
    EXPECT_EQ(Layout(Worked()).frameColor, QColor(Qt::black));
    EXPECT_EQ(Layout(Worked(), {}, {}, "A4", true).frameColor, QColor(255, 255, 255));
}

TEST(CardLayout, SheetsThatGiveNoCellOrPageAreRefused) {
    const auto refused = [](SheetValues s, const QString& type = "A4") {
        try {
            Layout(s, {}, {}, type);
        } catch (const EError& e) {
            return e.message() == QStringLiteral("ラベル初期設定に失敗しました。");
        }
        return false;
    };
    SheetValues s = Worked();
    EXPECT_FALSE(refused(s));
    s.Retsu = 0;
    EXPECT_TRUE(refused(s));
    s = Worked(), s.Dan = -1;
    EXPECT_TRUE(refused(s));
    s = Worked(), s.L_Width = 9; // under one millimetre
    EXPECT_TRUE(refused(s));
    s = Worked(), s.L_Height = 0;
    EXPECT_TRUE(refused(s));
    s.Y_Skip = 30; // the gap alone still makes a cell
    EXPECT_FALSE(refused(s));
    s = Worked(), s.P_Width = 0;
    EXPECT_TRUE(refused(s, QString()));
    EXPECT_FALSE(refused(s)); // a standard paper has its own size
    // Margins larger than the paper put the cells off the page but give a layout.
    s = Worked(), s.Left_M = 30000, s.Top_M = 30000;
    EXPECT_FALSE(refused(s));
}

TEST(CardLayout, SheetValuesAndPlacementReadNullsAsZero) {
    Query q;
    std::vector<ColumnInfo> cols;
    for (const char* name :
         {"TOP_M", "LEFT_M", "P_HEIGHT", "P_WIDTH", "L_HEIGHT", "L_WIDTH", "X_SKIP", "Y_SKIP",
          "RETSU", "DAN", "G_X", "G_Y", "G_WIDTH", "G_HEIGHT", "G_SHOW", "G_STRETCH"})
        cols.push_back({name, FieldKind::Integer});
    RowValues row(cols.size());
    for (size_t i = 0; i < row.size(); ++i)
        row[i].value = static_cast<int>(i + 1);
    row[1].value = QVariant();
    q.LoadFromRows(cols, {row});
    q.Open();
    const SheetValues s = SheetValuesOf(q);
    EXPECT_EQ(s.Top_M, 1);
    EXPECT_EQ(s.Left_M, 0);
    EXPECT_EQ(s.Dan, 10);
    const Placement p = PlacementOf(q);
    EXPECT_EQ(p.G_X, 11);
    EXPECT_EQ(p.G_Stretch, 16);
}

} // namespace
