#pragma once

#include <QString>

class Database;
class Transaction;

// Sets the fixed connection parameters and the name, closing the connection first.
void SetConnectionParams(Database& db, const QString& databaseName);
// The same, with the transaction as the connection's default.
void SetConnectionParams(Database& db, Transaction& tr, const QString& databaseName);
// Opens the connection to the configured database; any failure raises "Database Connect Error".
void ConnectDatabase(Database& db, Transaction& tr);
// The same with an explicit database name (the settings value is the usual one).
void ConnectDatabase(Database& db, Transaction& tr, const QString& databaseName);
