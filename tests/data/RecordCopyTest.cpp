#include "data/RecordCopy.h"
#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/IbFunc.h"
#include "data/Query.h"
#include "platform/MessageService.h"
#include "support/TestDb.h"

#include <QDateTime>
#include <QLocale>
#include <gtest/gtest.h>

namespace {

class CopyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ConnectDatabase(db, tr, tdb.Path());
        ExecuteImmediate(db, tr, "ALTER TRIGGER TAVREL_BI INACTIVE");
        tr.Commit();
        ExecuteImmediate(db, tr,
                         "INSERT INTO TAVREL (ID, NAME, CARDTEXT, GAZOU, G_X, G_SHOW) "
                         "VALUES (41, 'src', 'text', x'424D00', 12, 1)");
        tr.Commit();
        q.SQL = {"SELECT * FROM TAVREL"};
        q.CachedUpdates = true;
        q.UpdateObject = &u;
        q.Open();
        GenerateUpdateSql(q, &u, "TAVREL");
        Messages::SetResponder([this](const Messages::Request& r) {
            asked << r.text;
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
    QStringList asked;
};

TEST_F(CopyTest, CopiesEveryFieldButTheNamedOneWithTheNextId) {
    QStringList order;
    q.OnNewRecord = [&](Query& d) {
        order << "new";
        d.FieldByName("G_Y").SetValue(99); // a default the copy overwrites with null
        d.FieldByName("NAME").SetValue("default");
    };
    ASSERT_TRUE(CopyCurrentRecord(q, "gazou", true));
    EXPECT_EQ(asked, QStringList{QStringLiteral(
                         "現在のレコードをコピーして追加します。\r\r実行しますか？")});
    EXPECT_EQ(order, QStringList{"new"});
    EXPECT_EQ(q.State(), DataSetState::Insert);
    EXPECT_EQ(q.FieldByName("ID").AsInteger(), 42);
    EXPECT_EQ(q.FieldByName("NAME").AsString(), "src");
    EXPECT_EQ(q.FieldByName("CARDTEXT").AsString(), "text");
    EXPECT_EQ(q.FieldByName("G_X").AsInteger(), 12);
    EXPECT_TRUE(q.FieldByName("G_Y").IsNull());
    EXPECT_TRUE(q.FieldByName("GAZOU").IsNull());
}

TEST_F(CopyTest, DeclinedCopyChangesNothing) {
    answer = Messages::Answer::No;
    EXPECT_FALSE(CopyCurrentRecord(q, "", true));
    EXPECT_EQ(q.State(), DataSetState::Browse);
    EXPECT_EQ(q.RecordCount(), 1);
}

TEST_F(CopyTest, WithoutSkippedColumnThePictureIsCopiedToo) {
    ASSERT_TRUE(CopyCurrentRecord(q, "", false));
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(q.FieldByName("GAZOU").AsBytes(), QByteArray("BM\0", 3));
}

TEST_F(CopyTest, FailureIsReportedWithItsMessage) {
    q.Close();
    try {
        CopyCurrentRecord(q, "", false);
        FAIL();
    } catch (const EError& e) {
        EXPECT_EQ(e.message(), "レコードのコピーに失敗しました。");
    }
}

TEST(TextToFieldValue, WholeNumbersFallBackToZero) {
    EXPECT_EQ(TextToFieldValue("12", FieldKind::Integer), QVariant(12));
    EXPECT_EQ(TextToFieldValue("-7", FieldKind::SmallInt), QVariant(-7));
    EXPECT_EQ(TextToFieldValue("12a", FieldKind::Integer), QVariant(0));
    EXPECT_EQ(TextToFieldValue("", FieldKind::Integer), QVariant(0));
    EXPECT_EQ(TextToFieldValue("2147483648", FieldKind::LargeInt), QVariant(0));
    EXPECT_EQ(TextToFieldValue(QString(100000, '9'), FieldKind::Integer), QVariant(0));
}

TEST(TextToFieldValue, BooleansByContainment) {
    for (const char* yes : {"yes", "True", "-1", "1", "e"})
        EXPECT_EQ(TextToFieldValue(yes, FieldKind::Boolean), QVariant(true)) << yes;
    for (const char* no : {"No", "0", "", "truely"})
        EXPECT_EQ(TextToFieldValue(no, FieldKind::Boolean), QVariant(false)) << no;
}

TEST(TextToFieldValue, TextRealDateAndOtherKinds) {
    EXPECT_EQ(TextToFieldValue("", FieldKind::String), QVariant(QString("")));
    EXPECT_FALSE(TextToFieldValue("", FieldKind::String).isNull());
    EXPECT_TRUE(TextToFieldValue("", FieldKind::Float).isNull());
    EXPECT_TRUE(TextToFieldValue("abc", FieldKind::BCD).isNull());
    const QString number = QLocale::system().toString(1.5);
    EXPECT_DOUBLE_EQ(TextToFieldValue(number, FieldKind::Float).toDouble(), 1.5);
    const QDate d(2024, 3, 5);
    EXPECT_EQ(TextToFieldValue(QLocale::system().toString(d, QLocale::ShortFormat), FieldKind::Date)
                  .toDate(),
              d);
    EXPECT_TRUE(TextToFieldValue("not a date", FieldKind::Date).isNull());
    EXPECT_TRUE(TextToFieldValue("x", FieldKind::WideMemo).isNull());
    EXPECT_TRUE(TextToFieldValue(QString::fromLatin1("\x01\xff", 2), FieldKind::DateTime).isNull());
}

TEST(IsNonTextField, BlobsAndBytesOnly) {
    EXPECT_TRUE(IsNonTextField(FieldKind::Blob));
    EXPECT_TRUE(IsNonTextField(FieldKind::Bytes));
    EXPECT_TRUE(IsNonTextField(FieldKind::Guid));
    EXPECT_FALSE(IsNonTextField(FieldKind::Memo));
    EXPECT_FALSE(IsNonTextField(FieldKind::Integer));
    EXPECT_FALSE(IsNonTextField(FieldKind::WideMemo));
}

} // namespace
