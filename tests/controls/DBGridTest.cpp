#include "controls/DBGrid.h"
#include "data/DataSource.h"
#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/IbFunc.h"
#include "data/Query.h"
#include "support/TestDb.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

// A grid over thirty sheets, twelve rows to a page.
class DBGridTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ConnectDatabase(db, tr, tdb.Path());
        for (int i = 0; i < 30; ++i)
            ExecuteImmediate(db, tr,
                             QString("INSERT INTO TAVRELSET (ID, PAPERNAME) VALUES (0, 'S%1')")
                                 .arg(i, 2, 10, QChar('0')));
        tr.Commit();
        q.SQL = {"SELECT * FROM TAVRELSET", "ORDER BY PAPERNAME"};
        q.Open();
        ds.SetDataSet(&q);
        grid.SetColumns({TColumn{"PAPERNAME", "name", 100, Qt::AlignLeft, Qt::AlignCenter, {}}});
        grid.SetDataSource(&ds);
        grid.resize(200, 12 * 18 + grid.horizontalHeader()->height() + 4);
        grid.show();
        grid.setFocus();
    }
    void Key(int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&grid, &press);
    }
    void Wheel(int notches) {
        const QPointF at(20, 40);
        QWheelEvent wheel(at, grid.viewport()->mapToGlobal(at), {}, QPoint(0, 120 * notches),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid.viewport(), &wheel);
    }
    // The data set's record, the grid's current row and the row marked ▶ must agree.
    void ExpectRecord(int recNo) {
        EXPECT_EQ(q.RecNo(), recNo);
        EXPECT_EQ(grid.currentIndex().row(), recNo - 1);
        EXPECT_EQ(grid.Model()->headerData(recNo - 1, Qt::Vertical, Qt::DisplayRole).toString(),
                  "▶");
    }
    TestDb tdb;
    Database db;
    Transaction tr;
    Query q{&db, &tr};
    DataSource ds;
    TDBGrid grid;
};

TEST_F(DBGridTest, KeysMoveTheRecord) {
    ExpectRecord(1);
    Key(Qt::Key_Down);
    ExpectRecord(2);
    Key(Qt::Key_PageDown);
    EXPECT_GT(q.RecNo(), 2);
    ExpectRecord(q.RecNo());
    Key(Qt::Key_End);
    ExpectRecord(30);
    Key(Qt::Key_Up);
    ExpectRecord(29);
    Key(Qt::Key_PageUp);
    EXPECT_LT(q.RecNo(), 29);
    ExpectRecord(q.RecNo());
    Key(Qt::Key_Home);
    ExpectRecord(1);
    Key(Qt::Key_Up); // nothing above the first row
    ExpectRecord(1);
}

TEST_F(DBGridTest, WheelMovesTheRecordOneRowPerNotch) {
    Wheel(-1);
    ExpectRecord(2);
    Wheel(-3);
    ExpectRecord(5);
    Wheel(2);
    ExpectRecord(3);
    Wheel(5);
    ExpectRecord(1);
}

TEST_F(DBGridTest, TheDataSetMovesTheGrid) {
    q.Last();
    ExpectRecord(30);
    q.SetRecNo(7);
    ExpectRecord(7);
}

} // namespace
