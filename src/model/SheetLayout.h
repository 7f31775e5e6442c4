#pragma once

#include <QRect>
#include <QString>

class Query;

// One sheet definition (a TAVRELSET row). Lengths are whole tenth-millimetres as stored.
struct SheetLayout {
    QString paperName;
    QString paperType;
    int paperWidth = 0;  // P_Width (W)
    int paperHeight = 0; // P_Height (H)
    int leftMargin = 0;  // Left_M (A)
    int topMargin = 0;   // Top_M (D)
    int columns = 0;     // Retsu
    int rows = 0;        // Dan
    int labelWidth = 0;  // L_Width (F)
    int labelHeight = 0; // L_Height (C)
    int gapX = 0;        // X_Skip (B)
    int gapY = 0;        // Y_Skip (E)
    int printLeft = 0;   // Pr_LeftM (L): also the left print correction last used
    int printTop = 0;    // Pr_TopM (T): also the top print correction last used
    QString printerName;

    // The current row of a sheet query; a null length reads as 0.
    static SheetLayout FromRecord(Query& sheets);

    // The label at a column and row (from 0) in the layout's own unit; gaps lie between labels.
    QRect CellRect(int column, int row) const;
    // Fewer than one column or row counts as one.
    int LabelsPerSheet() const;

    // The same sheet with every length cut to whole millimetres (toward zero), the unit the
    // printed page is laid out in; its cell rectangles are then in millimetres.
    SheetLayout WholeMillimetres() const;
};
