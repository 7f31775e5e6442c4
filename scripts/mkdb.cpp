// Creates Tavrel databases from the schema built into the program (db/schema.sql).
//   tavrel-mkdb PATH            a new empty database at PATH (local path or host:/path)
//   tavrel-mkdb --demo FOLDER   unless the settings file in FOLDER names a database already:
//                               FOLDER/TAVREL.FDB with sample data, recorded in the settings
//   tavrel-mkdb --help | --version
#include "data/EngineConfig.h"
#include "data/Schema.h"
#include "platform/Error.h"
#include "platform/IniFile.h"
#include "platform/Settings.h"
#include "platform/Version.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace {

constexpr const char* kUsage = "usage: tavrel-mkdb PATH | --demo FOLDER | --help | --version\n";

int Demo(const QString& folder) {
    const QString ini = QDir(folder).filePath(QStringLiteral("TAVREL.ini"));
    const QString current =
        IniValueExists(ini, Settings::kSection, QStringLiteral("F_DbPath01"))
            ? IniReadString(ini, Settings::kSection, QStringLiteral("F_DbPath01"), {})
            : QString();
    const QString path = QDir(folder).absoluteFilePath(QStringLiteral("TAVREL.FDB"));
    // A location the user chose is kept; the demo file itself is made again when it went away.
    if (!current.trimmed().isEmpty() && (current != path || QFileInfo::exists(path))) {
        std::printf("database location already set: %s\n", qPrintable(current));
        return 0;
    }
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
    if (args.size() == 1 &&
        (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
        std::printf("%s", kUsage);
        return 0;
    }
    if (args.size() == 1 && args[0] == QLatin1String("--version")) {
        std::printf("tavrel-mkdb %s\n", TAVREL_VERSION);
        return 0;
    }
    const bool demo = !args.isEmpty() && args[0] == QLatin1String("--demo");
    QStringList operands = args.mid(demo ? 1 : 0);
    // After "--" a path may start with a dash; before it, it is a mistyped option, never a name.
    const bool guarded = !operands.isEmpty() && operands[0] == QLatin1String("--");
    if (guarded)
        operands.removeFirst();
    if (operands.size() != 1 || (!guarded && operands[0].startsWith(QLatin1Char('-')))) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    try {
        if (demo)
            return Demo(operands[0]);
        CreateDatabaseFromScripts(operands[0], {SchemaScript()});
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavrel-mkdb: %s\n", qPrintable(ExceptionText(e)));
        return 1;
    }
}
