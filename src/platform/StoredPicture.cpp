#include "platform/StoredPicture.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

namespace StoredPicture {
namespace {

constexpr int kFileHeader = 14;
constexpr int kInfoHeader = 40;
constexpr int kMaxSide = 32768; // larger sides are not bitmaps anyone stores on a label

template <class T> void Put(QByteArray& out, T value) {
    const T le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&le), sizeof le);
}

template <class T> T Get(const QByteArray& in, int at) {
    return qFromLittleEndian<T>(in.constData() + at);
}

bool HasPrefix(const QByteArray& stored) {
    return stored.size() >= 8 && Get<quint16>(stored, 0) == 1 &&
           Get<quint16>(stored, 2) == 0x0100 &&
           Get<quint32>(stored, 4) == static_cast<quint32>(stored.size() - 8);
}

// Rejects headers whose sizes would make the decoder allocate absurd amounts.
bool PlausibleHeader(const QByteArray& bmp) {
    if (bmp.size() < kFileHeader + 12 || !bmp.startsWith("BM"))
        return false;
    const quint32 infoSize = Get<quint32>(bmp, kFileHeader);
    if (infoSize == 12)
        return true; // OS/2 header: 16-bit sizes, always small enough
    if (infoSize < kInfoHeader || bmp.size() < kFileHeader + kInfoHeader)
        return false;
    const qint32 width = Get<qint32>(bmp, kFileHeader + 4);
    const qint32 height = Get<qint32>(bmp, kFileHeader + 8);
    if (width <= 0 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide)
        return false;
    // Uncompressed pixels must all be there; a cut-off file is not a picture.
    const quint32 compression = Get<quint32>(bmp, kFileHeader + 16);
    const quint16 bits = Get<quint16>(bmp, kFileHeader + 14);
    if (compression != 0 || bits == 0)
        return true;
    const qint64 stride = ((static_cast<qint64>(width) * bits + 31) / 32) * 4;
    const qint64 needed = Get<quint32>(bmp, 10) + stride * std::abs(static_cast<qint64>(height));
    return bmp.size() >= needed;
}

} // namespace

QByteArray BitmapBytes(const QByteArray& stored) {
    return HasPrefix(stored) ? stored.mid(8) : stored;
}

QImage Decode(const QByteArray& stored, QString* error) {
    error->clear();
    if (stored.isEmpty())
        return {};
    const QByteArray bmp = BitmapBytes(stored);
    QImage image;
    if (PlausibleHeader(bmp)) {
        QBuffer buffer;
        buffer.setData(bmp);
        QImageReader reader(&buffer, "BMP");
        image = reader.read();
    }
    if (image.isNull())
        *error = QStringLiteral("Bitmap image is not valid");
    return image;
}

QByteArray Encode(const QImage& source) {
    if (source.isNull())
        return {};
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    const int width = image.width();
    const int height = image.height();
    const int stride = (width * 3 + 3) & ~3;
    const quint32 imageSize = static_cast<quint32>(stride) * static_cast<quint32>(height);
    QByteArray out;
    out.reserve(kFileHeader + kInfoHeader + static_cast<int>(imageSize));
    out.append("BM");
    Put<quint32>(out, kFileHeader + kInfoHeader + imageSize);
    Put<quint32>(out, 0);
    Put<quint32>(out, kFileHeader + kInfoHeader);
    Put<quint32>(out, kInfoHeader);
    Put<qint32>(out, width);
    Put<qint32>(out, height); // positive: rows bottom-up, as every Windows reader expects
    Put<quint16>(out, 1);
    Put<quint16>(out, 24);
    Put<quint32>(out, 0); // BI_RGB
    Put<quint32>(out, imageSize);
    Put<qint32>(out, 3780); // 96 dpi in pixels per metre
    Put<qint32>(out, 3780);
    Put<quint32>(out, 0);
    Put<quint32>(out, 0);
    QByteArray row(stride, '\0');
    for (int y = height - 1; y >= 0; --y) {
        const uchar* src = image.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            row[x * 3] = static_cast<char>(src[x * 3 + 2]); // blue, green, red
            row[x * 3 + 1] = static_cast<char>(src[x * 3 + 1]);
            row[x * 3 + 2] = static_cast<char>(src[x * 3]);
        }
        out.append(row);
    }
    return out;
}

} // namespace StoredPicture
