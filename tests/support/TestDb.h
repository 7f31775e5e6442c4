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
    // Through the test server on 127.0.0.1 when asked; see ServerAvailable().
    static std::unique_ptr<TestDb> OnServer();
    ~TestDb();

    QString Path() const { return path_; } // what a connection is opened with
    QString Folder() const { return dir_.path(); }
    static bool ServerAvailable();
    static QString SchemaPath();
    static QString SamplePath();
    // Runs one statement on its own connection and commits it.
    void Execute(const QString& sql) const;
    // The first column of every row a query gives, read on its own connection.
    QStringList Column(const QString& sql) const;

  private:
    explicit TestDb(bool server);
    QTemporaryDir dir_;
    QString path_;
};
