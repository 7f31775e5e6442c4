#include "data/SqlParams.h"

namespace {

bool IsNameChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// Index just past a quoted piece starting at i (doubled quotes stay inside).
qsizetype SkipQuoted(const QString& s, qsizetype i) {
    const QChar quote = s.at(i);
    for (++i; i < s.size(); ++i) {
        if (s.at(i) != quote)
            continue;
        if (i + 1 < s.size() && s.at(i + 1) == quote) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return s.size();
}

qsizetype SkipComment(const QString& s, qsizetype i) {
    if (s.mid(i, 2) == QLatin1String("--")) {
        const qsizetype end = s.indexOf(QLatin1Char('\n'), i);
        return end < 0 ? s.size() : end;
    }
    const qsizetype end = s.indexOf(QLatin1String("*/"), i + 2);
    return end < 0 ? s.size() : end + 2;
}

bool StartsComment(const QString& s, qsizetype i) {
    const QStringView two = QStringView(s).mid(i, 2);
    return two == QLatin1String("--") || two == QLatin1String("/*");
}

} // namespace

PositionalSql ToPositional(const QString& sql) {
    PositionalSql out;
    out.text.reserve(sql.size());
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql.at(i);
        qsizetype next = i + 1;
        if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
            next = SkipQuoted(sql, i);
        else if (StartsComment(sql, i))
            next = SkipComment(sql, i);
        else if (c == QLatin1Char(':') && i + 1 < sql.size() && IsNameChar(sql.at(i + 1))) {
            next = i + 1;
            while (next < sql.size() && IsNameChar(sql.at(next)))
                ++next;
            out.names << sql.mid(i + 1, next - i - 1);
            out.text += QLatin1Char('?');
            i = next;
            continue;
        }
        out.text += QStringView(sql).mid(i, next - i);
        i = next;
    }
    return out;
}
