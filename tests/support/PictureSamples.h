#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <array>

// Picture files of every kind the program reads, made field by field so that tests can also
// make them wrong in exactly one place.
namespace Samples {

// Appends little-endian values.
class Bytes {
  public:
    Bytes& U8(int v);
    Bytes& U16(int v);
    Bytes& U32(quint32 v);
    Bytes& Raw(const QByteArray& bytes);
    Bytes& Zeros(int count);
    QByteArray data;
};

// A bitmap described by its header fields. Pixels are the stored bytes, rows as stored.
struct Bmp {
    int headerSize = 40;
    qint32 width = 1;
    qint32 height = 1; // negative: rows top-down
    int bits = 24;
    quint32 compression = 0;
    QList<QRgb> palette;
    QList<quint32> masks; // written after a 40-byte header, inside a longer one
    QByteArray pixels;
    quint32 sizeImage = 0;

    QByteArray Dib() const;  // header, masks, colour table, pixels
    QByteArray File() const; // file header first
};

// A 24-bit bitmap file of an image, rows padded, bottom-up.
QByteArray BmpOf(const QImage& image);

// Icon images: colour rows in 24 or 32 bits, then the AND mask (1 = background shows).
QByteArray IconDib(const QImage& colour, int bits, const QImage& transparent = {});
QByteArray IcoFile(const QList<QByteArray>& images, const QList<QSize>& sizes);

// A 32-bit Windows executable whose resources hold one icon group listing the images.
QByteArray PeWithIcons(const QList<QByteArray>& images, const QList<QSize>& sizes);

// Writes the bytes as the file at path; returns the path.
QString WriteFile(const QString& path, const QByteArray& bytes);

// A 20 × 15 pixel metafile (on a 96-dpi screen) with a red rectangle from (2, 2) to (18, 12)
// on a white (undrawn) background.
QByteArray Emf();
// The metafile's logical coordinates may start anywhere: `origin` moves the whole drawing.
QByteArray Wmf(bool placeable = true, int origin = 0);

// JPEG through Qt's own writer, so that our decoder is checked against another encoder.
QByteArray Jpeg(const QImage& image, int quality = 100);
// A one-colour CMYK JPEG as Adobe writers store it (inverted ink values), through libjpeg.
QByteArray CmykJpeg(int width, int height, int c, int m, int y, int k);
// The same with the frame header claiming another size.
QByteArray WithJpegSize(QByteArray jpeg, int width, int height);

// A test picture with distinct pixels.
QImage Pattern(int width, int height);

} // namespace Samples
