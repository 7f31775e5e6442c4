#include "printcore/ReportPages.h"

TReportPages::TReportPages(const TPageDescription& page, std::vector<TPrintRow> rows,
                           double displayPpi)
    : page_(page), rows_(std::move(rows)), plans_(FlowCells(page_, static_cast<int>(rows_.size()))),
      cells_(page_, displayPpi) {}

QSizeF TReportPages::PageSize() const {
    return QSizeF(TCellPainter::Dots(page_.paper.widthTenthMm),
                  TCellPainter::Dots(page_.paper.lengthTenthMm));
}

void TReportPages::DrawPage(QPainter& painter, int index) {
    for (const TCellPlace& cell : Plan(index).cells)
        cells_.DrawCell(painter, TCellPainter::DotsRect(cell.rect), rows_.at(cell.row));
}

std::vector<QRectF> TReportPages::FindText(int index, const QString& text) {
    std::vector<QRectF> hits;
    for (const TCellPlace& cell : Plan(index).cells) {
        auto found = cells_.FindText(TCellPainter::DotsRect(cell.rect), rows_.at(cell.row), text);
        hits.insert(hits.end(), found.begin(), found.end());
    }
    return hits;
}
