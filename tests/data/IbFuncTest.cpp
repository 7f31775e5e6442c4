#include "data/IbFunc.h"
#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "platform/MessageService.h"
#include "platform/WaitCursor.h"
#include "support/TestDb.h"

#include <gtest/gtest.h>

namespace {

struct Connected {
    explicit Connected(const QString& path) { ConnectDatabase(db, tr, path); }
    void Sheets(const QStringList& names) {
        for (const QString& n : names) {
            const QString value = n == "<null>" ? "NULL" : "'" + n + "'";
            ExecuteImmediate(db, tr,
                             "INSERT INTO TAVRELSET (ID, PAPERNAME) VALUES (0, " + value + ")");
        }
        tr.Commit();
    }
    QStringList List(const QString& order, const QString& dir, bool withOrder = false,
                     bool trim = false, const QString& field = "PAPERNAME") {
        return LoadDistinctList(db, "TAVRELSET", field, order, "", dir, withOrder, trim);
    }
    Database db;
    Transaction tr;
};

TEST(GenerateUpdateSql, OneColumnTableHasNoCommaLines) {
    TestDb tdb;
    Connected c(tdb.Path());
    RunScript(c.db, c.tr, "CREATE TABLE ONECOL (ID INTEGER);");
    Query q(&c.db, &c.tr);
    q.SQL = {"SELECT * FROM ONECOL"};
    q.Open();
    TUpdateSQL u;
    ASSERT_TRUE(GenerateUpdateSql(q, &u, "ONECOL"));
    EXPECT_EQ(u.InsertSQL,
              QStringList({"INSERT INTO ONECOL", "(", "ID", ")", "VALUES (", ":ID", ")"}));
    EXPECT_EQ(u.ModifySQL, QStringList({"UPDATE ONECOL", "SET", "ID=:ID", "WHERE (ID=:OLD_ID)"}));
    EXPECT_EQ(u.DeleteSQL, QStringList({"DELETE FROM ONECOL", "WHERE (ID=:OLD_ID)"}));
    EXPECT_EQ(u.RefreshSQL, QStringList({"SELECT * FROM ONECOL", "WHERE (ID=:OLD_ID)"}));
}

TEST(GenerateUpdateSql, EveryColumnInTableOrderEvenWhenUnusual) {
    TestDb tdb;
    Connected c(tdb.Path());
    RunScript(c.db, c.tr, "CREATE TABLE ODD (PIC BLOB, NAME VARCHAR(10), ID INTEGER);");
    Query q(&c.db, &c.tr);
    q.SQL = {"SELECT * FROM ODD"};
    q.Open();
    TUpdateSQL u;
    GenerateUpdateSql(q, &u, "ODD");
    EXPECT_EQ(u.InsertSQL, QStringList({"INSERT INTO ODD", "(", "PIC", ",", "NAME", ",", "ID", ")",
                                        "VALUES (", ":PIC", ",", ":NAME", ",", ":ID", ")"}));
    EXPECT_EQ(u.ModifySQL, QStringList({"UPDATE ODD", "SET", "PIC=:PIC", ",", "NAME=:NAME", ",",
                                        "ID=:ID", "WHERE (ID=:OLD_ID)"}));
    // And the statements really write through such a table.
    q.CachedUpdates = true;
    q.UpdateObject = &u;
    q.Append();
    q.FieldByName("ID").SetValue(7);
    q.FieldByName("PIC").SetValue(QByteArray("\x01\x02", 2));
    q.Post();
    q.Edit();
    q.FieldByName("NAME").SetValue("n");
    q.Post();
    q.ApplyUpdates();
    ApplyAndReopen(q, false, false);
    EXPECT_EQ(q.FieldByName("NAME").AsString(), "n");
    EXPECT_EQ(q.FieldByName("PIC").AsBytes(), QByteArray("\x01\x02", 2));
}

TEST(GenerateUpdateSql, ClosedQueryIsAnError) {
    Query q;
    TUpdateSQL u;
    try {
        GenerateUpdateSql(q, &u, "TAVREL");
        FAIL();
    } catch (const EError& e) {
        EXPECT_EQ(e.message(), "UpdateSQL Set Error");
    }
}

TEST(LoadDistinctList, SortsInTheClientByDirection) {
    TestDb tdb;
    Connected c(tdb.Path());
    c.Sheets({"b", "A", "c", "b", "<null>"});
    EXPECT_EQ(c.List("", "ASC"), QStringList({"", "A", "b", "c"}));
    EXPECT_EQ(c.List("", "desc"), QStringList({"c", "b", "A", ""}));
    EXPECT_EQ(c.List("", "XYZ").size(), 4); // server order, still distinct
    EXPECT_EQ(WaitCursor::Depth(), 0);
}

TEST(LoadDistinctList, OrderFieldWithAndWithoutDistinct) {
    TestDb tdb;
    Connected c(tdb.Path());
    c.Sheets({"b", "a", "b"});
    EXPECT_EQ(c.List("PAPERNAME", "DESC", true), QStringList({"b", "a"}));
    EXPECT_EQ(c.List("ID", "ASC", false), QStringList({"b", "a", "b"}));
    EXPECT_EQ(c.List("ID", "DESC", false), QStringList({"b", "a", "b"}));
}

TEST(LoadDistinctList, TrimsWideBlanksAndReadsAliases) {
    TestDb tdb;
    Connected c(tdb.Path());
    c.Sheets({QStringLiteral("　 　"), QStringLiteral("　Ａ　")});
    EXPECT_EQ(c.List("", "ASC", false, true), QStringList({"", QStringLiteral("Ａ")}));
    EXPECT_EQ(c.List("", "ASC", false, false, "UPPER(PAPERNAME) AS UP").size(), 2);
    EXPECT_EQ(c.List("", "ASC", false, false, "(PAPERNAME) AS NM").size(), 2);
}

TEST(LoadDistinctList, FailureRaisesItsMessageAndRestoresTheCursor) {
    TestDb tdb;
    Connected c(tdb.Path());
    try {
        c.List("", "ASC", false, false, "NOSUCHCOLUMN");
        FAIL();
    } catch (const EError& e) {
        EXPECT_EQ(e.message(), "データ取得中にエラーが発生しました。");
    }
    EXPECT_EQ(WaitCursor::Depth(), 0);
}

// The question about an open record and its three answers.
class ApplyAndReopenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ConnectDatabase(db, tr, tdb.Path());
        q.SQL = {"SELECT * FROM TAVRELSET", "ORDER BY PAPERNAME"};
        q.CachedUpdates = true;
        q.UpdateObject = &u;
        q.Open();
        GenerateUpdateSql(q, &u, "TAVRELSET");
        q.Append();
        q.FieldByName("PAPERNAME").SetValue("new");
        Messages::SetResponder([this](const Messages::Request& r) {
            asked << r.text;
            buttons = r.buttons;
            return answer;
        });
    }
    void TearDown() override { Messages::ClearResponder(); }
    TestDb tdb;
    Database db;
    Transaction tr;
    Query q{&db, &tr};
    TUpdateSQL u;
    Messages::Answer answer = Messages::Answer::Yes;
    Messages::Buttons buttons = Messages::Buttons::Ok;
    QStringList asked;
};

TEST_F(ApplyAndReopenTest, YesStoresTheRecord) {
    EXPECT_TRUE(ApplyAndReopen(q, true, true));
    EXPECT_EQ(asked, QStringList{QStringLiteral("未登録のデータがあります。\r\r登録しますか？")});
    EXPECT_EQ(buttons, Messages::Buttons::YesNoCancel);
    EXPECT_EQ(q.RecordCount(), 1);
    EXPECT_GT(q.FieldByName("ID").AsInteger(), 0);
    EXPECT_FALSE(q.ControlsDisabled());
}

TEST_F(ApplyAndReopenTest, NoDropsItAndCancelKeepsEditing) {
    answer = Messages::Answer::Cancel;
    EXPECT_FALSE(ApplyAndReopen(q, true, true));
    EXPECT_EQ(q.State(), DataSetState::Insert);
    EXPECT_FALSE(q.ControlsDisabled());
    answer = Messages::Answer::No;
    EXPECT_TRUE(ApplyAndReopen(q, true, false));
    EXPECT_EQ(buttons, Messages::Buttons::YesNo);
    EXPECT_EQ(q.RecordCount(), 0);
}

TEST_F(ApplyAndReopenTest, FailureKeepsTheCacheAndResumesDisplay) {
    q.FieldByName("PAPERNAME").SetValue(QString(61, 'x')); // one more than the column holds
    try {
        ApplyAndReopen(q, true, true);
        FAIL();
    } catch (const EError& e) {
        EXPECT_TRUE(e.message().startsWith("データ更新中にエラーが発生しました。\r\r"));
        EXPECT_GT(e.message().size(), 25); // with the database's reason
    }
    EXPECT_TRUE(q.UpdatesPending());
    EXPECT_FALSE(q.ControlsDisabled());
    q.Edit();
    q.FieldByName("PAPERNAME").SetValue("fits");
    EXPECT_TRUE(ApplyAndReopen(q, true, true));
    EXPECT_EQ(q.RecordCount(), 1);
}

// The database file becomes unusable between the apply and the re-read (a remounted share, a
// changed permission): the rows are stored and the message says so, with the reason.
TEST_F(ApplyAndReopenTest, StoredRowsWhoseReReadFailsAreReportedAsStored) {
    // Sent away by name once closed: the engine may keep a renamed file open.
    db.AddListener([&](Database::Event e) {
        if (e == Database::Event::Closed)
            db.DatabaseName = tdb.Folder() + "/moved-away.fdb";
    });
    try {
        ApplyAndReopen(q, true, true);
        FAIL() << "the re-read of a vanished file succeeded";
    } catch (const EError& e) {
        EXPECT_TRUE(e.message().startsWith(kStoredButNotReread)) << e.message().toStdString();
        EXPECT_GT(e.message().size(), kStoredButNotReread.size());
    }
    EXPECT_FALSE(q.UpdatesPending());
    EXPECT_FALSE(q.ControlsDisabled());
    EXPECT_EQ(tdb.Column("SELECT PAPERNAME FROM TAVRELSET"), QStringList{"new"});
}

struct TrimCase {
    const char16_t* in;
    const char16_t* left;
    const char16_t* right;
    const char16_t* both;
};

class TrimWideTest : public ::testing::TestWithParam<TrimCase> {};

TEST_P(TrimWideTest, Trims) {
    const QString in = QString::fromUtf16(GetParam().in);
    EXPECT_EQ(TrimLeftWide(in), QString::fromUtf16(GetParam().left));
    EXPECT_EQ(TrimRightWide(in), QString::fromUtf16(GetParam().right));
    EXPECT_EQ(TrimWide(in), QString::fromUtf16(GetParam().both));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrimWideTest,
    ::testing::Values(TrimCase{u"　 \t　", u"　", u"　", u""},
                      TrimCase{u"　Ａ　", u"Ａ　", u"　Ａ", u"Ａ"},
                      TrimCase{u"\r\n x \t", u"x \t", u"\r\n x", u"x"},
                      // "＝" ends in 0x81 and "@" is 0x40: no full-width blank there.
                      TrimCase{u"＝@", u"＝@", u"＝@", u"＝@"},
                      TrimCase{u"ｱ　ｲ", u"ｱ　ｲ", u"ｱ　ｲ", u"ｱ　ｲ"}));

TEST(BoolInt, OnlyOneIsTrue) {
    EXPECT_EQ(BoolToInt(true), 1);
    EXPECT_EQ(BoolToInt(false), 0);
    EXPECT_TRUE(IntToBool(1));
    EXPECT_FALSE(IntToBool(2));
    EXPECT_FALSE(IntToBool(-1));
}

} // namespace
