#include "controls/DBGrid.h"

#include "data/Query.h"
#include "platform/MessageService.h"
#include "ui/SlotGuard.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QWheelEvent>
#include <algorithm>
#include <set>

TDataSetModel::TDataSetModel(QObject* parent) : QAbstractTableModel(parent) {}

void TDataSetModel::SetDataSource(DataSource* source) {
    if (source_)
        disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    if (source_) {
        connect(source_, &DataSource::DataChange, this, &TDataSetModel::Refresh);
        connect(source_, &DataSource::StateChange, this, &TDataSetModel::Refresh);
    }
    Refresh();
}

void TDataSetModel::SetColumns(std::vector<TColumn> columns) {
    beginResetModel();
    columns_ = std::move(columns);
    endResetModel();
}

void TDataSetModel::Refresh() {
    Query* q = DataSet();
    const int rows = q && q->Active() ? q->RecordCount() : 0;
    if (rows != rows_) {
        beginResetModel();
        rows_ = rows;
        endResetModel();
    } else if (rows_ > 0) {
        emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
    }
    const int current = rows_ > 0 ? q->RecNo() - 1 : -1;
    if (current != current_) {
        const int old = current_;
        current_ = current;
        if (old >= 0 && old < rows_)
            emit headerDataChanged(Qt::Vertical, old, old);
        if (current_ >= 0)
            emit headerDataChanged(Qt::Vertical, current_, current_);
    }
    emit CurrentRowChanged(current_);
}

int TDataSetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int TDataSetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TDataSetModel::data(const QModelIndex& index, int role) const {
    Query* q = DataSet();
    if (!q || !q->Active() || index.row() >= q->RecordCount())
        return {};
    const TColumn& col = columns_.at(static_cast<size_t>(index.column()));
    switch (role) {
    case Qt::DisplayRole: {
        const int field = q->FieldIndex(col.FieldName);
        try {
            return field < 0 ? QVariant() : QVariant(q->RowValue(index.row(), field).toString());
        } catch (const std::exception&) {
            return {}; // a row the lost connection cannot give shows empty, never ends the paint
        }
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(col.Alignment);
    case Qt::ForegroundRole:
        return col.TextColor.isValid() ? QVariant(col.TextColor) : QVariant();
    default:
        return {};
    }
}

QVariant TDataSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= columnCount())
            return {};
        const TColumn& col = columns_[static_cast<size_t>(section)];
        if (role == Qt::DisplayRole)
            return col.Title.isEmpty() ? col.FieldName : col.Title;
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(col.TitleAlignment);
        return {};
    }
    if (role == Qt::DisplayRole)
        return section == current_ ? QStringLiteral("▶") : QString();
    return {};
}

// ---------------------------------------------------------------------------

TDBGrid::TDBGrid(QWidget* parent) : QTableView(parent), model_(new TDataSetModel(this)) {
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(true);
    verticalHeader()->setDefaultSectionSize(18);
    verticalHeader()->setFixedWidth(12);
    horizontalHeader()->setSectionsMovable(false);
    connect(this, &QAbstractItemView::pressed, this, Guarded(this, &TDBGrid::UserChoseRow));
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                Messages::RunGuarded([&] { UserChoseRow(current); }, this);
            });
    connect(model_, &TDataSetModel::CurrentRowChanged, this, &TDBGrid::FollowDataSet);
}

void TDBGrid::SetDataSource(DataSource* source) {
    model_->SetDataSource(source);
}

void TDBGrid::SetColumns(std::vector<TColumn> columns) {
    model_->SetColumns(columns);
    for (size_t i = 0; i < columns.size(); ++i)
        setColumnWidth(static_cast<int>(i), columns[i].Width);
}

void TDBGrid::SetMultiSelect(bool multi) {
    setSelectionMode(multi ? QAbstractItemView::ExtendedSelection
                           : QAbstractItemView::SingleSelection);
}

std::vector<int> TDBGrid::SelectedRows() const {
    std::set<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.insert(index.row());
    return {rows.begin(), rows.end()};
}

void TDBGrid::UserChoseRow(const QModelIndex& index) {
    Query* q = model_->DataSet();
    if (!index.isValid() || !q || !q->Active() || following_)
        return;
    if (q->RecNo() == index.row() + 1)
        return;
    try {
        q->SetRecNo(index.row() + 1);
    } catch (...) {
        // The record stayed where it was (a post failed): the grid goes back to it.
        FollowDataSet(q->RecNo() - 1);
        throw;
    }
}

QModelIndex TDBGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
    const int rows = model_->rowCount();
    if (rows > 0 && (cursorAction == MoveHome || cursorAction == MoveEnd))
        return model_->index(cursorAction == MoveHome ? 0 : rows - 1,
                             std::max(currentIndex().column(), 0));
    return QTableView::moveCursor(cursorAction, modifiers);
}

void TDBGrid::wheelEvent(QWheelEvent* event) {
    wheelAngle_ += event->angleDelta().y();
    const int notches = wheelAngle_ / QWheelEvent::DefaultDeltasPerStep;
    wheelAngle_ -= notches * QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0)
        MoveBy(-notches);
    event->accept();
}

void TDBGrid::MoveBy(int rows) {
    const int count = model_->rowCount();
    if (count == 0)
        return;
    const int row = std::clamp(std::max(currentIndex().row(), 0) + rows, 0, count - 1);
    const QModelIndex index = model_->index(row, std::max(currentIndex().column(), 0));
    // A multi-row choice stays as the user made it.
    const auto command = selectionMode() == QAbstractItemView::ExtendedSelection
                             ? QItemSelectionModel::NoUpdate
                             : QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    selectionModel()->setCurrentIndex(index, command);
    scrollTo(index);
}

void TDBGrid::FollowDataSet(int row) {
    if (row < 0 || selectionMode() == QAbstractItemView::ExtendedSelection)
        return;
    following_ = true;
    const QModelIndex index = model_->index(row, 0);
    if (currentIndex().row() != row) {
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                     QItemSelectionModel::Rows);
        scrollTo(index);
    }
    following_ = false;
}

void TDBGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (OnDblClick)
        OnDblClick();
}
