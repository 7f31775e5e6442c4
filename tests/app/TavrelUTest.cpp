#include "app/TavrelU.h"
#include "dialogs/AboutU.h"
#include "dialogs/KankyouU.h"
#include "labels/FormatBar.h"
#include "platform/Help.h"
#include "platform/Hints.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"
#include "support/ProgramFolder.h"
#include "support/TestDb.h"
#include "support/Windows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using MainWindowTest = ProgramFolderTest;

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

TEST_F(MainWindowTest, EnvironmentDialogSwitchesTheMainWindowsTooltipsAtOnce) {
    TTavrelForm form;
    EXPECT_TRUE(form.K1->isEnabled());
    EXPECT_TRUE(form.N6->isEnabled());
    EXPECT_TRUE(Hints::ShowHints(&form));
    WhenModal<TKankyouForm>([](TKankyouForm* k) {
        k->HintCheckBox->click();
        k->BitBtn1->click();
    });
    form.K1->trigger();
    EXPECT_FALSE(Settings::HintShow);
    EXPECT_FALSE(Hints::ShowHints(&form));
    EXPECT_EQ(IniReadString(dir.filePath("TAVREL.ini"), "TAVREL", "HintShow", "?"), "0");
    // Cancel changes nothing.
    WhenModal<TKankyouForm>([](TKankyouForm* k) {
        k->HintCheckBox->click();
        k->BitBtn2->click();
    });
    form.K1->trigger();
    EXPECT_FALSE(Hints::ShowHints(&form));
}

TEST_F(MainWindowTest, VersionItemOpensTheAboutBox) {
    TTavrelForm form;
    shown.clear();
    QString title;
    WhenModal<TAboutBox>([&](TAboutBox* box) {
        title = box->windowTitle();
        box->OKButton->click();
    });
    form.N6->trigger();
    EXPECT_EQ(title, "ﾊﾞｰｼﾞｮﾝ情報");
    EXPECT_EQ(shown.size(), 1); // no database: the database layer's message first
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
