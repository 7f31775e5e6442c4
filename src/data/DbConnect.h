#pragma once

#include <QString>
#include <QStringList>
#include <exception>

class Database;
class Transaction;

// The parameters every connection of the program uses: the administrator's login and the
// Shift-JIS character set.
QStringList TavrelConnectionParams();

// Sets the parameters and the name, closing the connection first.
void SetConnectionParams(Database& db, const QString& databaseName,
                         const QStringList& params = TavrelConnectionParams());
// The same, with the transaction as the connection's default.
void SetConnectionParams(Database& db, Transaction& tr, const QString& databaseName,
                         const QStringList& params = TavrelConnectionParams());
// Why a database could not be opened, in the user's words (in use by a program that does not
// share it, read-only, not a database, server not answering), then the engine's own text.
QString OpenFailureReason(const std::exception& e);

// Opens the connection to the named database; any failure raises "Database Connect Error",
// followed by the reason.
void ConnectDatabase(Database& db, Transaction& tr, const QString& databaseName,
                     const QStringList& params = TavrelConnectionParams());
