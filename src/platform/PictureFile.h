#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

// Picture files a label design can take its picture from. Whatever the format, the result is
// a bitmap: only bitmaps are stored with a design.
namespace PictureFile {

// The extensions a decoder knows, lower case, without the dot.
const QStringList& Extensions();
// Reads the file's bytes; raises when it cannot be read, and "Picture is too large" when it is
// bigger than any picture the program takes.
QByteArray ReadBytes(const QString& path);
// Loads a picture file into a bitmap; the extension (case ignored) chooses the decoder:
// bitmap, JPEG, icon (drawn on white), metafile (drawn on white at its own size), or Qt's
// readers for PNG, GIF (first frame), TIFF, WebP and SVG (at its own size), which keep the
// transparency. Raises a message that names the file, with the decoder's reason.
QImage Load(const QString& path);
// The decoding half of Load, for a known extension; raises the decoder's own message.
QImage Decode(const QString& extension, const QByteArray& bytes);

} // namespace PictureFile
