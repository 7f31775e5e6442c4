#pragma once

#include "print/LabelReport.h"

#include <QString>

class Query;

// The page layout of a label sheet print, in whole millimetres as the sheet's tenth-millimetres
// cut toward zero, with the corrections and the picture placement kept to fractions.
namespace CardLayout {

// A sheet definition's lengths (tenth-millimetres) and its columns and rows.
struct SheetValues {
    int Top_M = 0, Left_M = 0, P_Height = 0, P_Width = 0, L_Height = 0, L_Width = 0, X_Skip = 0,
        Y_Skip = 0, Retsu = 0, Dan = 0;
};
// The current row of a sheet list; a null reads as 0. Raises when a field is missing.
SheetValues SheetValuesOf(Query& sheetList);

// A design's picture placement, in display pixels, and its flags as stored.
struct Placement {
    int G_X = 0, G_Y = 0, G_Width = 0, G_Height = 0, G_Show = 0, G_Stretch = 0;
};
Placement PlacementOf(Query& design);

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
TPageDescription Compute(const TPaper& paper, const SheetValues& sheet, Adjustments adjust,
                         const Placement& placement, double ppi, bool forPrinter);

} // namespace CardLayout
