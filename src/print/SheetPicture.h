#pragma once

#include "model/PageDescription.h"
#include "model/SheetLayout.h"

#include <QWidget>
#include <functional>
#include <vector>

// The chosen sheet drawn to scale with its label cells: the start cell marked, the cells the
// job takes on its first sheet shaded and the number of sheets written below. A click on a
// cell chooses it as the start.
class TSheetPicture : public QWidget {
    Q_OBJECT
  public:
    explicit TSheetPicture(QWidget* parent = nullptr);

    void SetSheet(const SheetLayout& sheet);
    void SetJob(int startColumn, int startRow, long long count, FillOrder order);
    // Sheets the job fills, at least 1.
    int PageCount() const;
    // The cell (column, row from 1) under a point of the widget; (0, 0) off every label.
    QPoint CellAtPoint(const QPointF& at) const;
    // Widget rectangle of a cell (column, row from 1).
    QRectF CellArea(int column, int row) const;

    // Called with the clicked cell's column and row, from 1.
    std::function<void(int column, int row)> OnCellClick;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    // The paper in tenth-millimetres and the scale and origin that fit it into the widget.
    QSizeF Paper() const;
    QTransform ToWidget() const;
    long long EmptyCells() const;
    // Per cell, column by column: whether the job's first sheet takes it.
    std::vector<bool> UsedCells() const;

    SheetLayout sheet_;
    int startColumn_ = 1, startRow_ = 1;
    long long count_ = 1;
    FillOrder order_ = FillOrder::Columns;
};
