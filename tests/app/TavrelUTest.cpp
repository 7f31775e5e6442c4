#include "app/TavrelU.h"
#include "labels/FormatBar.h"
#include "platform/Help.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"
#include "support/TestDb.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The main window created in a program folder of its own, with message boxes answered here.
class MainWindowTest : public ::testing::Test {
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
    QTemporaryDir dir;
    QStringList shown;
    QStringList captions;
};

TEST_F(MainWindowTest, FirstStartReportsTheMissingDatabaseAndStillOpens) {
    TTavrelForm form;
    form.show();
    EXPECT_EQ(shown, QStringList{"Database Connect Error"});
    EXPECT_EQ(captions, QStringList{"Tavrel"});
    EXPECT_EQ(form.windowTitle(), TTavrelForm::Caption());
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.IBDatabase1.Connected());
    EXPECT_TRUE(QFile::exists(dir.filePath("TAVREL.ini")));
    EXPECT_TRUE(QDir(dir.filePath("Tmp")).exists());
    EXPECT_EQ(form.ClientArea->size(), QSize(564, 416));
}

TEST_F(MainWindowTest, UnusableSettingsFileSkipsCaptionAndConnection) {
    QDir().mkpath(dir.filePath("TAVREL.ini"));
    TTavrelForm form;
    EXPECT_EQ(shown, QStringList{"IniFile Error"});
    EXPECT_TRUE(form.windowTitle().isEmpty());
    EXPECT_FALSE(form.IBDatabase1.Connected());
}

TEST_F(MainWindowTest, ConnectsToTheConfiguredDatabase) {
    TestDb db;
    IniWriteString(dir.filePath("TAVREL.ini"), "TAVREL", "F_DbPath01", db.Path());
    TTavrelForm form;
    EXPECT_TRUE(shown.isEmpty()) << shown.join(", ").toStdString();
    EXPECT_TRUE(form.IBDatabase1.Connected());
    EXPECT_EQ(form.BmpTmpPath, dir.filePath("Tmp/BmpTmp.bmp"));
    EXPECT_TRUE(form.IBQueryEtc.CachedUpdates);
}

TEST_F(MainWindowTest, FontNameBoxShowsNothingUntilTextIsSelected) {
    TestDb db;
    IniWriteString(dir.filePath("TAVREL.ini"), "TAVREL", "F_DbPath01", db.Path());
    TTavrelForm form;
    form.show();
    const QComboBox* box = form.FormatBar1->ComboBox1;
    EXPECT_GT(box->count(), 0);
    EXPECT_EQ(box->currentIndex(), -1);
    EXPECT_TRUE(box->currentText().isEmpty());
}

TEST_F(MainWindowTest, MenusCarryTheirCaptionsAndHintsIntoTheStatusBar) {
    TTavrelForm form;
    EXPECT_EQ(form.MainMenuFile->title(), "ファイル(&F)");
    EXPECT_EQ(form.MainMenuHelp->title(), "ヘルプ(&H)");
    EXPECT_EQ(form.X1->text(), "終了(&X)");
    EXPECT_EQ(form.Firebird1->statusTip(), "Firebird日本ユーザー会のホームページに飛びます");
    EXPECT_EQ(form.StatusPanel0->text(), "F1ヘルプ");
    QStatusTipEvent tip(form.X1->statusTip());
    QCoreApplication::sendEvent(&form, &tip);
    EXPECT_EQ(form.StatusPanel1->text(), "終了します");
    form.N1->trigger();
    EXPECT_EQ(Help::LastRequest().command, Help::kHelpFinder);
}

TEST_F(MainWindowTest, ClosingRemovesTheTemporaryPicture) {
    TestDb db;
    IniWriteString(dir.filePath("TAVREL.ini"), "TAVREL", "F_DbPath01", db.Path());
    QString tmp;
    {
        TTavrelForm form;
        tmp = form.BmpTmpPath;
        QFile f(tmp);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_FALSE(tmp.isEmpty());
    EXPECT_FALSE(QFile::exists(tmp));
}

} // namespace
