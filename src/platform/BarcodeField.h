#pragma once

#include <QString>
#include <QStringList>
#include <QTextFormat>

#include <functional>
#include <optional>

// Barcode fields as word processors store them in RTF:
//   DISPLAYBARCODE "data" TYPE [switches]   fixed data; merge fields may be nested in the data
//   MERGEBARCODE column TYPE [switches]     the data is the merge list's column
// A nested field is kept in the instruction text as {MERGEFIELD name}.
namespace BarcodeField {

// In a document a barcode is one object character carrying its instruction.
inline constexpr int ObjectType = QTextFormat::UserObject + 1;

struct TBarcodeField {
    bool merge = false;     // MERGEBARCODE
    QString data;           // the data, or for MERGEBARCODE the column
    QString type;           // as written, upper case: QR, CODE128, JAN13, JPPOST, ...
    int heightTwips = 0;    // \h; 0 is the symbology's own height
    int scalePercent = 100; // \s
    int qrLevel = 0;        // \q: 0 L, 1 M, 2 Q, 3 H
    bool showText = false;  // \t
    int rotation = 0;       // \r: quarter turns clockwise, 0 to 3
    bool operator==(const TBarcodeField&) const = default;
};

// The types the program knows, as offered to the user.
QStringList Types();

// Whether the instruction is a DISPLAYBARCODE or MERGEBARCODE field.
bool IsBarcode(const QString& instruction);

// The field an instruction describes; nothing when it is no barcode field or lacks data or type.
std::optional<TBarcodeField> Parse(const QString& instruction);

// The instruction for the field; data with blanks or quotes is quoted.
QString Instruction(const TBarcodeField& field);

// What other readers show as the field's result: the data, nested fields as «name».
QString PlainText(const TBarcodeField& field);

// The columns the field takes its data from, each once, in order.
QStringList ColumnNames(const TBarcodeField& field);

// The field with its data made fixed: nested fields and a merged column replaced by value(name).
TBarcodeField Resolved(const TBarcodeField& field,
                       const std::function<QString(const QString&)>& value);

// The data with nested fields split off: each {MERGEFIELD name} becomes a piece of its own.
struct Piece {
    QString text; // literal text, or the nested field's instruction
    bool nested = false;
};
std::vector<Piece> Pieces(const QString& text);

} // namespace BarcodeField
