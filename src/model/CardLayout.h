#pragma once

#include "model/PageDescription.h"
#include "model/PicturePlacement.h"
#include "model/SheetLayout.h"

#include <QString>

// The page layout of a label sheet print, in whole millimetres as the sheet's tenth-millimetres
// cut toward zero, with the corrections and the picture placement kept to fractions.
namespace CardLayout {

// The corrections in tenth-millimetres as the print dialog hands them over.
struct Adjustments {
    int top = 0;
    int left = 0;
};

// The largest correction the print dialog offers, either way, and the most labels of one run.
inline constexpr int kMaxAdjust = 2000;
inline constexpr int kMaxCount = 99;

// The empty cells ahead of the first label when it goes to a column and row (from 1) of a sheet
// with that many rows per column.
long long EmptyCellsBefore(int startColumn, int startRow, int rows);

// The page description but its title and printer; ppi is the display's logical resolution the
// placement was recorded at. Sheets that would give no page (no columns or rows, a cell or a
// paper without size) raise "ラベル初期設定に失敗しました。".
TPageDescription Compute(const TPaper& paper, const SheetLayout& sheet, Adjustments adjust,
                         const PicturePlacement& placement, double ppi, bool forPrinter);

} // namespace CardLayout
