#include "dialogs/SetDbfU.h"

#include "dialogs/DialogParts.h"
#include "platform/Error.h"
#include "platform/Help.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"
#include "ui/Hints.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace DialogParts;

TSetDbfForm::TSetDbfForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SetDbfForm"));
    setWindowTitle(QStringLiteral("．．．データベース位置設定"));
    MakeFixedDialog(this, QSize(kClientWidth, kClientHeight));
    Label1 = new QLabel(QStringLiteral("データベースの位置を指定して下さい"), this);
    Label1->setGeometry(12, 10, 429, 18);
    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(12, 32, 429, 22);
    Edit1->setReadOnly(true);
    QPalette blue = Edit1->palette();
    blue.setColor(QPalette::Text, QColor(0, 0, 255));
    Edit1->setPalette(blue);
    SetBtn = MakeButton(this, QStringLiteral("位置指定(&D)"), QRect(12, 68, 110, 27),
                        QStringLiteral("データベースの位置を指定します"));
    BitBtn2 = MakeButton(this, QStringLiteral("OK"), QRect(274, 68, 80, 27),
                         QStringLiteral("設定を保存します"));
    BitBtn1 = MakeButton(this, QStringLiteral("キャンセル"), QRect(361, 68, 80, 27),
                         QStringLiteral("中止します"));
    DBSetDlg = new QFileDialog(this);
    DBSetDlg->setObjectName(QStringLiteral("DBSetDlg"));
    const HintStatus status = MakeHintStatus(this, kHelpContext);
    StatusBar1 = status.bar;
    HintPanel = status.hintPanel;
    ApplicationEvents1 = status.events;
    ConnectOkCancel(this, BitBtn2, BitBtn1);
    connect(SetBtn, &QPushButton::clicked, this, &TSetDbfForm::SetBtnClick);
    FormCreate();
}

void TSetDbfForm::FormCreate() {
    Hints::SetShowHints(this, Settings::HintShow);
    Edit1->setText(Settings::DbPath);
    setWindowTitle(kCaptionPrefix + windowTitle());
}

QString TSetDbfForm::FolderPart(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return {};
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

void TSetDbfForm::ConfigureDBSetDlg() {
    DBSetDlg->setWindowTitle(kCaptionPrefix + QStringLiteral("．．．データベース位置指定"));
    // Our own dialog rather than the desktop's, so that it can carry the Help button.
    DBSetDlg->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::ReadOnly);
    DBSetDlg->setAcceptMode(QFileDialog::AcceptOpen);
    DBSetDlg->setFileMode(QFileDialog::ExistingFile);
    // Without a location yet the dialog would show the machine's root ("Computer").
    const QString folder = FolderPart(Edit1->text());
    DBSetDlg->setDirectory(folder.isEmpty() ? QDir::currentPath() : folder);
    DBSetDlg->setNameFilter(kCaptionPrefix + QStringLiteral(" データベース (TAVREL.FDB)"));
    DBSetDlg->selectFile(QStringLiteral("TAVREL.FDB"));
    Hints::SetHelpContext(DBSetDlg, kHelpContext);
    auto* buttons = DBSetDlg->findChild<QDialogButtonBox*>();
    if (buttons && !buttons->button(QDialogButtonBox::Help)) {
        buttons->addButton(QDialogButtonBox::Help)->setText(QStringLiteral("ヘルプ(&H)"));
        connect(buttons, &QDialogButtonBox::helpRequested, DBSetDlg,
                [] { Help::HelpContext(kHelpContext); });
    }
}

void TSetDbfForm::SetBtnClick() {
    ConfigureDBSetDlg();
    if (DBSetDlg->exec() == QDialog::Accepted && !DBSetDlg->selectedFiles().isEmpty())
        Edit1->setText(DBSetDlg->selectedFiles().first());
}

bool TSetDbfForm::SetDbfSave() {
    try {
        const QString text = Edit1->text();
        Settings::DbDir = FolderPart(text);
        if (text == Settings::DbPath)
            return false;
        const QString& file = Settings::IniFileName;
        IniWriteString(file, Settings::kSection, QStringLiteral("F_DbDir001"), Settings::DbDir);
        IniWriteString(file, Settings::kSection, QStringLiteral("F_DbPath01"), text);
    } catch (...) {
        throw EError(QStringLiteral("IniFile Error"));
    }
    Messages::ShowInformation(QStringLiteral("データベースの位置が設定されました。"), this);
    return true;
}

bool SetDbfExecute() {
    TSetDbfForm form(QApplication::activeWindow());
    return form.exec() == QDialog::Accepted && form.SetDbfSave();
}
