#include "sheets/CardSetU.h"
#include "controls/CapNavi.h"
#include "controls/DBControls.h"
#include "data/DbConnect.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"
#include "support/TestDb.h"
#include "support/Windows.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class CardSetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Settings::ResetToInitial();
        Settings::DbPath = tdb.Path();
        Messages::SetResponder([this](const Messages::Request& r) {
            asked << r.text;
            return answers.isEmpty() ? Messages::Answer::Ok : answers.takeFirst();
        });
        tdb.Execute(
            "INSERT INTO TAVRELSET (ID, PAPERNAME, CONAME, PAPERTYPE, P_WIDTH, "
            "P_HEIGHT, RETSU, DAN) VALUES (0, 'LB-1', 'コクヨ', 'その他', 1000, 1480, 1, 1)");
        tdb.Execute("INSERT INTO TAVRELSET (ID, PAPERNAME, PAPERTYPE, P_WIDTH, P_HEIGHT, "
                    "RETSU, DAN) VALUES (0, 'LB-2', 'A4', 2100, 2970, 2, 5)");
        form = std::make_unique<TCardSetForm>();
        form->show();
    }
    void TearDown() override {
        form.reset();
        Messages::ClearResponder();
        Settings::ResetToInitial();
    }
    Query& Sheets() { return form->IBQueryCardSet; }
    int Int(const char* field) { return Sheets().FieldByName(field).AsInteger(); }
    bool TryClose() { return ::TryClose(form.get()); }
    int StoredCount() {
        Database db;
        Transaction tr;
        ConnectDatabase(db, tr, tdb.Path());
        Query q(&db, &tr);
        q.SQL = {"SELECT * FROM TAVRELSET"};
        q.Open();
        return q.RecordCount();
    }

    TestDb tdb;
    std::unique_ptr<TCardSetForm> form;
    QStringList asked;
    QList<Messages::Answer> answers;
};

TEST_F(CardSetTest, OpensOnTheSheetsWithCounterAndSizeFieldsByPaperType) {
    EXPECT_TRUE(asked.isEmpty()) << asked.join("|").toStdString();
    ASSERT_EQ(Sheets().RecordCount(), 2);
    EXPECT_EQ(form->StatusPanels[2]->text(), QStringLiteral("1：2"));
    EXPECT_TRUE(form->DBEdit4->isEnabled()); // "その他"
    Sheets().Next();
    EXPECT_FALSE(form->DBEdit4->isEnabled());
    EXPECT_FALSE(form->DBEdit5->isEnabled());
    EXPECT_EQ(form->StatusPanels[2]->text(), QStringLiteral("2：2"));
    EXPECT_EQ(form->DBComboBox1->count(), 6);
    EXPECT_EQ(form->windowTitle(), "Tavrel Ver.2.0.1 用紙設定");
}

TEST_F(CardSetTest, NewRowDefaults) {
    form->DBNavigator1->BtnClick(TNavigateBtn::nbInsert);
    ASSERT_EQ(Sheets().State(), DataSetState::Insert);
    EXPECT_EQ(Sheets().FieldByName("PaperType").AsString(), "A4");
    EXPECT_EQ(Int("P_Width"), 2100);
    EXPECT_EQ(Int("P_Height"), 2970);
    EXPECT_EQ(Int("Retsu"), 1);
    EXPECT_EQ(Int("Dan"), 1);
    EXPECT_EQ(Int("Left_M"), 0);
    EXPECT_TRUE(Sheets().FieldByName("L_Width").Value().isValid());
    EXPECT_TRUE(Sheets().FieldByName("PAPERNAME").IsNull());
    EXPECT_FALSE(form->DBEdit4->isEnabled());
    EXPECT_FALSE(form->CopyRecSpb->isEnabled());
}

TEST_F(CardSetTest, OtherPaperClearsAndEnablesTheSizeAndB5SetsIt) {
    Sheets().Last();
    const int other = form->DBComboBox1->findText(QStringLiteral("その他"));
    form->DBComboBox1->setCurrentIndex(other);
    emit form->DBComboBox1->activated(other);
    EXPECT_EQ(Sheets().State(), DataSetState::Edit);
    EXPECT_EQ(Int("P_Width"), 0);
    EXPECT_EQ(Int("P_Height"), 0);
    EXPECT_TRUE(form->DBEdit5->isEnabled());
    const int b5 = form->DBComboBox1->findText("B5");
    form->DBComboBox1->setCurrentIndex(b5);
    emit form->DBComboBox1->activated(b5);
    EXPECT_EQ(Int("P_Width"), 1820);
    EXPECT_EQ(Int("P_Height"), 2570);
    EXPECT_EQ(Sheets().FieldByName("PaperType").AsString(), "B5");
    EXPECT_FALSE(form->DBEdit5->isEnabled());
}

TEST_F(CardSetTest, CopyNamesTheNewRowAfterItsSource) {
    answers = {Messages::Answer::Yes};
    form->CopyRecSpb->click();
    ASSERT_EQ(Sheets().State(), DataSetState::Insert);
    EXPECT_EQ(Sheets().FieldByName("PAPERNAME").AsString(), QStringLiteral("ｺﾋﾟｰ...LB-1"));
    EXPECT_EQ(Sheets().FieldByName("CoName").AsString(), QStringLiteral("コクヨ"));
    EXPECT_EQ(Int("P_Width"), 1000); // the copy overwrites the new-row defaults
    Sheets().Cancel();
    answers = {Messages::Answer::No};
    form->CopyRecSpb->click();
    EXPECT_EQ(Sheets().State(), DataSetState::Browse);
    EXPECT_EQ(Sheets().RecordCount(), 2);
}

TEST_F(CardSetTest, CloseAsksAboutTheOpenRowWithThreeAnswers) {
    form->DBNavigator1->BtnClick(TNavigateBtn::nbInsert);
    answers = {Messages::Answer::Cancel};
    EXPECT_FALSE(TryClose());
    EXPECT_EQ(asked.last(), QStringLiteral("未登録のデータがあります。\r\r登録しますか？"));
    EXPECT_EQ(Sheets().State(), DataSetState::Insert);
    answers = {Messages::Answer::Yes};
    EXPECT_TRUE(TryClose());
    EXPECT_EQ(StoredCount(), 3);
}

TEST_F(CardSetTest, TwoNewRowsBothGetStoredWithTheirOwnIds) {
    for (int i = 0; i < 2; ++i) {
        form->DBNavigator1->BtnClick(TNavigateBtn::nbInsert);
        form->DBNavigator1->BtnClick(TNavigateBtn::nbPost);
    }
    asked.clear();
    EXPECT_TRUE(TryClose());
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(StoredCount(), 4);
    QSet<int> ids;
    for (Sheets().First(); !Sheets().Eof(); Sheets().Next())
        ids << Int("ID");
    EXPECT_EQ(ids.size(), 4);
}

TEST(CardSetNoDatabase, WindowStillOpensAfterTheConnectError) {
    Settings::ResetToInitial();
    QStringList shown;
    Messages::SetResponder([&](const Messages::Request& r) {
        shown << r.text;
        return Messages::Answer::Ok;
    });
    {
        TCardSetForm form;
        EXPECT_EQ(shown, QStringList{
                             "Database Connect Error\r\rデータベースの場所が設定されていません。"});
        EXPECT_FALSE(form.IBQueryCardSet.Active());
    }
    Messages::ClearResponder();
}

} // namespace
