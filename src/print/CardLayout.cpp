#include "print/CardLayout.h"

#include "data/IbFunc.h"
#include "data/Query.h"
#include "platform/Error.h"

#include <algorithm>

namespace CardLayout {
namespace {

const Paper kStandard[] = {{QStringLiteral("A3"), 8, 297, 420},
                           {QStringLiteral("A4"), 9, 210, 297},
                           {QStringLiteral("A5"), 11, 148, 210},
                           {QStringLiteral("B4"), 12, 257, 364},
                           {QStringLiteral("B5"), 13, 182, 257}};

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

Paper PaperOf(const QString& paperType) {
    for (const Paper& p : kStandard)
        if (paperType.compare(p.name, Qt::CaseInsensitive) == 0)
            return p;
    return {};
}

PageLayout Compute(const Paper& paper, const SheetValues& sheet, Adjustments adjust,
                   const Placement& placement, double ppi, bool forPrinter) {
    const int TM = Mm(sheet.Top_M), LM = Mm(sheet.Left_M), PH = Mm(sheet.P_Height),
              PW = Mm(sheet.P_Width), LH = Mm(sheet.L_Height), LW = Mm(sheet.L_Width),
              XS = Mm(sheet.X_Skip), YS = Mm(sheet.Y_Skip);
    const int R = sheet.Retsu, D = sheet.Dan;
    PageLayout l;
    l.paper = paper;
    if (paper.custom()) {
        l.paper.widthMm = PW;
        l.paper.lengthMm = PH;
    }
    // Such a sheet would give no cell or an endless column; the run stops instead.
    if (R < 1 || D < 1 || LW < 1 || LH + YS < 1 || l.paper.widthMm < 1 || l.paper.lengthMm < 1 ||
        ppi <= 0)
        Refuse();
    l.leftMargin = LM;
    l.rightMargin = l.paper.widthMm - LM - (LW * R + XS * (R - 1));
    l.topMargin = TM;
    l.bottomMargin = l.paper.lengthMm - TM - (LH * D + YS * D);
    l.columnSpacing = XS;
    l.columns = R;
    l.cellHeight = LH + YS;
    l.cellWidth = LW;
    l.frameColor = forPrinter ? QColor(255, 255, 255) : QColor(Qt::black);
    const double top = adjust.top / 10.0, left = adjust.left / 10.0;
    // The text is held to its cell, so a paragraph's alignment places it on the label.
    l.text =
        QRectF(left, top, std::max(0.0, l.cellWidth - left), std::max(0.0, l.cellHeight - top));
    l.picture = QRectF(PixelsToMm(placement.G_X, ppi) + left, PixelsToMm(placement.G_Y, ppi) + top,
                       PixelsToMm(std::max(0, placement.G_Width), ppi),
                       PixelsToMm(std::max(0, placement.G_Height), ppi));
    l.pictureStretched = IntToBool(placement.G_Stretch);
    l.picturePrinted = IntToBool(placement.G_Show);
    return l;
}

} // namespace CardLayout
