#include "data/Schema.h"
#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/SqlParams.h"
#include "data/Statement.h"
#include "support/TestDb.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(SplitScript, HonoursTerminatorsQuotesAndComments) {
    const QStringList parts = SplitScript("/* a; b */ CREATE TABLE T (A INT);\n"
                                          "INSERT INTO T VALUES ('x;y');  -- c;\n"
                                          "SET TERM ^ ;\nCREATE TRIGGER X AS BEGIN A = 1; END^\n"
                                          "SET TERM ; ^\nSELECT 1 FROM RDB$DATABASE");
    ASSERT_EQ(parts.size(), 4);
    EXPECT_TRUE(parts[0].endsWith("CREATE TABLE T (A INT)"));
    EXPECT_EQ(parts[1], "INSERT INTO T VALUES ('x;y')");
    EXPECT_TRUE(parts[2].endsWith("CREATE TRIGGER X AS BEGIN A = 1; END"));
    EXPECT_EQ(parts[3], "SELECT 1 FROM RDB$DATABASE");
}

TEST(SqlParams, NamedParametersBecomePositional) {
    const PositionalSql p =
        ToPositional("UPDATE T SET A=:A, \"B:X\"=':NO' -- :NOT\nWHERE (ID=:OLD_ID) /* :X */");
    EXPECT_EQ(p.names, QStringList({"A", "OLD_ID"}));
    EXPECT_EQ(p.text, "UPDATE T SET A=?, \"B:X\"=':NO' -- :NOT\nWHERE (ID=?) /* :X */");
}

TEST(CreateDatabase, TheProgramCarriesTheScriptsOfTheSourceTree) {
    EXPECT_EQ(SchemaScript(), ReadScriptFile(TestDb::SchemaPath()));
    EXPECT_EQ(SampleScript(), ReadScriptFile(TestDb::SamplePath()));
}

TEST(CreateDatabase, RefusesToOverwriteAnExistingFile) {
    TestDb tdb;
    EXPECT_THROW(CreateDatabaseFromScript(tdb.Path(), TestDb::SchemaPath()), EError);
}

TEST(CreateDatabase, SampleDataLoadsWithItsDemoSheet) {
    QTemporaryDir dir;
    const QString path = dir.filePath("DEMO.FDB");
    CreateDatabaseFromScript(path, TestDb::SchemaPath(), {TestDb::SamplePath()});
    Database db;
    Transaction tr;
    SetConnectionParams(db, tr, path);
    db.Open();
    Statement st(db, tr);
    st.Prepare("SELECT RETSU, DAN, L_WIDTH, L_HEIGHT, LEFT_M, TOP_M, X_SKIP FROM TAVRELSET "
               "WHERE PAPERNAME = 'LB-10'");
    st.Open({});
    RowValues row;
    ASSERT_TRUE(st.Fetch(&row));
    QList<int> got;
    for (const Cell& c : row)
        got << c.value.toInt();
    EXPECT_EQ(got, QList<int>({2, 5, 864, 508, 150, 215, 25}));
}

// A script that fails half-way through, after the tables were made.
const QString kBroken = QStringLiteral("INSERT INTO TAVRELSET (ID, PAPERNAME) VALUES (0, 'x');\n"
                                       "INSERT INTO NO_SUCH_TABLE VALUES (1);");

TEST(CreateDatabase, FailingHalfWayLeavesNoFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("TAVREL.FDB");
    EXPECT_THROW(CreateDatabaseFromScripts(path, {SchemaScript(), kBroken}), EDatabaseError);
    EXPECT_TRUE(QDir(dir.path())
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
    CreateDatabaseFromScripts(path, {SchemaScript()}); // the name is free for a good attempt
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"TAVREL.FDB"});
}

TEST(CreateDatabase, FailingHalfWayOnTheServerLeavesNoFile) {
    if (!TestDb::ServerAvailable())
        GTEST_SKIP() << "no Firebird server on 127.0.0.1";
    const auto tdb = TestDb::OnServer(); // for its folder the server can reach
    const QString file = tdb->Folder() + QStringLiteral("/HALF.FDB");
    const QString path = QString(tdb->Path()).replace(QStringLiteral("TAVREL.FDB"), "HALF.FDB");
    EXPECT_THROW(CreateDatabaseFromScripts(path, {SchemaScript(), kBroken}), EDatabaseError);
    EXPECT_FALSE(QFile::exists(file));
}

} // namespace
