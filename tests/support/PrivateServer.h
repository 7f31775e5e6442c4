#pragma once

#include <QString>
#include <QTemporaryDir>

// A Firebird server of one test's own, in a folder and at a port no other test uses, so that the
// test may kill it without disturbing the server the other tests share. Stopped with the object.
class PrivateServer {
  public:
    explicit PrivateServer(int firstPort);
    ~PrivateServer();
    PrivateServer(const PrivateServer&) = delete;
    PrivateServer& operator=(const PrivateServer&) = delete;

    static bool Installed();
    // Starts it, or starts it again after a kill; throws EError with the script's output.
    void Start();
    // SIGKILL, as a crash or a pulled plug ends it; returns once the process is gone.
    void Kill();
    // "127.0.0.1/port"; the port may differ from the first one when that was taken.
    QString Address() const { return address_; }

  private:
    void RunScript(const QString& command);
    QString Root() const;
    QTemporaryDir dir_;
    int firstPort_;
    QString address_;
    qint64 pid_ = 0;
};
