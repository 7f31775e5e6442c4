#pragma once

#include <QByteArray>
#include <QString>

// Shift-JIS (code page 932) at the program's boundaries: database, sheet text file, RTF.
namespace Sjis {

// Encodes text; raises EError naming the first character that has no Shift-JIS form.
QByteArray Encode(const QString& text);
// Encodes, reporting failure instead of raising; *ok is false when a character has no form.
QByteArray TryEncode(const QString& text, bool* ok);
// Whether the database's character set holds the text: JIS X 0208 and half-width kana, not the
// code page's NEC and IBM extensions (①, ㈱, 髙) or its user-defined area. The one check for
// everything that is stored.
bool FitsDatabase(const QString& text);
// Raises EError naming the first character the database's character set does not hold.
void CheckFitsDatabase(const QString& text);
// Decodes bytes; an invalid sequence becomes U+FFFD, never an exception.
QString Decode(const QByteArray& bytes);
// True when every byte sequence is valid Shift-JIS.
bool IsValid(const QByteArray& bytes);
// Converts between an arbitrary iconv code page and text (for RTF \fcharset); false if unknown.
bool DecodeWith(const char* iconvName, const QByteArray& bytes, QString* out);

} // namespace Sjis
