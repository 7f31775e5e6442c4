#include "app/CardList.h"
#include "app/TavrelU.h"
#include "controls/CapNavi.h"
#include "controls/DBControls.h"
#include "controls/DBGrid.h"
#include "controls/DBImage.h"
#include "data/DbConnect.h"
#include "data/Query.h"
#include "data/Statement.h"
#include "labels/ImageFormU.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"
#include "platform/StoredPicture.h"
#include "support/TestDb.h"
#include "support/Windows.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// The main window on a database of its own; questions are answered from a queue.
class CardListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Settings::ResetToInitial();
        Settings::SetExecutableFolder(dir.path());
        IniWriteString(dir.filePath("TAVREL.ini"), "TAVREL", "F_DbPath01", tdb.Path());
        Messages::SetResponder([this](const Messages::Request& r) {
            asked << r.text;
            return answers.isEmpty() ? Messages::Answer::Ok : answers.takeFirst();
        });
    }
    void TearDown() override {
        form.reset();
        Messages::ClearResponder();
        Settings::SetExecutableFolder({});
        Settings::ResetToInitial();
    }
    void Seed(const QString& sql) { tdb.Execute(sql); }
    void SeedTwo() {
        Seed("INSERT INTO TAVRELSET (ID, PAPERNAME) VALUES (0, 'LB-10')");
        Seed("INSERT INTO TAVREL (ID, NAME, PAPERNAME, G_X, G_Y, G_WIDTH, G_HEIGHT, G_SHOW, "
             "G_STRETCH) VALUES (0, 'beta', 'gone', 30, 40, 80, 60, 1, 0)");
        Seed("INSERT INTO TAVREL (ID, NAME, PAPERNAME, G_X, G_Y, G_WIDTH, G_HEIGHT, G_SHOW, "
             "G_STRETCH) VALUES (0, 'alpha', 'LB-10', 5, 6, 70, 50, 1, 1)");
    }
    void Open() {
        form = std::make_unique<TTavrelForm>();
        form->show();
    }
    bool TryClose() { return ::TryClose(form.get()); }
    QStringList StoredNames() {
        Database db;
        Transaction tr;
        ConnectDatabase(db, tr, tdb.Path());
        Query q(&db, &tr);
        q.SQL = {"SELECT NAME FROM TAVREL ORDER BY NAME"};
        q.Open();
        QStringList names;
        for (; !q.Eof(); q.Next())
            names << q.Fields(0).AsString();
        return names;
    }
    Query& Cards() { return form->IBQueryCard; }

    TestDb tdb;
    QTemporaryDir dir;
    std::unique_ptr<TTavrelForm> form;
    QStringList asked;
    QList<Messages::Answer> answers;
};

TEST_F(CardListTest, ListOpensByNameWithItsPlacementAndPaperChoices) {
    SeedTwo();
    Open();
    EXPECT_TRUE(asked.isEmpty()) << asked.join("|").toStdString();
    ASSERT_EQ(Cards().RecordCount(), 2);
    EXPECT_EQ(Cards().FieldByName("NAME").AsString(), "alpha");
    EXPECT_EQ(form->ImageForm->geometry(), QRect(5, 6, 70, 50));
    EXPECT_TRUE(form->ImageForm->Stretched());
    EXPECT_EQ(form->DBComboBoxPaper->count(), 1);
    EXPECT_EQ(form->DBComboBoxPaper->currentText(), "LB-10");
    form->DBComboBoxPaper->OnDropDown();
    EXPECT_EQ(form->DBComboBoxPaper->itemData(0, TDBComboBox::kDetailRole).toString(),
              QStringLiteral("0×0㎜ 0面"));
    // The closed box shows the detail beside the name.
    const QImage withDetail = form->DBComboBoxPaper->grab().toImage();
    form->DBComboBoxPaper->setItemData(0, QString(), TDBComboBox::kDetailRole);
    EXPECT_NE(form->DBComboBoxPaper->grab().toImage(), withDetail);
    EXPECT_EQ(form->DBEdit1->text(), "alpha");
    EXPECT_TRUE(form->DBGrid1->isEnabled());
    EXPECT_EQ(form->IBUpdateSQL1.InsertSQL.first(), "INSERT INTO TAVREL");
    Cards().Next();
    EXPECT_EQ(form->DBComboBoxPaper->currentIndex(), -1); // "gone" is no sheet: box empty
    EXPECT_EQ(Cards().FieldByName("PAPERNAME").AsString(), "gone");
    EXPECT_EQ(form->ImageForm->geometry(), QRect(30, 40, 80, 60));
    EXPECT_EQ(Cards().State(), DataSetState::Browse);
}

// The handlers go before the data members they use; once gone, the data source's and the data
// set's events must reach nothing of them (the window's destruction relies on it).
TEST_F(CardListTest, HandlersTakeTheirHooksWithThemWhenTheyGo) {
    SeedTwo();
    Open();
    ASSERT_TRUE(Cards().Active());
    form->CardList.reset();
    emit form->DSCard.StateChange();
    Cards().Next();
    Cards().Edit();
    Cards().Cancel();
    Cards().Append();
    Cards().FieldByName("NAME").SetValue(QStringLiteral("gamma"));
    Cards().Post();
    EXPECT_EQ(Cards().RecordCount(), 3);
    EXPECT_FALSE(form->DBComboBoxPaper->OnDropDown);
    EXPECT_FALSE(form->CaptionDBNavi1->BeforeAction);
    // Destroying the window with a row being edited signals the data source on the way out.
    Cards().Edit();
    form.reset();
}

TEST_F(CardListTest, EmptyTableDisablesTheListAndInsertTakesThePicturePlacement) {
    Open();
    for (QWidget* w : std::initializer_list<QWidget*>{
             form->DBGrid1, form->CaptionDBNavi2, form->PrintBtn, form->PaperBtn, form->RecCopyBtn})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(form->CaptionDBNavi1->Button(TNavigateBtn::nbInsert)->isEnabled());
    form->CaptionDBNavi1->BtnClick(TNavigateBtn::nbInsert);
    EXPECT_EQ(Cards().State(), DataSetState::Insert);
    EXPECT_EQ(Cards().FieldByName("ID").AsInteger(), 0);
    EXPECT_EQ(Cards().FieldByName("G_X").AsInteger(), 10);
    EXPECT_EQ(Cards().FieldByName("G_Width").AsInteger(), 70);
    EXPECT_EQ(Cards().FieldByName("G_Show").AsInteger(), 1);
}

TEST_F(CardListTest, EditingDisablesTheListUntilPost) {
    SeedTwo();
    Open();
    form->DBEdit1->setFocus();
    form->DBEdit1->setText("alpha2");
    emit form->DBEdit1->textEdited("alpha2");
    EXPECT_EQ(Cards().State(), DataSetState::Edit);
    EXPECT_FALSE(form->DBGrid1->isEnabled());
    EXPECT_FALSE(form->PrintBtn->isEnabled());
    form->CaptionDBNavi1->BtnClick(TNavigateBtn::nbPost);
    EXPECT_EQ(Cards().State(), DataSetState::Browse);
    EXPECT_TRUE(form->DBGrid1->isEnabled());
    EXPECT_EQ(Cards().FieldByName("NAME").AsString(), "alpha2");
    EXPECT_TRUE(Cards().UpdatesPending());
}

TEST_F(CardListTest, CloseQuestionCancelNoAndYes) {
    SeedTwo();
    Open();
    Cards().Edit();
    Cards().FieldByName("NAME").SetValue("changed");
    answers = {Messages::Answer::Cancel};
    EXPECT_FALSE(TryClose());
    EXPECT_EQ(asked.last(), QStringLiteral("未登録のデータがあります。\r\r登録しますか？"));
    EXPECT_EQ(Cards().State(), DataSetState::Edit);
    answers = {Messages::Answer::No};
    EXPECT_TRUE(TryClose());
    EXPECT_EQ(StoredNames(), QStringList({"alpha", "beta"}));
    Cards().Edit();
    Cards().FieldByName("NAME").SetValue("changed");
    answers = {Messages::Answer::Yes};
    EXPECT_TRUE(TryClose());
    EXPECT_EQ(StoredNames(), QStringList({"beta", "changed"}));
}

TEST_F(CardListTest, CloseInBrowseStateAppliesWithoutAsking) {
    SeedTwo();
    Open();
    Cards().Last();
    Cards().Delete();
    asked.clear();
    EXPECT_TRUE(TryClose());
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(StoredNames(), QStringList({"alpha"}));
}

TEST_F(CardListTest, FailingApplyAtCloseKeepsTheWindowAndTheEdits) {
    SeedTwo();
    Open();
    Cards().Edit();
    Cards().FieldByName("NAME").SetValue(QString(101, 'n')); // longer than the column
    Cards().Post();
    answers = {Messages::Answer::No}; // keep the changes: the window stays
    EXPECT_FALSE(TryClose());
    EXPECT_TRUE(
        asked.last().startsWith(QStringLiteral("データ更新中にエラーが発生しました。\r\r")));
    EXPECT_TRUE(asked.last().endsWith(QStringLiteral("破棄して閉じますか？")));
    EXPECT_TRUE(Cards().UpdatesPending());
    Cards().Edit();
    Cards().FieldByName("NAME").SetValue("fixed");
    Cards().Post();
    EXPECT_TRUE(TryClose());
    EXPECT_EQ(StoredNames(), QStringList({"beta", "fixed"}));
}

TEST_F(CardListTest, WindowWithoutDatabaseStillCloses) {
    IniWriteString(dir.filePath("TAVREL.ini"), "TAVREL", "F_DbPath01", "");
    Open();
    EXPECT_EQ(asked,
              QStringList{"Database Connect Error\r\rデータベースの場所が設定されていません。"});
    EXPECT_TRUE(TryClose());
}

// A read-only database lists its designs; a change to one cannot be saved, and the close that
// cannot save lets the user give the change up and go.
TEST_F(CardListTest, ReadOnlyDatabaseListsAndTheUnsavableCloseDiscards) {
    SeedTwo();
    ASSERT_EQ(tdb.Column("SELECT NAME FROM TAVREL").size(), 2);
    QProcess gfix;
    gfix.start("gfix", {"-mode", "read_only", "-user", "sysdba", tdb.Path()});
    ASSERT_TRUE(gfix.waitForFinished(30000) && gfix.exitCode() == 0)
        << gfix.readAllStandardError().toStdString();
    Open();
    ASSERT_EQ(Cards().RecordCount(), 2);
    Cards().Edit();
    Cards().FieldByName("NAME").SetValue("changed");
    Cards().Post();
    answers = {Messages::Answer::Yes};
    EXPECT_TRUE(TryClose());
    EXPECT_TRUE(
        asked.last().contains(QStringLiteral("読み取り専用のため、変更を保存できません。")));
    EXPECT_FALSE(Cards().UpdatesPending());
    EXPECT_EQ(StoredNames(), QStringList({"alpha", "beta"}));
}

TEST_F(CardListTest, CancelPutsThePictureWindowBack) {
    SeedTwo();
    Open();
    Cards().Edit();
    form->ImageForm->setGeometry(100, 100, 20, 20);
    form->CaptionDBNavi1->BtnClick(TNavigateBtn::nbCancel);
    EXPECT_EQ(form->ImageForm->geometry(), QRect(5, 6, 70, 50));
}

TEST_F(CardListTest, CopyWithoutPictureLeavesTheClipboardAlone) {
    SeedTwo();
    Open();
    QGuiApplication::clipboard()->setText("keep me");
    answers = {Messages::Answer::Yes};
    form->RecCopyBtn->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "keep me");
    EXPECT_EQ(Cards().State(), DataSetState::Insert);
    EXPECT_EQ(Cards().FieldByName("NAME").AsString(), "alpha");
}

TEST_F(CardListTest, CopyWithPictureCarriesItThroughTheClipboard) {
    QImage img(3, 2, QImage::Format_RGB32);
    img.fill(qRgb(9, 8, 7));
    const QByteArray bmp = StoredPicture::Encode(img);
    Seed("INSERT INTO TAVREL (ID, NAME, G_SHOW, GAZOU) VALUES (0, 'pic', 1, x'" +
         QString::fromLatin1(bmp.toHex()) + "')");
    Open();
    answers = {Messages::Answer::No};
    form->RecCopyBtn->click();
    EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasImage()); // before the question
    EXPECT_EQ(Cards().RecordCount(), 1);
    answers = {Messages::Answer::Yes};
    form->RecCopyBtn->click();
    ASSERT_EQ(Cards().State(), DataSetState::Insert);
    QString error;
    const QImage pasted = StoredPicture::Decode(Cards().FieldByName("GAZOU").AsBytes(), &error);
    EXPECT_EQ(pasted.pixel(1, 1), qRgb(9, 8, 7));
}

TEST_F(CardListTest, RefreshCardsReturnsToTheDesignById) {
    SeedTwo();
    Open();
    Cards().Last();
    const int id = Cards().FieldByName("ID").AsInteger();
    Cards().Append();
    Cards().FieldByName("NAME").SetValue("aaa");
    Cards().Post();
    EXPECT_TRUE(form->CardList->RefreshCards(id, "ID"));
    EXPECT_EQ(Cards().RecordCount(), 3);
    EXPECT_EQ(Cards().FieldByName("NAME").AsString(), "beta");
    EXPECT_TRUE(form->CardList->RefreshCards(99999, "ID"));
    EXPECT_EQ(Cards().RecNo(), 1);
    form->IBDatabase1.DatabaseName = dir.filePath("missing.fdb");
    try {
        form->CardList->RefreshCards(id, "ID");
        FAIL();
    } catch (const EError& e) {
        EXPECT_EQ(e.message(), "Database Refresh Error");
    }
}

// After a re-read the list navigator follows the row it came back to.
TEST_F(CardListTest, NavigatorFollowsThePositionAfterARereadOnEitherEnd) {
    SeedTwo();
    Open();
    auto enabled = [this](TNavigateBtn b) { return form->CaptionDBNavi2->Button(b)->isEnabled(); };
    const int first = Cards().FieldByName("ID").AsInteger();
    Cards().Last();
    const int last = Cards().FieldByName("ID").AsInteger();
    ASSERT_TRUE(form->CardList->RefreshCards(first, "ID"));
    EXPECT_EQ(Cards().RecNo(), 1);
    EXPECT_FALSE(enabled(TNavigateBtn::nbFirst));
    EXPECT_FALSE(enabled(TNavigateBtn::nbPrior));
    EXPECT_TRUE(enabled(TNavigateBtn::nbNext));
    EXPECT_TRUE(enabled(TNavigateBtn::nbLast));
    ASSERT_TRUE(form->CardList->RefreshCards(last, "ID"));
    EXPECT_EQ(Cards().RecNo(), 2);
    EXPECT_TRUE(enabled(TNavigateBtn::nbFirst));
    EXPECT_TRUE(enabled(TNavigateBtn::nbPrior));
    EXPECT_FALSE(enabled(TNavigateBtn::nbNext));
    EXPECT_FALSE(enabled(TNavigateBtn::nbLast));
    Cards().Prior(); // stepping back onto the first row
    EXPECT_FALSE(enabled(TNavigateBtn::nbPrior));
}

// More designs than the list reads at first: count, navigator, positioning, a picture read when
// its design becomes current, and a close that re-reads only when something was saved.
TEST_F(CardListTest, LongListBrowsesAppliesAndClosesBeforeEveryRowIsRead) {
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    {
        Database db;
        Transaction tr;
        ConnectDatabase(db, tr, tdb.Path());
        Statement add(db, tr);
        add.Prepare("INSERT INTO TAVREL (ID, NAME, GAZOU, G_SHOW) VALUES (0, :N, :G, 1)");
        for (int i = 0; i < 150; ++i)
            add.Execute({Cell{QStringLiteral("d%1").arg(i, 3, 10, QLatin1Char('0'))},
                         Cell{i == 120 ? StoredPicture::Encode(picture) : QVariant()}});
        tr.Commit();
    }
    Open();
    EXPECT_EQ(Cards().RecordCount(), 150);
    EXPECT_EQ(form->DBGrid1->model()->rowCount(), 150);
    EXPECT_FALSE(form->ImageForm->DBImage1->HasPicture());
    ASSERT_TRUE(Cards().Locate("NAME", "d120"));
    EXPECT_EQ(Cards().RecNo(), 121);
    EXPECT_EQ(form->ImageForm->DBImage1->Picture().size(), QSize(40, 30));
    Cards().Last();
    EXPECT_EQ(Cards().FieldByName("NAME").AsString(), "d149");
    EXPECT_FALSE(form->CaptionDBNavi2->Button(TNavigateBtn::nbNext)->isEnabled());
    Seed("INSERT INTO TAVREL (ID, NAME) VALUES (0, 'other')");
    EXPECT_TRUE(TryClose()); // nothing to save: no re-read
    EXPECT_EQ(Cards().RecordCount(), 150);
    ASSERT_TRUE(form->CardList->RefreshCards(QVariant("d149"), "NAME"));
    EXPECT_EQ(Cards().RecNo(), 150);
    Cards().Edit();
    Cards().FieldByName("NAME").SetValue("a-first");
    Cards().Post();
    asked.clear();
    EXPECT_TRUE(TryClose());
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(Cards().RecordCount(), 151); // saved, then re-read
    EXPECT_EQ(Cards().FieldByName("NAME").AsString(), "a-first");
    EXPECT_EQ(StoredNames().size(), 151);
}

} // namespace
