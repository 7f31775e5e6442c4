#include "model/PageGeometry.h"

#include "platform/Error.h"

#include <cmath>

int TenthMm(double mm) {
    return static_cast<int>(std::lround(mm * 10.0));
}

void CheckPageDescription(const TPageDescription& page) {
    if (page.paper.widthTenthMm <= 0 || page.paper.lengthTenthMm <= 0)
        throw EError(QStringLiteral("用紙の大きさが正しくありません。"));
    if (page.columns < 1)
        throw EError(QStringLiteral("列数が正しくありません。"));
    if (TenthMm(page.bandHeight) <= 0 || TenthMm(page.bandWidth) <= 0)
        throw EError(QStringLiteral("ラベルの大きさが正しくありません。"));
}

int ColumnWidth(const TPageDescription& page) {
    const int free = page.paper.widthTenthMm - TenthMm(page.leftMargin) -
                     TenthMm(page.rightMargin) - (page.columns - 1) * TenthMm(page.columnSpacing);
    return free / page.columns;
}

std::vector<TPagePlan> FlowCells(const TPageDescription& page, int rowCount) {
    CheckPageDescription(page);
    const int left = TenthMm(page.leftMargin);
    const int top = TenthMm(page.topMargin);
    const int bottom = page.paper.lengthTenthMm - TenthMm(page.bottomMargin);
    const int step = ColumnWidth(page) + TenthMm(page.columnSpacing);
    const int height = TenthMm(page.bandHeight);
    const int width = TenthMm(page.bandWidth);
    const bool neverMoves = height > bottom - top;

    std::vector<TPagePlan> pages(1);
    int column = 0;
    int y = top;
    for (int row = 0; row < rowCount; ++row) {
        if (row > 0) {
            y += height;
            if (y + height > bottom && !neverMoves) {
                y = top;
                if (++column == page.columns) {
                    column = 0;
                    pages.emplace_back();
                }
            }
        }
        pages.back().cells.push_back({row, QRect(left + column * step, y, width, height)});
    }
    return pages;
}
