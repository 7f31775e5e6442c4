#include "platform/MergeField.h"

#include <algorithm>

namespace MergeField {

namespace {

const QString kKeyword = QStringLiteral("MERGEFIELD");

bool IsBlank(QChar c) {
    return c.isSpace() || c == QChar(0x3000);
}

} // namespace

// A quoted name runs to the closing quote (\" stands for a quote); a bare name runs to the
// first blank, so switches such as \* MERGEFORMAT are left out.
QString NameOf(const QString& instruction) {
    const QString text = instruction.trimmed();
    if (!text.startsWith(kKeyword, Qt::CaseInsensitive))
        return {};
    qsizetype i = kKeyword.size();
    if (i < text.size() && !IsBlank(text.at(i)))
        return {};
    while (i < text.size() && IsBlank(text.at(i)))
        ++i;
    QString name;
    if (i < text.size() && text.at(i) == u'"') {
        for (++i; i < text.size() && text.at(i) != u'"'; ++i) {
            if (text.at(i) == u'\\' && i + 1 < text.size())
                ++i;
            name += text.at(i);
        }
        return name;
    }
    for (; i < text.size() && !IsBlank(text.at(i)); ++i)
        name += text.at(i);
    return name;
}

QString Instruction(const QString& name) {
    const bool plain = !name.isEmpty() && std::none_of(name.begin(), name.end(), [](QChar c) {
        return IsBlank(c) || c == u'"' || c == u'\\';
    });
    if (plain)
        return kKeyword + u' ' + name;
    QString quoted = name;
    quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return kKeyword + QStringLiteral(" \"") + quoted + u'"';
}

QString Placeholder(const QString& name) {
    return QChar(0x00AB) + name + QChar(0x00BB);
}

} // namespace MergeField
