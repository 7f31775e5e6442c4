// Creates Tavrel databases from the schema built into the program (db/schema.sql).
//   tavrel-mkdb PATH            a new empty database at PATH (local path or host:/path)
//   tavrel-mkdb --demo FOLDER   unless the settings file in FOLDER names a database already:
//                               FOLDER/TAVREL.FDB with sample data, recorded in the settings
#include "data/EngineConfig.h"
#include "data/Schema.h"
#include "platform/Error.h"
#include "platform/IniFile.h"
#include "platform/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace {

int Demo(const QString& folder) {
    const QString ini = QDir(folder).filePath(QStringLiteral("TAVREL.ini"));
    const QString current =
        IniValueExists(ini, Settings::kSection, QStringLiteral("F_DbPath01"))
            ? IniReadString(ini, Settings::kSection, QStringLiteral("F_DbPath01"), {})
            : QString();
    if (!current.trimmed().isEmpty()) {
        std::printf("database location already set: %s\n", qPrintable(current));
        return 0;
    }
    const QString path = QDir(folder).absoluteFilePath(QStringLiteral("TAVREL.FDB"));
    if (!QFileInfo::exists(path)) {
        CreateDatabaseFromScripts(path, {SchemaScript(), SampleScript()});
        std::printf("created demo database %s\n", qPrintable(path));
    }
    if (!IniWriteString(ini, Settings::kSection, QStringLiteral("F_DbDir001"),
                        QFileInfo(path).absolutePath()) ||
        !IniWriteString(ini, Settings::kSection, QStringLiteral("F_DbPath01"), path))
        throw EError(QStringLiteral("cannot write %1").arg(ini));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    EngineConfig::Use();
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    try {
        if (args.size() == 2 && args[0] == QLatin1String("--demo"))
            return Demo(args[1]);
        if (args.size() == 1) {
            CreateDatabaseFromScripts(args[0], {SchemaScript()});
            return 0;
        }
        std::fprintf(stderr, "usage: tavrel-mkdb PATH | --demo FOLDER\n");
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavrel-mkdb: %s\n", qPrintable(ExceptionText(e)));
        return 1;
    }
}
