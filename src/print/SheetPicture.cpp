#include "print/SheetPicture.h"

#include "model/CardLayout.h"
#include "model/Paper.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kCaptionHeight = 20;
constexpr int kMargin = 6;
constexpr long long kMaxDrawnCells = 4000;

int AtLeastOne(int n) {
    return std::max(1, n);
}

} // namespace

TSheetPicture::TSheetPicture(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
}

void TSheetPicture::SetSheet(const SheetLayout& sheet) {
    sheet_ = sheet;
    update();
}

void TSheetPicture::SetJob(int startColumn, int startRow, long long count, FillOrder order) {
    startColumn_ = startColumn;
    startRow_ = startRow;
    count_ = count;
    order_ = order;
    update();
}

long long TSheetPicture::EmptyCells() const {
    return CardLayout::EmptyCellsBefore(startColumn_, startRow_, AtLeastOne(sheet_.columns),
                                        AtLeastOne(sheet_.rows), order_);
}

int TSheetPicture::PageCount() const {
    const long long cells = EmptyCells() + std::max(1LL, count_);
    return static_cast<int>((cells + sheet_.LabelsPerSheet() - 1) / sheet_.LabelsPerSheet());
}

std::vector<bool> TSheetPicture::UsedCells() const {
    const int columns = AtLeastOne(sheet_.columns), rows = AtLeastOne(sheet_.rows);
    std::vector<bool> used(static_cast<size_t>(columns) * static_cast<size_t>(rows));
    const long long empty = EmptyCells();
    const long long end = std::min<long long>(empty + count_, sheet_.LabelsPerSheet());
    for (long long k = empty; k < end; ++k) {
        const QPoint cell = CardLayout::CellOn(k, columns, rows, order_);
        used[static_cast<size_t>(cell.x()) * static_cast<size_t>(rows) +
             static_cast<size_t>(cell.y())] = true;
    }
    return used;
}

QSizeF TSheetPicture::Paper() const {
    if (sheet_.paperWidth > 0 && sheet_.paperHeight > 0)
        return QSizeF(sheet_.paperWidth, sheet_.paperHeight);
    const TPaper paper = PaperOf(sheet_.paperType);
    return paper.widthTenthMm > 0 ? QSizeF(paper.widthTenthMm, paper.lengthTenthMm)
                                  : QSizeF(2100, 2970);
}

QTransform TSheetPicture::ToWidget() const {
    const QSizeF paper = Paper();
    const QRectF room = QRectF(rect()).adjusted(kMargin, kMargin, -kMargin, -kCaptionHeight);
    const double scale = std::min(room.width() / paper.width(), room.height() / paper.height());
    const QPointF origin(room.center().x() - paper.width() * scale / 2, room.top());
    return QTransform(scale, 0, 0, scale, origin.x(), origin.y());
}

QRectF TSheetPicture::CellArea(int column, int row) const {
    return ToWidget().mapRect(QRectF(sheet_.CellRect(column - 1, row - 1)));
}

QPoint TSheetPicture::CellAtPoint(const QPointF& at) const {
    const QPointF paper = ToWidget().inverted().map(at);
    const double pitchX = sheet_.labelWidth + sheet_.gapX,
                 pitchY = sheet_.labelHeight + sheet_.gapY;
    if (pitchX <= 0 || pitchY <= 0)
        return {};
    const int c = static_cast<int>(std::floor((paper.x() - sheet_.leftMargin) / pitchX)) + 1;
    const int r = static_cast<int>(std::floor((paper.y() - sheet_.topMargin) / pitchY)) + 1;
    if (c < 1 || c > sheet_.columns || r < 1 || r > sheet_.rows || !CellArea(c, r).contains(at))
        return {};
    return {c, r};
}

void TSheetPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().window());
    p.setPen(QPen(Qt::gray, 1));
    p.setBrush(Qt::white);
    p.drawRect(ToWidget().mapRect(QRectF(QPointF(0, 0), Paper())));
    // A sheet gone wrong with thousands of cells would only draw a grey blot.
    const bool drawCells = static_cast<long long>(sheet_.columns) * sheet_.rows <= kMaxDrawnCells;
    const std::vector<bool> used = drawCells ? UsedCells() : std::vector<bool>();
    for (int c = 1; drawCells && c <= sheet_.columns; ++c) {
        for (int r = 1; r <= sheet_.rows; ++r) {
            const bool start = c == startColumn_ && r == startRow_;
            const size_t k = static_cast<size_t>(c - 1) * static_cast<size_t>(sheet_.rows) +
                             static_cast<size_t>(r - 1);
            p.setBrush(used[k] ? QColor(120, 160, 230) : QColor(Qt::white));
            p.setPen(start ? QPen(Qt::red, 2) : QPen(Qt::darkGray, 1));
            p.drawRect(CellArea(c, r));
        }
    }
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRect(0, height() - kCaptionHeight, width(), kCaptionHeight), Qt::AlignCenter,
               QStringLiteral("%1 頁").arg(PageCount()));
}

void TSheetPicture::mousePressEvent(QMouseEvent* event) {
    const QPoint cell = CellAtPoint(event->position());
    if (cell.x() > 0 && OnCellClick)
        OnCellClick(cell.x(), cell.y());
}
