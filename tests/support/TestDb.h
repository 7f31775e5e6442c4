#pragma once

#include "data/Database.h"
#include "data/Query.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// A fresh database made from db/schema.sql for one test, removed afterwards.
class TestDb {
  public:
    // Local file through the embedded engine.
    TestDb();
    // Through the test server when asked; see ServerAvailable().
    static std::unique_ptr<TestDb> OnServer();
    // Through the server at "host/port".
    static std::unique_ptr<TestDb> OnServer(const QString& server);
    ~TestDb();

    QString Path() const { return path_; } // what a connection is opened with
    QString Folder() const { return dir_.path(); }
    // The test server as "127.0.0.1/port": the private one the test command starts names itself
    // in TAVREL_TEST_SERVER; without it, a server on the standard port.
    static QString Server();
    static bool ServerAvailable();
    static QString SchemaPath();
    static QString SamplePath();
    // Attachments to a database besides the one asking; -1 when it cannot be attached at
    // all, which for a local file means another process of the embedded engine holds it.
    static int OtherAttachments(const QString& path);
    // Runs one statement on its own connection and commits it.
    void Execute(const QString& sql) const;
    // Ends every other connection to the database, as a server shutdown would.
    void DropOtherConnections() const;
    // The first column of every row a query returns, as text, read on its own connection.
    QStringList Column(const QString& sql) const;

  private:
    explicit TestDb(const QString& server);
    QTemporaryDir dir_;
    QString path_;
};

// The rows a statement reads from a test database through a connection of its own.
class StoredRows {
  public:
    StoredRows(const TestDb& db, const QString& sql);
    Query& operator*() { return query_; }
    Query* operator->() { return &query_; }

  private:
    Database db_;
    Transaction tr_;
    Query query_{&db_, &tr_};
};
