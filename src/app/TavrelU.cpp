#include "app/TavrelU.h"

#include "app/CardList.h"
#include "controls/CapNavi.h"
#include "controls/DBControls.h"
#include "controls/DBGrid.h"
#include "controls/Hinted.h"
#include "controls/NaviGlyphs.h"
#include "data/DbConnect.h"
#include "data/IbFunc.h"
#include "dialogs/AboutU.h"
#include "dialogs/KankyouU.h"
#include "labels/DBRichEdit.h"
#include "labels/EditMenu.h"
#include "labels/FontList.h"
#include "labels/FormatBar.h"
#include "labels/ImageFormU.h"
#include "labels/PictureMenu.h"
#include "labels/SheetOutline.h"
#include "labels/TextFlowMenu.h"
#include "platform/Help.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"
#include "platform/ToolGlyphs.h"
#include "platform/Version.h"
#include "print/CardSelectU.h"
#include "print/MergePrintPart.h"
#include "print/VerticalView.h"
#include "printcore/PrintSnapshot.h"
#include "sheets/CardSetU.h"
#include "ui/Hints.h"
#include "ui/SlotGuard.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QInputDialog>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QScopeGuard>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolButton>
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

QToolButton* MakeToolButton(QWidget* bar, const QString& name, const QIcon& icon,
                            const QString& hint, int x) {
    auto* button = new QToolButton(bar);
    button->setObjectName(name);
    button->setIcon(icon);
    button->setAutoRaise(true);
    button->setGeometry(x, 3, 23, 22);
    SetHint(button, hint);
    return button;
}

QStringList MainCaptions(const char16_t* fifth) {
    return {QStringLiteral("最初"), QStringLiteral("前"),      QStringLiteral("次"),
            QStringLiteral("最後"), QString::fromUtf16(fifth), QStringLiteral("削除"),
            QStringLiteral("編集"), QStringLiteral("登録"),    QStringLiteral("取消")};
}

// The four bars share their own glyphs for insert, delete, edit, post and cancel.
void ShareGlyphs(TCaptionDBNavi* bar) {
    for (int i = 4; i <= 8; ++i)
        bar->SetButtonGlyph(static_cast<TNavigateBtn>(i), NaviGlyphs::Shared(i));
}

QAction* AddItem(QMenu* menu, const QString& name, const QString& caption, const QString& hint) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setStatusTip(hint);
    return action;
}

} // namespace

QString TTavrelForm::Caption() {
    return QStringLiteral("Wenlo 印刷ユーティリティー．．．") + TavrelVersionCaption();
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
    // The handlers and controls use the data members, which are destroyed after this body but
    // before the widget children; so they go first, and the data source's last signals reach
    // only what is alive.
    delete ApplicationEvents1;
    ApplicationEvents1 = nullptr;
    CardList.reset();
    delete ClientArea;
    ClientArea = nullptr;
    if (TavrelForm == this)
        TavrelForm = nullptr;
}

void TTavrelForm::CreateMenus() {
    MainMenuFile = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    K1 = AddItem(MainMenuFile, QStringLiteral("K1"), QStringLiteral("環境設定(&K)"),
                 QStringLiteral("環境を設定します"));
    MainMenuFile->addSeparator();
    X1 = AddItem(MainMenuFile, QStringLiteral("X1"), QStringLiteral("終了(&X)"),
                 QStringLiteral("終了します"));
    MainMenuEdit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    MainMenuFormat = menuBar()->addMenu(QStringLiteral("書式(&O)"));
    MainMenuMerge = menuBar()->addMenu(QStringLiteral("差し込み(&M)"));
    MergeField1 = AddItem(MainMenuMerge, QStringLiteral("MergeField1"),
                          QStringLiteral("差し込みフィールドの挿入(&I)..."),
                          QStringLiteral("住所録などの列をラベルに差し込むフィールドを挿入します"));
    connect(MergeField1, &QAction::triggered, this, Guarded(this, &TTavrelForm::MergeField1Click));
    Barcode1 =
        AddItem(MainMenuMerge, QStringLiteral("Barcode1"), QStringLiteral("バーコード(&B)..."),
                QStringLiteral("バーコードや QR コード、カスタマバーコードを挿入します"));
    connect(Barcode1, &QAction::triggered, this, Guarded(this, &TTavrelForm::Barcode1Click));
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
    connect(K1, &QAction::triggered, this, Guarded(this, &TTavrelForm::K1Click));
    connect(X1, &QAction::triggered, this, Guarded(this, &TTavrelForm::X1Click));
    connect(N1, &QAction::triggered, this, Guarded(this, &TTavrelForm::N1Click));
    connect(WenloHomePage1, &QAction::triggered, this,
            Guarded(this, &TTavrelForm::WenloHomePage1Click));
    connect(mailtoWenlo1, &QAction::triggered, this,
            Guarded(this, &TTavrelForm::mailtoWenlo1Click));
    connect(Firebird1, &QAction::triggered, this, Guarded(this, &TTavrelForm::Firebird1Click));
    connect(N6, &QAction::triggered, this, Guarded(this, &TTavrelForm::N6Click));
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
    Panel4 = MakePanel(ClientArea, QStringLiteral("Panel4"), QRect(341, 29, 223, 366));
    CreateToolButtons();
    CreateFields();
    CreateList();
    CreateNavigators();
    DBRichEdit1 = new TDBRichEdit(Panel3);
    DBRichEdit1->BarcodeColumns = [this] {
        return IBQueryCard.IsEmpty()
                   ? QStringList()
                   : TMergePrintPart::RememberedColumns(
                         IBQueryCard.FieldByName(QStringLiteral("ID")).AsString());
    };
    DBRichEdit1->setObjectName(QStringLiteral("DBRichEdit1"));
    DBRichEdit1->setGeometry(Panel3->contentsRect());
    DBRichEdit1->SetDataSource(&DSCard);
    DBRichEdit1->SetDataField(QStringLiteral("CardText"));
    FormatBar1 = new TFormatBar(ToolBar1, DBRichEdit1, this);
    SheetOutline1 = new TSheetOutline(&DSCard, DBRichEdit1);
    ImageForm = new TImageForm(Panel3, &DSCard);
    CreatePictureMenu();
    EditMenu1 = new TEditMenu(MainMenuEdit, DBRichEdit1, ImageForm, &DSCard);
    CreateVerticalView();
    CardList = std::make_unique<TCardList>(*this);
    CardList->OnRowShown = [this] { FormatBar1->UpdateFormatButtons(); };
    connect(RecCopyBtn, &QToolButton::clicked, CardList.get(),
            Guarded([this] { CardList->RecCopyBtnClick(); }, this));
    CardList->BindEvents();
    CreateStatusBar();
    ApplicationEvents1 = new TApplicationEvents(this);
    ApplicationEvents1->OnHint = [this] { ApplicationEvents1Hint(); };
    ApplicationEvents1->OnShowHint = [](Hints::HintInfo& info) { Hints::SetHintInfo(info, {}); };
    Hints::SetHelpContext(this, kHelpContext);
    setFixedSize(sizeHint());
}

// The text typed stays horizontal; a vertical design is shown set beside the window as well.
void TTavrelForm::CreateVerticalView() {
    TextFlowMenu1 = new TTextFlowMenu(MainMenuFormat, FormatBar1->TextFlowBtn, DBRichEdit1, this);
    VerticalView1 = new TVerticalView(
        DBRichEdit1, [this] { return DBRichEdit1->LabelOutline(); }, this);
    connect(DBRichEdit1, &TDBRichEdit::TextFlagsChanged, VerticalView1, &TVerticalView::Refresh);
    connect(DBRichEdit1, &TDBRichEdit::LabelOutlineChanged, VerticalView1, &TVerticalView::Refresh);
    VerticalView1->Refresh();
}

void TTavrelForm::CreateToolButtons() {
    RecCopyBtn = MakeToolButton(ToolBar1, QStringLiteral("RecCopyBtn"), ToolGlyphs::RecCopy(),
                                QStringLiteral("現在のレコードをコピーして挿入します"), 480);
    PaperBtn = MakeToolButton(ToolBar1, QStringLiteral("PaperBtn"), ToolGlyphs::Paper(),
                              QStringLiteral("印刷する用紙を設定します"), 508);
    PrintBtn = MakeToolButton(ToolBar1, QStringLiteral("PrintBtn"), ToolGlyphs::Print(),
                              QStringLiteral("印刷します"), 536);
    PrintBtn->setShortcut(QKeySequence::Print);
    connect(PaperBtn, &QToolButton::clicked, this, Guarded(this, &TTavrelForm::PaperBtnClick));
    connect(PrintBtn, &QToolButton::clicked, this, Guarded(this, &TTavrelForm::PrintBtnClick));
}

// GazouBtn follows the formatting buttons, set apart by a separator.
void TTavrelForm::CreatePictureMenu() {
    auto* separator = new QFrame(ToolBar1);
    separator->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    separator->setGeometry(FormatBar1->Right() + 2, 3, 2, 22);
    GazouBtn = MakeToolButton(ToolBar1, QStringLiteral("GazouBtn"), ToolGlyphs::Picture(),
                              QStringLiteral("画像メニューを表示します"), FormatBar1->Right() + 6);
    PictureMenu1 = new TPictureMenu(ImageForm, DBRichEdit1, this, [this] { return BmpTmpPath; });
    connect(GazouBtn, &QToolButton::clicked, PictureMenu1, &TPictureMenu::GazouBtnClick);
}

void TTavrelForm::CreateFields() {
    const QString nameHint = QStringLiteral("作成するラベルの説明を入力してください");
    const QString paperHint = QStringLiteral("印刷時の初期値に使用する用紙を設定してください");
    MakeLabel(GroupBox1, QStringLiteral("説 明"), QPoint(10, 22), nameHint);
    MakeLabel(GroupBox1, QStringLiteral("用 紙"), QPoint(10, 51), paperHint);
    DBEdit1 = new TDBEdit(GroupBox1);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setGeometry(52, 18, 270, 21);
    DBEdit1->setAttribute(Qt::WA_InputMethodEnabled, true);
    DBEdit1->SetDataSource(&DSCard);
    DBEdit1->SetDataField(QStringLiteral("NAME"));
    SetHint(DBEdit1, nameHint);
    DBComboBoxPaper = new TDBComboBox(GroupBox1);
    DBComboBoxPaper->setObjectName(QStringLiteral("DBComboBoxPaper"));
    DBComboBoxPaper->setGeometry(52, 47, 270, 21);
    DBComboBoxPaper->setMaxVisibleItems(20);
    DBComboBoxPaper->SetDataSource(&DSCard);
    DBComboBoxPaper->SetDataField(QStringLiteral("PAPERNAME"));
    SetHint(DBComboBoxPaper, paperHint);
}

void TTavrelForm::CreateList() {
    SetHint(Panel4, QStringLiteral("追加、編集中は使用できません．．．ダブルクリックで印刷"));
    DBGrid1 = new TDBGrid(Panel4);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(4, 4, 215, 326);
    DBGrid1->SetColumns(
        {TColumn{QStringLiteral("NAME"), QStringLiteral("説明"), 188,
                 Qt::AlignLeft | Qt::AlignVCenter, Qt::AlignCenter, QColor(0, 0, 255)}});
    DBGrid1->SetDataSource(&DSCard);
    SetHint(DBGrid1, Panel4->statusTip());
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this,
            Guarded(this, &TTavrelForm::PrintBtnClick));
}

void TTavrelForm::CreateNavigators() {
    CaptionDBNavi1 = new TCaptionDBNavi(Panel1);
    CaptionDBNavi1->setObjectName(QStringLiteral("CaptionDBNavi1"));
    CaptionDBNavi1->SetVisibleButtons({TNavigateBtn::nbInsert, TNavigateBtn::nbDelete,
                                       TNavigateBtn::nbEdit, TNavigateBtn::nbPost,
                                       TNavigateBtn::nbCancel});
    CaptionDBNavi1->setGeometry(9, 10, 315, 25);
    CaptionDBNavi1->SetCaptions(MainCaptions(u"追加"));
    CaptionDBNavi1->SetHints({QStringLiteral("最初のレコード"), QStringLiteral("前のレコード"),
                              QStringLiteral("次のレコード"), QStringLiteral("最後のレコード"),
                              QStringLiteral("レコードの追加"), QStringLiteral("レコードの削除"),
                              QStringLiteral("レコードの編集"), QStringLiteral("レコードの登録"),
                              QStringLiteral("編集の取り消し"), QStringLiteral("データ更新")});
    CaptionDBNavi1->Button(TNavigateBtn::nbPost)->setShortcut(QKeySequence::Save);
    CaptionDBNavi2 = new TCaptionDBNavi(Panel4);
    CaptionDBNavi2->setObjectName(QStringLiteral("CaptionDBNavi2"));
    CaptionDBNavi2->SetVisibleButtons(
        {TNavigateBtn::nbFirst, TNavigateBtn::nbPrior, TNavigateBtn::nbNext, TNavigateBtn::nbLast});
    CaptionDBNavi2->setGeometry(5, 334, 212, 25);
    CaptionDBNavi2->SetCaptions(MainCaptions(u"挿入"));
    CaptionDBNavi2->SetFontColor(QColor(0, 0, 255));
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(13);
    CaptionDBNavi2->setFont(font);
    for (TCaptionDBNavi* bar : {CaptionDBNavi1, CaptionDBNavi2}) {
        bar->SetCaptionLayout(TCaptionLayout::cbLeft);
        bar->SetOnMoveColor(QColor(255, 0, 0));
        ShareGlyphs(bar);
        bar->SetDataSource(&DSCard);
    }
}

void TTavrelForm::CreateStatusBar() {
    StatusBar1 = new QStatusBar(ClientArea);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setGeometry(0, kClientHeight - 21, kClientWidth, 21);
    StatusPanel0 = new QLabel(QStringLiteral("F1ヘルプ"));
    StatusPanel0->setAlignment(Qt::AlignCenter);
    StatusPanel0->setFixedWidth(60);
    StatusPanel1 = MakeHintPanel();
    StatusBar1->addWidget(StatusPanel0);
    StatusBar1->addWidget(StatusPanel1, 1);
    CreateZoomBox();
}

// The editor's magnification; the picture window follows it.
void TTavrelForm::CreateZoomBox() {
    ZoomBox = new QComboBox;
    ZoomBox->setObjectName(QStringLiteral("ZoomBox"));
    for (const int percent : TDBRichEdit::ZoomSteps())
        ZoomBox->addItem(QStringLiteral("%1%").arg(percent), percent);
    ZoomBox->setCurrentIndex(ZoomBox->findData(DBRichEdit1->Zoom()));
    SetHint(ZoomBox, QStringLiteral("ラベルの表示倍率を設定します（Ctrl+ホイールでも変わります）"));
    StatusBar1->addPermanentWidget(ZoomBox);
    connect(ZoomBox, &QComboBox::activated, this,
            [this](int index) { DBRichEdit1->SetZoom(ZoomBox->itemData(index).toInt()); });
    connect(DBRichEdit1, &TDBRichEdit::ZoomChanged, this, [this](int percent) {
        ZoomBox->setCurrentIndex(ZoomBox->findData(percent));
        ImageForm->SetZoom(percent);
    });
}

void TTavrelForm::FormCreate() {
    try {
        // The picture window is created here once the label picture is built in.
        Settings::ReadSettings();
        if (!Settings::IniWarning.isEmpty())
            Messages::ShowError(Settings::IniWarning, this);
        Hints::SetShowHints(this, Settings::HintShow);
        setWindowTitle(Caption());
        ConnectDatabase(IBDatabase1, IBTransaction1, Settings::DbPath);
        CardList->DBComboBoxPaperDropDown();
        CardList->PrepareList();
        PrepareEtcQuery();
        BmpTmpPath = Settings::TmpPath + QStringLiteral("/BmpTmp.bmp");
        FormatBar1->SetFontList(GetFontList(false));
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

void TTavrelForm::PaperBtnClick() {
    const QVariant id = IBQueryCard.FieldByName(QStringLiteral("ID")).Value();
    if (IBQueryCard.UpdatesPending() && !ApplyUpdatesAsking(IBQueryCard))
        return;
    ShowSheetEditor(this);
    SheetOutline1->Refresh();
    CardList->RefreshCards(id, QStringLiteral("ID"));
}

void TTavrelForm::PrintBtnClick() {
    // The list may be double-clicked while the button is off (editing, no designs).
    if (!PrintBtn->isEnabled())
        return;
    const int id = IBQueryCard.FieldByName(QStringLiteral("ID")).AsInteger();
    if (IBQueryCard.UpdatesPending() && !ApplyUpdatesAsking(IBQueryCard))
        return;
    // A design saved just now has the identifier the database gave it: the list stays on it.
    const QVariant current = IBQueryCard.FieldByName(QStringLiteral("ID")).Value();
    if (PreparePrintData(id))
        ShowPrintDialog(IBQueryCard.FieldByName(QStringLiteral("PAPERNAME")).AsString(), this,
                        QString::number(id));
    SheetOutline1->Refresh(); // printing keeps the corrections it used with the sheet
    CardList->RefreshCards(current, QStringLiteral("ID"));
}

void TTavrelForm::MergeField1Click() {
    if (IBQueryCard.IsEmpty())
        return;
    const QString id = IBQueryCard.FieldByName(QStringLiteral("ID")).AsString();
    bool ok = false;
    const QString name =
        QInputDialog::getItem(
            this, QStringLiteral("差し込みフィールドの挿入"),
            QStringLiteral(
                "列名（このデザインで最後に使った差し込みデータの列から選ぶか、入力します）"),
            TMergePrintPart::RememberedColumns(id), 0, true, &ok)
            .trimmed();
    if (ok && !name.isEmpty())
        DBRichEdit1->InsertMergeField(name);
}

void TTavrelForm::Barcode1Click() {
    if (IBQueryCard.IsEmpty())
        return;
    DBRichEdit1->InsertBarcode();
}

bool TTavrelForm::PreparePrintData(int ID) {
    Query& q = IBQueryEtc;
    int n = 0;
    bool written = false;
    try {
        q.Close();
        q.ClearParams();
        q.SQL = {QStringLiteral("SELECT * FROM TAVREL"), QStringLiteral("WHERE (ID = :P0)")};
        const auto release = qScopeGuard([&q] {
            q.Unprepare();
            q.ClearParams();
            q.SQL.clear();
        });
        q.SetParam(QStringLiteral("P0"), ID);
        q.Prepare();
        q.Open();
        q.FetchAll();
        n = q.RecordCount();
        written = n > 0 && WritePrintSnapshot(q);
    } catch (...) {
        throw EError(QStringLiteral("Print...Error"));
    }
    if (n <= 0)
        Messages::Ask(QStringLiteral("印刷対象のデータがありません。"), Messages::Buttons::Ok,
                      this);
    return written;
}

bool TTavrelForm::FormCloseQuery() {
    setWindowState(Qt::WindowNoState);
    return CardList->CloseCheck();
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

void TTavrelForm::ApplicationEvents1Hint() {
    Hints::ShowStatusHint(StatusPanel1, {});
}

void TTavrelForm::K1Click() {
    try {
        if (KankyouExecute())
            Hints::SetShowHints(this, Settings::HintShow);
    } catch (const std::exception& e) {
        Messages::ShowError(ExceptionText(e), this);
    }
}

void TTavrelForm::N6Click() {
    ShowAboutBox();
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
