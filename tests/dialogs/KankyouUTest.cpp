#include "dialogs/KankyouU.h"
#include "controls/ColorBox.h"
#include "controls/CtrlsEx.h"
#include "controls/UpDown.h"
#include "dialogs/SetDbfU.h"
#include "support/ProgramFolder.h"
#include "support/Windows.h"
#include "ui/Hints.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace {

using KankyouTest = ProgramFolderTest;

TEST_F(KankyouTest, OpensWithItsCaptionSizeAndTheCurrentSettings) {
    Start({{"HintTime", "2500"}});
    TKankyouForm form;
    EXPECT_EQ(form.windowTitle(), "Tavrel Ver.2.0.1．．．環境設定");
    EXPECT_EQ(form.size(), QSize(381, 248));
    EXPECT_EQ(Hints::HelpContextOf(&form), 6);
    EXPECT_TRUE(form.HintCheckBox->isChecked());
    EXPECT_EQ(form.EditEx1->text(), "2"); // 2500 ms shown in whole seconds
    EXPECT_EQ(form.ColorBox1->currentText(), "ポップアップヒントの背景");
    EXPECT_EQ(form.HintPanel->text(), "");
    EXPECT_EQ(Hints::HintOf(form.EditEx1), "ポップアップヒントの表示を設定します");
    EXPECT_EQ(Hints::HintOf(form.SpeedButton3), "データベースの位置を設定します");
    EXPECT_EQ(form.BitBtn1->focusPolicy(), Qt::ClickFocus);
    EXPECT_TRUE(form.BitBtn1->isDefault());
    ASSERT_TRUE(form.KankyouSave());
    EXPECT_EQ(Settings::HintTime, 2000);
    EXPECT_EQ(Stored("HintTime"), "2000");
    EXPECT_EQ(Stored("HintColor"), "-16777192");
    EXPECT_EQ(Stored("HintShow"), "1");
}

TEST_F(KankyouTest, TimeWrapsAroundAtBothEndsAndFollowsWhatIsTyped) {
    Start({{"HintTime", "100000"}});
    TKankyouForm form;
    EXPECT_EQ(form.EditEx1->text(), "100");
    form.UpDown1->UpButton()->click();
    EXPECT_EQ(form.EditEx1->text(), "0");
    form.UpDown1->DownButton()->click();
    EXPECT_EQ(form.EditEx1->text(), "100");
    form.EditEx1->setText("7");
    form.KankyouSave();
    EXPECT_EQ(Settings::HintTime, 7000);
    form.EditEx1->setText("ab"); // not a number: the last position holds
    form.KankyouSave();
    EXPECT_EQ(Settings::HintTime, 7000);
    form.EditEx1->setText("99999"); // outside the range: the last position holds too
    form.KankyouSave();
    EXPECT_EQ(Settings::HintTime, 7000);
}

TEST_F(KankyouTest, NegativeStoredTimeStartsAtZero) {
    Start({{"HintTime", "-2500"}});
    TKankyouForm form;
    EXPECT_EQ(form.EditEx1->text(), "0");
}

TEST_F(KankyouTest, UncheckingDisablesTimeAndColourAndStoresTheRestUnchanged) {
    Start({{"HintTime", "3000"}, {"HintColor", "255"}});
    TKankyouForm form;
    EXPECT_EQ(form.ColorBox1->currentText(), "赤");
    form.HintCheckBox->click();
    for (QWidget* w : std::initializer_list<QWidget*>{form.GroupBox6, form.EditEx1, form.Label6,
                                                      form.UpDown1, form.GroupBox7, form.ColorBox1})
        EXPECT_FALSE(w->isEnabled());
    EXPECT_TRUE(form.SpeedButton3->isEnabled());
    form.KankyouSave();
    EXPECT_FALSE(Settings::HintShow);
    EXPECT_EQ(Stored("HintShow"), "0");
    EXPECT_EQ(Stored("HintTime"), "3000");
    EXPECT_EQ(Stored("HintColor"), "255");
    form.HintCheckBox->click();
    EXPECT_TRUE(form.ColorBox1->isEnabled());
}

TEST_F(KankyouTest, ColourOutsideTheListSelectsNothingAndStoresTheNoColourValue) {
    Start({{"HintColor", "$123456"}});
    TKankyouForm form;
    EXPECT_EQ(form.ColorBox1->currentIndex(), -1);
    form.KankyouSave();
    EXPECT_EQ(Settings::HintColor, -16777216);
    EXPECT_EQ(Stored("HintColor"), "-16777216");
    form.ColorBox1->setCurrentIndex(form.ColorBox1->findText("スカイブルー"));
    form.KankyouSave();
    EXPECT_EQ(Settings::HintColor, 0xF0CAA6);
}

TEST_F(KankyouTest, ValuesChangeInMemoryEvenWhenTheFileCannotBeWritten) {
    Start();
    const QByteArray before = IniBytes();
    Settings::IniFileName = dir.filePath("gone/TAVREL.ini"); // no folder to write into
    TKankyouForm form;
    form.EditEx1->setText("9");
    form.HintCheckBox->click();
    EXPECT_TRUE(form.KankyouSave());
    EXPECT_EQ(Settings::HintTime, 9000);
    EXPECT_FALSE(Settings::HintShow);
    EXPECT_EQ(IniBytes(), before);
    EXPECT_FALSE(QFile::exists(Settings::IniFileName));
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(KankyouTest, OkStoresAndCancelLeavesEverythingAsItWas) {
    Start();
    const QByteArray before = IniBytes();
    WhenModal<TKankyouForm>([](TKankyouForm* f) {
        f->EditEx1->setText("5");
        f->BitBtn2->click();
    });
    EXPECT_FALSE(KankyouExecute());
    EXPECT_EQ(Settings::HintTime, 2000);
    EXPECT_EQ(IniBytes(), before);
    WhenModal<TKankyouForm>([](TKankyouForm* f) {
        f->EditEx1->setText("5");
        f->BitBtn1->click();
    });
    EXPECT_TRUE(KankyouExecute());
    EXPECT_EQ(Settings::HintTime, 5000);
    EXPECT_EQ(Stored("HintTime"), "5000");
}

TEST_F(KankyouTest, LocationSetThroughTheButtonStaysWhenTheDialogIsCancelled) {
    Start();
    WhenModal<TKankyouForm>([](TKankyouForm* f) {
        WhenModal<TSetDbfForm>([f](TSetDbfForm* d) {
            d->Edit1->setText("/srv/labels/TAVREL.FDB");
            d->BitBtn2->click();
            WhenModal<TKankyouForm>([](TKankyouForm* f2) { f2->BitBtn2->click(); });
        });
        f->SpeedButton3->click();
    });
    EXPECT_FALSE(KankyouExecute());
    EXPECT_EQ(shown, QStringList({"データベースの位置が設定されました。",
                                  "設定値は再起動後に有効になります。"}));
    EXPECT_EQ(Stored("F_DbPath01"), "/srv/labels/TAVREL.FDB");
    EXPECT_EQ(Stored("F_DbDir001"), "/srv/labels");
    EXPECT_EQ(Settings::DbPath, ""); // the running program keeps its database
    EXPECT_EQ(Settings::DbDir, "/srv/labels");
}

TEST_F(KankyouTest, ClosingIsAlwaysAllowed) {
    Start();
    TKankyouForm form;
    form.show();
    form.setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(TryClose(&form));
    EXPECT_EQ(form.windowState(), Qt::WindowNoState);
}

} // namespace
