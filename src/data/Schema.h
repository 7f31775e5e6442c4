#pragma once

#include <QString>
#include <QStringList>

class Database;
class Transaction;

// Splits an isql-style script into statements, honouring SET TERM, quotes and comments.
QStringList SplitScript(const QString& script);
// Runs every statement of a script, committing after each one as isql does for DDL.
void RunScript(Database& db, Transaction& tr, const QString& script);
// Creates a new database (default character set UTF8) and runs the schema script on it.
// Raises EError when the file exists already or anything fails.
void CreateDatabaseFromScript(const QString& databaseName, const QString& schemaPath,
                              const QStringList& extraScripts = {});
// Reads a UTF-8 script file; raises EError when it cannot be read.
QString ReadScriptFile(const QString& path);
