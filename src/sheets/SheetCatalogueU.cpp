#include "sheets/SheetCatalogueU.h"

#include "controls/Hinted.h"
#include "controls/WindowMenu.h"
#include "data/Query.h"
#include "platform/Error.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"
#include "platform/WaitCursor.h"
#include "sheets/TemplatePicture.h"
#include "ui/Hints.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QSize kPictureSize(220, 250);
// Where the Debian package puts the catalogue.
const QString kUsualFolder = QStringLiteral("/usr/share/libglabels-3.0/templates");

QString AllMakers() {
    return QStringLiteral("（すべて）");
}

QString MissingText(const QString& folder) {
    return QStringLiteral("ラベル用紙のカタログが見つかりません（%1）。\n\n"
                          "カタログは Debian のパッケージ glabels-data に入っています。\n"
                          "次のコマンドでインストールしてから、もう一度開いてください。\n\n"
                          "    apt install glabels-data")
        .arg(folder.isEmpty() ? kUsualFolder : folder);
}

QString FaultText(const std::vector<TemplateFileFault>& faults) {
    QStringList parts;
    for (const TemplateFileFault& f : faults)
        parts << f.file + QStringLiteral(": ") + f.reason;
    return parts.join(QStringLiteral(" ／ "));
}

QString ValuesText(const SheetLayout& v) {
    return QStringLiteral("用紙 %1（%2×%3）\n列数 %4　段数 %5\nマージン 左 %6　上 %7\n"
                          "ラベル 横 %8　縦 %9\n間隔 横 %10　縦 %11\n（1/10ミリ単位）")
        .arg(v.paperType)
        .arg(v.paperWidth)
        .arg(v.paperHeight)
        .arg(v.columns)
        .arg(v.rows)
        .arg(v.leftMargin)
        .arg(v.topMargin)
        .arg(v.labelWidth)
        .arg(v.labelHeight)
        .arg(v.gapX)
        .arg(v.gapY);
}

} // namespace

// The sheets shown: one row per catalogue entry, unconvertible ones grey with their reason.
class TCatalogueModel : public QAbstractTableModel {
  public:
    explicit TCatalogueModel(const SheetCatalogue& catalogue, QObject* parent)
        : QAbstractTableModel(parent), catalogue_(catalogue) {}

    void SetRows(std::vector<int> rows) {
        beginResetModel();
        rows_ = std::move(rows);
        Order();
        endResetModel();
    }

    // A column below 0 is the catalogue's own order.
    void sort(int column, Qt::SortOrder order) override {
        emit layoutAboutToBeChanged();
        sortColumn_ = column;
        sortOrder_ = order;
        Order();
        emit layoutChanged();
    }
    const std::vector<int>& Rows() const { return rows_; }
    const CatalogueEntry& EntryAt(int row) const {
        return catalogue_.Entries()[static_cast<size_t>(rows_[static_cast<size_t>(row)])];
    }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : kColumns;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const QStringList titles = {QStringLiteral("販売会社名"),
                                           QStringLiteral("名称（型番）"),
                                           QStringLiteral("用紙"),
                                           QStringLiteral("面数"),
                                           QStringLiteral("ラベル(mm)"),
                                           QStringLiteral("説明"),
                                           QStringLiteral("追加できない理由")};
        if (orientation != Qt::Horizontal)
            return {};
        if (role == Qt::DisplayRole)
            return titles.value(section);
        if (role == Qt::ForegroundRole)
            return QColor(0, 0, 255);
        return {};
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid())
            return {};
        const CatalogueEntry& e = EntryAt(index.row());
        switch (role) {
        case Qt::DisplayRole:
            return Text(e, index.column());
        case Qt::ForegroundRole:
            return e.Convertible() ? QColor(0, 0, 255) : QColor(128, 128, 128);
        case Qt::TextAlignmentRole:
            return index.column() == 3 ? int(Qt::AlignCenter)
                                       : int(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::ToolTipRole:
            return e.Convertible() ? e.sheet.description : e.conversion.reason;
        default:
            return {};
        }
    }

  private:
    static constexpr int kColumns = 7;

    // What a column sorts by: numbers as numbers, a label size by width, then height.
    static QVariantList Key(const CatalogueEntry& e, int column) {
        if (column == 3)
            return {LabelsPerSheet(e.sheet)};
        if (column == 4)
            return {e.sheet.width, e.sheet.height};
        return {Text(e, column).toString().toCaseFolded()};
    }

    void Order() {
        const auto& entries = catalogue_.Entries();
        std::stable_sort(rows_.begin(), rows_.end(), [&](int a, int b) {
            if (sortColumn_ < 0)
                return a < b;
            const QVariantList ka = Key(entries[static_cast<size_t>(a)], sortColumn_),
                               kb = Key(entries[static_cast<size_t>(b)], sortColumn_);
            const auto less = [](const QVariantList& x, const QVariantList& y) {
                for (qsizetype i = 0; i < x.size(); ++i) {
                    const auto c = QVariant::compare(x[i], y[i]);
                    if (c != QPartialOrdering::Equivalent)
                        return c == QPartialOrdering::Less;
                }
                return false;
            };
            return sortOrder_ == Qt::AscendingOrder ? less(ka, kb) : less(kb, ka);
        });
    }

    static QVariant Text(const CatalogueEntry& e, int column) {
        const LabelTemplate& t = e.sheet;
        switch (column) {
        case 0:
            return t.brand;
        case 1:
            return t.part;
        case 2:
            return PaperText(t);
        case 3:
            return LabelsPerSheet(t);
        case 4:
            return LabelSizeText(t);
        case 5:
            return t.description;
        default:
            return e.conversion.reason;
        }
    }

    const SheetCatalogue& catalogue_;
    std::vector<int> rows_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

TSheetCatalogueForm::TSheetCatalogueForm(Query& sheets, const QString& folder, QWidget* parent)
    : QDialog(parent), sheets_(sheets) {
    setWindowTitle(Caption());
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(13);
    setFont(font);
    resize(1000, 580);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->setMenuBar(FileAndHelpMenu(this, kHelpContext));
    auto* body = new QHBoxLayout;
    body->setContentsMargins(6, 4, 6, 0);
    body->addWidget(CreateMakerPart());
    body->addWidget(CreateListPart(), 1);
    body->addWidget(CreateSheetPart());
    layout->addLayout(body, 1);
    CreateStatusBar(this);
    ApplicationEvents1 = new TApplicationEvents(this);
    ApplicationEvents1->OnHint = [this] { Hints::ShowStatusHint(StatusPanels[3], {}); };
    ApplicationEvents1->OnShowHint = [](Hints::HintInfo& info) { Hints::SetHintInfo(info, {}); };
    Hints::SetShowHints(this, Settings::HintShow);
    Hints::SetHelpContext(this, kHelpContext);
    {
        WaitCursor wait;
        Catalogue.Load(folder);
    }
    ShowCatalogue();
}

TSheetCatalogueForm::~TSheetCatalogueForm() = default;

QWidget* TSheetCatalogueForm::CreateMakerPart() {
    auto* part = new QWidget(this);
    auto* v = new QVBoxLayout(part);
    v->setContentsMargins(0, 0, 0, 0);
    const QString categoryHint = QStringLiteral("用途で絞り込みます");
    v->addWidget(MakeLabel(part, QStringLiteral("分類"), {}, categoryHint));
    CategoryBox = new QComboBox(part);
    CategoryBox->setFixedWidth(150);
    SetHint(CategoryBox, categoryHint);
    v->addWidget(CategoryBox);
    const QString hint = QStringLiteral("販売会社で絞り込みます");
    v->addWidget(MakeLabel(part, QStringLiteral("販売会社"), {}, hint));
    MakerList = new QListWidget(part);
    MakerList->setFixedWidth(150);
    SetHint(MakerList, hint);
    v->addWidget(MakerList, 1);
    connect(MakerList, &QListWidget::currentRowChanged, this, [this] { Filter(); });
    connect(CategoryBox, &QComboBox::currentIndexChanged, this, [this] { Filter(); });
    return part;
}

QWidget* TSheetCatalogueForm::CreateListPart() {
    auto* part = new QWidget(this);
    auto* v = new QVBoxLayout(part);
    v->setContentsMargins(0, 0, 0, 0);
    auto* search = new QHBoxLayout;
    const QString hint = QStringLiteral(
        "販売会社名・型番・説明・用紙・ラベルの寸法（70x42.3）・面数（21面）で絞り込みます");
    search->addWidget(MakeLabel(part, QStringLiteral("検索"), {}, hint));
    SearchEdit = new QLineEdit(part);
    SearchEdit->setClearButtonEnabled(true);
    SetHint(SearchEdit, hint);
    search->addWidget(SearchEdit, 1);
    v->addLayout(search);
    Pages = new QStackedWidget(part);
    SheetGrid = new QTableView(Pages);
    model_ = new TCatalogueModel(Catalogue, this);
    SheetGrid->setModel(model_);
    SheetGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    SheetGrid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    SheetGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SheetGrid->verticalHeader()->hide();
    SheetGrid->verticalHeader()->setDefaultSectionSize(20);
    SheetGrid->horizontalHeader()->setStretchLastSection(true);
    SheetGrid->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    SheetGrid->setSortingEnabled(true);
    const int widths[] = {100, 120, 70, 40, 90, 170};
    for (int i = 0; i < 6; ++i)
        SheetGrid->setColumnWidth(i, widths[i]);
    SetHint(SheetGrid, QStringLiteral("追加する用紙を選択します（複数選択できます）"));
    MissingLabel = new QLabel(Pages);
    MissingLabel->setAlignment(Qt::AlignCenter);
    MissingLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Pages->addWidget(SheetGrid);
    Pages->addWidget(MissingLabel);
    v->addWidget(Pages, 1);
    connect(SearchEdit, &QLineEdit::textChanged, this, [this] { Filter(); });
    connect(SheetGrid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { SheetGridSelectionChange(); });
    connect(SheetGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { SheetGridSelectionChange(); });
    connect(SheetGrid, &QTableView::doubleClicked, this, [this] { AddBtnClick(); });
    return part;
}

QWidget* TSheetCatalogueForm::CreateSheetPart() {
    auto* part = new QWidget(this);
    part->setFixedWidth(kPictureSize.width() + 8);
    auto* v = new QVBoxLayout(part);
    v->setContentsMargins(0, 0, 0, 0);
    SheetImage = new QLabel(part);
    SheetImage->setFixedSize(kPictureSize);
    SheetImage->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    SetHint(SheetImage, QStringLiteral("選択した用紙のラベルの配置です"));
    v->addWidget(SheetImage);
    ValuesLabel = new QLabel(part);
    ValuesLabel->setWordWrap(true);
    ValuesLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetHint(ValuesLabel, QStringLiteral("用紙設定に追加される値です"));
    v->addWidget(ValuesLabel, 1);
    auto* buttons = new QHBoxLayout;
    AddBtn = new QPushButton(QStringLiteral("追 加"), part);
    SetHint(AddBtn, QStringLiteral("選択した用紙を用紙設定に追加します"));
    CancelBtn = new QPushButton(QStringLiteral("キャンセル"), part);
    SetHint(CancelBtn, QStringLiteral("追加せずに閉じます"));
    for (QPushButton* b : {AddBtn, CancelBtn}) {
        b->setAutoDefault(false); // Enter in the search box must not add
        buttons->addWidget(b);
    }
    v->addLayout(buttons);
    connect(AddBtn, &QPushButton::clicked, this, &TSheetCatalogueForm::AddBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    return part;
}

void TSheetCatalogueForm::CreateStatusBar(QWidget* parent) {
    auto* bar = new QStatusBar(parent);
    bar->setSizeGripEnabled(false);
    const int widths[] = {60, 110, 300, 0};
    for (int i = 0; i < 4; ++i) {
        StatusPanels[i] = widths[i] ? new QLabel : MakeHintPanel();
        if (widths[i])
            StatusPanels[i]->setFixedWidth(widths[i]);
        bar->addWidget(StatusPanels[i], widths[i] ? 0 : 1);
    }
    StatusPanels[0]->setText(QStringLiteral("F1ヘルプ"));
    StatusPanels[0]->setAlignment(Qt::AlignCenter);
    StatusPanels[1]->setAlignment(Qt::AlignCenter);
    StatusPanels[2]->setStyleSheet(QStringLiteral("color: red"));
    parent->layout()->addWidget(bar);
}

void TSheetCatalogueForm::ShowCatalogue() {
    if (!Catalogue.Found()) {
        MissingLabel->setText(MissingText(Catalogue.Folder()));
        Pages->setCurrentWidget(MissingLabel);
        StatusPanels[2]->setText(QStringLiteral("カタログがありません"));
        for (QWidget* w :
             std::initializer_list<QWidget*>{CategoryBox, MakerList, SearchEdit, AddBtn})
            w->setEnabled(false);
        return;
    }
    {
        const QSignalBlocker quiet(CategoryBox); // the maker list fills the grid once below
        CategoryBox->addItem(AllMakers(), QString());
        for (const TemplateCategory& c : Catalogue.Categories())
            CategoryBox->addItem(c.name, c.id);
    }
    MakerList->addItem(AllMakers());
    MakerList->addItems(Catalogue.Makers());
    MakerList->setCurrentRow(0); // fills the list
}

void TSheetCatalogueForm::Filter() {
    const QString maker =
        MakerList->currentRow() > 0 ? MakerList->currentItem()->text() : QString();
    model_->SetRows(
        Catalogue.Find(maker, SearchEdit->text(), CategoryBox->currentData().toString()));
    const QLocale locale(QLocale::English);
    StatusPanels[1]->setText(locale.toString(static_cast<qlonglong>(model_->Rows().size())) +
                             QStringLiteral("件"));
    if (!model_->Rows().empty())
        SheetGrid->selectRow(0);
    SheetGridSelectionChange();
}

const std::vector<int>& TSheetCatalogueForm::ShownEntries() const {
    return model_->Rows();
}

const CatalogueEntry* TSheetCatalogueForm::CurrentEntry() const {
    const QModelIndex current = SheetGrid->currentIndex();
    return current.isValid() ? &model_->EntryAt(current.row()) : nullptr;
}

std::vector<const CatalogueEntry*> TSheetCatalogueForm::ChosenEntries() const {
    QModelIndexList rows = SheetGrid->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    std::vector<const CatalogueEntry*> chosen;
    for (const QModelIndex& i : rows)
        chosen.push_back(&model_->EntryAt(i.row()));
    return chosen;
}

void TSheetCatalogueForm::SheetGridSelectionChange() {
    const CatalogueEntry* e = CurrentEntry();
    SheetImage->setPixmap(e ? TemplatePicture(e->sheet, kPictureSize, e->Convertible())
                            : QPixmap());
    if (!e)
        ValuesLabel->clear();
    else if (e->Convertible())
        ValuesLabel->setText(ValuesText(e->conversion.sheet->layout));
    else
        ValuesLabel->setText(QStringLiteral("追加できません: ") + e->conversion.reason);
    ValuesLabel->setStyleSheet(e && !e->Convertible() ? QStringLiteral("color: red") : QString());
    ShowFaults(e && !e->Convertible() ? e->sheet.part + QStringLiteral(": ") + e->conversion.reason
                                      : QString());
    const std::vector<const CatalogueEntry*> chosen = ChosenEntries();
    const auto usable = std::count_if(chosen.begin(), chosen.end(),
                                      [](const CatalogueEntry* c) { return c->Convertible(); });
    AddBtn->setEnabled(usable > 0 && sheets_.Active());
}

void TSheetCatalogueForm::ShowFaults(const QString& current) {
    QStringList parts;
    if (!current.isEmpty())
        parts << current;
    if (!Catalogue.Faults().empty())
        parts << FaultText(Catalogue.Faults());
    const QString text = parts.join(QStringLiteral(" ／ "));
    StatusPanels[2]->setText(text);
    StatusPanels[2]->setToolTip(text);
}

void TSheetCatalogueForm::AddBtnClick() {
    Guarded([this] {
        std::vector<TemplateSheet> list;
        for (const CatalogueEntry* e : ChosenEntries())
            if (e->Convertible())
                list.push_back(*e->conversion.sheet);
        if (list.empty() || !sheets_.Active())
            return;
        added_ = AppendTemplateSheets(sheets_, list);
        accept();
    });
}

void TSheetCatalogueForm::Guarded(const std::function<void()>& work) {
    try {
        work();
    } catch (const std::exception& e) {
        Messages::ShowError(ExceptionText(e), this);
    }
}

int ShowSheetCatalogue(Query& sheets, QWidget* owner) {
    TSheetCatalogueForm form(sheets, InstalledTemplateFolder(), owner);
    return form.exec() == QDialog::Accepted ? form.AddedCount() : 0;
}
