#include "sheets/ReadTextU.h"

#include "controls/Hinted.h"
#include "controls/WindowMenu.h"
#include "platform/Error.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"
#include "platform/WaitCursor.h"
#include "sheets/SheetTextFile.h"
#include "ui/Hints.h"

#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

TReadTextForm::TReadTextForm(Query& query, const QString& defaultFile, int helpContext,
                             QWidget* parent)
    : QDialog(parent), query_(query), defaultFile_(defaultFile) {
    setWindowTitle(Caption());
    resize(394, 266);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(FileAndHelpMenu(this, helpContext));
    auto* top =
        new QLabel(QStringLiteral("指定した印刷設定情報ファイルの内容を読み込みます。"), this);
    top->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    top->setStyleSheet(QStringLiteral("color: blue"));
    layout->addWidget(top);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono(QStringLiteral("ＭＳ ゴシック"));
    mono.setPixelSize(13);
    Memo1->setFont(mono);
    Memo1->setToolTip(QStringLiteral("テキストファイルの内容を表示します"));
    Memo1->setStatusTip(Memo1->toolTip());
    layout->addWidget(Memo1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(6, 4, 6, 4); // clear of the window's edges
    BitBtn3 = new QPushButton(QStringLiteral("ファイル指定"), this);
    BitBtn3->setToolTip(QStringLiteral("読み込むテキストファイルを指定します"));
    BitBtn3->setStatusTip(BitBtn3->toolTip());
    BitBtn4 = new QPushButton(QStringLiteral("実 行"), this);
    BitBtn4->setToolTip(QStringLiteral("実行します"));
    BitBtn4->setStatusTip(BitBtn4->toolTip());
    BitBtn4->setEnabled(false);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn3);
    buttons->addWidget(BitBtn4);
    layout->addLayout(buttons);
    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    auto* f1 = new QLabel(QStringLiteral("F1ヘルプ"));
    f1->setFixedWidth(60);
    f1->setAlignment(Qt::AlignCenter);
    HintPanel = MakeHintPanel();
    status->addWidget(f1);
    status->addWidget(HintPanel, 1);
    layout->addWidget(status);
    ApplicationEvents1 = new TApplicationEvents(this);
    ApplicationEvents1->OnHint = [this] { Hints::ShowStatusHint(HintPanel, {}); };
    ApplicationEvents1->OnShowHint = [](Hints::HintInfo& info) { Hints::SetHintInfo(info, {}); };
    Hints::SetShowHints(this, Settings::HintShow);
    Hints::SetHelpContext(this, helpContext);
    connect(BitBtn3, &QPushButton::clicked, this, &TReadTextForm::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TReadTextForm::BitBtn4Click);
    ChooseFile = [this] { return RunOpenDialog(); };
}

QString TReadTextForm::RunOpenDialog() {
    QString filter = QStringLiteral("テキストファイル(*.txt) (*.txt);;全てのファイル(*.*) (*)");
    if (!defaultFile_.isEmpty())
        filter =
            defaultFile_ + QStringLiteral(" (") + defaultFile_ + QStringLiteral(");;") + filter;
    QFileDialog dialog(this, QStringLiteral("読み込むテキストファイルを指定します"), {}, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.selectFile(defaultFile_);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

void TReadTextForm::LoadPreview(const QString& fileName) {
    WaitCursor wait;
    SheetTextReader reader(fileName);
    QStringList lines;
    QString line;
    while (reader.NextLine(&line))
        lines << line;
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
}

void TReadTextForm::BitBtn3Click() {
    const QString file = ChooseFile ? ChooseFile() : QString();
    BitBtn4->setEnabled(!file.isEmpty());
    if (file.isEmpty())
        return;
    try {
        LoadPreview(file);
    } catch (const std::exception& e) {
        Messages::ShowError(ExceptionText(e), this); // the previous preview stays
    }
}

void TReadTextForm::BitBtn4Click() {
    if (Messages::Ask(QStringLiteral("設定情報を読み込みます。\r\r実行しますか？"),
                      Messages::Buttons::YesNo, this) != Messages::Answer::Yes)
        return;
    const QString text = Memo1->toPlainText();
    const QStringList lines = text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
    try {
        if (ImportLines(query_, lines))
            Messages::ShowInformation(QStringLiteral("正常に終了しました。"), this);
    } catch (const std::exception& e) {
        Messages::ShowError(ExceptionText(e), this);
    }
}

void ShowReadText(Query& query, const QString& defaultFile, int helpContext) {
    TReadTextForm form(query, defaultFile, helpContext, QApplication::activeWindow());
    form.exec();
}
