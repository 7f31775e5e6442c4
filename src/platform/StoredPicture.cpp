#include "platform/StoredPicture.h"

#include "platform/BitmapFile.h"
#include "platform/Error.h"

#include <QtEndian>

namespace StoredPicture {
namespace {

constexpr int kFileHeader = 14;
constexpr int kInfoHeader = 40;
constexpr int kV5Header = 124;
constexpr quint32 kBitfields = 3;
constexpr quint32 kSrgb = 0x73524742; // 'sRGB'
constexpr quint32 kPictureIntent = 4; // LCS_GM_IMAGES

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

} // namespace

QByteArray BitmapBytes(const QByteArray& stored) {
    return HasPrefix(stored) ? stored.mid(8) : stored;
}

QImage Decode(const QByteArray& stored, QString* error) {
    error->clear();
    if (stored.isEmpty())
        return {};
    try {
        return BitmapFile::Decode(BitmapBytes(stored), true);
    } catch (const EError& e) {
        *error = e.message();
        return {};
    }
}

namespace {

bool HasTransparency(const QImage& image) {
    return image.hasAlphaChannel() &&
           BitmapFile::AnyAlpha(image.convertToFormat(QImage::Format_ARGB32),
                                [](int alpha) { return alpha != 255; });
}

void PutFileHeader(QByteArray& out, int infoSize, quint32 imageSize) {
    out.append("BM");
    Put<quint32>(out, kFileHeader + infoSize + imageSize);
    Put<quint32>(out, 0);
    Put<quint32>(out, kFileHeader + infoSize);
}

void PutInfoHeader(QByteArray& out, int infoSize, const QImage& image, int bits,
                   quint32 compression, quint32 imageSize) {
    Put<quint32>(out, infoSize);
    Put<qint32>(out, image.width());
    Put<qint32>(out, image.height()); // positive: rows bottom-up, as every Windows reader expects
    Put<quint16>(out, 1);
    Put<quint16>(out, static_cast<quint16>(bits));
    Put<quint32>(out, compression);
    Put<quint32>(out, imageSize);
    Put<qint32>(out, 3780); // 96 dpi in pixels per metre
    Put<qint32>(out, 3780);
    Put<quint32>(out, 0);
    Put<quint32>(out, 0);
}

// Red, green, blue and alpha masks, the colour space and the rest of the version 5 header.
void PutV5Tail(QByteArray& out) {
    for (const quint32 mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u})
        Put<quint32>(out, mask);
    Put<quint32>(out, kSrgb);
    out.append(36 + 12, '\0'); // end points and gamma, unused for sRGB
    Put<quint32>(out, kPictureIntent);
    Put<quint32>(out, 0); // no profile
    Put<quint32>(out, 0);
    Put<quint32>(out, 0);
}

QByteArray EncodeOpaque(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    const int width = image.width();
    const int height = image.height();
    const int stride = (width * 3 + 3) & ~3;
    const quint32 imageSize = static_cast<quint32>(stride) * static_cast<quint32>(height);
    QByteArray out;
    out.reserve(kFileHeader + kInfoHeader + static_cast<int>(imageSize));
    PutFileHeader(out, kInfoHeader, imageSize);
    PutInfoHeader(out, kInfoHeader, image, 24, 0, imageSize);
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

// A reader that ignores the alpha shows white where nothing was meant to be seen.
QByteArray EncodeTransparent(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const quint32 imageSize =
        4u * static_cast<quint32>(image.width()) * static_cast<quint32>(image.height());
    QByteArray out;
    out.reserve(kFileHeader + kV5Header + static_cast<int>(imageSize));
    PutFileHeader(out, kV5Header, imageSize);
    PutInfoHeader(out, kV5Header, image, 32, kBitfields, imageSize);
    PutV5Tail(out);
    for (int y = image.height() - 1; y >= 0; --y) {
        const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            Put<quint32>(out, qAlpha(src[x]) == 0 ? 0x00FFFFFFu : src[x]);
    }
    return out;
}

} // namespace

QByteArray Encode(const QImage& source) {
    if (source.isNull())
        return {};
    return HasTransparency(source) ? EncodeTransparent(source) : EncodeOpaque(source);
}

} // namespace StoredPicture
