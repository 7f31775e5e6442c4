#include "sheets/WriteTextU.h"

#include "controls/DBGrid.h"
#include "controls/Hinted.h"
#include "data/Query.h"
#include "platform/Error.h"
#include "platform/Help.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"
#include "sheets/SheetTextFile.h"
#include "ui/Hints.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

QString Count(int n) {
    return QLocale(QLocale::English).toString(n);
}

// The menus both file windows carry.
QMenuBar* FileWindowMenu(QDialog* window, int helpContext) {
    auto* bar = new QMenuBar(window);
    QAction* exit =
        bar->addMenu(QStringLiteral("ファイル(&F)"))->addAction(QStringLiteral("終了(&X)"));
    exit->setStatusTip(QStringLiteral("終了します"));
    QAction* help = bar->addMenu(QStringLiteral("ヘルプ(&H)"))->addAction(QStringLiteral("ヘルプ"));
    help->setStatusTip(QStringLiteral("ヘルプを表示します"));
    QObject::connect(exit, &QAction::triggered, window, &QDialog::close);
    QObject::connect(help, &QAction::triggered, window,
                     [helpContext] { Help::HelpContext(helpContext); });
    return bar;
}

} // namespace

TWriteTextForm::TWriteTextForm(Query& query, const QString& defaultFile, int helpContext,
                               QWidget* parent)
    : QDialog(parent), query_(query), defaultFile_(defaultFile), helpContext_(helpContext) {
    setWindowTitle(Caption());
    resize(423, 297);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(FileWindowMenu(this, helpContext));
    DBGrid1 = new TDBGrid(this);
    DBGrid1->SetMultiSelect(true);
    DBGrid1->setToolTip(QStringLiteral("出力するデータを選択してください"));
    DBGrid1->setStatusTip(DBGrid1->toolTip());
    QPalette selection = DBGrid1->palette();
    selection.setColor(QPalette::Highlight, QColor(0, 128, 255)); // 0xFF8000 as 0x00BBGGRR
    DBGrid1->setPalette(selection);
    layout->addWidget(DBGrid1, 1);
    auto* bottom = new QGroupBox(this);
    auto* row = new QHBoxLayout(bottom);
    auto* radios = new QGroupBox(QStringLiteral(" 出力対象 "), bottom);
    radios->setToolTip(QStringLiteral("出力するデータの対象を選択してください"));
    radios->setStatusTip(radios->toolTip());
    auto* grid = new QGridLayout(radios);
    RadioAll = new QRadioButton(QStringLiteral("全 て"), radios);
    RadioSelected = new QRadioButton(QStringLiteral("任意選択"), radios);
    RadioCurrent = new QRadioButton(QStringLiteral("カーソル位置"), radios);
    RadioAll->setChecked(true);
    grid->addWidget(RadioAll, 0, 0);
    grid->addWidget(RadioSelected, 0, 1);
    grid->addWidget(RadioCurrent, 1, 0);
    row->addWidget(radios, 1);
    BitBtn3 = new QPushButton(QStringLiteral("出 力"), bottom);
    BitBtn3->setToolTip(QStringLiteral("ファイル名を指定して出力します"));
    BitBtn3->setStatusTip(BitBtn3->toolTip());
    row->addWidget(BitBtn3);
    layout->addWidget(bottom);
    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    const int widths[] = {60, 70, 50, 50, 50, 0};
    const QString texts[] = {QStringLiteral("F1ヘルプ"),
                             QStringLiteral("レコード数"),
                             {},
                             QStringLiteral("選択数"),
                             {},
                             {}};
    for (int i = 0; i < 6; ++i) {
        StatusPanels[i] = widths[i] ? new QLabel(texts[i]) : MakeHintPanel();
        if (widths[i]) {
            StatusPanels[i]->setFixedWidth(widths[i]);
            StatusPanels[i]->setAlignment(Qt::AlignCenter);
        }
        status->addWidget(StatusPanels[i], widths[i] ? 0 : 1);
    }
    layout->addWidget(status);
    ApplicationEvents1 = new TApplicationEvents(this);
    ApplicationEvents1->OnHint = [this] { Hints::ShowStatusHint(StatusPanels[5], {}); };
    ApplicationEvents1->OnShowHint = [](Hints::HintInfo& info) { Hints::SetHintInfo(info, {}); };
    Hints::SetShowHints(this, Settings::HintShow);
    Hints::SetHelpContext(this, helpContext);
    DataSource1.SetDataSet(&query_);
    DBGrid1->SetDataSource(&DataSource1);
    BuildColumns();
    StatusPanels[2]->setText(Count(query_.RecordCount()));
    UpdateSelectionCount();
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TWriteTextForm::UpdateSelectionCount);
    connect(BitBtn3, &QPushButton::clicked, this, &TWriteTextForm::BitBtn3Click);
    ChooseFile = [this] { return RunSaveDialog(); };
}

void TWriteTextForm::BuildColumns() {
    std::vector<TColumn> columns;
    for (int i = 0; i < std::min(query_.FieldCount(), 20); ++i) {
        const ColumnInfo& c = query_.Column(i);
        const int width = std::clamp(static_cast<int>(c.length), 64, 200);
        columns.push_back(TColumn{c.name, QStringLiteral("項目%1").arg(i + 1), width,
                                  Qt::AlignLeft | Qt::AlignVCenter, Qt::AlignCenter, QColor()});
    }
    DBGrid1->SetColumns(columns);
}

void TWriteTextForm::UpdateSelectionCount() {
    StatusPanels[4]->setText(Count(static_cast<int>(DBGrid1->SelectedRows().size())));
}

QString TWriteTextForm::RunSaveDialog() {
    QString filter = QStringLiteral("テキストファイル(.*.txt) (*.txt);;全てのファイル(*.*) (*)");
    if (!defaultFile_.isEmpty())
        filter =
            defaultFile_ + QStringLiteral(" (") + defaultFile_ + QStringLiteral(");;") + filter;
    QFileDialog dialog(this, QStringLiteral("出力するファイル名を指定します"), {}, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.selectFile(defaultFile_);
    // An existing file is appended to, so there is nothing to confirm.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

QString TWriteTextForm::ChosenCaption() const {
    const QRadioButton* chosen = RadioSelected->isChecked()  ? RadioSelected
                                 : RadioCurrent->isChecked() ? RadioCurrent
                                                             : RadioAll;
    return chosen->text();
}

void TWriteTextForm::BitBtn3Click() {
    const QString file = ChooseFile ? ChooseFile() : QString();
    if (file.isEmpty())
        return;
    const bool exists = QFileInfo::exists(file);
    const QString question =
        QStringLiteral("指定されたファイル：") + file + QStringLiteral("\r\rに ＜") +
        ChosenCaption() + QStringLiteral("＞ のデータを") +
        (exists ? QStringLiteral("追加します。") : QStringLiteral("出力します。")) +
        QStringLiteral("\r\r実行しますか？");
    if (Messages::Ask(question, Messages::Buttons::YesNo, this) != Messages::Answer::Yes)
        return;
    const ExportRange range = RadioSelected->isChecked()  ? ExportRange::Selected
                              : RadioCurrent->isChecked() ? ExportRange::Current
                                                          : ExportRange::All;
    QList<int> recNos;
    for (int row : DBGrid1->SelectedRows())
        recNos << row + 1;
    int written = 0;
    try {
        written = ExportRecords(query_, file, exists, range, recNos);
    } catch (const std::exception& e) {
        Messages::ShowError(ExceptionText(e), this);
        return;
    }
    if (written > 0)
        Messages::ShowInformation(QStringLiteral("正常に終了しました。"), this);
    else
        Messages::ShowError(
            QStringLiteral(
                "エラーが発生しました。\r\rエラーの原因を取り除き再度実行してください。"),
            this);
}

void ShowWriteText(Query& query, const QString& defaultFile, int helpContext) {
    TWriteTextForm form(query, defaultFile, helpContext, QApplication::activeWindow());
    form.exec();
}
