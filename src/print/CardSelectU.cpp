#include "print/CardSelectU.h"

#include "controls/DBControls.h"
#include "controls/Hinted.h"
#include "controls/UpDown.h"
#include "data/DbConnect.h"
#include "data/IbFunc.h"
#include "platform/Help.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"
#include "platform/Version.h"
#include "print/MergePrintPart.h"
#include "print/PreviewWindow.h"
#include "print/SheetPicture.h"
#include "print/StartCells.h"
#include "printcore/NkPrinters.h"
#include "printcore/repTavrelU.h"
#include "ui/Hints.h"
#include "ui/SlotGuard.h"

#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>

TCardSelectForm* CardSelectForm = nullptr;

namespace {

using CardLayout::kMaxAdjust;
using CardLayout::kMaxCount;

constexpr int kClientWidth = 381;
constexpr int kMergeTop = 304;
constexpr int kMergeSpace = TMergePrintPart::kHeight + 22; // the part and its total line
constexpr int kClientHeight = 358 + kMergeSpace;
// The part beside the sheet's controls that shows how the labels go onto it.
constexpr int kSideWidth = 200;
const QColor kBlue(0, 0, 255);

void MakeBlue(QWidget* w) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, kBlue);
    p.setColor(QPalette::Text, kBlue);
    w->setPalette(p);
}

// A read-only, centred box showing one field of the current sheet; never takes the focus.
TDBText* FieldBox(QWidget* parent, DataSource* source, const QString& field, const QRect& at) {
    auto* box = new TDBText(parent);
    box->setGeometry(at);
    box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    box->setAlignment(Qt::AlignCenter);
    box->setFocusPolicy(Qt::NoFocus);
    box->setAutoFillBackground(true);
    box->SetDataSource(source);
    box->SetDataField(field);
    return box;
}

// A centred number box with its up-down arrows attached to its right, wrapping at both ends.
TUpDown* NumberBox(QWidget* parent, QLineEdit** box, const QRect& at, int min, int max,
                   const QString& hint) {
    *box = new QLineEdit(parent);
    (*box)->setGeometry(at.x(), at.y(), at.width() - 16, at.height());
    (*box)->setAlignment(Qt::AlignCenter);
    (*box)->setAttribute(Qt::WA_InputMethodEnabled, false);
    auto* upDown = new TUpDown(min, max, parent);
    upDown->setGeometry(at.right() - 15, at.y(), 16, at.height());
    upDown->SetWrap(true);
    upDown->SetAssociate(*box);
    SetHint(*box, hint);
    SetHint(upDown, hint);
    return upDown;
}

int Limited(int value, int low, int high) {
    return std::clamp(value, low, high);
}

// The up-downs hold 16-bit positions and limits.
int Short(int value) {
    return static_cast<qint16>(value);
}

// The entry equal to text with letter case ignored, when it is not the first; else the first.
void SelectIgnoringCase(QComboBox* box, const QString& text) {
    const int i = box->findText(text, Qt::MatchFixedString);
    box->setCurrentIndex(i > 0 ? i : 0);
}

} // namespace

QString TCardSelectForm::Caption() {
    return TavrelVersionCaption() + QStringLiteral(" 印刷設定．．．");
}

TCardSelectForm::TCardSelectForm(QWidget* parent)
    : QDialog(parent), IBQueryCardSet(&IBDatabase1, &IBTransaction1),
      IBQueryEtc(&IBDatabase1, &IBTransaction1) {
    setObjectName(QStringLiteral("CardSelectForm"));
    setWindowTitle(Caption());
    // Only the system menu and its close button in the title bar.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(13);
    setFont(font);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* client = new QWidget(this);
    client->setFixedSize(kClientWidth + kSideWidth, kClientHeight);
    layout->addWidget(client);
    CreateSheetPart(client);
    CreatePositionPart(client);
    CreateAdjustPart(client);
    CreatePrinterPart(client);
    CreateOrderPart(client);
    CreateMergePart(client);
    CreateButtons(client);
    CreateStatusBar(client);
    DataSourceCardSet.SetDataSet(&IBQueryCardSet);
    IBQueryCardSet.AfterScroll = [this](Query&) { IBQueryCardSetAfterScroll(); };
    ApplicationEvents1 = new TApplicationEvents(this);
    ApplicationEvents1->OnHint = [this] { Hints::ShowStatusHint(StatusPanel1, {}); };
    ApplicationEvents1->OnShowHint = [](Hints::HintInfo& info) { Hints::SetHintInfo(info, {}); };
    Hints::SetHelpContext(this, kHelpContext);
    setFixedSize(sizeHint());
    FormCreate();
}

TCardSelectForm::~TCardSelectForm() {
    if (CardSelectForm == this)
        CardSelectForm = nullptr;
}

void TCardSelectForm::CreateSheetPart(QWidget* client) {
    const QString hint = QStringLiteral("印刷する用紙を選択してください");
    MakeLabel(client, QStringLiteral("名称（型番）"), QPoint(12, 14), hint);
    ComboBox1 = new QComboBox(client);
    ComboBox1->setGeometry(92, 10, 277, 21);
    ComboBox1->setMaxVisibleItems(20);
    SetHint(ComboBox1, hint);
    connect(ComboBox1, &QComboBox::activated, this,
            Guarded(this, &TCardSelectForm::ComboBox1Change));
    MakeBlue(MakeLabel(client, QStringLiteral("用紙サイズ"), QPoint(12, 44)));
    DBMemo1 = FieldBox(client, &DataSourceCardSet, QStringLiteral("PAPERTYPE"), {92, 40, 90, 21});
    MakeBlue(DBMemo1);
    GroupBox2 = MakeGroup(client, QStringLiteral(" 列数／段数 "), {8, 68, 365, 50},
                          QStringLiteral("印刷する用紙の列数と段数を表示します"));
    MakeBlue(GroupBox2);
    MakeLabel(GroupBox2, QStringLiteral("列 数"), QPoint(24, 24));
    DBMemo2 = FieldBox(GroupBox2, &DataSourceCardSet, QStringLiteral("RETSU"), {70, 20, 70, 21});
    MakeLabel(GroupBox2, QStringLiteral("段 数"), QPoint(196, 24));
    DBMemo3 = FieldBox(GroupBox2, &DataSourceCardSet, QStringLiteral("DAN"), {242, 20, 70, 21});
}

void TCardSelectForm::CreatePositionPart(QWidget* client) {
    GroupBox3 = new QGroupBox(client);
    GroupBox3->setGeometry(8, 128, 365, 54);
    MakeLabel(client, QStringLiteral(" 印刷開始位置 "), QPoint(16, 121))
        ->setAutoFillBackground(true);
    MakeLabel(client, QStringLiteral(" 印刷枚数 "), QPoint(256, 121))->setAutoFillBackground(true);
    auto* bevel = new QFrame(GroupBox3);
    bevel->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    bevel->setGeometry(238, 8, 2, 40);
    UpDownRetsu = NumberBox(GroupBox3, &MemoRetsu, {16, 18, 56, 21}, 1, 1,
                            QStringLiteral("印刷を開始する列を設定します"));
    MakeLabel(GroupBox3, QStringLiteral("列"), QPoint(76, 22));
    UpDownDan = NumberBox(GroupBox3, &MemoDan, {120, 18, 56, 21}, 1, 1,
                          QStringLiteral("印刷を開始する段を設定します"));
    MakeLabel(GroupBox3, QStringLiteral("段"), QPoint(180, 22));
    UpDownMaisu = NumberBox(GroupBox3, &MemoMaisu, {256, 18, 56, 21}, 1, kMaxCount,
                            QStringLiteral("印刷枚数を設定します"));
    Label9 = MakeLabel(GroupBox3, QStringLiteral("枚"), QPoint(316, 22),
                       QStringLiteral("印刷枚数を設定します（初期値は１頁分の枚数です）"));
}

void TCardSelectForm::CreateAdjustPart(QWidget* client) {
    GroupBox4 = MakeGroup(client, QStringLiteral(" 印刷位置調整（1/10 ㎜) "), {8, 190, 365, 52},
                          QStringLiteral("印刷位置の調整を行います"));
    const QString topHint = QStringLiteral("上端からの印刷位置を設定します");
    const QString leftHint = QStringLiteral("左端からの印刷位置を設定します");
    MakeLabel(GroupBox4, QStringLiteral("上端から"), QPoint(16, 24), topHint);
    UpDownTop = NumberBox(GroupBox4, &MemoTop, {70, 20, 70, 21}, -kMaxAdjust, kMaxAdjust, topHint);
    MakeLabel(GroupBox4, QStringLiteral("㎜"), QPoint(144, 24), topHint);
    MakeLabel(GroupBox4, QStringLiteral("左端から"), QPoint(196, 24), leftHint);
    UpDownLeft =
        NumberBox(GroupBox4, &MemoLeft, {250, 20, 70, 21}, -kMaxAdjust, kMaxAdjust, leftHint);
    MakeLabel(GroupBox4, QStringLiteral("㎜"), QPoint(324, 24), leftHint);
    UpDownTop->SetPosition(0);
    UpDownLeft->SetPosition(0);
}

void TCardSelectForm::CreatePrinterPart(QWidget* client) {
    GroupBox5 = MakeGroup(client, QStringLiteral(" プリンタ "), {8, 248, 365, 50},
                          QStringLiteral("印刷するプリンタを選択します"));
    PrinterCombo = new QComboBox(GroupBox5);
    PrinterCombo->setGeometry(12, 20, 341, 21);
}

void TCardSelectForm::CreateOrderPart(QWidget* client) {
    SheetPicture = new TSheetPicture(client);
    SheetPicture->setGeometry(kClientWidth, 8, 184, 236);
    SetHint(SheetPicture, QStringLiteral("クリックした位置から印刷を開始します"));
    SheetPicture->OnCellClick = [this](int column, int row) { SheetPictureClick(column, row); };
    for (QLineEdit* box : {MemoRetsu, MemoDan, MemoMaisu})
        connect(box, &QLineEdit::textChanged, this, &TCardSelectForm::ShowJob);
    GroupBox6 = MakeGroup(client, QStringLiteral(" 印刷順 "), {kClientWidth, 248, 184, 50},
                          QStringLiteral("ラベルを埋める順序を設定します（縦順：列ごとに上から下へ"
                                         "、横順：段ごとに左から右へ）"));
    OrderCombo = new QComboBox(GroupBox6);
    OrderCombo->setGeometry(12, 20, 160, 21);
    OrderCombo->addItems({QStringLiteral("縦順（列ごと）"), QStringLiteral("横順（段ごと）")});
    OrderCombo->setCurrentIndex(Settings::FillByRows ? 1 : 0);
    SetHint(OrderCombo, GroupBox6->toolTip());
    connect(OrderCombo, &QComboBox::activated, this,
            Guarded(this, &TCardSelectForm::OrderComboChange));
}

// With a list the rows give the count, so the count box rests.
void TCardSelectForm::CreateMergePart(QWidget* client) {
    MergePart = new TMergePrintPart(client, kMergeTop);
    connect(MergePart, &TMergePrintPart::ActiveChanged, this, [this](bool active) {
        MemoMaisu->setEnabled(!active);
        UpDownMaisu->setEnabled(!active);
    });
    connect(MergePart, &TMergePrintPart::CountsChanged, this, &TCardSelectForm::ShowSheetPicture);
    for (TUpDown* upDown : {UpDownRetsu, UpDownDan})
        connect(upDown, &TUpDown::Click, this, [this] { UpdateMergeCells(); });
}

void TCardSelectForm::UpdateMergeCells() {
    Query& q = IBQueryCardSet;
    if (q.IsEmpty())
        return;
    const int dan = q.FieldByName(QStringLiteral("DAN")).AsInteger();
    const int retsu = q.FieldByName(QStringLiteral("RETSU")).AsInteger();
    MergePart->SetCells(static_cast<int>(CardLayout::EmptyCellsBefore(
                            UpDownRetsu->Position(), UpDownDan->Position(), retsu, dan,
                            Settings::FillByRows ? FillOrder::Rows : FillOrder::Columns)),
                        retsu * dan);
}

void TCardSelectForm::CreateButtons(QWidget* client) {
    PrintBtn = new QPushButton(QStringLiteral("印 刷"), client);
    PrintBtn->setGeometry(96, 306 + kMergeSpace, 86, 25);
    PrintBtn->setDefault(true);
    BitBtn1 = new QPushButton(QStringLiteral("閉じる(&C)"), client);
    BitBtn1->setGeometry(190, 306 + kMergeSpace, 86, 25);
    BitBtn2 = new QPushButton(QStringLiteral("ヘルプ(&H)"), client);
    BitBtn2->setGeometry(284, 306 + kMergeSpace, 86, 25);
    connect(PrintBtn, &QPushButton::clicked, this, Guarded(this, &TCardSelectForm::PrintBtnClick));
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn2, &QPushButton::clicked, this, [] { Help::HelpContext(kHelpContext); });
}

void TCardSelectForm::CreateStatusBar(QWidget* client) {
    auto* bar = new QStatusBar(client);
    bar->setSizeGripEnabled(false);
    bar->setGeometry(0, kClientHeight - 21, kClientWidth + kSideWidth, 21);
    StatusPanel0 = new QLabel(QStringLiteral("F1ヘルプ"));
    StatusPanel0->setAlignment(Qt::AlignCenter);
    StatusPanel0->setFixedWidth(60);
    StatusPanel1 = MakeHintPanel();
    StatusPanel1->setMinimumWidth(50);
    bar->addWidget(StatusPanel0);
    bar->addWidget(StatusPanel1, 1);
}

// ---------------------------------------------------------------------------

void TCardSelectForm::FormCreate() {
    Hints::SetShowHints(this, Settings::HintShow);
    PrinterCombo->addItems(NkPrinter().GetPrinterNames());
    ConnectDatabase(IBDatabase1, IBTransaction1, Settings::DbPath);
    IBQueryCardSet.Close();
    IBQueryCardSet.SetDatabase(&IBDatabase1);
    IBQueryCardSet.SetTransaction(&IBTransaction1);
    IBQueryCardSet.CachedUpdates = true;
    IBQueryCardSet.SQL = {QStringLiteral("SELECT * FROM TAVRELSET"),
                          QStringLiteral("ORDER BY PAPERNAME")};
    IBQueryCardSet.Prepare();
    IBQueryCardSet.Open();
    IBQueryEtc.Close();
    IBQueryEtc.SetDatabase(&IBDatabase1);
    IBQueryEtc.SetTransaction(&IBTransaction1);
    IBQueryEtc.CachedUpdates = false;
    IBQueryEtc.SQL.clear();
    IBQueryEtc.ClearParams();
}

void TCardSelectForm::ComboBox1Change() {
    IBQueryCardSet.Locate(QStringLiteral("PAPERNAME"), ComboBox1->currentText());
}

void TCardSelectForm::IBQueryCardSetAfterScroll() {
    Query& q = IBQueryCardSet;
    if (q.IsEmpty())
        return;
    auto value = [&q](const char* name) { return q.FieldByName(QLatin1String(name)).AsInteger(); };
    UpDownRetsu->SetRange(1, Short(value("RETSU")));
    UpDownDan->SetRange(1, Short(value("DAN")));
    UpDownTop->SetPosition(Limited(value("PR_TOPM"), -kMaxAdjust, kMaxAdjust));
    UpDownLeft->SetPosition(Limited(value("PR_LEFTM"), -kMaxAdjust, kMaxAdjust));
    const QString name = q.FieldByName(QStringLiteral("PAPERNAME")).AsString();
    const StartCell start = RememberedStart(name, UpDownRetsu->Max(), UpDownDan->Max(), kMaxCount);
    UpDownRetsu->SetPosition(start.column);
    UpDownDan->SetPosition(start.row);
    // Else one page of labels, as far as the count goes.
    UpDownMaisu->SetPosition(start.count > 0
                                 ? start.count
                                 : Limited(UpDownRetsu->Max() * UpDownDan->Max(), 1, kMaxCount));
    SelectIgnoringCase(ComboBox1, name);
    SheetPicture->SetSheet(SheetLayout::FromRecord(q));
    ShowJob();
    SelectIgnoringCase(PrinterCombo, q.FieldByName(QStringLiteral("PRINTERNAME")).AsString());
    UpdateMergeCells();
}

void TCardSelectForm::PrintBtnClick() {
    TPrintRequest request;
    request.snapshotPath = Settings::SnapshotPath;
    request.sheets = &IBQueryCardSet;
    request.startColumn = UpDownRetsu->Position();
    request.startRow = UpDownDan->Position();
    request.count = UpDownMaisu->Position();
    request.adjust = {UpDownTop->Position(), UpDownLeft->Position()};
    request.printerName = PrinterCombo->currentText();
    request.exact = Settings::PrintTenthMm;
    request.order = Settings::FillByRows ? FillOrder::Rows : FillOrder::Columns;
    request.output.preview = PreviewWindows(this);
    UpdateMergeCells();
    request.merge = MergePart->Params();
    if (!PrintLabels(request))
        return;
    const QString name = IBQueryCardSet.FieldByName(QStringLiteral("PAPERNAME")).AsString();
    RememberStart(name, {request.startColumn, request.startRow, request.count});
    SaveAdjustments(request.printerName, name, request.adjust.top, request.adjust.left);
}

void TCardSelectForm::OrderComboChange() {
    Settings::FillByRows = OrderCombo->currentIndex() == 1;
    IniWriteBool(Settings::IniFileName, Settings::kSection, QStringLiteral("FillByRows"),
                 Settings::FillByRows);
    ShowJob();
}

void TCardSelectForm::ShowJob() {
    if (MergePart)
        UpdateMergeCells();
    ShowSheetPicture();
}

// A list's rows make the labels, not the count box.
void TCardSelectForm::ShowSheetPicture() {
    const long long merged = MergePart ? MergePart->Labels() : 0;
    SheetPicture->SetJob(UpDownRetsu->Position(), UpDownDan->Position(),
                         merged > 0 ? merged : UpDownMaisu->Position(),
                         Settings::FillByRows ? FillOrder::Rows : FillOrder::Columns);
}

void TCardSelectForm::SheetPictureClick(int column, int row) {
    UpDownRetsu->SetPosition(column);
    UpDownDan->SetPosition(row);
    ShowJob();
}

void TCardSelectForm::SaveAdjustments(const QString& PrinterName, const QString& PaperName,
                                      int TopAdjust, int LeftAdjust) {
    const Adjustment a{PrinterName, PaperName, TopAdjust, LeftAdjust};
    OnConnection([&] { RunUpdate(a); });
    saved_.push_back(a);
}

void TCardSelectForm::RunUpdate(const Adjustment& a) {
    StoreAdjustments(IBQueryEtc, a.printer, a.paper, a.top, a.left);
}

void TCardSelectForm::OnConnection(const std::function<void()>& work) {
    try {
        work();
        return;
    } catch (const EDatabaseError& e) {
        if (!e.connectionLost())
            throw;
    }
    IBDatabase1.MarkConnectionLost();
    IBDatabase1.EnsureAttached();
    for (const Adjustment& a : saved_)
        RunUpdate(a);
    work();
}

void TCardSelectForm::CommitAdjustments() {
    try {
        OnConnection([this] { IBTransaction1.Commit(); });
        saved_.clear();
    } catch (const std::exception&) {
        Messages::ShowError(QStringLiteral("データ更新中にエラーが発生しました。"), this);
    }
}

bool TCardSelectForm::FormCloseQuery() {
    QFile::remove(Settings::SnapshotPath);
    return true;
}

void TCardSelectForm::done(int result) {
    if (FormCloseQuery())
        QDialog::done(result);
}

void TCardSelectForm::OpenFor(const QString& PaperName, const QString& designKey) {
    MergePart->SetDesign(designKey);
    setWindowTitle(windowTitle() + PaperName);
    ComboBox1->addItems(LoadDistinctList(IBDatabase1, QStringLiteral("TAVRELSET"),
                                         QStringLiteral("PAPERNAME"), {}, {}, QStringLiteral("ASC"),
                                         false, false));
    SelectIgnoringCase(ComboBox1, PaperName);
    ComboBox1Change();
    PrintBtn->setEnabled(ComboBox1->currentIndex() >= 0);
}

void ShowPrintDialog(const QString& PaperName, QWidget* owner, const QString& designKey) {
    TCardSelectForm form(owner);
    form.OpenFor(PaperName, designKey);
    CardSelectForm = &form;
    form.exec();
    CardSelectForm = nullptr;
    form.CommitAdjustments();
}
