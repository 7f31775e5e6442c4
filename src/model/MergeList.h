#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// The address list a design is merged with: a CSV or TSV file whose first row names the
// columns. Read only; nothing of it is ever stored.
enum class ListEncoding { Auto, Utf8, Cp932 };

// Bounds that keep a list within memory and within reason; a larger list is refused.
inline constexpr qint64 kMaxMergeListBytes = 64LL * 1024 * 1024;
inline constexpr int kMaxMergeListRows = 1000000;
inline constexpr int kMaxMergeListColumns = 1000;

struct MergeList {
    QStringList columns;
    std::vector<QStringList> rows;              // each as wide as columns
    ListEncoding encoding = ListEncoding::Utf8; // what the bytes were read as
    QChar delimiter = u',';

    // Index of a column by name, -1 when the list has none of that name.
    int ColumnIndex(const QString& name) const;
};

// "auto", "utf-8" or "cp932" (any case); false for anything else.
bool ParseListEncoding(const QString& text, ListEncoding* encoding);

// Reads a list from its bytes; origin names it in messages. Raises EError, naming the line, for
// a malformed list: an unterminated quote, a row wider than the header, bytes the encoding
// cannot read, a list past the bounds above. Rows whose fields are all empty are left out;
// a row narrower than the header gets empty fields.
MergeList ReadMergeList(const QByteArray& bytes, ListEncoding encoding, const QString& origin);

// Reads the file; raises EError when it cannot be read or is not a valid list.
MergeList LoadMergeList(const QString& path, ListEncoding encoding);
