#pragma once

#include "platform/Error.h"

#include <QIODevice>
#include <QString>

// A write that could not be completed: the fixed message, the file and the system's reason.
class EWriteFailed : public EError {
  public:
    EWriteFailed(const QString& message, const QString& path, const QString& reason)
        : EError(message + QLatin1Char('\n') + path + QStringLiteral(": ") + reason), path_(path),
          reason_(reason) {}
    const QString& path() const { return path_; }
    const QString& reason() const { return reason_; }

  private:
    QString path_;
    QString reason_;
};

// An output file that is never left half written. A new file or a regular one is written under a
// fresh name in its folder and renamed over the target only once every byte is on disk, so a
// failure keeps the old file. A pipe or a device cannot be replaced: it is written directly.
// Every write is checked; the first failure sticks and is raised by Commit.
class TSafeFile : public QIODevice {
  public:
    // A device or pipe at the name is written only when allowDevice is set; otherwise whatever
    // stands at the name, a planted link included, is replaced and never followed.
    explicit TSafeFile(const QString& path, bool allowDevice = true);
    // Without a successful Commit the temporary file is removed and the target left alone.
    ~TSafeFile() override;

    // Raises EWriteFailed with the message given.
    void Open(const QString& message);
    void Commit();
    bool isSequential() const override { return true; }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

  private:
    [[noreturn]] void Fail(int error);
    void Discard();

    QString path_;
    bool allowDevice_;
    QString target_;
    QString temporary_;
    QString message_;
    int fd_ = -1;
    int error_ = 0;
    qint64 written_ = 0;
};

// Whether both names lead to one file (the same device and inode); false when either is missing.
bool SameFile(const QString& a, const QString& b);
// An existing regular file whose content does not start with the signature: writing over it would
// destroy something that is not ours to replace.
bool ForeignFile(const QString& path, const QByteArray& signature);
// Replaces the file at path by bytes, never following what stands at the name. Raises
// EWriteFailed with the message given.
void WriteWholeFile(const QString& path, const QByteArray& bytes, const QString& message);
