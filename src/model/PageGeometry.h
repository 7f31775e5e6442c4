#pragma once

#include "model/PageDescription.h"

#include <QRect>
#include <vector>

// Where the label cells of a report lie. All lengths here are whole tenth-millimetres measured
// from the paper's top-left corner, so the arithmetic is exact.

inline constexpr int TenthMmPerInch = 254;

// Millimetres to the nearest tenth-millimetre.
int TenthMm(double mm);

struct TCellPlace {
    int row = 0; // index into the print rows
    QRect rect;  // the label cell on its page
};

struct TPagePlan {
    std::vector<TCellPlace> cells;
};

// Raises EError with a message the user understands when the description cannot hold cells:
// a paper without area, no column, a cell without area.
void CheckPageDescription(const TPageDescription& page);

// (page width - margins - spacings) / columns, the remainder dropped.
int ColumnWidth(const TPageDescription& page);

// Cells go down a column, then to the next column, then to the next page. A cell taller than
// the space between the margins stays in its column, so no row ever starts an endless run of
// pages. No rows still give one (blank) page.
std::vector<TPagePlan> FlowCells(const TPageDescription& page, int rowCount);
