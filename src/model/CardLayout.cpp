#include "model/CardLayout.h"

#include "platform/Error.h"

#include <algorithm>

namespace CardLayout {
namespace {

double PixelsToMm(int pixels, double ppi) {
    return pixels * 25.4 / ppi;
}

[[noreturn]] void Refuse() {
    throw EError(QStringLiteral("ラベル初期設定に失敗しました。"));
}

// The sheet in tenth-millimetres; not exact, each length is first cut to whole millimetres.
SheetLayout InTenths(const SheetLayout& sheet, bool exact) {
    if (exact)
        return sheet;
    SheetLayout t = sheet.WholeMillimetres();
    for (int* length : {&t.paperWidth, &t.paperHeight, &t.leftMargin, &t.topMargin, &t.labelWidth,
                        &t.labelHeight, &t.gapX, &t.gapY})
        *length *= 10;
    return t;
}

} // namespace

long long EmptyCellsBefore(int startColumn, int startRow, int columns, int rows, FillOrder order) {
    if (order == FillOrder::Rows)
        return static_cast<long long>(startRow - 1) * columns + startColumn - 1;
    return static_cast<long long>(startColumn - 1) * rows + startRow - 1;
}

QPoint CellOn(long long index, int columns, int rows, FillOrder order) {
    const int k = static_cast<int>(index % (static_cast<long long>(columns) * rows));
    return order == FillOrder::Rows ? QPoint(k % columns, k / columns) : QPoint(k / rows, k % rows);
}

TPageDescription Compute(const TPaper& paper, const SheetLayout& sheet, Adjustments adjust,
                         const PicturePlacement& placement, double ppi, bool forPrinter, bool exact,
                         FillOrder order) {
    // Tenth-millimetres throughout, so both ways of measuring share the arithmetic.
    const SheetLayout t = InTenths(sheet, exact);
    const int R = t.columns, D = t.rows, LW = t.labelWidth, LH = t.labelHeight, XS = t.gapX,
              YS = t.gapY;
    TPageDescription l;
    l.paper =
        paper.code == TPaper::Custom ? TPaper::CustomSize(t.paperWidth, t.paperHeight) : paper;
    const int pageWidth = l.paper.widthTenthMm, pageLength = l.paper.lengthTenthMm;
    // Such a sheet would give no cell or an endless column; the run stops instead.
    if (R < 1 || D < 1 || LW < 1 || LH + YS < 1 || pageWidth < 1 || pageLength < 1 || ppi <= 0)
        Refuse();
    l.leftMargin = t.leftMargin / 10.0;
    l.rightMargin = (pageWidth - t.leftMargin - (LW * R + XS * (R - 1))) / 10.0;
    l.topMargin = t.topMargin / 10.0;
    l.bottomMargin = (pageLength - t.topMargin - (LH * D + YS * D)) / 10.0;
    l.columnSpacing = XS / 10.0;
    l.columns = R;
    l.order = order;
    l.bandHeight = (LH + YS) / 10.0;
    l.bandWidth = LW / 10.0;
    l.labelHeight = LH / 10.0;
    l.frameColor = forPrinter ? QColor(255, 255, 255) : QColor(Qt::black);
    const double top = adjust.top / 10.0, left = adjust.left / 10.0;
    // The text is held to its cell, so a paragraph's alignment places it on the label.
    l.textRect =
        QRectF(left, top, std::max(0.0, l.bandWidth - left), std::max(0.0, l.bandHeight - top));
    l.pictureRect = QRectF(PixelsToMm(placement.x, ppi) + left, PixelsToMm(placement.y, ppi) + top,
                           PixelsToMm(std::max(0, placement.width), ppi),
                           PixelsToMm(std::max(0, placement.height), ppi));
    l.pictureStretch = placement.stretched;
    l.picturePrinted = placement.shown;
    return l;
}

} // namespace CardLayout
