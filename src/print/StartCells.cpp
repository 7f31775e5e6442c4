#include "print/StartCells.h"

#include "platform/IniFile.h"
#include "platform/Settings.h"

#include <QStringList>
#include <QUrl>

namespace {

// A sheet name may hold "=", ";" or brackets, which a settings line cannot carry as a key.
QString KeyOf(const QString& sheetName) {
    return QStringLiteral("StartCell_") + QString::fromLatin1(QUrl::toPercentEncoding(sheetName));
}

} // namespace

StartCell RememberedStart(const QString& sheetName, int columns, int rows, int maxCount) {
    const QString key = KeyOf(sheetName);
    if (!IniValueExists(Settings::IniFileName, Settings::kSection, key))
        return {};
    const QStringList parts =
        IniReadString(Settings::IniFileName, Settings::kSection, key, {}).split(QLatin1Char(','));
    if (parts.size() != 3)
        return {};
    bool ok[3] = {};
    const StartCell s{parts[0].toInt(&ok[0]), parts[1].toInt(&ok[1]), parts[2].toInt(&ok[2])};
    if (!ok[0] || !ok[1] || !ok[2] || s.column < 1 || s.column > columns || s.row < 1 ||
        s.row > rows || s.count < 1 || s.count > maxCount)
        return {};
    return s;
}

void RememberStart(const QString& sheetName, const StartCell& start) {
    IniWriteString(Settings::IniFileName, Settings::kSection, KeyOf(sheetName),
                   QStringLiteral("%1,%2,%3").arg(start.column).arg(start.row).arg(start.count));
}
