#include "model/CardLayout.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

namespace {

using namespace CardLayout;

// The sheet of the worked layout: A4, 2 × 5 labels of 86.4 × 50.8 mm.
SheetLayout Worked() {
    SheetLayout s;
    s.paperWidth = 2100;
    s.paperHeight = 2970;
    s.leftMargin = 150;
    s.topMargin = 215;
    s.labelWidth = 864;
    s.labelHeight = 508;
    s.gapX = 25;
    s.gapY = 0;
    s.columns = 2;
    s.rows = 5;
    return s;
}

PicturePlacement Placed(int x, int y, int width, int height, bool shown, bool stretched) {
    PicturePlacement p;
    p.x = x, p.y = y, p.width = width, p.height = height, p.shown = shown;
    p.stretched = stretched;
    return p;
}

TPageDescription Layout(const SheetLayout& s, Adjustments a = {}, PicturePlacement p = {},
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
    SheetLayout s = Worked();
    s.gapY = 39; // 3.9 mm: 3 mm
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
    SheetLayout s = Worked();
    s.paperWidth = 1000;
    s.paperHeight = 1489;
    s.columns = 1;
    s.rows = 2;
    const TPageDescription l = Layout(s, {}, {}, QStringLiteral("その他"));
    EXPECT_EQ(l.paper.code, 256);
    EXPECT_EQ(l.paper.widthTenthMm, 1000);
    EXPECT_EQ(l.paper.lengthTenthMm, 1480);
    EXPECT_EQ(l.rightMargin, 100 - 15 - 86);
    // A standard paper ignores the sheet's own size.
    EXPECT_EQ(Layout(s).paper.widthTenthMm, 2100);
}

TEST(CardLayout, RemaindersGoTowardZeroAndCorrectionsKeepTheirTenth) {
    SheetLayout s = Worked();
    s.labelWidth = 625;
    s.leftMargin = -15;
    const TPageDescription l = Layout(s, {5, -5});
    EXPECT_EQ(l.bandWidth, 62);
    EXPECT_EQ(l.leftMargin, -1);
    EXPECT_DOUBLE_EQ(l.textRect.top(), 0.5);
    EXPECT_DOUBLE_EQ(l.textRect.left(), -0.5);
    EXPECT_DOUBLE_EQ(l.textRect.width(), 62.5);
    EXPECT_DOUBLE_EQ(l.textRect.height(), 49.5);
}

TEST(CardLayout, PictureIsPlacedAtTheDisplayResolutionPlusTheCorrections) {
    const PicturePlacement p = Placed(96, 48, 192, 96, true, true);
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

TEST(CardLayout, PictureFlagsComeFromThePlacement) {
    const TPageDescription l = Layout(Worked(), {}, Placed(0, 0, 10, 10, false, false));
    EXPECT_FALSE(l.picturePrinted);
    EXPECT_FALSE(l.pictureStretch);
    const TPageDescription m = Layout(Worked(), {}, Placed(0, 0, -10, 10, true, false));
    EXPECT_TRUE(m.picturePrinted);
    EXPECT_EQ(m.pictureRect.width(), 0); // a window never has a negative size
}

TEST(CardLayout, FrameIsWhiteOnlyForThePrinter) {
    EXPECT_EQ(Layout(Worked()).frameColor, QColor(Qt::black));
    EXPECT_EQ(Layout(Worked(), {}, {}, "A4", true).frameColor, QColor(255, 255, 255));
}

TEST(CardLayout, SheetsThatGiveNoCellOrPageAreRefused) {
    const auto refused = [](SheetLayout s, const QString& type = "A4") {
        try {
            Layout(s, {}, {}, type);
        } catch (const EError& e) {
            return e.message() == QStringLiteral("ラベル初期設定に失敗しました。");
        }
        return false;
    };
    SheetLayout s = Worked();
    EXPECT_FALSE(refused(s));
    s.columns = 0;
    EXPECT_TRUE(refused(s));
    s = Worked(), s.rows = -1;
    EXPECT_TRUE(refused(s));
    s = Worked(), s.labelWidth = 9; // under one millimetre
    EXPECT_TRUE(refused(s));
    s = Worked(), s.labelHeight = 0;
    EXPECT_TRUE(refused(s));
    s.gapY = 30; // the gap alone still makes a cell
    EXPECT_FALSE(refused(s));
    s = Worked(), s.paperWidth = 0;
    EXPECT_TRUE(refused(s, QString()));
    EXPECT_FALSE(refused(s)); // a standard paper has its own size
    // Margins larger than the paper put the cells off the page but give a layout.
    s = Worked(), s.leftMargin = 30000, s.topMargin = 30000;
    EXPECT_FALSE(refused(s));
}

} // namespace
