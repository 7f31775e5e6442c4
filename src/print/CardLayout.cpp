#include "print/CardLayout.h"

#include "data/IbFunc.h"
#include "data/Query.h"
#include "platform/Error.h"

#include <algorithm>

namespace CardLayout {
namespace {

struct Standard {
    const char* name;
    TPaper paper;
};

// The sizes the sheet editor stores for these types, cut to whole millimetres.
const Standard kStandard[] = {{"A3", {TPaper::A3, 2970, 4200}},
                              {"A4", {TPaper::A4, 2100, 2970}},
                              {"A5", {TPaper::A5, 1480, 2100}},
                              {"B4", {TPaper::B4, 2570, 3640}},
                              {"B5", {TPaper::B5, 1820, 2570}}};

int Mm(int tenths) {
    return tenths / 10; // C++ division drops the remainder toward zero, as the layout wants
}

double PixelsToMm(int pixels, double ppi) {
    return pixels * 25.4 / ppi;
}

[[noreturn]] void Refuse() {
    throw EError(QStringLiteral("ラベル初期設定に失敗しました。"));
}

} // namespace

SheetValues SheetValuesOf(Query& sheetList) {
    auto get = [&sheetList](const char* name) {
        return sheetList.FieldByName(QString::fromLatin1(name)).AsInteger();
    };
    return {get("Top_M"),   get("Left_M"), get("P_Height"), get("P_Width"), get("L_Height"),
            get("L_Width"), get("X_Skip"), get("Y_Skip"),   get("Retsu"),   get("Dan")};
}

Placement PlacementOf(Query& design) {
    auto get = [&design](const char* name) {
        return design.FieldByName(QString::fromLatin1(name)).AsInteger();
    };
    return {get("G_X"),      get("G_Y"),    get("G_Width"),
            get("G_Height"), get("G_Show"), get("G_Stretch")};
}

TPaper PaperOf(const QString& paperType) {
    for (const Standard& s : kStandard)
        if (paperType.compare(QLatin1String(s.name), Qt::CaseInsensitive) == 0)
            return s.paper;
    return TPaper{TPaper::Custom, 0, 0};
}

TPageDescription Compute(const TPaper& paper, const SheetValues& sheet, Adjustments adjust,
                         const Placement& placement, double ppi, bool forPrinter) {
    const int TM = Mm(sheet.Top_M), LM = Mm(sheet.Left_M), PH = Mm(sheet.P_Height),
              PW = Mm(sheet.P_Width), LH = Mm(sheet.L_Height), LW = Mm(sheet.L_Width),
              XS = Mm(sheet.X_Skip), YS = Mm(sheet.Y_Skip);
    const int R = sheet.Retsu, D = sheet.Dan;
    TPageDescription l;
    l.paper = paper.code == TPaper::Custom ? TPaper{TPaper::Custom, PW * 10, PH * 10} : paper;
    const int pageWidth = l.paper.widthTenthMm / 10, pageLength = l.paper.lengthTenthMm / 10;
    // Such a sheet would give no cell or an endless column; the run stops instead.
    if (R < 1 || D < 1 || LW < 1 || LH + YS < 1 || pageWidth < 1 || pageLength < 1 || ppi <= 0)
        Refuse();
    l.leftMargin = LM;
    l.rightMargin = pageWidth - LM - (LW * R + XS * (R - 1));
    l.topMargin = TM;
    l.bottomMargin = pageLength - TM - (LH * D + YS * D);
    l.columnSpacing = XS;
    l.columns = R;
    l.bandHeight = LH + YS;
    l.bandWidth = LW;
    l.frameColor = forPrinter ? QColor(255, 255, 255) : QColor(Qt::black);
    const double top = adjust.top / 10.0, left = adjust.left / 10.0;
    // The text is held to its cell, so a paragraph's alignment places it on the label.
    l.textRect =
        QRectF(left, top, std::max(0.0, l.bandWidth - left), std::max(0.0, l.bandHeight - top));
    l.pictureRect =
        QRectF(PixelsToMm(placement.G_X, ppi) + left, PixelsToMm(placement.G_Y, ppi) + top,
               PixelsToMm(std::max(0, placement.G_Width), ppi),
               PixelsToMm(std::max(0, placement.G_Height), ppi));
    l.pictureStretch = IntToBool(placement.G_Stretch);
    l.picturePrinted = IntToBool(placement.G_Show);
    return l;
}

} // namespace CardLayout
