#include "labels/FontList.h"

#include <QFont>
#include <QFontDatabase>
#include <algorithm>

QStringList SortFontNames(QStringList names, bool excludeVertical) {
    if (excludeVertical)
        names.removeIf([](const QString& name) { return name.startsWith(QLatin1Char('@')); });
    names.removeDuplicates();
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

QStringList GetFontList(bool excludeVertical) {
    // Printers print with the same installed fonts the screen shows, so one list serves both.
    QStringList names = QFontDatabase::families();
    // Stored designs name Windows faces; those with a local stand-in can be chosen too.
    for (const QString& face : {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("ＭＳ ゴシック"),
                                QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("ＭＳ 明朝")})
        if (!QFont::substitutes(face).isEmpty())
            names += face;
    return SortFontNames(names, excludeVertical);
}
