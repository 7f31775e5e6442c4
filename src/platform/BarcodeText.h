#pragma once

#include <QString>
#include <QTextCharFormat>

class QTextCursor;
class QTextDocument;

// A barcode in the label text: one object character whose format carries the field's
// instruction, drawn by the handler registered for BarcodeField::ObjectType.
namespace BarcodeText {

// Data a merge row gave the barcode, kept beside the instruction it came from.
inline constexpr int ResolvedDataProperty = QTextFormat::UserProperty + 6;

bool IsObject(const QTextCharFormat& format);

// The format of a barcode object for the instruction, keeping base's font and colour.
QTextCharFormat ObjectFormat(QTextCharFormat base, const QString& instruction, int fieldId);

// Turns the result text of every barcode field read from RTF into its one object character.
void MakeObjects(QTextDocument& doc);

// Replaces the selection by a barcode object.
void Insert(QTextCursor& cursor, const QString& instruction, int fieldId);

} // namespace BarcodeText
