#include "data/Schema.h"

#include "data/Database.h"
#include "data/DbConnect.h"

#include <QFile>
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

void CreateDatabaseFromScript(const QString& databaseName, const QString& schemaPath,
                              const QStringList& extraScripts) {
    if (!databaseName.contains(QLatin1Char(':')) || databaseName.startsWith(QLatin1Char('/'))) {
        if (QFile::exists(databaseName))
            throw EError(QStringLiteral("%1 exists already").arg(databaseName));
    }
    QStringList scripts{ReadScriptFile(schemaPath)};
    for (const QString& path : extraScripts)
        scripts << ReadScriptFile(path);
    Database db;
    Transaction tr;
    SetConnectionParams(db, tr, databaseName);
    db.Create(QStringLiteral("UTF8"));
    for (const QString& script : scripts)
        RunScript(db, tr, script);
    db.Close();
}
