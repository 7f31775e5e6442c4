#pragma once

#include <QColor>
#include <QRectF>
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

// One of the standard papers, or the custom paper sized by the sheet.
struct Paper {
    QString name; // "A4", …; empty for the custom paper
    int code = 256;
    int widthMm = 0;
    int lengthMm = 0;
    bool custom() const { return code == 256; }
};
// Paper by type, letter case ignored; full-width letters and anything else give the custom paper.
Paper PaperOf(const QString& paperType);

struct PageLayout {
    Paper paper; // a custom paper carries the sheet's size
    int leftMargin = 0, rightMargin = 0, topMargin = 0, bottomMargin = 0;
    int columnSpacing = 0;
    int columns = 0;
    int cellWidth = 0;
    int cellHeight = 0;
    QColor frameColor = Qt::black;
    QRectF text;    // inside the cell
    QRectF picture; // inside the cell
    bool pictureStretched = false;
    bool picturePrinted = false;
};

// The corrections in tenth-millimetres as the print dialog hands them over.
struct Adjustments {
    int top = 0;
    int left = 0;
};

// Everything the page description needs; ppi is the display's logical resolution the placement
// was recorded at. Sheets that would give no page (no columns or rows, a cell or a paper without
// size) raise "ラベル初期設定に失敗しました。".
PageLayout Compute(const Paper& paper, const SheetValues& sheet, Adjustments adjust,
                   const Placement& placement, double ppi, bool forPrinter);

} // namespace CardLayout
