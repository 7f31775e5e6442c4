#include "dialogs/KankyouU.h"

#include "controls/ColorBox.h"
#include "controls/CtrlsEx.h"
#include "controls/UpDown.h"
#include "dialogs/DialogParts.h"
#include "dialogs/SetDbfU.h"
#include "platform/Error.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"
#include "ui/Hints.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

using namespace DialogParts;

TKankyouForm::TKankyouForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("KankyouForm"));
    setWindowTitle(QStringLiteral("．．．環境設定"));
    MakeFixedDialog(this, QSize(kClientWidth, kClientHeight));
    CreateHintGroup();
    GroupBox11 = MakeGroup(this, QStringLiteral(" データベース位置 "), QRect(8, 124, 365, 56),
                           QStringLiteral("データベースの位置を設定します"));
    SpeedButton3 = MakeButton(GroupBox11, QStringLiteral("設 定"), QRect(14, 20, 96, 26));
    BitBtn1 = MakeButton(this, QStringLiteral("OK"), QRect(206, 190, 80, 27),
                         QStringLiteral("設定を保存します"));
    BitBtn2 = MakeButton(this, QStringLiteral("キャンセル"), QRect(293, 190, 80, 27),
                         QStringLiteral("中止します"));
    for (QPushButton* b : {BitBtn1, BitBtn2})
        b->setFocusPolicy(Qt::ClickFocus);
    const HintStatus status = MakeHintStatus(this, kHelpContext);
    StatusBar1 = status.bar;
    HintPanel = status.hintPanel;
    ApplicationEvents1 = status.events;
    ConnectOkCancel(this, BitBtn1, BitBtn2);
    connect(HintCheckBox, &QCheckBox::clicked, this, &TKankyouForm::HintCheckBoxClick);
    connect(SpeedButton3, &QPushButton::clicked, this, &TKankyouForm::SpeedButton3Click);
    FormCreate();
}

void TKankyouForm::CreateHintGroup() {
    GroupBox5 = MakeGroup(this, QStringLiteral(" ポップアップヒント "), QRect(8, 6, 365, 112),
                          QStringLiteral("ポップアップヒントの表示を設定します"));
    GroupBox9 = MakeGroup(GroupBox5, QStringLiteral(" 表 示 "), QRect(10, 22, 92, 78));
    HintCheckBox = new QCheckBox(QStringLiteral("表示する"), GroupBox9);
    HintCheckBox->setGeometry(12, 32, 74, 22);
    GroupBox6 = MakeGroup(GroupBox5, QStringLiteral(" 表示時間 "), QRect(110, 22, 100, 78));
    EditEx1 = new TEditEx(GroupBox6);
    EditEx1->setGeometry(14, 32, 40, 22);
    EditEx1->SetAlignment(Qt::AlignCenter);
    EditEx1->SetText(QStringLiteral("0"));
    UpDown1 = new TUpDown(0, 100, GroupBox6);
    UpDown1->setGeometry(54, 32, 16, 22);
    UpDown1->SetWrap(true);
    UpDown1->SetAssociate(EditEx1);
    Label6 = new QLabel(QStringLiteral("秒"), GroupBox6);
    Label6->setGeometry(76, 32, 16, 22);
    GroupBox7 = MakeGroup(GroupBox5, QStringLiteral(" 表示色 "), QRect(218, 22, 137, 78));
    ColorBox1 = new TColorBox(GroupBox7);
    ColorBox1->setGeometry(8, 32, 121, 22);
}

void TKankyouForm::FormCreate() {
    Hints::SetShowHints(this, Settings::HintShow);
    setWindowTitle(kCaptionPrefix + windowTitle());
    HintCheckBox->setChecked(Settings::HintShow);
    ColorBox1->SetSelected(Settings::HintColor);
    UpDown1->SetPosition(Settings::HintTime / 1000);
    HintCheckBoxClick();
}

void TKankyouForm::HintCheckBoxClick() {
    const bool on = HintCheckBox->isChecked();
    for (QWidget* w :
         std::initializer_list<QWidget*>{GroupBox6, EditEx1, Label6, UpDown1, GroupBox7, ColorBox1})
        w->setEnabled(on);
}

bool TKankyouForm::FormCloseQuery() {
    setWindowState(Qt::WindowNoState);
    return true;
}

void TKankyouForm::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

void TKankyouForm::SpeedButton3Click() {
    try {
        if (SetDbfExecute())
            Messages::Ask(QStringLiteral("設定値は再起動後に有効になります。"),
                          Messages::Buttons::Ok, this);
    } catch (const std::exception& e) {
        Messages::ShowError(ExceptionText(e), this);
    }
}

bool TKankyouForm::KankyouSave() {
    try {
        const QString& file = Settings::IniFileName;
        Settings::HintShow = HintCheckBox->isChecked();
        IniWriteBool(file, Settings::kSection, QStringLiteral("HintShow"), Settings::HintShow);
        Settings::HintTime = static_cast<qint16>(UpDown1->Position()) * 1000;
        IniWriteInteger(file, Settings::kSection, QStringLiteral("HintTime"), Settings::HintTime);
        Settings::HintColor = ColorBox1->Selected().value_or(static_cast<int>(0xFF000000u));
        IniWriteInteger(file, Settings::kSection, QStringLiteral("HintColor"), Settings::HintColor);
    } catch (...) {
        throw EError(QStringLiteral("IniFile Error"));
    }
    return true;
}

bool KankyouExecute() {
    TKankyouForm form(QApplication::activeWindow());
    return form.exec() == QDialog::Accepted && form.KankyouSave();
}
