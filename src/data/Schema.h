#pragma once

#include <QString>
#include <QStringList>

class Database;
class Transaction;

// Splits an isql-style script into statements, honouring SET TERM, quotes and comments.
QStringList SplitScript(const QString& script);
// Runs every statement of a script, committing after each one as isql does for DDL.
void RunScript(Database& db, Transaction& tr, const QString& script);
// The scripts built into the program: both tables, generators and triggers, and the demo data.
QString SchemaScript();
QString SampleScript();
// Creates a new database (default character set UTF8) and runs the scripts on it in order.
// A local file is made under a temporary name beside it and takes its name only when complete;
// whatever fails, nothing is left behind. Raises EError when the file exists already.
void CreateDatabaseFromScripts(const QString& databaseName, const QStringList& scripts);
// The same with script files: the schema, then the extra ones.
void CreateDatabaseFromScript(const QString& databaseName, const QString& schemaPath,
                              const QStringList& extraScripts = {});
// Reads a UTF-8 script file; raises EError when it cannot be read.
QString ReadScriptFile(const QString& path);
