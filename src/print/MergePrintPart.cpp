#include "print/MergePrintPart.h"

#include "controls/Hinted.h"
#include "model/MergeList.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"
#include "ui/SlotGuard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

const QString kSection = QStringLiteral("MergeList");

QSpinBox* SpinBox(QWidget* parent, const QRect& at, int max) {
    auto* box = new QSpinBox(parent);
    box->setGeometry(at);
    box->setRange(1, std::max(max, 1));
    box->setAlignment(Qt::AlignCenter);
    return box;
}

} // namespace

TMergePrintPart::TMergePrintPart(QWidget* client, int top) : QObject(client) {
    GroupMerge = MakeGroup(client, QStringLiteral(" 差し込み印刷 "), {8, top, 365, kHeight},
                           QStringLiteral("住所録などの 1 行ごとにラベルを印刷します"));
    GroupMerge->setCheckable(true);
    GroupMerge->setChecked(false);
    MakeLabel(GroupMerge, QStringLiteral("ファイル"), QPoint(12, 24));
    EditMergeFile = new QLineEdit(GroupMerge);
    EditMergeFile->setGeometry(70, 20, 220, 21);
    SetHint(EditMergeFile, QStringLiteral("差し込みデータ（CSV または TSV）のファイルです"));
    BtnMergeFile = new QPushButton(QStringLiteral("参照..."), GroupMerge);
    BtnMergeFile->setGeometry(296, 19, 58, 23);
    MakeLabel(GroupMerge, QStringLiteral("文字コード"), QPoint(12, 50));
    ComboEncoding = new QComboBox(GroupMerge);
    ComboEncoding->setGeometry(70, 46, 96, 21);
    ComboEncoding->addItems(
        {QStringLiteral("自動"), QStringLiteral("UTF-8"), QStringLiteral("Shift-JIS")});
    MakeLabel(GroupMerge, QStringLiteral("1 行あたり"), QPoint(176, 50));
    SpinCopies = SpinBox(GroupMerge, {236, 46, 52, 21}, TMergeParams::kMaxCopies);
    MakeLabel(GroupMerge, QStringLiteral("枚"), QPoint(292, 50));
    CheckRange = new QCheckBox(QStringLiteral("行"), GroupMerge);
    CheckRange->setGeometry(12, 72, 40, 21);
    SetHint(CheckRange, QStringLiteral("印刷する行の範囲を指定します（外すとすべての行）"));
    SpinFirstRow = SpinBox(GroupMerge, {52, 72, 64, 21}, 1);
    MakeLabel(GroupMerge, QStringLiteral("～"), QPoint(120, 76));
    SpinLastRow = SpinBox(GroupMerge, {136, 72, 64, 21}, 1);
    LabelRows = MakeLabel(GroupMerge, QString(), QPoint(204, 76));
    CheckDropBlank = new QCheckBox(QStringLiteral("空行を詰める"), GroupMerge);
    CheckDropBlank->setGeometry(262, 72, 100, 21);
    CheckDropBlank->setChecked(true);
    LabelTotal = MakeLabel(client, QString(), QPoint(16, top + kHeight + 2));
    LabelTotal->resize(350, 14);

    connect(GroupMerge, &QGroupBox::toggled, this, [this](bool on) {
        UpdateCounts();
        emit ActiveChanged(on);
    });
    connect(BtnMergeFile, &QPushButton::clicked, this,
            Guarded(this, &TMergePrintPart::BtnMergeFileClick));
    connect(EditMergeFile, &QLineEdit::editingFinished, this,
            Guarded(this, &TMergePrintPart::LoadList));
    connect(ComboEncoding, &QComboBox::activated, this, Guarded(this, &TMergePrintPart::LoadList));
    for (QSpinBox* box : {SpinFirstRow, SpinLastRow, SpinCopies})
        connect(box, &QSpinBox::valueChanged, this, [this] { UpdateCounts(); });
    connect(CheckRange, &QCheckBox::toggled, this, [this] { UpdateCounts(); });
    UpdateCounts();
}

bool TMergePrintPart::Active() const {
    return GroupMerge->isChecked();
}

long long TMergePrintPart::Labels() const {
    return Selection().Labels();
}

ListEncoding TMergePrintPart::Encoding() const {
    static const ListEncoding byIndex[] = {ListEncoding::Auto, ListEncoding::Utf8,
                                           ListEncoding::Cp932};
    return byIndex[std::clamp(ComboEncoding->currentIndex(), 0, 2)];
}

void TMergePrintPart::SetDesign(const QString& designKey) {
    designKey_ = designKey;
    if (designKey.isEmpty())
        return;
    const QString path = IniReadString(Settings::IniFileName, kSection, designKey, QString());
    if (path.isEmpty())
        return;
    EditMergeFile->setText(path);
    ComboEncoding->setCurrentIndex(std::clamp(
        IniReadInteger(Settings::IniFileName, kSection, designKey + "Encoding", 0), 0, 2));
    try {
        list_ = std::make_shared<const MergeList>(LoadMergeList(path, Encoding()));
    } catch (const EError&) {
        list_.reset(); // a remembered list that went away is chosen again when wanted
    }
    UpdateCounts();
}

QStringList TMergePrintPart::RememberedColumns(const QString& designKey) {
    const QString path = IniReadString(Settings::IniFileName, kSection, designKey, QString());
    const int encoding = IniReadInteger(Settings::IniFileName, kSection, designKey + "Encoding", 0);
    static const ListEncoding byIndex[] = {ListEncoding::Auto, ListEncoding::Utf8,
                                           ListEncoding::Cp932};
    try {
        return path.isEmpty() ? QStringList()
                              : LoadMergeList(path, byIndex[std::clamp(encoding, 0, 2)]).columns;
    } catch (const EError&) {
        return {};
    }
}

void TMergePrintPart::SetCells(int empty, int perPage) {
    empty_ = std::max(empty, 0);
    perPage_ = std::max(perPage, 1);
    UpdateCounts();
}

void TMergePrintPart::BtnMergeFileClick() {
    const QString path = QFileDialog::getOpenFileName(
        GroupMerge, QStringLiteral("差し込みデータを開く"), EditMergeFile->text(),
        QStringLiteral("差し込みデータ (*.csv *.tsv *.txt);;すべてのファイル (*)"));
    if (path.isEmpty())
        return;
    EditMergeFile->setText(path);
    LoadList();
}

void TMergePrintPart::LoadList() {
    list_.reset();
    UpdateCounts();
    if (EditMergeFile->text().isEmpty())
        return;
    list_ = std::make_shared<const MergeList>(LoadMergeList(EditMergeFile->text(), Encoding()));
    SpinFirstRow->setValue(1);
    SpinLastRow->setValue(static_cast<int>(list_->rows.size()));
    UpdateCounts();
}

void TMergePrintPart::UpdateCounts() {
    const int rows = list_ ? static_cast<int>(list_->rows.size()) : 0;
    for (QSpinBox* box : {SpinFirstRow, SpinLastRow})
        box->setMaximum(std::max(rows, 1));
    SpinFirstRow->setEnabled(CheckRange->isChecked());
    SpinLastRow->setEnabled(CheckRange->isChecked());
    LabelRows->setText(QStringLiteral("／ %L1 行").arg(rows));
    const long long labels = Labels();
    const long long pages = (empty_ + labels + perPage_ - 1) / perPage_;
    LabelTotal->setText(Active() && list_
                            ? QStringLiteral("ラベル %L1 枚、%L2 ページ").arg(labels).arg(pages)
                            : QString());
    emit CountsChanged();
}

TMergeParams TMergePrintPart::Selection() const {
    TMergeParams m;
    if (!Active() || !list_)
        return m;
    m.List = list_;
    const bool range = CheckRange->isChecked();
    m.FirstRow = range ? SpinFirstRow->value() - 1 : 0;
    m.LastRow = range ? SpinLastRow->value() - 1 : static_cast<int>(list_->rows.size()) - 1;
    m.Copies = SpinCopies->value();
    m.DropBlankLines = CheckDropBlank->isChecked();
    return m;
}

TMergeParams TMergePrintPart::Params() {
    if (!Active())
        return {};
    if (!list_)
        throw EError(QStringLiteral("差し込みデータのファイルを指定してください。"));
    if (!designKey_.isEmpty()) {
        IniWriteString(Settings::IniFileName, kSection, designKey_, EditMergeFile->text());
        IniWriteInteger(Settings::IniFileName, kSection, designKey_ + "Encoding",
                        ComboEncoding->currentIndex());
    }
    return Selection();
}
