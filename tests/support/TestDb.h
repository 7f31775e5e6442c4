#pragma once

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
    // Runs one statement on its own connection and commits it.
    void Execute(const QString& sql) const;
    // The first column of every row a query returns, as text, read on its own connection.
    QStringList Column(const QString& sql) const;

  private:
    explicit TestDb(const QString& server);
    QTemporaryDir dir_;
    QString path_;
};
