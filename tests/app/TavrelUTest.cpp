#include "app/TavrelU.h"
#include "controls/DBGrid.h"
#include "dialogs/AboutU.h"
#include "dialogs/KankyouU.h"
#include "labels/DBRichEdit.h"
#include "labels/FormatBar.h"
#include "labels/PictureMenu.h"
#include "labels/TextFlowMenu.h"
#include "platform/Help.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/RichFormat.h"
#include "platform/Settings.h"
#include "print/CardSelectU.h"
#include "print/ComposeFixture.h"
#include "print/VerticalView.h"
#include "sheets/CardSetU.h"
#include "support/ProgramFolder.h"
#include "support/TestDb.h"
#include "support/Windows.h"
#include "ui/Hints.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

using MainWindowTest = ProgramFolderTest;

TEST_F(MainWindowTest, FirstStartReportsTheMissingDatabaseAndStillOpens) {
    TTavrelForm form;
    form.show();
    EXPECT_EQ(shown,
              QStringList{"Database Connect Error\r\rデータベースの場所が設定されていません。"});
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

// The main window over two designs and one sheet, printers "Office" only; the print dialog is
// looked at and closed by the function given to Print.
class PrintEntryTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        IniWriteString(dir.filePath("TAVREL.ini"), "TAVREL", "F_DbPath01", tdb.Path());
        tdb.Execute("INSERT INTO TAVRELSET (ID, PAPERNAME, PAPERTYPE, RETSU, DAN) "
                    "VALUES (0, 'LB-10', 'A4', 2, 5)");
        tdb.Execute("INSERT INTO TAVREL (ID, NAME, PAPERNAME, G_SHOW) VALUES (0, 'alpha', 'x', 1)");
        tdb.Execute("INSERT INTO TAVREL (ID, NAME, PAPERNAME, G_SHOW) "
                    "VALUES (0, 'beta', 'LB-10', 1)");
        form = std::make_unique<TTavrelForm>();
        form->show();
    }
    void TearDown() override {
        form.reset();
        MainWindowTest::TearDown();
    }
    // Runs the trigger (the print button unless told otherwise); while the dialog is open,
    // look runs and the dialog is closed. True when the dialog opened.
    bool Print(const std::function<void()>& look = {}, std::function<void()> trigger = {}) {
        bool opened = false;
        QTimer::singleShot(0, [&] {
            if (!CardSelectForm)
                return;
            opened = true;
            if (look)
                look();
            CardSelectForm->BitBtn1->click();
        });
        if (trigger)
            trigger();
        else
            form->PrintBtn->click();
        return opened;
    }
    QString Current() { return form->IBQueryCard.FieldByName("NAME").AsString(); }
    TestDb tdb;
    ComposeFixture::UsePrinters printers{{"Office"}};
    std::unique_ptr<TTavrelForm> form;
};

TEST_F(PrintEntryTest, PendingEditsAreSavedThenTheDesignGoesToTheDialogAndBack) {
    form->IBQueryCard.Locate("NAME", "beta");
    form->IBQueryCard.Edit();
    form->IBQueryCard.FieldByName("NAME").SetValue("gamma");
    form->IBQueryCard.Post();
    QString title, snapshotName;
    const bool opened = Print([&] {
        title = CardSelectForm->windowTitle();
        Query snapshot;
        PrintSnapshot::Load(Settings::SnapshotPath, snapshot);
        snapshotName = snapshot.FieldByName("NAME").AsString();
    });
    EXPECT_TRUE(opened);
    EXPECT_TRUE(shown.isEmpty()) << shown.join('\n').toStdString();
    EXPECT_EQ(title, QStringLiteral("Tavrel Ver.2.0.1 印刷設定．．．LB-10"));
    EXPECT_EQ(snapshotName, "gamma");
    EXPECT_EQ(tdb.Column("SELECT NAME FROM TAVREL ORDER BY NAME"), QStringList({"alpha", "gamma"}));
    EXPECT_FALSE(QFile::exists(Settings::SnapshotPath));
    EXPECT_EQ(Current(), "gamma");
    EXPECT_FALSE(form->IBQueryCard.UpdatesPending());
}

TEST_F(PrintEntryTest, KeysFormatTheTextThenSaveThenPrint) {
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->IBQueryCard.Edit();
    form->DBRichEdit1->setPlainText("label");
    form->DBRichEdit1->setFocus();
    form->DBRichEdit1->selectAll();
    // A shortcut clicks its button the way a key click animates it: a moment later.
    const auto press = [](QWidget* target, Qt::Key key) {
        QTest::keyClick(target, key, Qt::ControlModifier);
        QTest::qWait(300);
    };
    for (Qt::Key key : {Qt::Key_B, Qt::Key_I, Qt::Key_U})
        press(form->DBRichEdit1, key);
    const QTextCharFormat format = form->DBRichEdit1->SelAttributes();
    EXPECT_TRUE(RichFormat::IsBold(format));
    EXPECT_TRUE(format.fontItalic());
    EXPECT_TRUE(format.fontUnderline());
    press(form->DBRichEdit1, Qt::Key_S);
    EXPECT_EQ(form->IBQueryCard.State(), DataSetState::Browse);
    bool opened = false;
    WhenModal<TCardSelectForm>([&opened](TCardSelectForm* dialog) {
        opened = true;
        dialog->BitBtn1->click();
    });
    press(form.get(), Qt::Key_P);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(shown.isEmpty()) << shown.join('\n').toStdString();
}

// Dark pixels of the vertical view and the leftmost of them.
std::pair<int, int> ViewInk(TVerticalView* view) {
    const QImage image = view->grab().toImage();
    int count = 0, left = image.width();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 100) {
                ++count;
                left = std::min(left, x);
            }
    return {count, left};
}

TEST_F(PrintEntryTest, TextFlowComesFromButtonOrMenuAndTheViewBesideFollowsTheTyping) {
    form->IBQueryCard.Locate("NAME", "beta");
    TTextFlowMenu* menu = form->TextFlowMenu1;
    EXPECT_TRUE(menu->Yokogaki1->isChecked());
    EXPECT_FALSE(form->VerticalView1->isVisible());
    form->FormatBar1->TextFlowBtn->click();
    EXPECT_EQ(form->IBQueryCard.State(), DataSetState::Edit);
    const auto stored = [this] { return form->IBQueryCard.FieldByName("CARDTEXT").AsString(); };
    EXPECT_TRUE(stored().contains("\\stextflow1"));
    EXPECT_TRUE(menu->Tategaki1->isChecked());
    ASSERT_TRUE(form->VerticalView1->isVisible());
    EXPECT_EQ(form->VerticalView1->width(), 378 + 24); // a sheet without sizes: a postcard
    const auto before = ViewInk(form->VerticalView1);
    form->DBRichEdit1->setFocus();
    QInputMethodEvent typed;
    typed.setCommitString(QStringLiteral("東京都"));
    QCoreApplication::sendEvent(form->DBRichEdit1, &typed);
    const auto after = ViewInk(form->VerticalView1);
    EXPECT_GT(after.first, before.first + 50);
    EXPECT_GT(after.second, form->VerticalView1->width() * 3 / 4); // one column at the right
    menu->KanjiNumerals1->trigger();
    EXPECT_TRUE(stored().contains("KanjiNumerals"));
    form->IBQueryCard.Post();
    form->IBQueryCard.Locate("NAME", "alpha");
    EXPECT_FALSE(form->FormatBar1->TextFlowBtn->isChecked());
    EXPECT_FALSE(menu->KanjiNumerals1->isChecked());
    form->IBQueryCard.Locate("NAME", "beta");
    EXPECT_TRUE(form->FormatBar1->TextFlowBtn->isChecked());
    menu->Yokogaki1->trigger();
    EXPECT_FALSE(stored().contains("\\stextflow1"));
    EXPECT_FALSE(form->VerticalView1->isVisible());
}

TEST_F(PrintEntryTest, ADoubleClickOnTheListPrintsTooButNotWhileEditing) {
    const auto doubleClick = [this] {
        emit form->DBGrid1->doubleClicked(form->DBGrid1->model()->index(0, 0));
    };
    EXPECT_TRUE(Print({}, doubleClick));
    form->IBQueryCard.Edit();
    EXPECT_FALSE(form->PrintBtn->isEnabled());
    EXPECT_FALSE(Print({}, doubleClick));
    form->IBQueryCard.Cancel();
    EXPECT_TRUE(form->PrintBtn->isEnabled());
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(PrintEntryTest, ANewDesignNotYetSavedIsNotFoundButStaysCurrentAndPrintsNext) {
    form->IBQueryCard.Append();
    form->IBQueryCard.FieldByName("NAME").SetValue("new");
    form->IBQueryCard.Post();
    EXPECT_FALSE(Print());
    EXPECT_EQ(shown, QStringList{QStringLiteral("印刷対象のデータがありません。")});
    EXPECT_EQ(tdb.Column("SELECT NAME FROM TAVREL ORDER BY NAME"),
              QStringList({"alpha", "beta", "new"}));
    EXPECT_EQ(form->IBQueryCard.RecordCount(), 3);
    EXPECT_EQ(Current(), "new");
    QCoreApplication::processEvents(); // the missed entry's dialog driver runs idle
    EXPECT_TRUE(Print());
    EXPECT_EQ(Current(), "new");
}

TEST_F(PrintEntryTest, ASnapshotThatCannotBeWrittenStopsTheEntry) {
    form->IBQueryCard.Locate("NAME", "beta");
    QDir(dir.filePath("Tmp")).removeRecursively();
    EXPECT_FALSE(Print());
    EXPECT_EQ(shown, QStringList{"Print...Error"});
    EXPECT_EQ(Current(), "beta");
}

TEST_F(MainWindowTest, GazouBtnFollowsTheFormattingButtonsAndPopsThePictureMenu) {
    TTavrelForm form;
    form.show();
    ASSERT_NE(form.GazouBtn, nullptr);
    EXPECT_EQ(form.GazouBtn->statusTip(), "画像メニューを表示します");
    EXPECT_GT(form.GazouBtn->x(), form.FormatBar1->NormalBtn->geometry().right());
    EXPECT_LT(form.GazouBtn->geometry().right(), form.RecCopyBtn->x());
    // Unlike the list's buttons it stays usable without a database.
    EXPECT_TRUE(form.GazouBtn->isEnabled());
    form.GazouBtn->click();
    QMenu* popup = form.PictureMenu1->BmpPopup;
    EXPECT_TRUE(popup->isVisible());
    EXPECT_TRUE(popup->geometry().contains(QCursor::pos()) ||
                popup->geometry().topLeft() == QCursor::pos());
    popup->close();
}

// The sheet button's save fails (the name is too long for its column): the box says so, the sheet
// editor does not open, and the window goes on with the change still cached.
TEST_F(PrintEntryTest, AFailedSaveBehindTheSheetButtonIsShownAndTheWindowGoesOn) {
    bool opened = false;
    const auto closeEditor = [&opened] {
        if (CardSetForm) {
            opened = true;
            CardSetForm->close();
        }
    };
    form->IBQueryCard.Locate("NAME", "beta");
    form->IBQueryCard.Edit();
    form->IBQueryCard.FieldByName("NAME").SetValue(QString(101, QLatin1Char('x')));
    form->IBQueryCard.Post();
    QTimer::singleShot(0, closeEditor);
    form->PaperBtn->click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(opened);
    EXPECT_EQ(shown.size(), 1);
    EXPECT_EQ(captions, QStringList{"Tavrel"});
    EXPECT_TRUE(form->IBQueryCard.UpdatesPending());

    form->IBQueryCard.Edit();
    form->IBQueryCard.FieldByName("NAME").SetValue("fixed");
    form->IBQueryCard.Post();
    QTimer::singleShot(0, closeEditor);
    form->PaperBtn->click();
    EXPECT_TRUE(opened);
    EXPECT_EQ(shown.size(), 1);
    EXPECT_EQ(tdb.Column("SELECT NAME FROM TAVREL ORDER BY NAME"), QStringList({"alpha", "fixed"}));
}

} // namespace
