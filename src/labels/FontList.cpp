#include "labels/FontList.h"

#include "platform/WindowsFaces.h"

#include <QFont>
#include <QFontDatabase>
#include <algorithm>

namespace {
// The font database tells a family that several foundries provide as "Name [Foundry]"; users
// and stored labels know it by its name alone.
QString WithoutFoundry(const QString& family) {
    if (!family.endsWith(QLatin1Char(']')))
        return family;
    const qsizetype open = family.lastIndexOf(QStringLiteral(" ["));
    return open > 0 ? family.left(open) : family;
}
} // namespace

QStringList SortFontNames(QStringList names, bool excludeVertical) {
    for (QString& name : names)
        name = WithoutFoundry(name);
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
    for (const auto& [face, local] : WindowsFaces()) {
        if (!QFont::substitutes(face).isEmpty())
            names += face;
    }
    return SortFontNames(names, excludeVertical);
}
