#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <array>

class ByteReader;

// Windows device-independent bitmaps: the bitmap file, and the bare form icons keep them in.
// Every header kind Windows reads is accepted (core, info, v2, v3, v4, v5) with uncompressed,
// run-length and bit-field pixels; pixel data shorter than the header says is refused.
namespace BitmapFile {

QString InvalidText(); // "Bitmap image is not valid"

enum Compression : quint32 { Rgb = 0, Rle8 = 1, Rle4 = 2, Bitfields = 3, AlphaBitfields = 6 };

struct Header {
    qint64 width = 0;
    qint64 height = 0; // always positive; topDown tells the row order
    bool topDown = false;
    int bits = 0;
    quint32 compression = Rgb;
    quint32 sizeImage = 0;
    quint32 coloursUsed = 0;
    std::array<quint32, 4> masks{}; // red, green, blue, alpha
    QList<QRgb> colours;
    qint64 end = 0; // just past the header, its masks and its colour table
};

// The header at `at`, with its masks and colour table. A core header's table has no count of
// its own and ends at `tableEnd` when that is known (a file's pixel offset). Raises the
// reader's message.
Header ReadHeader(const ByteReader& in, qint64 at, qint64 tableEnd = -1);
// Bytes one row of the header's pixels takes, padded to whole 32-bit words.
qint64 Stride(qint64 width, int bits);
// Decodes the pixels that start at `at` into a 32-bit image (ARGB when keepAlpha and the
// pixels carry alpha, else RGB). Raises the reader's message when they are cut off, and
// "Picture is too large" before allocating more than the bound.
QImage DecodePixels(const Header& header, const ByteReader& in, qint64 at, bool keepAlpha);

// Whether any pixel's alpha passes test; the image is 32-bit ARGB.
bool AnyAlpha(const QImage& image, bool (*test)(int alpha));

// A bitmap file (file header, then the bitmap). Raises "Bitmap image is not valid". With
// keepAlpha, a bitmap whose header names an alpha mask keeps its transparency, unless every
// pixel's alpha is 0: writers that leave the mask unused store such bitmaps.
QImage Decode(const QByteArray& file, bool keepAlpha = false);

} // namespace BitmapFile
