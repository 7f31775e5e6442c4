#include "model/SheetLayout.h"
#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/IbFunc.h"
#include "data/Query.h"
#include "support/TestDb.h"

#include <gtest/gtest.h>

namespace {

// A4 sheet of 2 × 5 labels of 86.4 × 50.8 mm.
SheetLayout A4TwoByFive() {
    SheetLayout s;
    s.paperType = "A4";
    s.paperWidth = 2100;
    s.paperHeight = 2970;
    s.leftMargin = 150;
    s.topMargin = 215;
    s.columns = 2;
    s.rows = 5;
    s.labelWidth = 864;
    s.labelHeight = 508;
    s.gapX = 25;
    s.gapY = 0;
    return s;
}

TEST(SheetLayout, CellRectanglesOfTheTwoByFiveSheetInTenthMillimetres) {
    const SheetLayout s = A4TwoByFive();
    EXPECT_EQ(s.CellRect(0, 0), QRect(150, 215, 864, 508));
    EXPECT_EQ(s.CellRect(1, 0), QRect(1039, 215, 864, 508));
    EXPECT_EQ(s.CellRect(0, 1), QRect(150, 723, 864, 508));
    const QRect last = s.CellRect(1, 4);
    EXPECT_EQ(last, QRect(1039, 2247, 864, 508));
    // The last label ends 21.5 mm above the paper's bottom and 19.7 mm from its right edge.
    EXPECT_EQ(s.paperHeight - (last.y() + last.height()), 215);
    EXPECT_EQ(s.paperWidth - (last.x() + last.width()), 197);
}

TEST(SheetLayout, GapsLieBetweenLabelsInBothDirections) {
    SheetLayout s = A4TwoByFive();
    s.gapY = 30;
    s.leftMargin = -15; // margins may be negative; nothing is checked
    EXPECT_EQ(s.CellRect(1, 2), QRect(-15 + 889, 215 + 2 * 538, 864, 508));
}

TEST(SheetLayout, WholeMillimetresCutEachLengthLikeThePrintedPage) {
    SheetLayout s = A4TwoByFive();
    s.printLeft = -15;
    s.printTop = 19;
    const SheetLayout mm = s.WholeMillimetres();
    EXPECT_EQ(mm.paperWidth, 210);
    EXPECT_EQ(mm.leftMargin, 15);
    EXPECT_EQ(mm.topMargin, 21);
    EXPECT_EQ(mm.labelWidth, 86);
    EXPECT_EQ(mm.labelHeight, 50);
    EXPECT_EQ(mm.gapX, 2);
    EXPECT_EQ(mm.printLeft, -1); // toward zero, not down
    EXPECT_EQ(mm.printTop, 1);
    EXPECT_EQ(mm.columns, 2);
    EXPECT_EQ(mm.rows, 5);
    // Columns begin at 15 and 103 mm, rows at 21, 71, 121, 171 and 221 mm.
    EXPECT_EQ(mm.CellRect(1, 0).x(), 103);
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(mm.CellRect(0, row).y(), 21 + 50 * row);
}

TEST(SheetLayout, LabelsPerSheetCountAtLeastOneColumnAndRow) {
    EXPECT_EQ(A4TwoByFive().LabelsPerSheet(), 10);
    SheetLayout s;
    EXPECT_EQ(s.LabelsPerSheet(), 1);
    s.rows = -2;
    s.columns = 3;
    EXPECT_EQ(s.LabelsPerSheet(), 3);
}

TEST(SheetLayout, ReadFromASheetRowWithNullsAsZero) {
    TestDb tdb;
    Database db;
    Transaction tr;
    ConnectDatabase(db, tr, tdb.Path());
    ExecuteImmediate(db, tr,
                     "INSERT INTO TAVRELSET (ID, PAPERNAME, CONAME, PAPERTYPE, P_WIDTH, P_HEIGHT, "
                     "LEFT_M, TOP_M, RETSU, DAN, L_WIDTH, L_HEIGHT, X_SKIP, PR_LEFTM, PR_TOPM, "
                     "PRINTERNAME) VALUES (0, 'エーワン 28172', 'エーワン', 'A4', 2100, 2970, 150, "
                     "215, 2, 5, 864, 508, 25, -12, 7, 'pdf')");
    tr.Commit();
    Query q(&db, &tr);
    q.SQL = {"SELECT * FROM TAVRELSET"};
    q.Open();
    const SheetLayout s = SheetLayout::FromRecord(q);
    EXPECT_EQ(s.paperName, QStringLiteral("エーワン 28172"));
    EXPECT_EQ(s.paperType, "A4");
    EXPECT_EQ(s.CellRect(1, 4), A4TwoByFive().CellRect(1, 4));
    EXPECT_EQ(s.gapY, 0); // null
    EXPECT_EQ(s.printLeft, -12);
    EXPECT_EQ(s.printTop, 7);
    EXPECT_EQ(s.printerName, "pdf");
}

} // namespace
