#include "data/Schema.h"
#include "data/Database.h"
#include "data/DbConnect.h"
#include "data/SqlParams.h"
#include "data/Statement.h"
#include "support/TestDb.h"

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

} // namespace
