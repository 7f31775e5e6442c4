#pragma once

#include "model/LabelDesign.h"
#include "model/SheetLayout.h"
#include "print/LabelReport.h"

#include <QString>

// The page layout of a label sheet print, in whole millimetres as the sheet's tenth-millimetres
// cut toward zero, with the corrections and the picture placement kept to fractions.
namespace CardLayout {

// The paper of a sheet's paper type, letter case ignored: A3, A4, A5, B4 and B5 in whole
// millimetres; full-width letters and anything else give the custom paper, which Compute sizes.
TPaper PaperOf(const QString& paperType);

// The corrections in tenth-millimetres as the print dialog hands them over.
struct Adjustments {
    int top = 0;
    int left = 0;
};

// The page description but its title and printer; ppi is the display's logical resolution the
// placement was recorded at. Sheets that would give no page (no columns or rows, a cell or a
// paper without size) raise "ラベル初期設定に失敗しました。".
TPageDescription Compute(const TPaper& paper, const SheetLayout& sheet, Adjustments adjust,
                         const PicturePlacement& placement, double ppi, bool forPrinter);

} // namespace CardLayout
