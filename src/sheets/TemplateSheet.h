#pragma once

#include "model/SheetLayout.h"
#include "sheets/LabelTemplate.h"

#include <QString>
#include <optional>
#include <vector>

class Query;

// A sheet definition made from a label template: its maker for CoName and the sheet, lengths
// in tenth-millimetres, with the corrections 0 and no printer.
struct TemplateSheet {
    QString CoName;
    SheetLayout layout;
};

// The stored size of the name and vendor columns, in Shift-JIS bytes.
inline constexpr int kSheetNameBytes = 60;
// Labels may reach this far past the paper's edge: the makers' figures are rounded.
inline constexpr double kPaperEdgeToleranceMm = 1.0;

struct TemplateConversion {
    std::optional<TemplateSheet> sheet;
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
int AppendTemplateSheets(Query& sheets, const std::vector<TemplateSheet>& list);
