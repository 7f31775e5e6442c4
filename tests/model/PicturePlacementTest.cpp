#include "model/PicturePlacement.h"
#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/IbFunc.h"
#include "data/Query.h"
#include "support/TestDb.h"

#include <gtest/gtest.h>

namespace {

class PicturePlacementTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ConnectDatabase(db, tr, tdb.Path());
        q.SQL = {"SELECT * FROM TAVREL", "ORDER BY NAME"};
        q.CachedUpdates = true;
        q.UpdateObject = &u;
    }
    void Open() {
        tr.Commit();
        q.Open();
        GenerateUpdateSql(q, &u, "TAVREL");
    }
    TestDb tdb;
    Database db;
    Transaction tr;
    Query q{&db, &tr};
    TUpdateSQL u;
};

TEST_F(PicturePlacementTest, ReadsTheRowWithOnlyOneMeaningShownOrStretchedAndNullsAsZero) {
    ExecuteImmediate(db, tr,
                     "INSERT INTO TAVREL (ID, NAME, G_X, G_Y, G_WIDTH, G_HEIGHT, G_SHOW, "
                     "G_STRETCH) VALUES (0, 'a', -4, 7, 90, 60, 2, 1)");
    ExecuteImmediate(db, tr, "INSERT INTO TAVREL (ID, NAME, G_SHOW) VALUES (0, 'b', 1)");
    Open();
    const PicturePlacement a = PicturePlacement::FromRecord(q);
    EXPECT_EQ(a.Rect(), QRect(-4, 7, 90, 60));
    EXPECT_FALSE(a.shown); // 2 is not 1
    EXPECT_TRUE(a.stretched);
    q.Next();
    EXPECT_EQ(PicturePlacement::FromRecord(q), (PicturePlacement{0, 0, 0, 0, true, false}));
}

TEST_F(PicturePlacementTest, PlacementWrittenIsThePlacementReadBackFromTheDatabase) {
    ExecuteImmediate(db, tr, "INSERT INTO TAVREL (ID, NAME) VALUES (0, 'a')");
    Open();
    const PicturePlacement written{-12, 300, 71, 51, true, true};
    q.Edit();
    written.IntoRecord(q);
    q.Post();
    q.ApplyUpdates();
    q.Close();
    q.Open();
    EXPECT_EQ(PicturePlacement::FromRecord(q), written);
    EXPECT_EQ(q.FieldByName("G_SHOW").AsInteger(), 1);
    EXPECT_EQ(q.FieldByName("G_STRETCH").AsInteger(), 1);

    q.Edit();
    PicturePlacement{}.IntoRecord(q);
    EXPECT_EQ(q.FieldByName("G_SHOW").AsInteger(), 0);
    EXPECT_EQ(q.FieldByName("G_STRETCH").AsInteger(), 0);
    EXPECT_FALSE(q.FieldByName("G_X").IsNull());
}

} // namespace
