#pragma once

#include <QString>

// The settings-file helpers. Each call loads the whole file afresh and, for writes, saves it
// whole; nothing is kept open between calls. Names are compared without regard to case.
bool IniFileCheck(const QString& fileName);
bool IniValueExists(const QString& fileName, const QString& section, const QString& key);
QString IniReadString(const QString& fileName, const QString& section, const QString& key,
                      const QString& defaultValue);
int IniReadInteger(const QString& fileName, const QString& section, const QString& key,
                   int defaultValue);
bool IniReadBool(const QString& fileName, const QString& section, const QString& key,
                 bool defaultValue);
bool IniWriteString(const QString& fileName, const QString& section, const QString& key,
                    const QString& value);
bool IniWriteInteger(const QString& fileName, const QString& section, const QString& key,
                     int value);
bool IniWriteBool(const QString& fileName, const QString& section, const QString& key, bool value);

// Empty when the file is UTF-8 or Shift-JIS throughout; else a message naming the file and the
// first line that is neither. Such a file is read line by line as well as it goes, and never
// written: the write helpers return false.
QString IniUnreadableLine(const QString& fileName);

// An integer as the settings file writes it: signed decimal, or "$"/"0x" hexadecimal.
bool ParseIniInteger(const QString& text, int* value);
