#include "platform/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

QString Reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// The permissions a new file gets from the process's mask, or those of the file it replaces.
mode_t ModeFor(const QByteArray& target) {
    struct stat st {};
    if (::stat(target.constData(), &st) == 0 && S_ISREG(st.st_mode))
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool SystemPath(const QString& path) {
    return path.startsWith(QLatin1String("/dev/")) || path.startsWith(QLatin1String("/proc/"));
}

bool WriteFully(int fd, const char* data, qint64 size, int* error) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *error = n < 0 ? errno : ENOSPC;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

// Pipes and devices cannot be synchronised; that is no failure of the write.
bool Synced(int fd, bool regular) {
    return ::fsync(fd) == 0 || (!regular && (errno == EINVAL || errno == EROFS));
}

} // namespace

TSafeFile::TSafeFile(const QString& path, bool allowDevice)
    : path_(path), allowDevice_(allowDevice) {}

TSafeFile::~TSafeFile() {
    Discard();
}

void TSafeFile::Discard() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.isEmpty())
        ::unlink(Native(temporary_).constData());
    temporary_.clear();
    if (isOpen())
        QIODevice::close();
}

void TSafeFile::Fail(int error) {
    Discard();
    throw EWriteFailed(message_, QDir::toNativeSeparators(path_), Reason(error));
}

void TSafeFile::Open(const QString& message) {
    message_ = message;
    // An output named through a link is written where the link leads, and the link stays.
    const QString canonical = allowDevice_ ? QFileInfo(path_).canonicalFilePath() : QString();
    target_ = canonical.isEmpty() ? path_ : canonical;
    const QByteArray target = Native(target_);
    struct stat st {};
    // /dev/stdout may lead to a regular file, but its name is never to be replaced.
    const bool device =
        allowDevice_ && (SystemPath(path_) || SystemPath(canonical) ||
                         (::stat(target.constData(), &st) == 0 && !S_ISREG(st.st_mode)));
    if (device) {
        fd_ = ::open(target.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    } else {
        const QFileInfo info(target_);
        QByteArray name = Native(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                                 QStringLiteral(".XXXXXX"));
        fd_ = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd_ >= 0) {
            temporary_ = QFile::decodeName(name);
            ::fchmod(fd_, ModeFor(target));
        }
    }
    if (fd_ < 0)
        Fail(errno);
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 TSafeFile::writeData(const char* data, qint64 size) {
    if (error_ != 0 || fd_ < 0)
        return -1;
    if (!WriteFully(fd_, data, size, &error_))
        return -1;
    written_ += size;
    return size;
}

void TSafeFile::Commit() {
    if (error_ != 0)
        Fail(error_);
    const bool regular = !temporary_.isEmpty();
    struct stat st {};
    if (regular && ::fstat(fd_, &st) != 0)
        Fail(errno);
    if (regular && st.st_size != written_)
        Fail(EIO);
    if (!Synced(fd_, regular))
        Fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        Fail(errno);
    if (regular) {
        if (::rename(Native(temporary_).constData(), Native(target_).constData()) != 0)
            Fail(errno);
        temporary_.clear();
    }
    QIODevice::close();
}

bool SameFile(const QString& a, const QString& b) {
    struct stat sa {
    }, sb{};
    if (a.isEmpty() || b.isEmpty() || ::stat(Native(a).constData(), &sa) != 0 ||
        ::stat(Native(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool ForeignFile(const QString& path, const QByteArray& signature) {
    const QFileInfo info(path);
    if (!info.isFile() || info.size() == 0)
        return false;
    QFile file(path);
    // What cannot even be read is not ours to overwrite either.
    if (!file.open(QIODevice::ReadOnly))
        return true;
    return file.read(signature.size()) != signature;
}

void WriteWholeFile(const QString& path, const QByteArray& bytes, const QString& message) {
    TSafeFile file(path, false);
    file.Open(message);
    file.write(bytes);
    file.Commit();
}
