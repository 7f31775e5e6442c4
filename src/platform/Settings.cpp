#include "platform/Settings.h"

#include "platform/Error.h"
#include "platform/IniFile.h"

#include <QCoreApplication>
#include <QDir>

namespace Settings {

QString IniFileName;
QString DbDir;
QString DbPath;
QString ExePath;
QString TmpPath;
QString SnapshotPath;
bool HintShow;
int HintColor;
int HintTime;

namespace {

QString& FolderOverride() {
    static QString folder;
    return folder;
}

QString WithDelimiter(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString WithoutDelimiter(QString folder) {
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

// Values start out this way in every process.
struct Initialiser {
    Initialiser() { ResetToInitial(); }
} initialiser;

} // namespace

void ResetToInitial() {
    IniFileName = QStringLiteral("TAVREL.ini");
    DbDir.clear();
    DbPath.clear();
    ExePath.clear();
    TmpPath = QStringLiteral("Tmp");
    SnapshotPath.clear();
    HintShow = true;
    HintColor = static_cast<int>(0xFF000018u);
    HintTime = 2000;
}

QString ExecutableFolder() {
    if (!FolderOverride().isEmpty())
        return WithoutDelimiter(FolderOverride());
    return WithoutDelimiter(QCoreApplication::applicationDirPath());
}

void SetExecutableFolder(const QString& folder) {
    FolderOverride() = folder;
}

bool ReadSettings() {
    IniFileName = WithDelimiter(ExecutableFolder()) + IniFileName;
    try {
        IniFileCheck(IniFileName);
        DbDir = IniReadString(IniFileName, kSection, QStringLiteral("F_DbDir001"), DbDir);
        DbPath = IniReadString(IniFileName, kSection, QStringLiteral("F_DbPath01"), DbPath);
        ExePath = ExecutableFolder();
        IniWriteString(IniFileName, kSection, QStringLiteral("ExePath001"), ExePath);
        TmpPath = WithDelimiter(ExePath) + TmpPath;
        QDir().mkpath(TmpPath); // a folder that cannot be made shows up when it is written to
        SnapshotPath = WithDelimiter(TmpPath) + QStringLiteral("TaTempp.cds");
        HintShow = IniReadBool(IniFileName, kSection, QStringLiteral("HintShow"), HintShow);
        HintColor = IniReadInteger(IniFileName, kSection, QStringLiteral("HintColor"), HintColor);
        HintTime = IniReadInteger(IniFileName, kSection, QStringLiteral("HintTime"), HintTime);
    } catch (...) {
        throw EError(QStringLiteral("IniFile Error"));
    }
    return true;
}

} // namespace Settings
