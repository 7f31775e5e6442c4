#include "data/DbConnect.h"

#include "app/Settings.h"
#include "data/Database.h"

void SetConnectionParams(Database& db, const QString& databaseName) {
    db.Close();
    db.LoginPrompt = false;
    db.Params.clear();
    db.SQLDialect = 3;
    db.Params << QStringLiteral("User_Name=sysdba") << QStringLiteral("Password=lockstone")
              << QStringLiteral("lc_ctype=SJIS_0208");
    db.DatabaseName = databaseName;
}

void SetConnectionParams(Database& db, Transaction& tr, const QString& databaseName) {
    tr.RemoveDatabases();
    tr.SetDefaultDatabase(&db);
    SetConnectionParams(db, databaseName);
    db.SetDefaultTransaction(&tr);
}

void ConnectDatabase(Database& db, Transaction& tr, const QString& databaseName) {
    try {
        SetConnectionParams(db, tr, databaseName);
        db.Open();
    } catch (...) {
        throw EError(QStringLiteral("Database Connect Error"));
    }
}

void ConnectDatabase(Database& db, Transaction& tr) {
    ConnectDatabase(db, tr, Settings::DbPath);
}
