#include "data/Database.h"
#include "data/DbConnect.h"
#include "support/TestDb.h"

#include <gtest/gtest.h>

namespace {

const QString kInsert = QStringLiteral("INSERT INTO TAVRELSET (ID, PAPERNAME) VALUES (0, 'half')");

QString StoredSheets(const TestDb& tdb) {
    return tdb.Column(QStringLiteral("SELECT COUNT(*) FROM TAVRELSET")).value(0);
}

// Work done and then left by an exception must not reach the database, whichever object goes
// first.
TEST(Transaction, LeavingScopeByAnExceptionStoresNothing) {
    TestDb tdb;
    Database db;
    Transaction outer;
    ConnectDatabase(db, outer, tdb.Path());
    try {
        Transaction tr;
        tr.SetDefaultDatabase(&db);
        ExecuteImmediate(db, tr, kInsert);
        throw EError(QStringLiteral("on the way out"));
    } catch (const EError&) {
    }
    EXPECT_EQ(StoredSheets(tdb), "0");
    try {
        Transaction tr;
        Database inner;
        ConnectDatabase(inner, tr, tdb.Path());
        ExecuteImmediate(inner, tr, kInsert);
        throw EError(QStringLiteral("connection goes first"));
    } catch (const EError&) {
    }
    EXPECT_EQ(StoredSheets(tdb), "0");
    db.Close();
}

} // namespace
