#include "sheets/CardSetU.h"

#include "controls/CapNavi.h"
#include "controls/DBControls.h"
#include "controls/DBGrid.h"
#include "controls/Hinted.h"
#include "controls/NaviGlyphs.h"
#include "data/DbConnect.h"
#include "data/IbFunc.h"
#include "data/RecordCopy.h"
#include "model/SheetDefaults.h"
#include "platform/Help.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"
#include "platform/ToolGlyphs.h"
#include "platform/Version.h"
#include "sheets/ReadTextU.h"
#include "sheets/SheetCatalogueU.h"
#include "sheets/SheetDiagram.h"
#include "sheets/WriteTextU.h"
#include "ui/Hints.h"
#include "ui/SlotGuard.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

TCardSetForm* CardSetForm = nullptr;
const QString kSheetFile = QStringLiteral("Tavrel印刷設定.txt");

namespace {

QStringList Navigation() {
    return {QStringLiteral("最初"), QStringLiteral("前"), QStringLiteral("次"),
            QStringLiteral("最後")};
}

} // namespace

const QStringList& TCardSetForm::PaperTypes() {
    static const QStringList names = PaperTypeNames();
    return names;
}

QString TCardSetForm::Caption() {
    return TavrelVersionCaption() + QStringLiteral(" 用紙設定");
}

TCardSetForm::TCardSetForm(QWidget* parent)
    : QDialog(parent), IBQueryCardSet(&IBDatabase1, &IBTransaction1) {
    setWindowTitle(Caption());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(13);
    setFont(font);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    CreateMenu();
    layout->setMenuBar(MainMenu1);
    auto* client = new QWidget(this);
    client->setFixedSize(638, 494);
    layout->addWidget(client);
    CreateLeftPart(client);
    CreateRightPart(client);
    CreateStatusBar(client);
    DSCardSet.SetDataSet(&IBQueryCardSet);
    connect(&DSCardSet, &DataSource::StateChange, this, &TCardSetForm::DSCardSetStateChange);
    IBQueryCardSet.OnNewRecord = [this](Query&) { IBQueryCardSetNewRecord(); };
    IBQueryCardSet.AfterScroll = [this](Query&) { IBQueryCardSetAfterScroll(); };
    IBQueryCardSet.AfterCancel = [this](Query&) { IBQueryCardSetAfterCancel(); };
    ApplicationEvents1 = new TApplicationEvents(this);
    ApplicationEvents1->OnHint = [this] { Hints::ShowStatusHint(StatusPanels[3], {}); };
    ApplicationEvents1->OnShowHint = [](Hints::HintInfo& info) { Hints::SetHintInfo(info, {}); };
    Hints::SetHelpContext(this, kHelpContext);
    FormCreate();
}

TCardSetForm::~TCardSetForm() {
    if (CardSetForm == this)
        CardSetForm = nullptr;
}

void TCardSetForm::CreateMenu() {
    MainMenu1 = new QMenuBar(this);
    QMenu* file = MainMenu1->addMenu(QStringLiteral("ファイル(&F)"));
    Exit1 = file->addAction(QStringLiteral("終了(&X)"));
    Exit1->setStatusTip(QStringLiteral("終了します"));
    QMenu* tools = MainMenu1->addMenu(QStringLiteral("ツール(&T)"));
    tools->menuAction()->setStatusTip(QStringLiteral("ツール"));
    N3 = tools->addAction(QStringLiteral("設定値出力"));
    N3->setStatusTip(QStringLiteral("現在の設定値をテキストファイルに出力します"));
    N4 = tools->addAction(QStringLiteral("設定値読込"));
    N4->setStatusTip(QStringLiteral("テキストファイルから設定値を読み込みます"));
    N5 = tools->addAction(QStringLiteral("カタログから追加"));
    N5->setStatusTip(QStringLiteral("市販のラベル用紙をカタログから選んで追加します"));
    QMenu* help = MainMenu1->addMenu(QStringLiteral("ヘルプ(&H)"));
    Help2 = help->addAction(QStringLiteral("ヘルプ"));
    connect(Exit1, &QAction::triggered, this, &QDialog::close);
    connect(N3, &QAction::triggered, this, Guarded(this, &TCardSetForm::N3Click));
    connect(N4, &QAction::triggered, this, Guarded(this, &TCardSetForm::N4Click));
    connect(N5, &QAction::triggered, this, Guarded(this, &TCardSetForm::N5Click));
    connect(Help2, &QAction::triggered, this, [] { Help::HelpContext(kHelpContext); });
}

TDBEdit* TCardSetForm::AddLength(QGroupBox* box, int row, const QString& caption,
                                 const QString& field, const QString& unit, QLabel** label,
                                 int column) {
    const int x = column * 150;
    QLabel* l = MakeLabel(box, caption, QPoint(x + 8, 22 + row * 26));
    auto* edit = new TDBEdit(box);
    edit->setGeometry(x + 50, 18 + row * 26, 56, 21);
    edit->setAlignment(Qt::AlignRight);
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->SetDataSource(&DSCardSet);
    edit->SetDataField(field);
    MakeLabel(box, unit, QPoint(x + 110, 22 + row * 26));
    if (label)
        *label = l;
    return edit;
}

QWidget* TCardSetForm::CreateLeftPart(QWidget* parent) {
    auto* outer =
        MakeGroup(parent, QStringLiteral(" 位置／サイズ は 1/10ミリ 単位で設定してください "),
                  QRect(4, 2, 330, 424));
    const QString coHint = QStringLiteral("用紙の販売会社名を設定します");
    const QString nameHint = QStringLiteral("用紙の名称（型番）を入力してください");
    MakeLabel(outer, QStringLiteral("販売会社名"), QPoint(10, 24), coHint);
    DBComboBox2 = new TDBComboBox(outer);
    DBComboBox2->SetListOnly(false);
    DBComboBox2->setGeometry(90, 20, 230, 21);
    DBComboBox2->setMaxVisibleItems(20);
    DBComboBox2->SetItems({"AVERY", "PLUS", QStringLiteral("エーワン"), QStringLiteral("コクヨ"),
                           QStringLiteral("ナナ"), QStringLiteral("ヒサゴ"),
                           QStringLiteral("その他")});
    DBComboBox2->SetDataSource(&DSCardSet);
    DBComboBox2->SetDataField(QStringLiteral("CoName"));
    SetHint(DBComboBox2, coHint);
    MakeLabel(outer, QStringLiteral("名称（型番）"), QPoint(10, 50), nameHint);
    DBEdit1 = new TDBEdit(outer);
    DBEdit1->setGeometry(90, 46, 230, 21);
    DBEdit1->SetDataSource(&DSCardSet);
    DBEdit1->SetDataField(QStringLiteral("PAPERNAME"));
    SetHint(DBEdit1, nameHint);

    auto* paper = MakeGroup(outer, QStringLiteral(" 用紙設定  "), QRect(6, 74, 318, 120));
    MakeLabel(paper, QStringLiteral("用 紙"), QPoint(10, 24), QStringLiteral("用紙を選択します"));
    DBComboBox1 = new TDBComboBox(paper);
    DBComboBox1->setGeometry(50, 20, 90, 21);
    DBComboBox1->SetDataSource(&DSCardSet);
    DBComboBox1->SetDataField(QStringLiteral("PaperType"));
    SetHint(DBComboBox1, QStringLiteral("用紙を選択します"));
    connect(DBComboBox1, &QComboBox::activated, this,
            Guarded(this, &TCardSetForm::DBComboBox1Change));
    auto* note =
        MakeLabel(paper, QStringLiteral("用紙に＜その他＞を選択するとサイズを自由に設定できます"),
                  QPoint(10, 46));
    note->setStyleSheet(QStringLiteral("color: blue; font-size: 11px"));
    auto* size = MakeGroup(
        paper, QStringLiteral(" サイズ "), QRect(150, 62, 160, 52),
        QStringLiteral("用紙サイズを設定します（用紙タイプが \"その他\" 以外では無効です）"));
    size->setGeometry(6, 62, 306, 52);
    LabelHeight = MakeLabel(size, QStringLiteral("縦(H)"), QPoint(8, 24));
    DBEdit4 = new TDBEdit(size);
    DBEdit4->setGeometry(50, 20, 60, 21);
    DBEdit4->SetDataSource(&DSCardSet);
    DBEdit4->SetDataField(QStringLiteral("P_Height"));
    MakeLabel(size, QStringLiteral("㎜"), QPoint(114, 24));
    LabelWidth = MakeLabel(size, QStringLiteral("横(W)"), QPoint(150, 24));
    DBEdit5 = new TDBEdit(size);
    DBEdit5->setGeometry(192, 20, 60, 21);
    DBEdit5->SetDataSource(&DSCardSet);
    DBEdit5->SetDataField(QStringLiteral("P_Width"));
    MakeLabel(size, QStringLiteral("㎜"), QPoint(256, 24));
    DBComboBox1->SetItems(PaperTypes());

    auto* label = MakeGroup(outer, QStringLiteral(" ラベル設定 "), QRect(6, 198, 318, 220));
    const int w = 154;
    auto* margin = MakeGroup(label, QStringLiteral(" マージン "), QRect(4, 18, w, 70),
                             QStringLiteral("ラベルの開始位置を設定します"));
    DBEdit10 = AddLength(margin, 0, QStringLiteral("左(A)"), QStringLiteral("Left_M"), "㎜");
    DBEdit11 = AddLength(margin, 1, QStringLiteral("上(D)"), QStringLiteral("Top_M"), "㎜");
    auto* grid = MakeGroup(label, QStringLiteral(" 列／段 "), QRect(160, 18, w, 70),
                           QStringLiteral("ラベルの列数と段数を設定します"));
    DBEdit2 = AddLength(grid, 0, QStringLiteral("列数"), QStringLiteral("Retsu"), "列");
    DBEdit3 = AddLength(grid, 1, QStringLiteral("段数"), QStringLiteral("Dan"), "段");
    auto* one = MakeGroup(label, QStringLiteral(" ラベル１枚のサイズ "), QRect(4, 90, w, 70),
                          QStringLiteral("ラベルサイズを設定します"));
    DBEdit6 = AddLength(one, 0, QStringLiteral("縦(C)"), QStringLiteral("L_Height"), "㎜");
    DBEdit7 = AddLength(one, 1, QStringLiteral("横(F)"), QStringLiteral("L_Width"), "㎜");
    auto* gap = MakeGroup(label, QStringLiteral(" ラベル間隔 "), QRect(160, 90, w, 70),
                          QStringLiteral("ラベル間の間隔を設定します"));
    DBEdit8 = AddLength(gap, 0, QStringLiteral("縦(E)"), QStringLiteral("Y_Skip"), "㎜");
    DBEdit9 = AddLength(gap, 1, QStringLiteral("横(B)"), QStringLiteral("X_Skip"), "㎜");
    auto* start = MakeGroup(label, QStringLiteral(" 印刷開始位置 "), QRect(4, 162, 310, 52),
                            QStringLiteral("ラベル内の印字開始位置を設定します"));
    DBEdit12 = AddLength(start, 0, QStringLiteral("左(L)"), QStringLiteral("Pr_LeftM"), "㎜");
    DBEdit13 =
        AddLength(start, 0, QStringLiteral("上(T)"), QStringLiteral("Pr_TopM"), "㎜", nullptr, 1);
    SetHint(DBEdit2, grid->statusTip());
    SetHint(DBEdit3, grid->statusTip());
    for (TDBEdit* e : {DBEdit6, DBEdit7, DBEdit12, DBEdit13})
        SetHint(e, e->parentWidget()->statusTip());

    auto* panel2 = new QWidget(parent);
    panel2->setGeometry(4, 430, 330, 36);
    DBNavigator1 = new TCaptionDBNavi(panel2);
    DBNavigator1->SetVisibleButtons({TNavigateBtn::nbInsert, TNavigateBtn::nbDelete,
                                     TNavigateBtn::nbPost, TNavigateBtn::nbCancel});
    DBNavigator1->setGeometry(2, 6, 288, 25);
    DBNavigator1->Button(TNavigateBtn::nbPost)->setShortcut(QKeySequence::Save);
    DBNavigator1->SetCaptions({QStringLiteral("最初"), QStringLiteral("前"), QStringLiteral("次"),
                               QStringLiteral("最後"), QStringLiteral("追加"),
                               QStringLiteral("削除"), QStringLiteral("編集"),
                               QStringLiteral("登録"), QStringLiteral("取消")});
    DBNavigator1->SetHints({"", "", "", "", QStringLiteral("レコードの追加"),
                            QStringLiteral("レコードの削除"), QStringLiteral("レコードの編集"),
                            QStringLiteral("レコードの登録"), QStringLiteral("編集の取り消し")});
    DBNavigator1->BeforeAction = [this](TCaptionDBNavi*, TNavigateBtn) {
        DBNavigator1BeforeAction();
    };
    CopyRecSpb = new QToolButton(panel2);
    CopyRecSpb->setIcon(ToolGlyphs::RecCopy());
    CopyRecSpb->setGeometry(296, 6, 28, 25);
    CopyRecSpb->setCursor(Qt::DragCopyCursor);
    SetHint(CopyRecSpb, QStringLiteral("現在のレコードをコピーして挿入します"));
    connect(CopyRecSpb, &QToolButton::clicked, this, Guarded(this, &TCardSetForm::CopyRecSpbClick));
    return outer;
}

QWidget* TCardSetForm::CreateRightPart(QWidget* parent) {
    auto* panel1 = new QWidget(parent);
    panel1->setGeometry(338, 2, 296, 464);
    panel1->setAutoFillBackground(true);
    QPalette cream = panel1->palette();
    cream.setColor(QPalette::Window, QColor(255, 251, 240));
    panel1->setPalette(cream);
    DBGrid1 = new TDBGrid(panel1);
    DBGrid1->setGeometry(4, 4, 288, 200);
    DBGrid1->setFocusPolicy(Qt::ClickFocus); // no tab stop, but keys work once clicked
    const QColor blue(0, 0, 255);
    DBGrid1->SetColumns({TColumn{QStringLiteral("PaperName"), QStringLiteral("名称（型番)"), 231,
                                 Qt::AlignLeft | Qt::AlignVCenter, Qt::AlignCenter, blue},
                         TColumn{QStringLiteral("Retsu"), QStringLiteral("列数"), 46,
                                 Qt::AlignCenter, Qt::AlignCenter, blue},
                         TColumn{QStringLiteral("Dan"), QStringLiteral("段数"), 46, Qt::AlignCenter,
                                 Qt::AlignCenter, blue},
                         TColumn{QStringLiteral("CoName"), QStringLiteral("販売会社名"), 185,
                                 Qt::AlignLeft | Qt::AlignVCenter, Qt::AlignCenter, blue}});
    DBGrid1->SetDataSource(&DSCardSet);
    SetHint(DBGrid1, QStringLiteral("追加、編集中は使用できません"));
    CaptionDBNavi1 = new TCaptionDBNavi(panel1);
    CaptionDBNavi1->SetVisibleButtons(
        {TNavigateBtn::nbFirst, TNavigateBtn::nbPrior, TNavigateBtn::nbNext, TNavigateBtn::nbLast});
    CaptionDBNavi1->setGeometry(17, 208, 262, 25);
    CaptionDBNavi1->SetCaptions(Navigation());
    CaptionDBNavi1->SetFontColor(blue);
    for (TCaptionDBNavi* bar : {CaptionDBNavi1, DBNavigator1}) {
        bar->SetCaptionLayout(TCaptionLayout::cbLeft);
        bar->SetOnMoveColor(QColor(255, 0, 0));
        for (int i = 4; i <= 8; ++i)
            bar->SetButtonGlyph(static_cast<TNavigateBtn>(i), NaviGlyphs::Shared(i));
        bar->SetDataSource(&DSCardSet);
    }
    Image1 = new QLabel(panel1);
    Image1->setGeometry(4, 238, 288, 222);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(SheetDiagram());
    SetHint(Image1, QStringLiteral("設定値を確認してください"));
    return panel1;
}

void TCardSetForm::CreateStatusBar(QWidget* parent) {
    auto* bar = new QStatusBar(parent);
    bar->setSizeGripEnabled(false);
    bar->setGeometry(0, 494 - 22, 638, 22);
    const int widths[] = {60, 50, 50, 0};
    const QString texts[] = {QStringLiteral("F1ヘルプ"), QStringLiteral("登録数"), {}, {}};
    for (int i = 0; i < 4; ++i) {
        StatusPanels[i] = widths[i] ? new QLabel(texts[i]) : MakeHintPanel();
        if (widths[i]) {
            StatusPanels[i]->setFixedWidth(widths[i]);
            StatusPanels[i]->setAlignment(Qt::AlignCenter);
        }
        bar->addWidget(StatusPanels[i], widths[i] ? 0 : 1);
    }
}

// ---------------------------------------------------------------------------

void TCardSetForm::FormCreate() {
    try {
        Hints::SetShowHints(this, Settings::HintShow);
        DBComboBox1->SetItems(PaperTypes());
        ConnectDatabase(IBDatabase1, IBTransaction1, Settings::DbPath);
        Query& q = IBQueryCardSet;
        q.Close();
        q.SetDatabase(&IBDatabase1);
        q.SetTransaction(&IBTransaction1);
        q.UpdateObject = &IBUpdateSQL1;
        q.CachedUpdates = true;
        q.ForcedRefresh = true;
        q.NameField = QStringLiteral("PAPERNAME");
        q.RowKind = QStringLiteral("用紙");
        q.SQL = {QStringLiteral("SELECT * FROM TAVRELSET"), QStringLiteral("ORDER BY PAPERNAME")};
        q.Prepare();
        q.Open();
        GenerateUpdateSql(q, &IBUpdateSQL1, QStringLiteral("TAVRELSET"));
        q.FetchAll();
    } catch (const std::exception& e) {
        Messages::ShowError(ExceptionText(e), this);
    }
}

void TCardSetForm::DBComboBox1Change() {
    const PaperPreset preset = PaperPresetFor(DBComboBox1->currentText());
    Query& q = IBQueryCardSet;
    if (q.State() == DataSetState::Browse)
        q.Edit();
    q.FieldByName(QStringLiteral("P_Width")).SetValue(preset.width);
    q.FieldByName(QStringLiteral("P_Height")).SetValue(preset.height);
    UpdateSizeFieldsEnabled();
}

void TCardSetForm::UpdateSizeFieldsEnabled() {
    const bool other = DBComboBox1->currentText() == FreePaperType();
    for (QWidget* w : std::initializer_list<QWidget*>{DBEdit4, DBEdit5, LabelHeight, LabelWidth})
        w->setEnabled(other && IBQueryCardSet.Active());
}

void TCardSetForm::IBQueryCardSetNewRecord() {
    Query& q = IBQueryCardSet;
    for (const auto& [field, value] : NewSheetDefaults())
        q.FieldByName(field).SetValue(value);
    DBComboBox1->setCurrentIndex(DBComboBox1->findText(NewSheetPaperType()));
    DBComboBox1Change();
}

void TCardSetForm::IBQueryCardSetAfterScroll() {
    UpdateSizeFieldsEnabled();
    const QLocale locale(QLocale::English);
    Query& q = IBQueryCardSet;
    StatusPanels[2]->setText(locale.toString(q.IsEmpty() ? 0 : q.RecNo()) + QStringLiteral("：") +
                             locale.toString(q.RecordCount()));
}

void TCardSetForm::IBQueryCardSetAfterCancel() {
    UpdateSizeFieldsEnabled();
}

void TCardSetForm::DSCardSetStateChange() {
    CopyRecSpb->setEnabled(IBQueryCardSet.State() == DataSetState::Browse);
    DBGrid1->setEnabled(IBQueryCardSet.State() == DataSetState::Browse);
    CaptionDBNavi1->setEnabled(IBQueryCardSet.State() == DataSetState::Browse);
}

void TCardSetForm::FocusFirstControl() {
    DBComboBox2->setFocus(Qt::OtherFocusReason);
}

void TCardSetForm::DBNavigator1BeforeAction() {
    FocusFirstControl();
}

void TCardSetForm::CopyRecSpbClick() {
    FocusFirstControl();
    Query& q = IBQueryCardSet;
    if (!CopyCurrentRecord(q, {}, true))
        return;
    const Field name = q.FieldByName(QStringLiteral("PAPERNAME"));
    name.SetValue(QStringLiteral("ｺﾋﾟｰ...") + name.AsString());
}

void TCardSetForm::N3Click() {
    if (IBQueryCardSet.UpdatesPending() && !ApplyUpdatesAsking(IBQueryCardSet))
        return;
    ShowWriteText(IBQueryCardSet, kSheetFile, 18);
}

void TCardSetForm::N4Click() {
    if (IBQueryCardSet.UpdatesPending() && !ApplyUpdatesAsking(IBQueryCardSet))
        return;
    ShowReadText(IBQueryCardSet, kSheetFile, 19);
    RefreshCardSet();
}

void TCardSetForm::N5Click() {
    try {
        FocusFirstControl();
        IBQueryCardSet.CheckBrowseMode(); // a row being typed is stored first
        if (ShowSheetCatalogue(IBQueryCardSet, this) > 0)
            IBQueryCardSetAfterScroll();
    } catch (const std::exception& e) {
        Messages::ShowError(ExceptionText(e), this);
    }
}

void TCardSetForm::RefreshCardSet() {
    try {
        ApplyReconnectReopen(IBQueryCardSet);
    } catch (...) {
        throw EError(QStringLiteral("Database Refresh Error"));
    }
}

bool TCardSetForm::FormCloseQuery() {
    setWindowState(Qt::WindowNoState);
    return SaveBeforeClose(IBQueryCardSet, false);
}

void TCardSetForm::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

void TCardSetForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        focusNextChild();
        return;
    }
    if (event->key() == Qt::Key_Escape)
        return; // closing goes through the close question only
    QDialog::keyPressEvent(event);
}

void ShowSheetEditor(QWidget* owner) {
    TCardSetForm form(owner);
    CardSetForm = &form;
    form.exec();
    CardSetForm = nullptr;
}
