#include "platform/Settings.h"

#include "platform/Error.h"
#include "platform/IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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
bool PrintTenthMm;
bool FillByRows;
QString IniWarning;

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

bool Writable(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

// An installed copy in a folder the user cannot write keeps its files with the user.
QString UserFolder(QStandardPaths::StandardLocation location) {
    return WithDelimiter(QStandardPaths::writableLocation(location)) + QStringLiteral("Tavrel");
}

QString DataFolderOf(const QString& exe) {
    return QDir::cleanPath(WithDelimiter(exe) + QStringLiteral(TAVREL_DATA_FROM_BIN));
}

// A portable copy or a build folder writes beside itself; an installed copy (its data folder
// exists) never does, not even for root: the package manager owns that folder.
bool WritesBeside(const QString& exe) {
    return Writable(exe) && !QFileInfo(DataFolderOf(exe)).isDir();
}

// Beside the program when it writes there or that folder already holds the file (an existing
// installation), else the user's configuration folder.
QString SettingsFolder(const QString& exe, const QString& fileName) {
    if (WritesBeside(exe) || QFileInfo::exists(WithDelimiter(exe) + fileName))
        return exe;
    const QString folder = UserFolder(QStandardPaths::GenericConfigLocation);
    QDir().mkpath(folder); // a folder that cannot be made fails as the settings file
    return folder;
}

QString TmpParent(const QString& exe, const QString& tmp) {
    if (WritesBeside(exe) || Writable(WithDelimiter(exe) + tmp))
        return exe;
    return UserFolder(QStandardPaths::GenericCacheLocation);
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
    PrintTenthMm = false;
    FillByRows = false;
    IniWarning.clear();
}

QString SettingsFile() {
    if (QFileInfo(IniFileName).isAbsolute())
        return IniFileName;
    return WithDelimiter(SettingsFolder(ExecutableFolder(), IniFileName)) + IniFileName;
}

QString ExecutableFolder() {
    if (!FolderOverride().isEmpty())
        return WithoutDelimiter(FolderOverride());
    return WithoutDelimiter(QCoreApplication::applicationDirPath());
}

QString InstalledDataFolder() {
    return DataFolderOf(ExecutableFolder());
}

void SetExecutableFolder(const QString& folder) {
    FolderOverride() = folder;
}

bool ReadSettings() {
    try {
        IniFileName = SettingsFile();
        // A file that predates exact placement keeps printing as it always did.
        const bool newFile = !QFileInfo::exists(IniFileName);
        IniFileCheck(IniFileName);
        IniWarning = IniUnreadableLine(IniFileName);
        DbDir = IniReadString(IniFileName, kSection, QStringLiteral("F_DbDir001"), DbDir);
        DbPath = IniReadString(IniFileName, kSection, QStringLiteral("F_DbPath01"), DbPath);
        ExePath = ExecutableFolder();
        IniWriteString(IniFileName, kSection, QStringLiteral("ExePath001"), ExePath);
        TmpPath = WithDelimiter(TmpParent(ExePath, TmpPath)) + TmpPath;
        QDir().mkpath(TmpPath); // a folder that cannot be made shows up when it is written to
        SnapshotPath = WithDelimiter(TmpPath) + QStringLiteral("TaTempp.cds");
        HintShow = IniReadBool(IniFileName, kSection, QStringLiteral("HintShow"), HintShow);
        HintColor = IniReadInteger(IniFileName, kSection, QStringLiteral("HintColor"), HintColor);
        HintTime = IniReadInteger(IniFileName, kSection, QStringLiteral("HintTime"), HintTime);
        PrintTenthMm = IniReadBool(IniFileName, kSection, QStringLiteral("PrintTenthMm"),
                                   PrintTenthMm || newFile);
        FillByRows = IniReadBool(IniFileName, kSection, QStringLiteral("FillByRows"), FillByRows);
    } catch (...) {
        throw EError(QStringLiteral("IniFile Error"));
    }
    return true;
}

} // namespace Settings
