#include "platform/WindowsFaces.h"

#include <QFont>

QList<QPair<QString, QString>> WindowsFaces() {
    return {{QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")},
            {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic")},
            {QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho")},
            {QStringLiteral("ＭＳ 明朝"), QStringLiteral("IPAMincho")}};
}

void InstallWindowsFaceSubstitutes() {
    for (const auto& [face, local] : WindowsFaces())
        QFont::insertSubstitution(face, local);
}
