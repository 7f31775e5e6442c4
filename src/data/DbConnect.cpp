#include "data/DbConnect.h"

#include "data/Database.h"

QStringList TavrelConnectionParams() {
    return {QStringLiteral("User_Name=sysdba"), QStringLiteral("Password=lockstone"),
            QStringLiteral("lc_ctype=SJIS_0208")};
}

void SetConnectionParams(Database& db, Transaction& tr, const QString& databaseName,
                         const QStringList& params) {
    tr.RemoveDatabases();
    tr.SetDefaultDatabase(&db);
    db.Close();
    db.LoginPrompt = false;
    db.Params = params;
    db.SQLDialect = 3;
    db.DatabaseName = databaseName;
    db.SetDefaultTransaction(&tr);
}

void ConnectDatabase(Database& db, Transaction& tr, const QString& databaseName,
                     const QStringList& params) {
    try {
        SetConnectionParams(db, tr, databaseName, params);
        db.Open();
    } catch (...) {
        throw EError(QStringLiteral("Database Connect Error"));
    }
}
