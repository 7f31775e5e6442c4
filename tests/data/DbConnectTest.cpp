#include "data/DbConnect.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/Statement.h"
#include "support/TestDb.h"

#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString ConnectError(const QString& path) {
    Database db;
    Transaction tr;
    try {
        ConnectDatabase(db, tr, path);
    } catch (const EError& e) {
        EXPECT_FALSE(db.Connected());
        return e.message();
    }
    return "connected";
}

TEST(ConnectDatabase, UsesTheFixedParameters) {
    TestDb tdb;
    Database db;
    Transaction tr;
    ConnectDatabase(db, tr, tdb.Path());
    EXPECT_TRUE(db.Connected());
    EXPECT_EQ(db.SQLDialect, 3);
    EXPECT_EQ(db.Param("user_name"), "sysdba");
    EXPECT_EQ(db.Param("password"), "lockstone");
    EXPECT_EQ(db.Param("lc_ctype"), "SJIS_0208");
    EXPECT_EQ(db.DefaultTransaction(), &tr);
    EXPECT_FALSE(tr.InTransaction()); // starts with the first statement
}

TEST(ConnectDatabase, EveryFailureIsOneMessageWithItsReason) {
    QTemporaryDir dir;
    QFile junk(dir.filePath("junk.fdb"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(20000, 'x'));
    junk.close();
    const std::pair<QString, QString> cases[] = {
        {"", "データベースの場所が設定されていません。"},
        {dir.filePath("missing.fdb"), "ファイルが見つかりません。"},
        {junk.fileName(), "データベースファイルではありません。"},
        {"127.0.0.1/3059:" + dir.filePath("x.fdb"), "サーバーが応答しません。"}};
    for (const auto& [path, reason] : cases)
        EXPECT_TRUE(ConnectError(path).startsWith("Database Connect Error\r\r" + reason))
            << ConnectError(path).toStdString();
}

// A server that takes the connection and never says a word is given up, not waited for.
TEST(ConnectDatabase, SilentServerIsGivenUpAfterTheTimeout) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    Database db;
    SetConnectionParams(db, QString("127.0.0.1/%1:/x.fdb").arg(silent.serverPort()));
    EXPECT_EQ(db.ConnectTimeout, 15);
    db.ConnectTimeout = 1;
    try {
        db.Open();
        FAIL() << "a silent server was taken as connected";
    } catch (const std::exception& e) {
        EXPECT_TRUE(OpenFailureReason(e).startsWith("サーバーが応答しません。"))
            << OpenFailureReason(e).toStdString();
    }
}

TEST(ConnectDatabase, OpenTransactionIsCommittedWhenTheConnectionCloses) {
    TestDb tdb;
    {
        Database db;
        Transaction tr;
        ConnectDatabase(db, tr, tdb.Path());
        ExecuteImmediate(db, tr, "INSERT INTO TAVRELSET (ID, PAPERNAME) VALUES (0, 'kept')");
        db.Close();
        EXPECT_FALSE(tr.InTransaction());
    }
    Database db;
    Transaction tr;
    ConnectDatabase(db, tr, tdb.Path());
    Statement st(db, tr);
    st.Prepare("SELECT PAPERNAME FROM TAVRELSET");
    st.Open({});
    RowValues row;
    ASSERT_TRUE(st.Fetch(&row));
    EXPECT_EQ(row[0].value.toString(), "kept");
}

TEST(ConnectDatabase, RollbackAndCommitRetaining) {
    TestDb tdb;
    Database db;
    Transaction tr;
    ConnectDatabase(db, tr, tdb.Path());
    ExecuteImmediate(db, tr, "INSERT INTO TAVRELSET (ID, PAPERNAME) VALUES (0, 'a')");
    tr.CommitRetaining();
    EXPECT_TRUE(tr.InTransaction());
    ExecuteImmediate(db, tr, "INSERT INTO TAVRELSET (ID, PAPERNAME) VALUES (0, 'b')");
    tr.Rollback();
    Statement st(db, tr);
    st.Prepare("SELECT COUNT(*) FROM TAVRELSET");
    st.Open({});
    RowValues row;
    ASSERT_TRUE(st.Fetch(&row));
    EXPECT_EQ(row[0].value.toLongLong(), 1);
}

// Older databases declare their text columns in Shift-JIS or without a character set.
TEST(ConnectDatabase, JapaneseTextThroughColumnsOfEveryCharacterSet) {
    TestDb tdb;
    Database db;
    Transaction tr;
    ConnectDatabase(db, tr, tdb.Path());
    RunScript(db, tr,
              "CREATE TABLE OLDTEXT (U VARCHAR(40), S VARCHAR(40) CHARACTER SET SJIS_0208, "
              "N VARCHAR(80) CHARACTER SET NONE);");
    const QString text = QStringLiteral("ラベル　ﾗﾍﾞﾙ（株）");
    Statement ins(db, tr);
    ins.Prepare("INSERT INTO OLDTEXT VALUES (:U, :S, :N)");
    ins.Execute({Cell{text}, Cell{text}, Cell{text}});
    tr.Commit();
    Statement sel(db, tr);
    sel.Prepare("SELECT U, S, N FROM OLDTEXT");
    sel.Open({});
    RowValues row;
    ASSERT_TRUE(sel.Fetch(&row));
    for (const Cell& c : row)
        EXPECT_EQ(c.value.toString(), text);
}

TEST(ConnectDatabase, ServerPathGoodAndBad) {
    if (!TestDb::ServerAvailable())
        GTEST_SKIP() << "no Firebird server on 127.0.0.1";
    auto tdb = TestDb::OnServer();
    EXPECT_EQ(ConnectError(tdb->Path()), "connected");
    EXPECT_TRUE(ConnectError(TestDb::Server() + ":/var/tmp/no-such-tavrel.fdb")
                    .startsWith("Database Connect Error\r\r"));
    Database db;
    Transaction tr;
    SetConnectionParams(db, tr, tdb->Path());
    db.Params.replaceInStrings("Password=lockstone", "Password=wrong");
    try {
        db.Open();
        FAIL() << "a wrong password was taken";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(OpenFailureReason(e).startsWith("ユーザー名またはパスワード"));
    }
}

} // namespace
