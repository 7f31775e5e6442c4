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

} // namespace

long long EmptyCellsBefore(int startColumn, int startRow, int rows) {
    return static_cast<long long>(startColumn - 1) * rows + startRow - 1;
}

TPageDescription Compute(const TPaper& paper, const SheetLayout& sheet, Adjustments adjust,
                         const PicturePlacement& placement, double ppi, bool forPrinter) {
    const SheetLayout mm = sheet.WholeMillimetres();
    const int R = mm.columns, D = mm.rows, LW = mm.labelWidth, LH = mm.labelHeight, XS = mm.gapX,
              YS = mm.gapY;
    TPageDescription l;
    l.paper = paper.code == TPaper::Custom
                  ? TPaper{TPaper::Custom, mm.paperWidth * 10, mm.paperHeight * 10}
                  : paper;
    const int pageWidth = l.paper.widthTenthMm / 10, pageLength = l.paper.lengthTenthMm / 10;
    // Such a sheet would give no cell or an endless column; the run stops instead.
    if (R < 1 || D < 1 || LW < 1 || LH + YS < 1 || pageWidth < 1 || pageLength < 1 || ppi <= 0)
        Refuse();
    l.leftMargin = mm.leftMargin;
    l.rightMargin = pageWidth - mm.leftMargin - (LW * R + XS * (R - 1));
    l.topMargin = mm.topMargin;
    l.bottomMargin = pageLength - mm.topMargin - (LH * D + YS * D);
    l.columnSpacing = XS;
    l.columns = R;
    l.bandHeight = LH + YS;
    l.bandWidth = LW;
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
