#pragma once

#include <QString>
#include <QStringList>

class QTextDocument;
struct MergeList;

// A design's merge fields filled from one row of a merge list.
namespace MergeDesign {

// The columns the design's merge fields name, each once, in the order they first occur.
QStringList FieldNames(const QTextDocument& doc);

// Raises EError, naming the missing columns and the list's columns, when a field of the design
// names a column the list lacks.
void CheckColumns(const QTextDocument& doc, const MergeList& list);

// Replaces every merge field by the row's value in the field's formatting; a line break in a
// value breaks the line. With dropBlankLines, a paragraph whose fields are all empty and that has
// no other text (blanks aside) is removed. Fields naming a missing column become empty.
void Substitute(QTextDocument& doc, const MergeList& list, int row, bool dropBlankLines);

} // namespace MergeDesign
