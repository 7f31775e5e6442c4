#include "app/TavrelU.h"

#include "app/Settings.h"
#include "data/DbConnect.h"
#include "platform/Help.h"
#include "platform/MessageService.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QUrl>
#include <QVBoxLayout>

TTavrelForm* TavrelForm = nullptr;

namespace {

QFrame* MakePanel(QWidget* parent, const QString& name, const QRect& geometry,
                  QFrame::Shadow shadow = QFrame::Raised) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | shadow);
    panel->setLineWidth(1);
    panel->setGeometry(geometry);
    return panel;
}

QAction* AddItem(QMenu* menu, const QString& name, const QString& caption, const QString& hint) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setStatusTip(hint);
    return action;
}

} // namespace

QString TTavrelForm::Caption() {
    return QStringLiteral("Wenlo 印刷ユーティリティー．．．Tavrel Ver.2.0.1");
}

TTavrelForm::TTavrelForm(QWidget* parent)
    : QMainWindow(parent), IBQueryCard(&IBDatabase1, &IBTransaction1),
      IBQueryEtc(&IBDatabase1, &IBTransaction1) {
    TavrelForm = this;
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    CreateMenus();
    CreateClientArea();
    FormCreate();
}

TTavrelForm::~TTavrelForm() {
    FormDestroy();
    if (TavrelForm == this)
        TavrelForm = nullptr;
}

void TTavrelForm::CreateMenus() {
    MainMenuFile = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    K1 = AddItem(MainMenuFile, QStringLiteral("K1"), QStringLiteral("環境設定(&K)"),
                 QStringLiteral("環境を設定します"));
    // The environment dialog is not part of this build yet; the item must not pretend.
    K1->setEnabled(false);
    MainMenuFile->addSeparator();
    X1 = AddItem(MainMenuFile, QStringLiteral("X1"), QStringLiteral("終了(&X)"),
                 QStringLiteral("終了します"));
    MainMenuHelp = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    N1 = AddItem(MainMenuHelp, QStringLiteral("N1"), QStringLiteral("ヘルプ"),
                 QStringLiteral("ヘルプを表示します"));
    MainMenuHelp->addSeparator();
    WenloHomePage1 = AddItem(MainMenuHelp, QStringLiteral("WenloHomePage1"),
                             QStringLiteral("Wenlo HomePage"), QStringLiteral("最新情報"));
    mailtoWenlo1 = AddItem(MainMenuHelp, QStringLiteral("mailtoWenlo1"),
                           QStringLiteral("Mail to Wenlo"), QStringLiteral("問合せ"));
    MainMenuHelp->addSeparator();
    Firebird1 =
        AddItem(MainMenuHelp, QStringLiteral("Firebird1"), QStringLiteral("Firebird日本ユーザー会"),
                QStringLiteral("Firebird日本ユーザー会のホームページに飛びます"));
    MainMenuHelp->addSeparator();
    N6 = AddItem(MainMenuHelp, QStringLiteral("N6"), QStringLiteral("バージョン情報"),
                 QStringLiteral("バージョン情報表示"));
    N6->setEnabled(false); // the About box comes with the dialogs
    connect(X1, &QAction::triggered, this, &TTavrelForm::X1Click);
    connect(N1, &QAction::triggered, this, &TTavrelForm::N1Click);
    connect(WenloHomePage1, &QAction::triggered, this, &TTavrelForm::WenloHomePage1Click);
    connect(mailtoWenlo1, &QAction::triggered, this, &TTavrelForm::mailtoWenlo1Click);
    connect(Firebird1, &QAction::triggered, this, &TTavrelForm::Firebird1Click);
}

void TTavrelForm::CreateClientArea() {
    ClientArea = new QWidget(this);
    ClientArea->setObjectName(QStringLiteral("ClientArea"));
    ClientArea->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(ClientArea);
    ToolBar1 = MakePanel(ClientArea, QStringLiteral("ToolBar1"), QRect(0, 0, kClientWidth, 29));
    GroupBox1 = new QGroupBox(ClientArea);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(4, 31, 333, 81);
    Panel3 =
        MakePanel(ClientArea, QStringLiteral("Panel3"), QRect(4, 116, 333, 225), QFrame::Sunken);
    Panel1 = MakePanel(ClientArea, QStringLiteral("Panel1"), QRect(4, 345, 333, 46));
    Panel4 = MakePanel(ClientArea, QStringLiteral("Panel4"), QRect(341, 31, 219, 360));
    CreateStatusBar();
    setFixedSize(sizeHint());
}

void TTavrelForm::CreateStatusBar() {
    StatusBar1 = new QStatusBar(ClientArea);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setGeometry(0, kClientHeight - 21, kClientWidth, 21);
    StatusPanel0 = new QLabel(QStringLiteral("F1ヘルプ"));
    StatusPanel0->setAlignment(Qt::AlignCenter);
    StatusPanel0->setFixedWidth(60);
    StatusPanel1 = new QLabel;
    StatusBar1->addWidget(StatusPanel0);
    StatusBar1->addWidget(StatusPanel1, 1);
}

void TTavrelForm::FormCreate() {
    try {
        // The picture window is created here once the label picture is built in.
        Settings::ReadSettings();
        ShowHint = Settings::HintShow;
        setWindowTitle(Caption());
        ConnectDatabase(IBDatabase1, IBTransaction1);
        // The sheet list, the design list and its update statements come here.
        PrepareEtcQuery();
        BmpTmpPath = Settings::TmpPath + QStringLiteral("/BmpTmp.bmp");
        // The font list is loaded here once the formatting toolbar is built in.
    } catch (const std::exception& e) {
        Messages::ShowError(ExceptionText(e), this);
    }
}

void TTavrelForm::PrepareEtcQuery() {
    IBQueryEtc.Close();
    IBQueryEtc.SetDatabase(&IBDatabase1);
    IBQueryEtc.SetTransaction(&IBTransaction1);
    IBQueryEtc.CachedUpdates = true;
    IBQueryEtc.SQL.clear();
    IBQueryEtc.ClearParams();
}

bool TTavrelForm::FormCloseQuery() {
    setWindowState(Qt::WindowNoState);
    return true;
}

void TTavrelForm::FormDestroy() {
    if (!BmpTmpPath.isEmpty())
        QFile::remove(BmpTmpPath);
}

void TTavrelForm::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

bool TTavrelForm::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        ShowHintText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TTavrelForm::ShowHintText(const QString& hint) {
    StatusPanel1->setText(hint.section(QLatin1Char('|'), 0, 0));
}

void TTavrelForm::X1Click() {
    close();
}

void TTavrelForm::N1Click() {
    Help::HelpCommand(Help::kHelpFinder, 0);
}

void TTavrelForm::WenloHomePage1Click() {
    ShellOpen(Links::kMakerHomePage);
}

void TTavrelForm::mailtoWenlo1Click() {
    ShellOpen(Links::kMakerMail);
}

void TTavrelForm::Firebird1Click() {
    ShellOpen(Links::kFirebirdJapan);
}

bool TTavrelForm::ShellOpen(const QString& target) {
    return QDesktopServices::openUrl(QUrl::fromUserInput(target));
}
