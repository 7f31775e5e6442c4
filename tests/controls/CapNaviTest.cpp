#include "controls/CapNavi.h"
#include "controls/NaviGlyphs.h"
#include "data/DataSource.h"
#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/IbFunc.h"
#include "data/Query.h"
#include "platform/MessageService.h"
#include "support/TestDb.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

using B = TNavigateBtn;

void MoveOver(QWidget* w, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

TEST(CaptionDBNavi, CaptionsListShorterThanTenKeepsDefaults) {
    TCaptionDBNavi bar;
    bar.SetCaptions({"最初", "", "次", "最後", "追加", "削除", "編集", "登録", "取消"});
    EXPECT_EQ(bar.Button(B::nbFirst)->text(), "最初");
    EXPECT_EQ(bar.Button(B::nbPrior)->text(), "&Prior");
    EXPECT_EQ(bar.Button(B::nbRefresh)->text(), "&Refresh");
    bar.SetShowCaption(false);
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(bar.Button(static_cast<B>(i))->text().isEmpty());
    bar.SetShowCaption(true);
    EXPECT_EQ(bar.Button(B::nbCancel)->text(), "取消");
}

TEST(CaptionDBNavi, HintsReplaceOnlyNonEmptyEntries) {
    TCaptionDBNavi bar;
    bar.SetHints({"", "", "", "", "レコードの追加"});
    EXPECT_EQ(bar.Button(B::nbInsert)->toolTip(), "レコードの追加");
    EXPECT_EQ(bar.Button(B::nbFirst)->toolTip(), "最初のレコード");
    EXPECT_EQ(bar.Button(B::nbRefresh)->statusTip(), "データ更新");
}

TEST(CaptionDBNavi, EmptyGlyphPutsTheOwnOneBackAndHiddenGlyphsAreKept) {
    TCaptionDBNavi bar;
    QImage custom(32, 16, QImage::Format_RGB32);
    custom.fill(Qt::red);
    bar.SetButtonGlyph(B::nbPrior, custom);
    EXPECT_EQ(bar.Button(B::nbPrior)->Glyph(), custom);
    bar.SetButtonGlyph(B::nbPrior, QImage());
    EXPECT_EQ(bar.Button(B::nbPrior)->Glyph().size(), QSize(20, 13)); // the own "DB_PRIOR"
    bar.SetShowGlyph(false);
    bar.SetButtonGlyph(B::nbNext, custom);
    EXPECT_TRUE(bar.Button(B::nbNext)->Glyph().isNull());
    bar.SetShowGlyph(true);
    EXPECT_EQ(bar.Button(B::nbNext)->Glyph(), custom);
}

TEST(NaviGlyphs, FramesAndTransparency) {
    EXPECT_EQ(NaviGlyphs::Own(0).size(), QSize(28, 13));
    EXPECT_EQ(NaviGlyphs::Shared(4).size(), QSize(32, 16));
    EXPECT_TRUE(NaviGlyphs::Shared(9).isNull());
    EXPECT_EQ(NaviGlyphs::FrameCount(QImage(32, 16, QImage::Format_RGB32)), 2);
    EXPECT_EQ(NaviGlyphs::FrameCount(QImage(80, 16, QImage::Format_RGB32)), 1); // 5 frames: one
    EXPECT_EQ(NaviGlyphs::FrameCount(QImage(30, 13, QImage::Format_RGB32)), 2);
    QImage g(4, 2, QImage::Format_RGB32);
    g.fill(Qt::green);
    g.setPixel(1, 0, qRgb(0, 0, 0));
    const QImage f = NaviGlyphs::Frame(g, 0);
    EXPECT_EQ(f.width(), 2);
    EXPECT_EQ(qAlpha(f.pixel(0, 0)), 0); // the bottom-left colour is transparent
    EXPECT_EQ(qAlpha(f.pixel(1, 0)), 255);
}

TEST(CaptionDBNavi, HoverRecoloursAndLeavingResets) {
    TCaptionDBNavi bar;
    bar.SetFontColor(Qt::blue);
    bar.SetOnMoveColor(Qt::red);
    bar.resize(400, 25);
    bar.show();
    for (int i = 0; i < 10; ++i)
        bar.Button(static_cast<B>(i))->setEnabled(true); // disabled buttons get no mouse
    int moves = 0;
    TNavigateBtn last = B::nbRefresh;
    bar.OnMouseMove = [&](TCaptionDBNavi*, Qt::KeyboardModifiers, int, int, TNavigateBtn b) {
        ++moves;
        last = b;
    };
    MoveOver(bar.Button(B::nbFirst), {3, 3});
    ASSERT_TRUE(bar.Button(B::nbFirst)->isVisible());
    ASSERT_TRUE(bar.Button(B::nbFirst)->hasMouseTracking());
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(bar.Button(B::nbFirst)->CaptionColor(), QColor(Qt::red));
    MoveOver(bar.Button(B::nbNext), {3, 3});
    EXPECT_EQ(bar.Button(B::nbFirst)->CaptionColor(), QColor(Qt::blue));
    EXPECT_EQ(bar.Button(B::nbNext)->CaptionColor(), QColor(Qt::red));
    EXPECT_EQ(moves, 2);
    EXPECT_EQ(last, B::nbNext);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&bar, &leave);
    EXPECT_EQ(bar.Button(B::nbNext)->CaptionColor(), QColor(Qt::blue));
}

TEST(CaptionDBNavi, FlatBarTilesTheBackgroundAndPlainBarDrawsNothingExtra) {
    TCaptionDBNavi bar;
    bar.SetVisibleButtons({B::nbFirst});
    bar.resize(100, 25);
    QImage tile(30, 10, QImage::Format_RGB32);
    tile.fill(Qt::yellow);
    bar.SetBackBitmap(tile);
    QImage target(bar.size(), QImage::Format_ARGB32);
    bar.render(&target);
    EXPECT_FALSE(bar.LastTiles().isValid()); // not flat: no tiles, no borders
    bar.SetFlat(true);
    bar.render(&target);
    EXPECT_EQ(bar.LastTiles(), QSize(4, 3));
}

TEST(CaptionDBNavi, LayoutSharesTheWidthAndTrimsIt) {
    TCaptionDBNavi bar;
    bar.SetVisibleButtons({B::nbInsert, B::nbDelete, B::nbEdit, B::nbPost, B::nbCancel});
    bar.resize(317, 25);
    bar.show();
    EXPECT_EQ(bar.width(), 315);
    EXPECT_EQ(bar.Button(B::nbDelete)->geometry(), QRect(63, 0, 63, 25));
    EXPECT_GT(bar.Button(B::nbFirst)->x(), bar.width());
}

// A bar driving a real data set.
class NaviOnData : public ::testing::Test {
  protected:
    void SetUp() override {
        ConnectDatabase(db, tr, tdb.Path());
        q.SQL = {"SELECT * FROM TAVRELSET"};
        q.CachedUpdates = true;
        q.UpdateObject = &u;
        q.Open();
        GenerateUpdateSql(q, &u, "TAVRELSET");
        ds.SetDataSet(&q);
        bar.SetDataSource(&ds);
        Messages::SetResponder([this](const Messages::Request& r) {
            asked << r.text;
            return answer;
        });
    }
    void TearDown() override { Messages::ClearResponder(); }
    bool Enabled(B b) { return bar.Button(b)->isEnabled(); }
    TestDb tdb;
    Database db;
    Transaction tr;
    Query q{&db, &tr};
    TUpdateSQL u;
    DataSource ds;
    TCaptionDBNavi bar;
    QStringList asked;
    Messages::Answer answer = Messages::Answer::Ok;
};

TEST_F(NaviOnData, EmptyModifiableDataSetEnablesOnlyInsertEditRefresh) {
    EXPECT_FALSE(Enabled(B::nbFirst));
    EXPECT_FALSE(Enabled(B::nbNext));
    EXPECT_FALSE(Enabled(B::nbDelete));
    EXPECT_TRUE(Enabled(B::nbInsert));
    EXPECT_TRUE(Enabled(B::nbEdit));
    EXPECT_TRUE(Enabled(B::nbRefresh));
    EXPECT_FALSE(Enabled(B::nbPost));
    EXPECT_FALSE(Enabled(B::nbCancel));
    bar.setEnabled(false);
    EXPECT_FALSE(Enabled(B::nbInsert));
}

TEST_F(NaviOnData, ButtonsFollowPositionAndEditing) {
    bar.BtnClick(B::nbInsert);
    EXPECT_TRUE(Enabled(B::nbPost));
    EXPECT_FALSE(Enabled(B::nbEdit));
    bar.BtnClick(B::nbPost);
    bar.BtnClick(B::nbInsert);
    bar.BtnClick(B::nbPost);
    EXPECT_EQ(q.RecordCount(), 2);
    bar.BtnClick(B::nbFirst);
    EXPECT_FALSE(Enabled(B::nbPrior));
    EXPECT_TRUE(Enabled(B::nbNext));
    bar.BtnClick(B::nbLast);
    EXPECT_TRUE(Enabled(B::nbPrior));
    EXPECT_FALSE(Enabled(B::nbLast));
    q.CancelUpdates(); // a data set with unsaved rows refuses to close
    q.Close();
    EXPECT_FALSE(Enabled(B::nbInsert));
}

TEST_F(NaviOnData, DeleteAnsweredCancelStillRaisesBothEvents) {
    q.Append();
    q.Post();
    QStringList events;
    bar.BeforeAction = [&](TCaptionDBNavi*, TNavigateBtn) { events << "before"; };
    bar.OnClick = [&](TCaptionDBNavi*, TNavigateBtn) { events << "click"; };
    answer = Messages::Answer::Cancel;
    bar.BtnClick(B::nbDelete);
    EXPECT_EQ(asked, QStringList{QStringLiteral("レコードを削除してもよいですか？")});
    EXPECT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(events, QStringList({"before", "click"}));
    answer = Messages::Answer::Ok;
    bar.BtnClick(B::nbDelete);
    EXPECT_EQ(q.RecordCount(), 0);
}

TEST_F(NaviOnData, PriorAndNextRepeatWhileHeld) {
    EXPECT_TRUE(bar.Button(B::nbNext)->autoRepeat());
    EXPECT_EQ(bar.Button(B::nbNext)->autoRepeatDelay(), 400);
    EXPECT_EQ(bar.Button(B::nbPrior)->autoRepeatInterval(), 100);
    EXPECT_FALSE(bar.Button(B::nbLast)->autoRepeat());
}

} // namespace
