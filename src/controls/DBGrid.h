#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QPointer>
#include <QTableView>
#include <functional>
#include <vector>

#include "data/DataSource.h"

class Query;

// One column of a grid, bound to a field by name.
struct TColumn {
    QString FieldName;
    QString Title;
    int Width = 64;
    Qt::Alignment Alignment = Qt::AlignLeft | Qt::AlignVCenter;
    Qt::Alignment TitleAlignment = Qt::AlignCenter;
    QColor TextColor;
};

// The rows of a data set as a table; the current row carries the row indicator.
class TDataSetModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit TDataSetModel(QObject* parent = nullptr);
    void SetDataSource(DataSource* source);
    void SetColumns(std::vector<TColumn> columns);
    const std::vector<TColumn>& Columns() const { return columns_; }
    Query* DataSet() const { return source_ ? source_->DataSet() : nullptr; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  signals:
    void CurrentRowChanged(int row);

  private:
    void Refresh();
    QPointer<DataSource> source_;
    std::vector<TColumn> columns_;
    int rows_ = 0;
    int current_ = -1;
};

// A read-only grid over a data set. Its current row is the data set's record, whatever moved
// either: mouse, keys, wheel, a navigator or the program.
class TDBGrid : public QTableView {
    Q_OBJECT
  public:
    explicit TDBGrid(QWidget* parent = nullptr);
    void SetDataSource(DataSource* source);
    void SetColumns(std::vector<TColumn> columns);
    void SetMultiSelect(bool multi);
    // Selected rows (0-based), in row order.
    std::vector<int> SelectedRows() const;
    TDataSetModel* Model() const { return model_; }
    std::function<void()> OnDblClick;

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // Home and End go to the first and last record, as the rows are the records.
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    // One notch of the wheel moves one record.
    void wheelEvent(QWheelEvent* event) override;

  private:
    void UserChoseRow(const QModelIndex& index);
    void MoveBy(int rows);
    void FollowDataSet(int row);
    TDataSetModel* model_;
    bool following_ = false;
    int wheelAngle_ = 0;
};
