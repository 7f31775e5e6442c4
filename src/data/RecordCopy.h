#pragma once

#include "data/FieldKind.h"

#include <QString>
#include <QVariant>

class Query;

// Duplicates the current row into a newly inserted one (left in insert state), all fields but
// one; the copy's ID is the source's plus one. False when the user declined.
// Raises "レコードのコピーに失敗しました。".
bool CopyCurrentRecord(Query& dataSet, const QString& notCopied, bool confirm);

// Kinds that have no text form.
bool IsNonTextField(FieldKind kind);

// One text token turned into a typed value for a field kind; never raises. A value that
// cannot be read is null, except for whole numbers, which become 0.
QVariant TextToFieldValue(const QString& token, FieldKind kind);
