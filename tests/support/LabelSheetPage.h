#pragma once

#include "model/PageDescription.h"

// The 2 x 5 sheet of 86 x 50 mm labels on A4 (left 15, top 21, spacing 2).
inline TPageDescription LabelSheet() {
    TPageDescription page;
    page.paper = TPaper::Standard(TPaper::A4);
    page.leftMargin = 15;
    page.rightMargin = 21;
    page.topMargin = 21;
    page.bottomMargin = 26;
    page.columns = 2;
    page.columnSpacing = 2;
    page.bandHeight = 50;
    page.bandWidth = 86;
    page.textRect = QRectF(0, 0, 86, 50);
    page.pictureRect = QRectF(3, 3, 80, 44);
    page.pictureStretch = true;
    page.title = QStringLiteral("印刷．．．テスト");
    return page;
}
