#include "data/EngineConfig.h"

#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace EngineConfig {

namespace {

const QString kIntlModule = QStringLiteral("intl/libfbintl.so");
const QString kIntlConf = QStringLiteral("intl/fbintl.conf");

QByteArray ShippedConfig() {
    QFile file(QStringLiteral(":/firebird/firebird.conf"));
    if (!file.open(QIODevice::ReadOnly))
        throw EError(QStringLiteral("firebird.conf is missing from the program"));
    return file.readAll();
}

void WriteIfChanged(const QString& path, const QByteArray& content) {
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.readAll() == content)
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        throw EError(QStringLiteral("cannot write ") + path);
}

bool SameFile(const QString& a, const QString& b) {
    struct stat sa {
    }, sb{};
    if (stat(QFile::encodeName(a).constData(), &sa) != 0 ||
        stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    if (sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino)
        return true;
    // A copy stays good while the library's file is not newer and has the same size.
    return sa.st_size == sb.st_size && sa.st_mtime >= sb.st_mtime;
}

// The engine loads a character set module only from its own folder, and refuses one reached
// through a symbolic link: a hard link, or a copy on another file system. Replaced by rename,
// so a process starting at the same moment never sees half a file.
void PlaceModule(const QString& source, const QString& target) {
    if (SameFile(target, source))
        return;
    const QString temp = target + QStringLiteral(".") + QString::number(getpid());
    QFile::remove(temp);
    const QByteArray from = QFile::encodeName(source), to = QFile::encodeName(temp);
    if (link(from.constData(), to.constData()) != 0 && !QFile::copy(source, temp))
        throw EError(QStringLiteral("cannot copy ") + source);
    if (rename(to.constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(temp);
        throw EError(QStringLiteral("cannot write ") + target);
    }
}

void PlaceLink(const QString& source, const QString& target) {
    if (QFileInfo(target).symLinkTarget() == source)
        return;
    const QString temp = target + QStringLiteral(".") + QString::number(getpid());
    QFile::remove(temp);
    if (!QFile::link(source, temp) ||
        rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(temp);
        throw EError(QStringLiteral("cannot write ") + target);
    }
}

// The configuration and the character set module the engine looks for beside it. Raises EError
// naming what could not be written.
void Prepare(const QString& folder, const QString& firebirdLibDir) {
    const QDir lib(firebirdLibDir);
    if (!lib.exists(kIntlModule) || !lib.exists(kIntlConf))
        throw EError(QStringLiteral("no Firebird character set module in ") + firebirdLibDir);
    if (!QDir().mkpath(folder + QStringLiteral("/intl")))
        throw EError(QStringLiteral("cannot create ") + folder);
    const QDir root(folder);
    WriteIfChanged(root.filePath(QStringLiteral("firebird.conf")), ShippedConfig());
    PlaceLink(QFileInfo(lib.filePath(kIntlConf)).canonicalFilePath(), root.filePath(kIntlConf));
    PlaceModule(lib.filePath(kIntlModule), root.filePath(kIntlModule));
}

} // namespace

QString Use() {
    if (!qEnvironmentVariableIsEmpty("FIREBIRD"))
        return qEnvironmentVariable("FIREBIRD");
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty())
        return {};
    const QString folder = cache + QStringLiteral("/Tavrel/firebird");
    try {
        Prepare(folder, QStringLiteral(TAVREL_FIREBIRD_LIB_DIR));
    } catch (const EError& e) {
        std::fprintf(stderr, "tavrel: %s; local databases open for one program at a time\n",
                     qPrintable(e.message()));
        return {};
    }
    qputenv("FIREBIRD", QFile::encodeName(folder));
    return folder;
}

} // namespace EngineConfig
