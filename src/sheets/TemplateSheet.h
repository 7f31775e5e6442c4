#pragma once

#include "sheets/LabelTemplate.h"

#include <QString>
#include <optional>
#include <vector>

class Query;

// A sheet definition made from a label template: the columns of TAVRELSET it sets, lengths in
// tenth-millimetres. The corrections stay 0 and the printer empty.
struct TemplateSheetValues {
    QString CoName;
    QString PAPERNAME;
    QString PaperType;
    int P_Width = 0, P_Height = 0;
    int Left_M = 0, Top_M = 0;
    int Retsu = 1, Dan = 1;
    int L_Width = 0, L_Height = 0;
    int X_Skip = 0, Y_Skip = 0;
};

// The stored size of the name and vendor columns, in Shift-JIS bytes.
inline constexpr int kSheetNameBytes = 60;
// Labels may reach this far past the paper's edge: the makers' figures are rounded.
inline constexpr double kPaperEdgeToleranceMm = 1.0;

struct TemplateConversion {
    std::optional<TemplateSheetValues> sheet;
    QString reason; // why there is no sheet
};

// The sheet definition of a template, or the reason it has none: the template could not be
// read, its labels are not rectangles, it has other than one layout, a size is zero or
// negative, or the labels do not fit on the paper.
TemplateConversion ConvertTemplate(const LabelTemplate& t);

// Tenth-millimetres, rounded to the nearest.
int ToTenths(double mm);

// The text cut to at most maxBytes in Shift-JIS, on whole characters. nullopt when a
// character has no Shift-JIS form.
std::optional<QString> CutToSjisBytes(const QString& text, int maxBytes);

// A name not yet among the data set's PAPERNAME values: the name itself, else the copy name
// ("ｺﾋﾟｰ..." and the name) as often as needed. nullopt when even that cannot be made free.
std::optional<QString> FreePaperName(Query& sheets, const QString& name);

// Appends one posted row per sheet to the cached data set, names made free as above. The
// data set must be in browse state. Returns the number of rows added; raises at the first
// row that cannot be added (that row is cancelled, the ones before stay).
int AppendTemplateSheets(Query& sheets, const std::vector<TemplateSheetValues>& list);
