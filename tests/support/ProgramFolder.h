#pragma once

#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The program living in a folder of its own, every message box answered with OK and
// remembered with its caption.
class ProgramFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Settings::ResetToInitial();
        Settings::SetExecutableFolder(dir.path());
        Messages::SetResponder([this](const Messages::Request& r) {
            shown << r.text;
            captions << r.caption;
            return Messages::Answer::Ok;
        });
    }
    void TearDown() override {
        Messages::ClearResponder();
        Settings::SetExecutableFolder({});
        Settings::ResetToInitial();
    }
    // Writes keys before start-up, then reads the settings as the main window does.
    void Start(const QList<QPair<QString, QString>>& keys = {}) {
        for (const auto& [key, value] : keys)
            IniWriteString(Ini(), "TAVREL", key, value);
        ASSERT_TRUE(Settings::ReadSettings());
    }
    QString Ini() const { return dir.filePath("TAVREL.ini"); }
    QString Stored(const QString& key) const { return IniReadString(Ini(), "TAVREL", key, "?"); }
    QByteArray IniBytes() const {
        QFile f(Ini());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir dir;
    QStringList shown;
    QStringList captions;
};
