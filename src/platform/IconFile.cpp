#include "platform/IconFile.h"

#include "platform/BitmapFile.h"
#include "platform/ByteReader.h"
#include "platform/PictureSize.h"

#include <QtEndian>
#include <cstdlib>
#include <cstring>

namespace IconFile {
namespace {

const QByteArray kPngSignature("\x89PNG\r\n\x1a\n", 8);

Icon DecodePng(const QByteArray& data) {
    const ByteReader in(data, InvalidText());
    const qint64 width = qFromBigEndian<quint32>(in.Data(16, 4));
    const qint64 height = qFromBigEndian<quint32>(in.Data(20, 4));
    PictureSize::Check(width, height);
    QImage image;
    if (!image.loadFromData(data, "PNG"))
        in.Fail();
    return {image.convertToFormat(QImage::Format_ARGB32), {}};
}

bool UsesAlpha(const QImage& image) {
    return image.hasAlphaChannel() &&
           BitmapFile::AnyAlpha(image, [](int alpha) { return alpha != 0; });
}

// Colour kept as stored: a conversion would blend it with black by its (zero) alpha.
QImage Opaque(QImage image) {
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] |= 0xFF000000;
    }
    return image;
}

// The mask's rows are stored bottom-up, as the colour rows are.
QImage ReadMask(const ByteReader& in, qint64 at, int width, int height) {
    const qint64 stride = BitmapFile::Stride(width, 1);
    QImage mask(width, height, QImage::Format_Mono);
    if (mask.isNull())
        throw EError(PictureSize::TooLargeText());
    const qint64 copy = std::min<qint64>(stride, mask.bytesPerLine());
    for (int row = 0; row < height; ++row)
        std::memcpy(mask.scanLine(height - 1 - row), in.Data(at + row * stride, stride),
                    static_cast<size_t>(copy));
    return mask;
}

Icon DecodeDib(const QByteArray& data) {
    const ByteReader in(data, InvalidText());
    BitmapFile::Header h = BitmapFile::ReadHeader(in, 0);
    const bool compressed = h.compression == BitmapFile::Rle4 || h.compression == BitmapFile::Rle8;
    h.height /= 2; // the colour rows, then as many mask rows
    if (h.topDown || compressed || h.height == 0)
        in.Fail();
    const QImage colour = BitmapFile::DecodePixels(h, in, h.end, true);
    if (UsesAlpha(colour))
        return {colour, {}};
    const qint64 maskAt = h.end + BitmapFile::Stride(h.width, h.bits) * h.height;
    return {Opaque(colour), ReadMask(in, maskAt, colour.width(), colour.height())};
}

int Depth(const ByteReader& in, qint64 at) {
    const int bits = in.U16(at + 6);
    if (bits != 0)
        return bits;
    const int colours = in.U8(at + 2); // old directories give only the colour count
    return colours == 0 ? 8 : colours <= 2 ? 1 : colours <= 16 ? 4 : 8;
}

bool MaskBit(const QImage& mask, int x, int y) {
    return (mask.constScanLine(y)[x >> 3] >> (7 - (x & 7))) & 1;
}

QRgb OnWhite(QRgb pixel) {
    const int a = qAlpha(pixel);
    const auto blend = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
    return qRgb(blend(qRed(pixel)), blend(qGreen(pixel)), blend(qBlue(pixel)));
}

} // namespace

QString InvalidText() {
    return QStringLiteral("Icon image is not valid");
}

int PickEntry(const QList<Entry>& entries) {
    int best = -1;
    int bestDistance = 0;
    for (int i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        const int distance =
            std::abs(e.width - kLargeIconSize) + std::abs(e.height - kLargeIconSize);
        if (best < 0 || distance < bestDistance ||
            (distance == bestDistance && e.bits > entries[best].bits)) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

Icon DecodeImage(const QByteArray& data) {
    return data.startsWith(kPngSignature) ? DecodePng(data) : DecodeDib(data);
}

Icon Read(const QByteArray& file) {
    const ByteReader in(file, InvalidText());
    const int count = in.U16(4);
    if (in.U16(0) != 0 || in.U16(2) != 1 || count == 0)
        in.Fail();
    QList<Entry> entries;
    for (int i = 0; i < count; ++i) {
        const qint64 at = 6 + 16 * i;
        entries.append(
            {in.U8(at) ? in.U8(at) : 256, in.U8(at + 1) ? in.U8(at + 1) : 256, Depth(in, at)});
    }
    const qint64 chosen = 6 + 16 * PickEntry(entries);
    return DecodeImage(in.Mid(in.U32(chosen + 12), in.U32(chosen + 8)));
}

QImage IconToBitmap(const Icon& icon) {
    const int size = icon.IsNull() ? kLargeIconSize : icon.image.width();
    QImage out(size, size, QImage::Format_RGB32);
    out.fill(Qt::white);
    if (icon.IsNull())
        return out;
    const QImage& image = icon.image;
    for (int y = 0; y < size; ++y) {
        const int sy = static_cast<int>(qint64(y) * image.height() / size);
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        const auto* source = reinterpret_cast<const QRgb*>(image.constScanLine(sy));
        for (int x = 0; x < size; ++x) {
            const int sx = static_cast<int>(qint64(x) * image.width() / size);
            const QRgb pixel = source[sx];
            if (icon.mask.isNull())
                line[x] = OnWhite(pixel);
            else // white AND mask, XOR colour: a masked black pixel is white
                line[x] = MaskBit(icon.mask, sx, sy) ? qRgb(255, 255, 255) ^ (pixel & 0xFFFFFF)
                                                     : (pixel | 0xFF000000);
        }
    }
    return out;
}

} // namespace IconFile
