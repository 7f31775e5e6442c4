#pragma once

#include "platform/BarcodeField.h"

#include <QPointF>
#include <QRectF>
#include <QString>
#include <vector>

class QPainter;
class QTextDocument;
struct MergeList;

// A barcode encoded for drawing: bars and texts in millimetres at the size it is printed.
struct TBarcodeSymbol {
    struct Text {
        QPointF baseline; // the anchor of the text, by align
        double height;    // font size
        int align;        // 0 centre, 1 left, 2 right
        QString text;
    };
    QString error;   // why the data cannot be encoded; empty when it can
    QString pending; // for data that a merge row gives: what stands in for it until then
    QSizeF size;     // as placed, the rotation applied
    QSizeF unrotated;
    int rotation = 0; // quarter turns clockwise
    std::vector<QRectF> bars;
    std::vector<Text> texts;
};

namespace Barcode {

// The symbol for the field's data, with module sizes by the symbology's rules at 100 % times the
// field's scale; a symbol with an error when the data does not fit the type.
TBarcodeSymbol Encode(const BarcodeField::TBarcodeField& field);

// What a design shows: a field that takes data from merge columns stands as a grey box until a
// row gives the data; any other is encoded.
TBarcodeSymbol EncodeForDesign(const BarcodeField::TBarcodeField& field);

// Draws the symbol into target, which has the symbol's proportions, as vector rectangles; a
// symbol with an error or pending data draws its box instead.
void Draw(QPainter& painter, const TBarcodeSymbol& symbol, const QRectF& target);

inline constexpr double ErrorWidthMm = 40;
inline constexpr double ErrorHeightMm = 12;

// Raises EError before anything is printed when a barcode of the design cannot be encoded:
// with the design's name, the type and the reason, and with a merge list (its rows firstRow to
// lastRow) the row's number.
void CheckPrintable(const QTextDocument& doc, const MergeList* list, int firstRow, int lastRow,
                    const QString& designName);

} // namespace Barcode
