#pragma once

#include <QList>
#include <QString>
#include <QTextEdit>

#include <optional>

class QTextCursor;
class QTextDocument;

// A field in the editor is one unit: its result text is shaded, the caret never rests inside
// it, and deleting next to it removes it whole.
namespace FieldUnits {

struct Span {
    int start;
    int end; // one past its last character
};

// The field whose result holds the character at position, if any.
std::optional<Span> FieldAt(const QTextDocument& doc, int position);

// The cursor with its position and anchor moved out of any field they fell into: forward to a
// field's end or back to its start, and an anchor so that the selection holds the whole field.
// False when nothing had to move.
bool SnapOutOfFields(QTextCursor& cursor, bool forward);

// With nothing selected, selects the field a Backspace (backward) or a Delete would eat into.
bool SelectFieldToDelete(QTextCursor& cursor, bool backward);

// The colour a field's text is shaded with.
const QColor& Shade();

// The shading of every field, for QTextEdit::setExtraSelections.
QList<QTextEdit::ExtraSelection> Shades(const QTextDocument& doc);

// Replaces the selection by a merge field for the column, in the cursor's character format.
void InsertMergeField(QTextCursor& cursor, const QString& name);

// Replaces the selection by the pasted text; its fields are numbered after the document's own,
// so that a pasted field never joins one beside it.
void InsertFragment(QTextCursor& cursor, QTextDocument& pasted);

// Replaces the selection by a barcode for the instruction.
void InsertBarcode(QTextCursor& cursor, const QString& instruction);

} // namespace FieldUnits
