#include "data/Schema.h"

#include "data/Database.h"
#include "data/DbConnect.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace {

// Length of the quoted piece or comment at i, or 0 when none starts there.
qsizetype PassiveLength(const QString& s, qsizetype i) {
    const QChar c = s.at(i);
    if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
        qsizetype j = i + 1;
        while (j < s.size() && s.at(j) != c)
            ++j;
        return std::min(j + 1, s.size()) - i;
    }
    const QStringView two = QStringView(s).mid(i, 2);
    if (two == QLatin1String("--")) {
        const qsizetype end = s.indexOf(QLatin1Char('\n'), i);
        return (end < 0 ? s.size() : end) - i;
    }
    if (two == QLatin1String("/*")) {
        const qsizetype end = s.indexOf(QLatin1String("*/"), i + 2);
        return (end < 0 ? s.size() : end + 2) - i;
    }
    return 0;
}

QString WithoutComments(const QString& statement) {
    QString rest;
    for (qsizetype i = 0; i < statement.size();) {
        const qsizetype len = PassiveLength(statement, i);
        const bool comment =
            len > 0 && statement.at(i) != QLatin1Char('\'') && statement.at(i) != QLatin1Char('"');
        if (!comment)
            rest += statement.at(i);
        i += std::max<qsizetype>(len, 1);
    }
    return rest;
}

bool IsOnlyComments(const QString& statement) {
    return WithoutComments(statement).trimmed().isEmpty();
}

} // namespace

QStringList SplitScript(const QString& script) {
    static const QRegularExpression setTerm(
        QStringLiteral("^\\s*SET\\s+TERM\\s+(\\S+)\\s*(\\S+)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList out;
    QString terminator = QStringLiteral(";");
    QString current;
    for (qsizetype i = 0; i < script.size();) {
        const qsizetype passive = PassiveLength(script, i);
        if (passive > 0) {
            current += QStringView(script).mid(i, passive);
            i += passive;
            continue;
        }
        if (QStringView(script).mid(i).startsWith(terminator)) {
            i += terminator.size();
            const auto m = setTerm.match(WithoutComments(current).trimmed());
            if (m.hasMatch())
                terminator = m.captured(1);
            else if (!IsOnlyComments(current))
                out << current.trimmed();
            current.clear();
            continue;
        }
        current += script.at(i++);
    }
    if (!IsOnlyComments(current))
        out << current.trimmed();
    return out;
}

void RunScript(Database& db, Transaction& tr, const QString& script) {
    for (const QString& statement : SplitScript(script)) {
        ExecuteImmediate(db, tr, statement);
        tr.Commit();
    }
}

QString ReadScriptFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EError(QStringLiteral("%1: %2").arg(path, file.errorString()));
    return QString::fromUtf8(file.readAll());
}

QString SchemaScript() {
    return ReadScriptFile(QStringLiteral(":/db/schema.sql"));
}

QString SampleScript() {
    return ReadScriptFile(QStringLiteral(":/db/sample.sql"));
}

namespace {

bool IsLocalFile(const QString& databaseName) {
    return !databaseName.contains(QLatin1Char(':')) || databaseName.startsWith(QLatin1Char('/'));
}

// A name beside the target that nothing uses yet.
QString TemporaryName(const QString& target) {
    const QFileInfo info(target);
    QString name;
    do {
        name = info.dir().filePath(
            QStringLiteral(".%1.part-%2")
                .arg(info.fileName())
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
    } while (QFile::exists(name));
    return name;
}

void CreateAndRun(const QString& databaseName, const QStringList& scripts) {
    Database db;
    Transaction tr;
    SetConnectionParams(db, tr, databaseName);
    try {
        db.Create(QStringLiteral("UTF8"));
        for (const QString& script : scripts)
            RunScript(db, tr, script);
        db.Close();
    } catch (...) {
        tr.RollbackQuietly();
        db.DropQuietly();
        if (IsLocalFile(databaseName))
            QFile::remove(databaseName);
        throw;
    }
}

} // namespace

void CreateDatabaseFromScripts(const QString& databaseName, const QStringList& scripts) {
    if (!IsLocalFile(databaseName)) {
        CreateAndRun(databaseName, scripts);
        return;
    }
    if (QFile::exists(databaseName))
        throw EError(QStringLiteral("%1 exists already").arg(databaseName));
    const QString part = TemporaryName(databaseName);
    CreateAndRun(part, scripts);
    if (!QFile::rename(part, databaseName)) {
        QFile::remove(part);
        throw EError(QStringLiteral("%1 exists already").arg(databaseName));
    }
}

void CreateDatabaseFromScript(const QString& databaseName, const QString& schemaPath,
                              const QStringList& extraScripts) {
    QStringList scripts{ReadScriptFile(schemaPath)};
    for (const QString& path : extraScripts)
        scripts << ReadScriptFile(path);
    CreateDatabaseFromScripts(databaseName, scripts);
}
