#include "labels/ImageFormU.h"
#include "controls/DBImage.h"
#include "data/DataSource.h"
#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/IbFunc.h"
#include "data/Query.h"
#include "labels/DBRichEdit.h"
#include "labels/EditMenu.h"
#include "model/PicturePlacement.h"
#include "platform/MessageService.h"
#include "platform/StoredPicture.h"
#include "support/PictureSamples.h"
#include "support/TestDb.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace {

// A picture window over a design list with one stored design.
class ImageFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Messages::SetResponder([this](const Messages::Request& r) {
            shown << r.text;
            return Messages::Answer::Ok;
        });
        ConnectDatabase(db, tr, tdb.Path());
        ExecuteImmediate(db, tr,
                         "INSERT INTO TAVREL (ID, NAME, G_X, G_Y, G_WIDTH, G_HEIGHT, G_SHOW, "
                         "G_STRETCH) VALUES (0, 'a', 20, 30, 90, 60, 2, 1)");
        ExecuteImmediate(db, tr,
                         "INSERT INTO TAVREL (ID, NAME, G_X, G_Y, G_WIDTH, G_HEIGHT, G_SHOW, "
                         "G_STRETCH, GAZOU) VALUES (0, 'b', 5, 6, 40, 30, 1, 0, x'00112233')");
        tr.Commit();
        q.SQL = {"SELECT * FROM TAVREL", "ORDER BY NAME"};
        q.CachedUpdates = true;
        q.UpdateObject = &u;
        ds.SetDataSet(&q);
        panel.resize(333, 225);
        form = new TImageForm(&panel, &ds);
        q.AfterScroll = [this](Query& d) { form->PlacementFromRecord(d); };
        q.AfterCancel = q.AfterScroll;
        q.BeforePost = [this](Query& d) { form->PlacementIntoRecord(d); };
        q.Open();
        GenerateUpdateSql(q, &u, "TAVREL");
        panel.show();
    }
    void TearDown() override { Messages::ClearResponder(); }

    void Drag(QWidget* w, QPoint from, QPoint to) {
        const QPoint gFrom = w->mapToGlobal(from);
        const QPoint gTo = w->mapToGlobal(to);
        QMouseEvent press(QEvent::MouseButtonPress, from, gFrom, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(w, &press);
        QMouseEvent move(QEvent::MouseMove, to, gTo, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, to, gTo, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(w, &release);
    }

    TestDb tdb;
    Database db;
    Transaction tr;
    Query q{&db, &tr};
    TUpdateSQL u;
    DataSource ds;
    QWidget panel;
    TImageForm* form = nullptr;
    QStringList shown;
};

TEST_F(ImageFormTest, FirstPlacementComesFromTheRecordAndOnlyOneMeansShown) {
    EXPECT_EQ(form->geometry(), QRect(20, 30, 90, 60));
    EXPECT_TRUE(form->isHidden()); // G_Show 2
    EXPECT_TRUE(form->Stretched());
    EXPECT_EQ(q.State(), DataSetState::Browse);
    q.Edit();
    q.Post();
    EXPECT_EQ(q.FieldByName("G_Show").AsInteger(), 0);
    EXPECT_EQ(q.FieldByName("G_Stretch").AsInteger(), 1);
}

TEST_F(ImageFormTest, ChangingRowsMovesTheWindowWithoutEditing) {
    q.Next();
    EXPECT_EQ(form->geometry(), QRect(5, 6, 40, 30));
    EXPECT_FALSE(form->isHidden());
    EXPECT_EQ(q.State(), DataSetState::Browse);
    EXPECT_EQ(form->DBImage1->geometry(), form->contentsRect());
}

TEST_F(ImageFormTest, AStoredValueThatIsNoBitmapReportsTheLoaderErrorAndTheListGoesOn) {
    q.Next();
    EXPECT_EQ(shown, QStringList{"Bitmap image is not valid"});
    EXPECT_FALSE(form->DBImage1->HasPicture());
    q.First();
    EXPECT_EQ(q.RecNo(), 1);
}

TEST_F(ImageFormTest, DraggingEntersEditStateAndCancelPutsTheWindowBack) {
    Drag(form->DBImage1, {10, 10}, {25, 17});
    EXPECT_EQ(q.State(), DataSetState::Edit);
    EXPECT_EQ(form->pos(), QPoint(35, 37));
    q.Cancel();
    EXPECT_EQ(form->geometry(), QRect(20, 30, 90, 60));
    Drag(form->DBImage1, {10, 10}, {12, 11});
    q.Post();
    EXPECT_EQ(q.FieldByName("G_X").AsInteger(), 22);
    EXPECT_EQ(q.FieldByName("G_Y").AsInteger(), 31);
}

TEST_F(ImageFormTest, SizingByTheFrameEntersEditState) {
    q.Next();
    const QPoint corner(form->width() - 1, form->height() - 1);
    Drag(form, corner, corner + QPoint(10, 5));
    EXPECT_EQ(q.State(), DataSetState::Edit);
    EXPECT_EQ(form->size(), QSize(50, 35));
    q.Post();
    EXPECT_EQ(q.FieldByName("G_Width").AsInteger(), 50);
    EXPECT_EQ(q.FieldByName("G_Height").AsInteger(), 35);
}

TEST_F(ImageFormTest, NewRecordTakesTheWindowsPlacementAndPictureIsStoredAsBitmap) {
    q.Append();
    EXPECT_EQ(form->geometry(), QRect(20, 30, 90, 60)); // insert leaves the window alone
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(qRgb(1, 2, 3));
    form->DBImage1->SetPicture(img);
    q.Post();
    EXPECT_EQ(q.FieldByName("G_X").AsInteger(), 20);
    QString error;
    const QImage stored = StoredPicture::Decode(q.FieldByName("GAZOU").AsBytes(), &error);
    EXPECT_EQ(stored.pixel(1, 1), qRgb(1, 2, 3));
}

TEST_F(ImageFormTest, PictureIsDrawnCentredAndCutOrStretchedToTheControl) {
    q.Next();                                 // 40 × 30 outside, 34 × 24 inside the frame
    QImage img(10, 40, QImage::Format_RGB32); // taller than the control: cut at top and bottom
    img.fill(qRgb(200, 0, 0));
    form->DBImage1->SetPicture(img);
    const QSize inside = form->DBImage1->size();
    ASSERT_EQ(inside, QSize(34, 24));
    QImage shown = form->DBImage1->grab().toImage();
    EXPECT_EQ(shown.pixel(12, 0), qRgb(200, 0, 0)); // (34 − 10) / 2 = 12
    EXPECT_EQ(shown.pixel(21, 23), qRgb(200, 0, 0));
    EXPECT_NE(shown.pixel(11, 12), qRgb(200, 0, 0));
    EXPECT_NE(shown.pixel(22, 12), qRgb(200, 0, 0));
    form->DBImage1->SetStretch(true);
    shown = form->DBImage1->grab().toImage();
    EXPECT_EQ(shown.pixel(0, 0), qRgb(200, 0, 0));
    EXPECT_EQ(shown.pixel(33, 23), qRgb(200, 0, 0));
}

} // namespace

namespace {

TEST_F(ImageFormTest, EditMenuUndoesMovesTypingAndLoadsInTurnUntilTheEditEnds) {
    auto* editor = new TDBRichEdit(&panel);
    editor->SetDataSource(&ds);
    editor->SetDataField("CardText");
    QMenu menu;
    TEditMenu edit(&menu, editor, form, &ds);
    EXPECT_FALSE(edit.EditUndo->isEnabled());
    EXPECT_EQ(edit.EditRedo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Y));
    Drag(form->DBImage1, {10, 10}, {25, 17});
    ASSERT_EQ(form->geometry(), QRect(35, 37, 90, 60));
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
    QApplication::sendEvent(editor, &typed);
    ASSERT_EQ(editor->toPlainText(), "x");
    form->DBImage1->SetPicture(Samples::Pattern(4, 3));
    form->setGeometry(0, 0, 10, 10); // placed by the program, not by the user: no step
    QKeyEvent undoKey(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier);
    QApplication::sendEvent(editor, &undoKey); // the load, with the placement it came with
    EXPECT_FALSE(form->DBImage1->HasPicture());
    EXPECT_EQ(form->geometry(), QRect(35, 37, 90, 60));
    edit.EditUndo->trigger();
    EXPECT_EQ(editor->toPlainText(), "");
    edit.EditUndo->trigger();
    EXPECT_EQ(form->geometry(), QRect(20, 30, 90, 60));
    EXPECT_FALSE(edit.EditUndo->isEnabled());
    for (int i = 0; i < 3; ++i)
        edit.EditRedo->trigger();
    EXPECT_EQ(editor->toPlainText(), "x");
    EXPECT_EQ(form->DBImage1->Picture(),
              Samples::Pattern(4, 3).convertToFormat(form->DBImage1->Picture().format()));
    EXPECT_EQ(form->geometry(), QRect(0, 0, 10, 10));
    edit.EditSelectAll->trigger();
    EXPECT_TRUE(edit.EditCopy->isEnabled());
    EXPECT_TRUE(edit.EditCut->isEnabled());
    form->SetZoom(50); // shown smaller, stored as placed
    EXPECT_EQ(form->geometry(), QRect(0, 0, 5, 5));
    form->SetZoom(200);
    EXPECT_EQ(form->geometry(), QRect(0, 0, 20, 20));
    EXPECT_EQ(form->Placement().width, 10);
    form->SetZoom(100);
    q.Cancel(); // the edit ends, and its history with it
    EXPECT_FALSE(edit.EditUndo->isEnabled());
    EXPECT_EQ(form->geometry(), QRect(20, 30, 90, 60));
}

} // namespace
