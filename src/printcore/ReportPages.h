#pragma once

#include "model/PageGeometry.h"
#include "printcore/CellPainter.h"
#include "printcore/LabelReport.h"

#include <QSizeF>
#include <vector>

class QPainter;

// The pages of one production: the page description and rows as they were then, the cells
// flowed onto pages, drawn in printer dots on demand (preview, printer, PDF).
class TReportPages {
  public:
    // Raises EError when the description cannot hold cells.
    TReportPages(const TPageDescription& page, std::vector<TPrintRow> rows, double displayPpi);

    int Count() const { return static_cast<int>(plans_.size()); }
    const TPageDescription& Page() const { return page_; }
    const TPagePlan& Plan(int index) const { return plans_.at(index); }
    // The paper in printer dots.
    QSizeF PageSize() const;

    // Draws the cells of one page; the painter's origin is the paper's top-left corner.
    void DrawPage(QPainter& painter, int index);
    // Where text occurs on one page, in printer dots.
    std::vector<QRectF> FindText(int index, const QString& text);

  private:
    TPageDescription page_;
    std::vector<TPrintRow> rows_;
    std::vector<TPagePlan> plans_;
    TCellPainter cells_;
};
