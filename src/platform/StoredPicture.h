#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// The picture of a label design as it is stored: the bytes of a Windows bitmap file. Decoding
// keeps the transparency of a bitmap with an alpha mask.
namespace StoredPicture {

// The bitmap file inside a stored value: an 8-byte prefix some writers put in front is skipped.
QByteArray BitmapBytes(const QByteArray& stored);
// Decodes a stored value. Null or empty gives a null image and no error; anything that is not
// a whole bitmap file gives a null image and the loader's message "Bitmap image is not valid",
// and one that would exceed the picture bound gives "Picture is too large".
QImage Decode(const QByteArray& stored, QString* error);
// A plain 24-bit bitmap file (BITMAPFILEHEADER + BITMAPINFOHEADER, bottom-up rows); a picture
// with transparent pixels becomes a 32-bit bitmap with an alpha mask (BITMAPV5HEADER), which
// every Windows reader takes, with white under its fully transparent pixels.
QByteArray Encode(const QImage& image);

} // namespace StoredPicture
