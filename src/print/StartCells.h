#pragma once

#include <QString>

// Where the last print on a sheet began and how many labels it had, kept in the settings file
// per sheet name so the next print on that sheet starts there.
struct StartCell {
    int column = 1;
    int row = 1;
    int count = 0; // 0: none remembered
};

// The start remembered for the sheet when it still fits a sheet of that many columns and rows
// (count 1 … maxCount); anything else gives column 1, row 1 and no count.
StartCell RememberedStart(const QString& sheetName, int columns, int rows, int maxCount);
void RememberStart(const QString& sheetName, const StartCell& start);
