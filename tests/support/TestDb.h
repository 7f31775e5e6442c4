#pragma once

#include <QString>
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
    // Attachments to a database besides the one asking; -1 when it cannot be attached at
    // all, which for a local file means another process of the embedded engine holds it.
    static int OtherAttachments(const QString& path);
    // Runs one statement on its own connection and commits it.
    void Execute(const QString& sql) const;

  private:
    explicit TestDb(bool server);
    QTemporaryDir dir_;
    QString path_;
};
