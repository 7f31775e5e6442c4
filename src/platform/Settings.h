#pragma once

#include <QString>

// Program-wide settings values, filled once at start-up by ReadSettings.
namespace Settings {

inline const QString kSection = QStringLiteral("TAVREL");

extern QString IniFileName;
extern QString DbDir;
extern QString DbPath;
extern QString ExePath;
extern QString TmpPath;
extern QString SnapshotPath;
extern bool HintShow;
extern int HintColor;
extern int HintTime;
// Label sheets laid out in the stored tenth-millimetres rather than whole millimetres.
extern bool PrintTenthMm;
// Labels fill a sheet across each row (reading order) rather than down each column.
extern bool FillByRows;
// Set by ReadSettings when a line of the file could not be read: the file is then left as it is.
extern QString IniWarning;

// Fills the values from the settings file and creates the temporary folder. Both lie beside
// the program, or with the user ($XDG_CONFIG_HOME/Tavrel, $XDG_CACHE_HOME/Tavrel) when the
// program's folder cannot be written or is an installation's bin folder. Returns true; raises
// "IniFile Error" when the file cannot be used.
bool ReadSettings();

// The settings file ReadSettings reads or would read.
QString SettingsFile();

// The program's folder; tests point it elsewhere.
QString ExecutableFolder();
void SetExecutableFolder(const QString& folder);
// Where an installation keeps the program's data (help, database scripts), relative to the
// program's folder.
QString InstalledDataFolder();
// Puts every value back to its initial state (tests start each case from there).
void ResetToInitial();

} // namespace Settings
