#include "dialogs/SetDbfU.h"
#include "dialogs/KankyouU.h"
#include "platform/Help.h"
#include "support/ProgramFolder.h"
#include "support/Windows.h"
#include "ui/Hints.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

namespace {

class SetDbfTest : public ProgramFolderTest {
  protected:
    // A database file where the user will pick it.
    QString MakeDatabaseFile(const QString& folder) {
        QDir().mkpath(dir.filePath(folder));
        const QString path = dir.filePath(folder + "/TAVREL.FDB");
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return path;
    }
    // Picks a file in the open dialog the way a user does: types the name and accepts.
    static void PickInOpenDialog(const QString& path) {
        WhenModal<QFileDialog>([path](QFileDialog* d) {
            d->selectFile(path);
            static_cast<QDialog*>(d)->accept();
        });
    }
};

TEST_F(SetDbfTest, OpensWithTheLocationInUse) {
    Start({{"F_DbPath01", "/srv/labels/TAVREL.FDB"}});
    TSetDbfForm form;
    EXPECT_EQ(form.windowTitle(), "Tavrel Ver.2.0.1．．．データベース位置設定");
    EXPECT_EQ(form.size(), QSize(453, 128));
    EXPECT_EQ(form.Edit1->text(), "/srv/labels/TAVREL.FDB");
    EXPECT_TRUE(form.Edit1->isReadOnly());
    EXPECT_EQ(form.Edit1->palette().color(QPalette::Text), QColor(0, 0, 255));
    EXPECT_EQ(Hints::HelpContextOf(&form), 6);
    EXPECT_EQ(Hints::HintOf(form.SetBtn), "データベースの位置を指定します");
    EXPECT_EQ(Hints::HintOf(form.BitBtn2), "設定を保存します");
    EXPECT_EQ(Hints::HintOf(form.BitBtn1), "中止します");
}

TEST_F(SetDbfTest, FirstStartChoosingTheFileStoresItAndSaysSo) {
    Start();
    const QString db = MakeDatabaseFile("labels");
    QDir::setCurrent(dir.filePath("labels"));
    QString startedIn;
    WhenModal<TKankyouForm>([&](TKankyouForm* k) {
        WhenModal<TSetDbfForm>([&](TSetDbfForm* d) {
            EXPECT_EQ(d->Edit1->text(), "");
            WhenModal<QFileDialog>([&](QFileDialog* f) {
                // The path as set: an empty one reads as the current folder only through QDir.
                startedIn = f->directory().path();
                f->selectFile(db);
                static_cast<QDialog*>(f)->accept();
            });
            d->SetBtn->click();
            EXPECT_EQ(d->Edit1->text(), db);
            d->BitBtn2->click();
            WhenModal<TKankyouForm>([](TKankyouForm* k2) { k2->BitBtn1->click(); });
        });
        k->SpeedButton3->click();
    });
    EXPECT_TRUE(KankyouExecute());
    EXPECT_EQ(startedIn, QDir(dir.filePath("labels")).absolutePath());
    EXPECT_EQ(shown, QStringList({"データベースの位置が設定されました。",
                                  "設定値は再起動後に有効になります。"}));
    EXPECT_EQ(Stored("F_DbPath01"), db);
    EXPECT_EQ(Stored("F_DbDir001"), dir.filePath("labels"));
    QDir::setCurrent(QDir::tempPath());
}

TEST_F(SetDbfTest, OpenDialogIsSetUpForTheDatabaseFile) {
    const QString db = MakeDatabaseFile("old");
    Start({{"F_DbPath01", db}});
    TSetDbfForm form;
    WhenModal<QFileDialog>([&](QFileDialog* f) {
        EXPECT_EQ(f->windowTitle(), "Tavrel Ver.2.0.1．．．データベース位置指定");
        EXPECT_EQ(f->nameFilters(), QStringList{"Tavrel Ver.2.0.1 データベース (TAVREL.FDB)"});
        EXPECT_EQ(f->directory().absolutePath(), QDir(dir.filePath("old")).absolutePath());
        EXPECT_EQ(f->fileMode(), QFileDialog::ExistingFile);
        auto* buttons = f->findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        ASSERT_NE(buttons->button(QDialogButtonBox::Help), nullptr);
        buttons->button(QDialogButtonBox::Help)->click();
        EXPECT_EQ(Help::LastRequest().context, 6);
        f->reject();
    });
    form.SetBtnClick();
    EXPECT_EQ(form.Edit1->text(), db); // cancelled: unchanged
    // A second run keeps a single Help button.
    WhenModal<QFileDialog>([](QFileDialog* f) {
        auto* buttons = f->findChild<QDialogButtonBox*>();
        int help = 0;
        for (QAbstractButton* b : buttons->buttons())
            help += buttons->buttonRole(b) == QDialogButtonBox::HelpRole;
        EXPECT_EQ(help, 1);
        f->reject();
    });
    form.SetBtnClick();
}

TEST_F(SetDbfTest, SameFileWritesNothingAndShowsNothing) {
    const QString db = MakeDatabaseFile("same");
    Start({{"F_DbPath01", db}, {"F_DbDir001", "kept"}});
    const QByteArray before = IniBytes();
    WhenModal<TSetDbfForm>([&](TSetDbfForm* d) {
        PickInOpenDialog(db);
        d->SetBtn->click();
        d->BitBtn2->click();
    });
    EXPECT_FALSE(SetDbfExecute());
    EXPECT_EQ(IniBytes(), before);
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(SetDbfTest, CancelAfterChoosingWritesNothing) {
    Start();
    const QString db = MakeDatabaseFile("new");
    const QByteArray before = IniBytes();
    WhenModal<TSetDbfForm>([&](TSetDbfForm* d) {
        PickInOpenDialog(db);
        d->SetBtn->click();
        EXPECT_EQ(d->Edit1->text(), db);
        d->BitBtn1->click();
    });
    EXPECT_FALSE(SetDbfExecute());
    EXPECT_EQ(IniBytes(), before);
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(SetDbfTest, ComparisonIsExactAndTheRunningLocationIsKept) {
    Start({{"F_DbPath01", "/srv/Labels/TAVREL.FDB"}});
    TSetDbfForm form;
    form.Edit1->setText("/srv/labels/TAVREL.FDB");
    EXPECT_TRUE(form.SetDbfSave());
    EXPECT_EQ(Settings::DbPath, "/srv/Labels/TAVREL.FDB");
    EXPECT_EQ(Settings::DbDir, "/srv/labels");
    EXPECT_EQ(Stored("F_DbPath01"), "/srv/labels/TAVREL.FDB");
}

TEST_F(SetDbfTest, UnwritableFileStillReportsTheLocationAsSet) {
    Start();
    Settings::IniFileName = dir.filePath("gone/TAVREL.ini");
    TSetDbfForm form;
    form.Edit1->setText("/srv/TAVREL.FDB");
    EXPECT_TRUE(form.SetDbfSave());
    EXPECT_EQ(shown, QStringList{"データベースの位置が設定されました。"});
}

TEST(SetDbfFolderPart, KeepsTheFolderWithoutTrailingDelimiter) {
    EXPECT_EQ(TSetDbfForm::FolderPart("/srv/labels/TAVREL.FDB"), "/srv/labels");
    EXPECT_EQ(TSetDbfForm::FolderPart("/TAVREL.FDB"), "/");
    EXPECT_EQ(TSetDbfForm::FolderPart("TAVREL.FDB"), "");
    EXPECT_EQ(TSetDbfForm::FolderPart(""), "");
    EXPECT_EQ(TSetDbfForm::FolderPart("dbhost:/srv/TAVREL.FDB"), "dbhost:/srv");
}

} // namespace
