#include "platform/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

// The settings file as a user might leave it: read every kind of value from it, then write.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TAVREL.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.close();
    const QString section = QStringLiteral("TAVREL");
    IniFileCheck(path);
    IniValueExists(path, section, QStringLiteral("F_DbPath01"));
    IniReadString(path, section, QStringLiteral("F_DbPath01"), QString());
    IniReadInteger(path, section, QStringLiteral("HintShow"), 1);
    IniReadBool(path, section, QStringLiteral("HintShow"), true);
    IniWriteString(path, section, QStringLiteral("F_DbPath01"), QStringLiteral("x"));
    int value = 0;
    ParseIniInteger(
        QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
        &value);
    return 0;
}
