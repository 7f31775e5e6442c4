#pragma once

#include <QString>
#include <QStringList>

class Database;
class Transaction;

// The parameters every connection of the program uses: the administrator's login and the
// Shift-JIS character set.
QStringList TavrelConnectionParams();

// Sets the parameters and the name, closing the connection first.
void SetConnectionParams(Database& db, Transaction& tr, const QString& databaseName,
                         const QStringList& params = TavrelConnectionParams());
// Opens the connection to the named database; any failure raises "Database Connect Error".
void ConnectDatabase(Database& db, Transaction& tr, const QString& databaseName,
                     const QStringList& params = TavrelConnectionParams());
