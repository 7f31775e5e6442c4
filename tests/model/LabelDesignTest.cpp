#include "model/LabelDesign.h"
#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/IbFunc.h"
#include "data/Query.h"
#include "platform/SjisCodec.h"
#include "platform/StoredPicture.h"
#include "support/TestDb.h"

#include <gtest/gtest.h>

namespace {

class LabelDesignTest : public ::testing::Test {
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

TEST_F(LabelDesignTest, ReadsEveryPartOfTheRowWithOnlyOneMeaningShownOrStretched) {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::green);
    const QByteArray bmp = StoredPicture::Encode(image);
    ExecuteImmediate(db, tr,
                     "INSERT INTO TAVREL (ID, NAME, PAPERNAME, CARDTEXT, G_X, G_Y, G_WIDTH, "
                     "G_HEIGHT, G_SHOW, G_STRETCH) VALUES (0, 'a', 'A-ONE', "
                     "'{\\rtf1 ラベル}', -4, 7, 90, 60, 2, 1)");
    ExecuteImmediate(db, tr, "INSERT INTO TAVREL (ID, NAME, G_SHOW) VALUES (0, 'b', 1)");
    Open();
    const LabelDesign a = LabelDesign::FromRecord(q);
    EXPECT_GT(a.id, 0);
    EXPECT_EQ(a.name, "a");
    EXPECT_EQ(a.paperName, "A-ONE");
    EXPECT_EQ(a.cardText, Sjis::Encode(QStringLiteral("{\\rtf1 ラベル}"))); // stored bytes
    EXPECT_EQ(a.placement.Rect(), QRect(-4, 7, 90, 60));
    EXPECT_FALSE(a.placement.shown); // 2 is not 1
    EXPECT_TRUE(a.placement.stretched);
    EXPECT_TRUE(a.PictureImage().isNull());

    q.Next();
    q.Edit();
    q.FieldByName("GAZOU").SetValue(bmp);
    const LabelDesign b = LabelDesign::FromRecord(q);
    EXPECT_EQ(b.placement, (PicturePlacement{0, 0, 0, 0, true, false})); // nulls read as 0
    EXPECT_EQ(b.picture, bmp);
    const QImage decoded = b.PictureImage();
    EXPECT_EQ(decoded.size(), QSize(3, 2));
    EXPECT_EQ(decoded.pixelColor(2, 1), QColor(Qt::green));
}

TEST_F(LabelDesignTest, BrokenPictureGivesNoImageAndTheDecodersMessage) {
    ExecuteImmediate(db, tr, "INSERT INTO TAVREL (ID, NAME, GAZOU) VALUES (0, 'a', x'00112233')");
    Open();
    QString error;
    EXPECT_TRUE(LabelDesign::FromRecord(q).PictureImage(&error).isNull());
    EXPECT_EQ(error, "Bitmap image is not valid");
}

TEST_F(LabelDesignTest, PlacementWrittenIsThePlacementReadBackFromTheDatabase) {
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
