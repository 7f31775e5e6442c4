#include "print/CardLayout.h"

#include "model/SheetDefaults.h"
#include "platform/Error.h"

#include <algorithm>

namespace CardLayout {
namespace {

struct PaperCode {
    const char* name;
    int code;
};

const PaperCode kCodes[] = {{"A3", TPaper::A3},
                            {"A4", TPaper::A4},
                            {"A5", TPaper::A5},
                            {"B4", TPaper::B4},
                            {"B5", TPaper::B5}};

double PixelsToMm(int pixels, double ppi) {
    return pixels * 25.4 / ppi;
}

[[noreturn]] void Refuse() {
    throw EError(QStringLiteral("ラベル初期設定に失敗しました。"));
}

} // namespace

TPaper PaperOf(const QString& paperType) {
    const PaperPreset preset = PaperPresetFor(paperType);
    for (const PaperCode& p : kCodes)
        if (preset.width > 0 && preset.name == QLatin1String(p.name))
            return TPaper{p.code, preset.width / 10 * 10, preset.height / 10 * 10};
    return TPaper{TPaper::Custom, 0, 0};
}

TPageDescription Compute(const TPaper& paper, const SheetLayout& sheet, Adjustments adjust,
                         const PicturePlacement& placement, double ppi, bool forPrinter) {
    const SheetLayout mm = sheet.WholeMillimetres();
    const int R = mm.columns, D = mm.rows, LW = mm.labelWidth, LH = mm.labelHeight, XS = mm.gapX,
              YS = mm.gapY;
    TPageDescription l;
    l.paper = paper.code == TPaper::Custom
                  ? TPaper{TPaper::Custom, mm.paperWidth * 10, mm.paperHeight * 10}
                  : paper;
    const int pageWidth = l.paper.widthTenthMm / 10, pageLength = l.paper.lengthTenthMm / 10;
    // Such a sheet would give no cell or an endless column; the run stops instead.
    if (R < 1 || D < 1 || LW < 1 || LH + YS < 1 || pageWidth < 1 || pageLength < 1 || ppi <= 0)
        Refuse();
    l.leftMargin = mm.leftMargin;
    l.rightMargin = pageWidth - mm.leftMargin - (LW * R + XS * (R - 1));
    l.topMargin = mm.topMargin;
    l.bottomMargin = pageLength - mm.topMargin - (LH * D + YS * D);
    l.columnSpacing = XS;
    l.columns = R;
    l.bandHeight = LH + YS;
    l.bandWidth = LW;
    l.frameColor = forPrinter ? QColor(255, 255, 255) : QColor(Qt::black);
    const double top = adjust.top / 10.0, left = adjust.left / 10.0;
    // The text is held to its cell, so a paragraph's alignment places it on the label.
    l.textRect =
        QRectF(left, top, std::max(0.0, l.bandWidth - left), std::max(0.0, l.bandHeight - top));
    l.pictureRect = QRectF(PixelsToMm(placement.x, ppi) + left, PixelsToMm(placement.y, ppi) + top,
                           PixelsToMm(std::max(0, placement.width), ppi),
                           PixelsToMm(std::max(0, placement.height), ppi));
    l.pictureStretch = placement.stretched;
    l.picturePrinted = placement.shown;
    return l;
}

} // namespace CardLayout
