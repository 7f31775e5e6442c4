#include "model/SheetLayout.h"

#include "data/Query.h"

#include <algorithm>

namespace {

int IntegerOf(Query& q, const char* name) {
    return q.FieldByName(QString::fromLatin1(name)).AsInteger();
}

QString TextOf(Query& q, const char* name) {
    return q.FieldByName(QString::fromLatin1(name)).AsString();
}

} // namespace

SheetLayout SheetLayout::FromRecord(Query& sheets) {
    SheetLayout s;
    s.paperName = TextOf(sheets, "PAPERNAME");
    s.paperType = TextOf(sheets, "PaperType");
    s.paperWidth = IntegerOf(sheets, "P_Width");
    s.paperHeight = IntegerOf(sheets, "P_Height");
    s.leftMargin = IntegerOf(sheets, "Left_M");
    s.topMargin = IntegerOf(sheets, "Top_M");
    s.columns = IntegerOf(sheets, "Retsu");
    s.rows = IntegerOf(sheets, "Dan");
    s.labelWidth = IntegerOf(sheets, "L_Width");
    s.labelHeight = IntegerOf(sheets, "L_Height");
    s.gapX = IntegerOf(sheets, "X_Skip");
    s.gapY = IntegerOf(sheets, "Y_Skip");
    s.printLeft = IntegerOf(sheets, "Pr_LeftM");
    s.printTop = IntegerOf(sheets, "Pr_TopM");
    s.printerName = TextOf(sheets, "PrinterName");
    return s;
}

QRect SheetLayout::CellRect(int column, int row) const {
    return QRect(leftMargin + column * (labelWidth + gapX), topMargin + row * (labelHeight + gapY),
                 labelWidth, labelHeight);
}

int SheetLayout::LabelsPerSheet() const {
    return std::max(1, columns) * std::max(1, rows);
}

SheetLayout SheetLayout::WholeMillimetres() const {
    SheetLayout mm = *this;
    for (int* length :
         {&mm.paperWidth, &mm.paperHeight, &mm.leftMargin, &mm.topMargin, &mm.labelWidth,
          &mm.labelHeight, &mm.gapX, &mm.gapY, &mm.printLeft, &mm.printTop})
        *length /= 10;
    return mm;
}
