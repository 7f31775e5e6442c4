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
// bitmap, JPEG, icon (drawn on white) or metafile (drawn on white at its own size). Raises the
// decoder's message, or "Unknown picture file extension (.xyz)".
QImage Load(const QString& path);

} // namespace PictureFile
